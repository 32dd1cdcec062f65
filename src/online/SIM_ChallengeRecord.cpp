#include "online/SIM_ChallengeRecord.h"

#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GTokenizer.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ChallengeFile.h"

#include <cmath>
#include <cstdlib>

namespace {
// Quotes and line ends would break the line apart on the next read.
std::string Clean(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        if (c == '"' || c == '\n' || c == '\r')
            c = '\'';
    return out;
}

// Unquoted fields may not hold the separator either.
std::string CleanBare(const std::string& text)
{
    std::string out = Clean(text);
    for (char& c : out)
        if (c == ',')
            c = ';';
    return out;
}
std::string WithoutLineEnd(const std::string& line)
{
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

bool IsDigits(const std::string& text, size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

bool IsText(const std::string& text, size_t minSize, size_t maxSize)
{
    if (text.size() < minSize || text.size() > maxSize)
        return false;
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7F)
            return false;
    return true;
}

bool IsStars(const std::string& text)
{
    if (text.empty() || text.size() > 16 || text.find_first_not_of("0123456789.") != std::string::npos)
        return false;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return end && *end == '\0' && std::isfinite(value) && value <= SIM_ChallengeRecord::kMaxStars;
}

bool IsDate(const std::string& text)
{
    if (text.empty())
        return true;
    GTokenizer d(text, '-');
    const std::string year = d.NextString(), month = d.NextString(), day = d.NextString();
    return d.AtEnd() && IsDigits(year, 4) && IsDigits(month, 2) && IsDigits(day, 2) && std::atoi(month.c_str()) <= 12 &&
           std::atoi(day.c_str()) <= 31;
}
} // namespace

bool SIM_ChallengeRecord::IsWellFormed(const std::string& line)
{
    GTokenizer t(WithoutLineEnd(line), ',');
    std::string f[kFields];
    for (int i = 0; i < kFields; ++i) {
        if (t.AtEnd())
            return false;
        f[i] = t.NextString();
    }
    if (!t.AtEnd() || f[0] != "##")
        return false;
    return SIM_ChallengeFile::IsSafeChallengeId(f[1]) && IsText(f[2], 1, kMaxName) && IsText(f[3], 1, kMaxName) &&
           IsText(f[4], 0, kMaxTauntText) && IsDigits(f[5], 1) && IsDigits(f[6], 9) && IsDigits(f[7], 9) &&
           IsStars(f[8]) && IsStars(f[9]) && IsText(f[10], 0, kMaxName) && IsDate(f[11]) &&
           IsText(f[12], 0, kMaxName) && (f[13].empty() || SIM_ChallengeFile::IsSafeChallengeId(f[13]));
}

SIM_ChallengeRecord::SIM_ChallengeRecord(const std::string& line)
{
    GTokenizer t(WithoutLineEnd(line), ',');
    t.NextString();
    id = t.NextString();
    sender = t.NextString();
    receiver = t.NextString();
    taunt = t.NextString();
    flag = t.NextInt() != 0;
    timesBeaten = t.NextInt();
    attempts = t.NextInt();
    difficulty = t.NextFloat();
    rating = t.NextFloat();
    map = t.NextString();
    const std::string date = t.NextString();
    race = t.NextString();
    parentId = t.NextString();
    if (!date.empty()) {
        GTokenizer d(date, '-');
        const std::string yearPart = d.NextString();
        // "209" and "2009" both mean year 9 of the century; a shorter part
        // has no century to drop and is taken as it is.
        year = std::atoi(yearPart.size() > 2 ? yearPart.c_str() + 2 : yearPart.c_str());
        month = d.NextInt();
        day = d.NextInt();
    }
}

std::string SIM_ChallengeRecord::ToLine() const
{
    return StrFormat("##,%s,%s,%s,\"%s\",%d,%d,%d,%.2f,%.2f,\"%s\",20%d-%d-%d,\"%s\",%s\n", CleanBare(id).c_str(),
                     CleanBare(sender).c_str(), CleanBare(receiver).c_str(), Clean(taunt).c_str(), flag ? 1 : 0,
                     timesBeaten, attempts, difficulty, rating, Clean(map).c_str(), year, month, day,
                     Clean(race).c_str(), CleanBare(parentId).c_str());
}

void SIM_ChallengeRecord::UpdateCountsFrom(const SIM_ChallengeRecord& other)
{
    QLM_ASSERT(other.id == id);
    attempts = other.attempts;
    timesBeaten = other.timesBeaten;
    flag = other.flag;
    difficulty = other.difficulty;
    rating = other.rating;
}

bool SIM_ChallengeRecord::IsLocal(const std::string& challengeFolder)
{
    if (localState == kUnknown) {
        // An id unfit for a file name never names a file of ours.
        const bool there = SIM_ChallengeFile::IsSafeChallengeId(id) && FileExists(challengeFolder + "/" + id + ".qlm");
        localState = there ? kPresent : kAbsent;
    }
    return localState == kPresent;
}
