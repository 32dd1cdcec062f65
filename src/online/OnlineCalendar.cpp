#include "online/OnlineCalendar.h"

#include "engine/GDebugLog.h"
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
    // A missing file is no day, quietly; one that cannot be read (a folder,
    // a FIFO, a link to a device) is told by the reader and kept as found.
    GIniFile ini;
    if (!ini.Load(section, path.c_str()))
        return false;
    // The game writes all three: a file without one was cut or damaged, and
    // is no day; it is written anew when the day is next marked.
    for (const char* key : {"day", "month", "year"})
        if (!ini.HasKey(key)) {
            LOG_ERROR(StrFormat("%s [%s] %s: missing (damaged or cut off), no day read", path.c_str(), section, key));
            return false;
        }
    // Nothing else is written there: keys beyond the three are told at once.
    size_t unknown = 0;
    for (size_t i = 0; i < ini.GetEntryCount(); ++i) {
        const std::string& key = ini.GetKeyAt(i);
        unknown += key != "day" && key != "month" && key != "year";
    }
    if (unknown > 0)
        LOG_ERROR(StrFormat("%s [%s]: %zu keys other than day, month and year ignored (damaged)", path.c_str(),
                            section, unknown));
    date.day = ini.GetIntInRange("day", 1, 31);
    date.month = ini.GetIntInRange("month", 1, 12);
    date.year = ini.GetIntInRange("year", 1970, 9999);
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
