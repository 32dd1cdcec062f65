#pragma once
#include <string>

#include "battle/GUI_ParticleEmmiterGroup.h"

class GUI_Ship;

// Explosions by type number (22 types): a type draws from an explosion config,
// builds a part in code (debris, plumes, glares), or both.
namespace Explosions {
constexpr int kTypeCount = 22;
constexpr int kSmall = 4;
constexpr int kSmall2 = 5;
constexpr int kStartBreakup = 10;
constexpr int kDestructionPlaced = 13;
constexpr int kShieldImpact = 19;
constexpr int kSpareTarget = GUI_ParticleEmmiterGroup::kSparesKeptPerConfig; // spare groups kept per config
} // namespace Explosions

// The type of a hull file's name; EXP_SMALL (logged once) for an unknown one.
int FindExplosionType(const std::string& typeName);
// The type's name as hull files write it and its config name (empty: none).
const char* ExplosionTypeName(int type);
const char* ExplosionConfigName(int type);

// One explosion at (x, y) under the parent ship's visual. Without a parent
// the parts that need the ship are skipped and the particles still play.
void SpawnExplosion(int type, GUI_Ship* parent, float x, float y, float dx, float dy);
GUI_ParticleEmmiterGroup* CreateExplosionEffect(const std::string& configName, float x, float y, float dx, float dy);
void PrewarmExplosionType(int type, int count);
// Builds the spare groups of the common explosions (216 with every config
// present) and says how many it made.
int PrewarmExplosionGroups();
// The same once per run, at the first battle.
void PrewarmExplosions();
bool HavePrewarmedExplosions();
// Builds one spare group for the first config with fewer than four; false
// when every config has its four.
bool TopUpExplosionGroups();
