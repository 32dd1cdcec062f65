#pragma once
#include <string>

#include "engine/GLifetime.h"

// One message between players as the server sends it and as the seen-messages
// file keeps it: "##,id,date,field 3,sender,text" (field 3 is the server's,
// carried through unread).
struct SIM_OnlineMessageRecord {
    int id = 0;
    std::string sender;
    std::string field3;
    std::string text;
    std::string date;

    // False for any line that does not begin with "##".
    static bool FromLine(const std::string& line, SIM_OnlineMessageRecord& record);
    // The text fields are written in double quotes, so a comma stays inside
    // its field; a double quote becomes an apostrophe and a line break a
    // blank, since neither can be read back from a line.
    std::string ToLine() const;

    // Inbox rows watch this (GWatch); a copy is another record.
    GLifetime lifetime;
};
