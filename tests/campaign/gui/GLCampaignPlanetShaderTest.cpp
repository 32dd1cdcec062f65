// The enemy's planets on the campaign map through the real window: with
// shaders on each shows its own picture drained to grey by our effect; with
// them off, the unknown picture as before.
#include "CampaignWindowRoad.h"

#include "app/Game.h"
#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "sim/SIM_Options.h"
#include "support/WindowInput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

struct Probe {
    int red = 0, green = 0, blue = 0;
    // How much every other row is darker than its neighbours, 0..1 (the
    // effect's sensor raster; a picture alone barely changes row to row).
    double raster = 0.0;
    int Spread() const { return std::max({red, green, blue}) - std::min({red, green, blue}); }
};

double RowAlternation(const TextureData& shot, int x, int y)
{
    double least = 1.0;
    for (int row = 0; row < 4; ++row) {
        int r0, g0, b0, r1, g1, b1;
        PixelAt(shot, x, y + row, r0, g0, b0);
        PixelAt(shot, x, y + row + 1, r1, g1, b1);
        const double a = r0 + g0 + b0, b = r1 + g1 + b1;
        least = std::min(least, std::max(a, b) > 0.0 ? std::fabs(a - b) / std::max(a, b) : 0.0);
    }
    return least;
}

// Opens the campaign with the option as given and looks at an enemy planet's middle.
Probe LookAtEnemyPlanet(const std::string& userDir, bool shaders, std::string& texture)
{
    SIM_Options::GetInstance().SetValue("SHADERS", shaders ? 1.0f : 0.0f);
    EXPECT_TRUE(GUI_Campaign::OpenCampaign("shade"));
    Settle();
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    EXPECT_NE(map, nullptr);
    if (!map)
        return {};
    EXPECT_EQ(GUI_Encounter::GetPlanetShader() != nullptr, shaders);
    SIM_CampaignEncounter* home = map->GetCampaign()->GetHomeworldEncounter();
    SIM_CampaignEncounter* enemy = nullptr;
    for (SIM_CampaignEncounter* n : home->neighbours)
        if (n->territory != SIM_CampaignEncounter::PLAYER && !enemy)
            enemy = n;
    EXPECT_NE(enemy, nullptr);
    if (!enemy)
        return {};
    PullMapTo(map, enemy);
    RunGameFrames(2);
    const GUI_Encounter* view = map->FindView(enemy);
    texture = view->GetSprite().GetTextureName();
    EXPECT_EQ(texture, shaders ? enemy->GetIcon() : std::string("planet_unknown.dds"));
    const TextureData shot = Screenshot(userDir);
    Probe p;
    // Above the planet's name, on its lit side.
    const int x = static_cast<int>(view->CentreX() - view->Size() * 0.15f);
    const int y = static_cast<int>(view->CentreY() - view->Size() * 0.3f);
    PixelAt(shot, x, y, p.red, p.green, p.blue);
    p.raster = RowAlternation(shot, x, y);
    GUI_Campaign::QuitCampaignToMenu();
    Settle();
    return p;
}

} // namespace

TEST(GLCampaignPlanetShader, EnemyPlanetsShowTheirOwnPictureInGreyOnlyWithShaders)
{
    CampaignWindowGame play(6);
    ASSERT_TRUE(play.Started());
    ASSERT_TRUE(GUI_Campaign::CreateCampaignSave("shade"));

    std::string shadedTexture, plainTexture;
    const Probe shaded = LookAtEnemyPlanet(play.UserDir(), true, shadedTexture);
    const Probe plain = LookAtEnemyPlanet(play.UserDir(), false, plainTexture);
    EXPECT_NE(shadedTexture, plainTexture);
    // Drained to a cold grey, and lit: the picture shows, its colours do not.
    EXPECT_GT(shaded.red + shaded.green + shaded.blue, 150);
    EXPECT_LE(shaded.Spread(), 30) << shaded.red << " " << shaded.green << " " << shaded.blue;
    EXPECT_GE(shaded.blue - shaded.red, 8);
    EXPECT_GT(shaded.raster, 0.06);
    EXPECT_LT(plain.raster, 0.03);
    // The unknown picture over the enemy's glow is no cold grey.
    EXPECT_LT(plain.blue - plain.red, 8) << plain.red << " " << plain.green << " " << plain.blue;
}
