#pragma once
#include <string>

#include "engine/GLifetime.h"

// One challenge of the local list: one "##" line of the list file, which the
// server's answer uses too. Texts are not escaped: a taunt may hold commas
// (it is quoted), nothing may hold a double quote or a line end.
class SIM_ChallengeRecord {
public:
    static constexpr int kUnknown = 2;
    static constexpr int kPresent = 0;
    static constexpr int kAbsent = 1;

    SIM_ChallengeRecord() = default;
    // From one line; the caller has checked that it starts with "##".
    explicit SIM_ChallengeRecord(const std::string& line);
    static bool IsRecordLine(const std::string& line) { return line.compare(0, 2, "##") == 0; }
    // Whether a line is a challenge, field by field: the "##" marker, all
    // fourteen fields, a safe id, names, counts that are numbers, ratings of
    // 0 to 5 stars, a date or none, texts of bounded length. Anything else
    // (an error page, garbage after "##") is no challenge.
    static bool IsWellFormed(const std::string& line);
    static constexpr int kFields = 14;
    static constexpr size_t kMaxName = 128;
    static constexpr size_t kMaxTauntText = 1024;
    static constexpr float kMaxStars = 5.0f;

    // The record as one line of the list file, line end included.
    std::string ToLine() const;
    // Takes the counters, flag and ratings of the same challenge.
    void UpdateCountsFrom(const SIM_ChallengeRecord& other);
    // Whether "<challengeFolder>/<id>.qlm" is on disk: looked at once, then
    // remembered for the life of the record.
    bool IsLocal(const std::string& challengeFolder);

    std::string sender;
    std::string receiver;
    std::string taunt;
    std::string race;
    int day = 0;
    int month = 0;
    int year = 0;
    int attempts = 0;
    int timesBeaten = 0;
    bool flag = false;
    std::string id;
    std::string parentId;
    float difficulty = 0.0f;
    float rating = 0.0f;
    std::string map;
    int localState = kUnknown;
    // List rows watch this (GWatch); a copy is another record.
    GLifetime lifetime;
};
