#include "sim/SIM_HulkLine.h"

#include "engine/GIniFile.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"

bool SIM_HulkLine::Parse(const std::string& value, SIM_HulkLine& out)
{
    const std::vector<std::string> f = SplitTrimmedFields(value, ',');
    if (f.size() < 4)
        return false;
    auto number = [](const std::string& field) { return ParseLeadingFloat(field.c_str()); };
    out = SIM_HulkLine();
    out.left = number(f[0]);
    out.top = number(f[1]);
    out.right = number(f[2]);
    out.bottom = number(f[3]);
    for (size_t i = 4; i < f.size(); ++i) {
        if (f[i] == "emit" && i + 3 < f.size()) {
            out.emitters.push_back({number(f[i + 1]), number(f[i + 2]), f[i + 3]});
            i += 3;
            continue;
        }
        if (f[i].size() < 2)
            continue;
        const std::vector<std::string> parts = SplitTrimmedFields(f[i].substr(1, f[i].size() - 2), '-');
        if (parts.size() < 4 || parts[0] != "emit")
            continue;
        // A config name may hold '-' itself: all after the position is the name.
        std::string config = parts[3];
        for (size_t p = 4; p < parts.size(); ++p)
            config += "-" + parts[p];
        out.emitters.push_back({number(parts[1]), number(parts[2]), config});
    }
    return true;
}

std::string SIM_HulkLine::Format() const
{
    std::string out = StrFormat("%.0f,%.0f,%.0f,%.0f,", left, top, right, bottom);
    for (const Emitter& e : emitters)
        out += StrFormat("(emit-%.0f-%.0f-", e.x, e.y) + e.config + "),";
    return out;
}
