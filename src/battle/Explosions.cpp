#include "battle/Explosions.h"

#include <cmath>

#include "battle/GUI_BlastGlare.h"
#include "battle/GUI_DebrisPool.h"
#include "battle/GUI_EffectLog.h"
#include "battle/GUI_ExplosionPlume.h"
#include "battle/GUI_ExplosionConfig.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/GUI_ParticleEmmiterGroup.h"
#include "battle/GUI_Ship.h"
#include "battle/VisualRandom.h"
#include "engine/GDebugLog.h"
#include "sim/SIM_Ship.h"

namespace {

struct TypeRow {
    const char* typeName;   // as hull files write it; empty: none
    const char* configName; // explosion config; empty: none
    int debrisPieces;
    float debrisSize;
    bool heavy;
};

// Debris, plumes and glares are the code-built parts.
const TypeRow kTypes[Explosions::kTypeCount] = {
    {"EXP_FRIGATE", "exp_frigate", 12, 5.0f, false},
    {"EXP_FRIGATEBREAKUP", "exp_frigatebreakup", 12, 5.0f, false},
    {"EXP_FIGHTER_DESTROYED", "exp_fighter", 8, 2.0f, false},
    {"EXP_FIGHTER_DESTROYED_LOD", "exp_fighter_lod", 0, 0.0f, false},
    {"EXP_SMALL", "exp_small", 6, 3.0f, false},
    {"EXP_SMALL2", "exp_small2", 6, 3.0f, false},
    {"", "exp_small2lod", 0, 0.0f, false},
    {"", "exp_small2blacksmoke", 0, 0.0f, false},
    {"EXP_MEDIUM2", "exp_medium2", 12, 5.0f, false},
    {"", "exp_medium2_lod", 0, 0.0f, false},
    {"EXP_STARTBREAKUP", "", 0, 0.0f, false},
    {"EXP_CRUISERDEBRIS", "", 32, 6.0f, true},
    {"EXP_FRIGATEDEBRIS", "", 24, 4.0f, true},
    {"EXP_DESTRUCTION_PLACED", "exp_small", 12, 5.0f, false},
    {"EXP_PLUMES", "", 0, 0.0f, false},
    {"EXP_ANGLED_DEBRIS", "exp_angleddebris", 0, 0.0f, false},
    {"EXP_SMALL_ANGLED_DEBRIS", "exp_smallangleddebris", 0, 0.0f, false},
    {"EXP_BLASTGLARE", "", 0, 0.0f, false},
    {"EXP_BLASTGLARESMALL", "", 0, 0.0f, false},
    {"", "exp_shieldimpact_lod", 0, 0.0f, false},
    {"EXP_SPARKBURST", "exp_sparkburst", 0, 0.0f, false},
    {"EXP_CRUISER_PLUMECENTER", "exp_cruiser_plumecenter", 0, 0.0f, false},
};

constexpr int kPlumes = 14;
constexpr int kBlastGlare = 17;
constexpr int kBlastGlareSmall = 18;

bool g_prewarmed = false;

std::string Trimmed(const std::string& text)
{
    const size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string::npos)
        return std::string();
    const size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(start, end - start + 1);
}

void CodePart(int type, GUI_Ship* parent, float x, float y, float dx, float dy)
{
    const TypeRow& row = kTypes[type];
    if (type == Explosions::kDestructionPlaced) {
        const float a = VisualRange(0.0f, 360.0f) * 0.017453292519943295f;
        dx = std::sin(a);
        dy = -std::cos(a);
    }
    if (row.debrisPieces > 0)
        SpawnDebris(row.debrisPieces, row.debrisSize, row.heavy, x, y, dx, dy,
                    parent ? parent->GetShip() : nullptr);
    // Plumes and glares follow the ship: nothing to follow without one.
    if (!parent || !parent->GetShip())
        return;
    const SIM_Ship* ship = parent->GetShip();
    if (type == kPlumes)
        SpawnPlumes(parent, x, y);
    else if (type == kBlastGlare)
        SpawnBlastGlare(ship->GetWidth() / 3.0f, ship->x, ship->y, parent);
    else if (type == kBlastGlareSmall)
        SpawnBlastGlare(ship->GetWidth() * 0.125f, x, y, parent);
}

} // namespace

const char* ExplosionTypeName(int type)
{
    return type >= 0 && type < Explosions::kTypeCount ? kTypes[type].typeName : "";
}

