#include "campaign/gui/GUI_CampaignStats.h"

#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"

namespace {
// A counter (or the turn, for an empty name) times its factor.
struct StatEntry {
    const char* label;
    const char* counter;
    int factor;
};

const StatEntry kTable[GUI_CampaignStats::kEntries] = {
    {"CAMP_STAT_BATTLES_FOUGHT", "battles_fought", 1},
    {"CAMP_STAT_SHIPS_BUILT", "ships_built", 1},
    {"CAMP_STAT_SHIPS_SCRAPPED", "ships_scrapped", 1},
    {"CAMP_STAT_ENEMY_SHIPS_DESTROYED", "enemy_ships_destroyed", 1},
    {"CAMP_STAT_BATTLES_WON", "battles_won", 1},
    {"CAMP_STAT_BATTLES_LOST", "battles_lost", 1},
    {"CAMP_STAT_FLEETS_RETREATED", "fleets_retreated", 1},
    {"CAMP_STAT_SHIPS_CAPTURED", "ships_captured", 1},
    {"CAMP_STAT_SHIPS_DESTROYED", "ships_destroyed", 1},
    {"CAMP_STAT_TOTALTURNS", "", 1},
    {"CAMP_STAT_SIL_ENEMYCITIESNUKED", "battles_won", 8},
    {"CAMP_STAT_SIL_ENEMYTENTACLESEATEN", "enemy_ships_destroyed", 32},
    {"CAMP_STAT_SIL_PRISONERSVAPORISED", "battles_won", 122},
    {"CAMP_STAT_SIL_ENEMIESENSLAVED", "battles_won", 2422},
    {"CAMP_STAT_SIL_PROPAGANDAMOVIESMADE", "", 11},
    {"CAMP_STAT_SIL_ENEMYSPIESDISCOVERED", "battles_fought", 11},
    {"CAMP_STAT_SIL_MEDALSAWARDED", "battles_won", 18},
    {"CAMP_STAT_SIL_POSTHUMOUSMEDALSAWARDED", "battles_won", 228},
    {"CAMP_STAT_SIL_SOMBRELETTERS", "battles_fought", 7255},
    {"CAMP_STAT_SIL_DESERTERSCAUGHTANDSHOT", "battles_fought", 15},
};
} // namespace

GUI_CampaignStats::GUI_CampaignStats()
{
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    SIM_CampaignStats& stats = progress.GetStats();
    for (int i = 0; i < kEntries; ++i) {
        const StatEntry& e = kTable[i];
        m_labels[i] = GetString(e.label);
        if (e.counter[0] == '\0') {
            // Turns are written plain, without separators.
            m_values[i] = StrFormat("%d", progress.turn * e.factor);
            continue;
        }
        const SIM_CampaignStats::Entry* entry = stats.Find(e.counter);
        const long long n = entry ? entry->count : 0;
        m_values[i] = FormatThousands(n * e.factor);
    }
}

void GUI_CampaignStats::Draw()
{
    if (!visible)
        return;
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const int mid = (left + right) / 2;
    for (int i = 0; i < kEntries; ++i) {
        const float y = static_cast<float>(top + (i / 2) * kLineHeight);
        const bool leftColumn = i % 2 == 0;
        const float labelX = static_cast<float>(leftColumn ? left + 10 : mid + 10);
        const float valueX = static_cast<float>(leftColumn ? mid - 300 : right - 300);
        text.SetText(0, m_labels[i], labelX, y, 0xFFFFFFFFu, 0.0f);
        text.SetText(1, m_values[i], valueX, y, 0xFFFFFFFFu, 290.0f);
    }
    text.Render();
}
