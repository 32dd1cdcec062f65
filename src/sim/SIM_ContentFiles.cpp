#include "sim/SIM_ContentFiles.h"

#include "engine/GFileList.h"
#include "engine/GIniFile.h"
#include "engine/ModSupport.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_DefaultOrders.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

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

void LoadBattleContent()
{
    SIM_BehaviourType::LoadAll();
    SIM_Race::LoadAll();
    SIM_ShipModuleType::LoadAll();
    SIM_ShipHull::LoadAll();
    SIM_ShipDesign::LoadAll();
    SIM_Scenario::LoadAll();
}

void FreeBattleContent()
{
    SIM_DefaultOrders::FreeAll();
    SIM_ShipDesign::FreeAll();
    SIM_ShipHull::FreeAll();
    SIM_ShipModuleType::FreeAll();
    SIM_Race::FreeAll();
    SIM_BehaviourType::FreeAll();
    SIM_Scenario::FreeAll();
}

std::string OneLine(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        if (c == '\n' || c == '\r')
            c = ' ';
    return out;
}