const char* ExplosionConfigName(int type)
{
    return type >= 0 && type < Explosions::kTypeCount ? kTypes[type].configName : "";
}

int FindExplosionType(const std::string& typeName)
{
    const std::string name = Trimmed(typeName);
    if (!name.empty()) {
        for (int i = 0; i < Explosions::kTypeCount; ++i)
            if (name == kTypes[i].typeName)
                return i;
    }
    LOG_ERROR_ONCE("unknown explosion type: " + name);
    return Explosions::kSmall;
}

GUI_ParticleEmmiterGroup* CreateExplosionEffect(const std::string& configName, float x, float y, float dx, float dy)
{
    const GUI_ExplosionConfig* config = FindExplosionConfig(configName);
    if (!config)
        return nullptr;
    GUI_ParticleEmmiterGroup* group = AcquireEmmiterGroup(config->ConfigName, x, y, dx, dy);
    if (group->IsEmpty()) {
        int made = 0;
        for (const std::string& name : config->emitterNames) {
            if (made == GUI_ParticleEmmiterGroup::kSlots)
                break;
            group->AddEmmiter(GUI_ParticleEmmiter::Create(name, x, y, dx, dy));
            ++made;
        }
        group->minZoom = config->MinZoomLOD;
        group->maxZoom = config->MaxZoomLOD;
        group->visibleCheckRadius = config->VisibleCheckRadius;
        group->centreX = x;
        group->centreY = y;
    }
    return group;
}

void SpawnExplosion(int type, GUI_Ship* parent, float x, float y, float dx, float dy)
{
    if (type < 0 || type >= Explosions::kTypeCount) {
        LOG_ERROR_ONCE("explosion type out of range: " + std::to_string(type));
        return;
    }
    if (type == Explosions::kSmall && VisualChance(0.5f))
        type = Explosions::kSmall2;
    GUI_EffectLog::GetInstance().Add({"explosion", type, x, y, 0.0f, 0.0f, {}});
    CodePart(type, parent, x, y, dx, dy);
    const char* configName = kTypes[type].configName;
    if (!*configName)
        return;
    GUI_ParticleEmmiterGroup* group = CreateExplosionEffect(configName, x, y, dx, dy);
    // Without a parent the group plays out in the particle step.
    if (group && parent)
        parent->AddChild(group);
}

void PrewarmExplosionType(int type, int count)
{
    const char* configName = ExplosionConfigName(type);
    if (!*configName)
        return;
    for (int i = 0; i < count; ++i) {
        GUI_ParticleEmmiterGroup* group = CreateExplosionEffect(configName, 0.0f, 0.0f, 0.0f, 0.0f);
        if (!group)
            return;
        group->Release();
    }
}

void PrewarmExplosions()
{
    if (g_prewarmed)
        return;
    g_prewarmed = true;
    PrewarmExplosionGroups();
}

int PrewarmExplosionGroups()
{
    const int before = CountAllEmmiterGroups();
    const bool reuse = IsEmmiterGroupReuseOn();
    SetEmmiterGroupReuse(false);
    const struct {
        int type, count;
    } plan[] = {{4, 80}, {5, 80}, {1, 8}, {0, 8}, {2, 8}, {13, 16}, {15, 8}, {8, 8}};
    for (const auto& step : plan)
        PrewarmExplosionType(step.type, step.count);
    SetEmmiterGroupReuse(reuse);
    return CountAllEmmiterGroups() - before;
}

bool HavePrewarmedExplosions()
{
    return g_prewarmed;
}

bool TopUpExplosionGroups()
{
    for (int type = 0; type < Explosions::kTypeCount; ++type) {
        const char* configName = kTypes[type].configName;
        if (!*configName)
            continue;
        // A config we cannot find would be "topped up" every frame for nothing.
        const GUI_ExplosionConfig* config = FindExplosionConfig(configName);
        if (!config || config->emitterNames.empty())
            continue;
        if (CountSpareEmmiterGroups(configName, Explosions::kSpareTarget) >= Explosions::kSpareTarget)
            continue;
        const bool reuse = IsEmmiterGroupReuseOn();
        SetEmmiterGroupReuse(false);
        PrewarmExplosionType(type, 1);
        SetEmmiterGroupReuse(reuse);
        return true;
    }
    return false;
}
