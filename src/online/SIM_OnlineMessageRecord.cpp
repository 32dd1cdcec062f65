#include "online/SIM_OnlineMessageRecord.h"

#include "engine/GTokenizer.h"
#include "engine/StrFormat.h"

namespace {
std::string Quoted(const std::string& value)
{
    std::string out = "\"";
    for (char c : value)
        out += c == '"' ? '\'' : (c == '\n' || c == '\r') ? ' ' : c;
    return out + "\"";
}
} // namespace

bool SIM_OnlineMessageRecord::FromLine(const std::string& line, SIM_OnlineMessageRecord& r)
{
    if (line.compare(0, 2, "##") != 0)
        return false;
    GTokenizer t(line, ',');
    t.NextString();
    r.id = t.NextInt();
    r.date = t.NextString();
    r.field3 = t.NextString();
    r.sender = t.NextString();
    r.text = t.NextString();
    return true;
}

std::string SIM_OnlineMessageRecord::ToLine() const
{
    return StrFormat("##,%d,", id) + Quoted(date) + "," + Quoted(field3) + "," + Quoted(sender) + "," + Quoted(text) +
           "\n";
}
