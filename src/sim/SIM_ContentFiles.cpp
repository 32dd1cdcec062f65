#include "sim/SIM_ContentFiles.h"

#include "app/ModSupport.h"
#include "engine/GFileList.h"
#include "engine/GIniFile.h"

#include <climits>
#include <cmath>

std::vector<std::string> FindContentFiles(const std::string& mask)
{
    GFileList list;
    list.FindFiles(mask);
    ModSupport::FindFiles(&list, mask.c_str());
    return list.names;
}

int ReadBoundedInt(const GIniFile& ini, const char* key)
{
    std::string text = ini.GetString(key);
    if (text.size() > 63)
        text.resize(63);
    return ParseLeadingInt(text.c_str());
}

int TruncateToInt(float value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483520.0f) // the largest float below INT_MAX
        return INT_MAX;
    if (value <= static_cast<float>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}
