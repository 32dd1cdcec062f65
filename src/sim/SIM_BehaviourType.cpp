#include "sim/SIM_BehaviourType.h"

#include "engine/GDebugLog.h"
#include "engine/GSpreadsheet.h"
#include "engine/GTokenizer.h"
#include "engine/StrFormat.h"

#include <algorithm>

namespace {
std::vector<SIM_BehaviourType*>& AllTypes()
{
    static std::vector<SIM_BehaviourType*> list;
    return list;
}
} // namespace

SIM_BehaviourType::SIM_BehaviourType(const std::string& row)
{
    GTokenizer tok(row, ',');
    tok.NextField(); // the '#' column
    name = tok.NextString();
    displayText = tok.NextString();
    secondText = tok.NextString();
    usesFloat1 = tok.NextInt() != 0;
    usesFloat2 = tok.NextInt() != 0;
    shipLinked = tok.NextInt() != 0;
    thirdText = tok.NextString();
    fourthText = tok.NextString();
    kind1 = tok.NextString();
    kind2 = tok.NextString();
    min1 = tok.NextFloat();
    max1 = tok.NextFloat();
    min2 = tok.NextFloat();
    max2 = tok.NextFloat();
    default1 = tok.NextFloat();
    default2 = tok.NextFloat();
    AllTypes().push_back(this);
}

SIM_BehaviourType::~SIM_BehaviourType()
{
    auto& list = AllTypes();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void SIM_BehaviourType::LoadAll()
{
    FreeAll();
    GSpreadsheet sheet(kFileName);
    for (const std::string& row : sheet.rows) {
        auto* type = new SIM_BehaviourType(row); // the global list owns it
        // A row cut short reads its missing columns as 0 and empty texts.
        const size_t columns = static_cast<size_t>(std::count(row.begin(), row.end(), ',')) + 1;
        if (columns < kColumns)
            LOG_ERROR(StrFormat("%s: the row of %s has %zu of its %zu columns (cut or damaged), the rest read as 0",
                                kFileName, type->name.c_str(), columns, kColumns));
    }
}

void SIM_BehaviourType::FreeAll()
{
    while (!AllTypes().empty())
        delete AllTypes().back();
}

SIM_BehaviourType* SIM_BehaviourType::Find(const std::string& typeName)
{
    if (AllTypes().empty())
        LoadAll();
    for (SIM_BehaviourType* t : AllTypes())
        if (t->name == typeName)
            return t;
    LOG_ERROR_ONCE("Failed to find AI Behaviour Type " + typeName);
    return nullptr;
}

const std::vector<SIM_BehaviourType*>& SIM_BehaviourType::GetList()
{
    return AllTypes();
}
