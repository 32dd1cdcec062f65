#pragma once
#include <ctime>
#include <string>

// The UTC day the daily online checks (news, update notice) go by, and the
// small date files they keep it in. Tests set the time; nothing else does.
class OnlineCalendar {
public:
    struct Date {
        int day = 0;
        int month = 0;
        int year = 0;
        // By year, then month, then day.
        bool IsLaterThan(const Date& other) const;
        bool operator==(const Date& other) const
        {
            return day == other.day && month == other.month && year == other.year;
        }
    };

    static Date Today();
    // A fixed "now" (seconds since the epoch); 0 goes back to the real clock.
    static void SetNowForTests(std::time_t now);

    // A date file is one INI section with day, month and year. A missing
    // file or section reads as false and leaves date as it was.
    static bool ReadDate(const std::string& path, const char* section, Date& date);
    static bool WriteDate(const std::string& path, const char* section, const Date& date);
};
