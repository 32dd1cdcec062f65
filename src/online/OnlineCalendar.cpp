#include "online/OnlineCalendar.h"

#include "engine/GFileHelpers.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"

#include <atomic>

namespace {
std::atomic<std::time_t> g_fixedNow{0};
}

bool OnlineCalendar::Date::IsLaterThan(const Date& o) const
{
    if (year != o.year)
        return year > o.year;
    if (month != o.month)
        return month > o.month;
    return day > o.day;
}

OnlineCalendar::Date OnlineCalendar::Today()
{
    const std::time_t fixed = g_fixedNow.load();
    const std::time_t now = fixed ? fixed : std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    Date d;
    d.day = tm.tm_mday;
    d.month = tm.tm_mon + 1;
    d.year = tm.tm_year + 1900;
    return d;
}

void OnlineCalendar::SetNowForTests(std::time_t now)
{
    g_fixedNow = now;
}

bool OnlineCalendar::ReadDate(const std::string& path, const char* section, Date& date)
{
    if (!FileExists(path))
        return false;
    GIniFile ini;
    if (!ini.Load(section, path.c_str()))
        return false;
    date.day = ini.GetInt("day");
    date.month = ini.GetInt("month");
    date.year = ini.GetInt("year");
    return true;
}

bool OnlineCalendar::WriteDate(const std::string& path, const char* section, const Date& date)
{
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos)
        EnsureDirectoryExists(path.substr(0, slash));
    return WriteFileAtomically(path, StrFormat("[%s]\nday = %d\nmonth = %d\nyear = %d\n\n", section, date.day,
                                               date.month, date.year));
}
