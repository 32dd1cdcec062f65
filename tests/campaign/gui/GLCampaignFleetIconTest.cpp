// A player fleet's icon on the campaign map through the real window: its
// leading hull shows as a flat white shape, not in the hull's own greys,
// both over the small symbol further out and in the frame close up.
#include "CampaignTestFleet.h"
#include "CampaignWindowRoad.h"

#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_EncounterIcon.h"
#include "campaign/gui/GUI_PlayerFleetIcon.h"
#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "engine/D3DEngine.h"
#include "gui/GUI_Cursor.h"
#include "app/Game.h"
#include "platform/SdlWindow.h"
#include "platform/DdsImage.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "support/WindowInput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

struct HullLook {
    int probed = 0; // screen pixels over opaque, plainly grey parts of the hull
    int white = 0;  // of those, the ones drawn white
    int darkest = 255; // the lowest channel seen on a probed pixel
};

// The hull picture's texels, RGBA top-down.
struct HullPicture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;

    bool Load(const std::string& name)
    {
        TextureData data;
        if (!D3DEngine::GetInstance().ReadTextureData(name, data) || !DecodeToRGBA(data, 0, rgba))
            return false;
        width = data.width;
        height = data.height;
        return true;
    }

    // Whether every texel of the square is opaque, and the brightest channel
    // of the square's mean colour.
    bool Opaque(int cx, int cy, int half, int& brightest) const
    {
        long sum[3] = {0, 0, 0};
        int count = 0;
        for (int y = cy - half; y <= cy + half; ++y)
            for (int x = cx - half; x <= cx + half; ++x) {
                if (x < 0 || y < 0 || x >= width || y >= height)
                    return false;
                const uint8_t* t = &rgba[(static_cast<size_t>(y) * width + x) * 4];
                if (t[3] < 250)
                    return false;
                for (int c = 0; c < 3; ++c)
                    sum[c] += t[c];
                ++count;
            }
        brightest = static_cast<int>(std::max({sum[0], sum[1], sum[2]}) / count);
        return true;
    }
};

// The fleet's icon, the one the planet shows for the fleet.
GUI_PlayerFleetIcon* IconOf(const SIM_CampaignFleet* fleet)
{
    for (GUI_PlayerFleetIcon* icon : GUI_PlayerFleetIcon::GetAll())
        if (icon->GetFleet() == fleet)
            return icon;
    return nullptr;
}

// The map zoomed as given and moved so the fleet's icon sits in the middle
// of the screen, clear of the panels.
GUI_PlayerFleetIcon* ShowIconAt(GUI_CampaignMap* map, const SIM_CampaignFleet* fleet, float zoom)
{
    map->maxZoom = std::max(map->maxZoom, zoom);
    map->zoom = zoom;
    map->ScrollBy(0.0f, 0.0f);
    RunGameFrames(2);
    const float midX = D3DEngine::GetInstance().GetScreenWidth() * 0.5f;
    const float midY = D3DEngine::GetInstance().GetScreenHeight() * 0.5f;
    for (int i = 0; i < 3; ++i) {
        GUI_PlayerFleetIcon* icon = IconOf(fleet);
        if (!icon)
            return nullptr;
        map->ScrollBy(((icon->left + icon->right) * 0.5f - midX) / map->zoom,
                      ((icon->top + icon->bottom) * 0.5f - midY) / map->zoom);
        RunGameFrames(2);
    }
    return IconOf(fleet);
}

// Screen pixels where the hull's picture is opaque and plainly darker than
// white all around, and how they were drawn. The hull is 0.75 of the icon,
// centred on it.
HullLook LookAtHull(const TextureData& shot, const GUI_PlayerFleetIcon& icon, const HullPicture& hull)
{
    HullLook look;
    const float cx = (icon.left + icon.right) * 0.5f, cy = (icon.top + icon.bottom) * 0.5f;
    const float w = (icon.right - icon.left) * 0.75f, h = (icon.bottom - icon.top) * 0.75f;
    const float x0 = cx - w * 0.5f, y0 = cy - h * 0.5f;
    // A screen pixel covers this many texels; filtering reaches one more.
    const int half = static_cast<int>(std::ceil(hull.width / w)) + 1;
    for (int py = static_cast<int>(y0); py < static_cast<int>(y0 + h); ++py)
        for (int px = static_cast<int>(x0); px < static_cast<int>(x0 + w); ++px) {
            const int tx = static_cast<int>((px + 0.5f - x0) / w * hull.width);
            const int ty = static_cast<int>((py + 0.5f - y0) / h * hull.height);
            int brightest = 0;
            if (!hull.Opaque(tx, ty, half, brightest) || brightest > 215)
                continue;
            int r = 0, g = 0, b = 0;
            PixelAt(shot, px, py, r, g, b);
            ++look.probed;
            look.white += std::min({r, g, b}) >= 240;
            look.darkest = std::min({look.darkest, r, g, b});
        }
    return look;
}

} // namespace

TEST(GLCampaignFleetIcon, TheLeadingHullIsAFlatWhiteShapeFarOutAndCloseUp)
{
    CampaignWindowGame play(11);
    ASSERT_TRUE(play.Started());
    ASSERT_TRUE(GUI_Campaign::CreateCampaignSave("sil"));
    ASSERT_TRUE(GUI_Campaign::OpenCampaign("sil"));
    Settle();
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    ASSERT_NE(map, nullptr);
    SIM_CampaignEncounter* home = map->GetCampaign()->GetHomeworldEncounter();
    ASSERT_NE(home, nullptr);
    // Away from the screen's edges (which scroll the map) and the icon.
    MoveMouse(150, 300);
    SIM_CampaignFleet* fleet = MakeTestFleet(home);
    ASSERT_NE(fleet, nullptr);
    RunGameFrames(2);

    const SIM_ShipDesign* design = fleet->GetMostExpensiveDesign();
    ASSERT_TRUE(design && design->GetHull());
    HullPicture hull;
    ASSERT_TRUE(hull.Load(design->GetHull()->GetSprite()));

    // The closest the player's own zoom goes: no framed picture yet, the
    // hull drawn over the small symbol at full strength.
    GUI_PlayerFleetIcon* icon = ShowIconAt(map, fleet, GUI_CampaignMap::kMaxZoom);
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(GUI_EncounterIcon::LargeAlpha(map->zoom), 0.0f);
    TextureData shot = Screenshot(play.UserDir());
    ASSERT_GT(shot.width, 0);
    const HullLook far = LookAtHull(shot, *icon, hull);
    EXPECT_GE(far.probed, 8);
    EXPECT_EQ(far.white, far.probed) << "darkest channel " << far.darkest;
    EXPECT_TRUE(D3DEngine::GetInstance().IsPlainState()) << "what is drawn next is in colour again";

    // Close up (past the fade's end) the framed large picture is the hull.
    icon = ShowIconAt(map, fleet, GUI_EncounterIcon::kFadeStartZoom + GUI_EncounterIcon::kFadeSpan + 1.0f);
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(GUI_EncounterIcon::LargeAlpha(map->zoom), 1.0f);
    shot = Screenshot(play.UserDir());
    const HullLook close = LookAtHull(shot, *icon, hull);
    EXPECT_GE(close.probed, 200);
    EXPECT_EQ(close.white, close.probed) << "darkest channel " << close.darkest;
    EXPECT_TRUE(D3DEngine::GetInstance().IsPlainState()) << "what is drawn next is in colour again";

    GUI_Campaign::QuitCampaignToMenu();
    Settle();
}

// The pointer over the map: the hand over a planet, a facility or a fleet
// icon (each takes a click), the arrow over empty space, in the real window.
TEST(GLCampaignFleetIcon, TheHandShowsOverPlanetsFacilitiesAndFleetsAndTheArrowElsewhere)
{
    CampaignWindowGame play(13);
    ASSERT_TRUE(play.Started());
    ASSERT_TRUE(GUI_Campaign::CreateCampaignSave("hand"));
    ASSERT_TRUE(GUI_Campaign::OpenCampaign("hand"));
    Settle();
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    ASSERT_NE(map, nullptr);
    SIM_CampaignEncounter* home = map->GetCampaign()->GetHomeworldEncounter();
    SIM_CampaignFleet* fleet = MakeTestFleet(home);
    ASSERT_NE(fleet, nullptr);
    RunGameFrames(2);
    PullMapTo(map, home);
    RunGameFrames(2);
    const GUI_Encounter* view = map->FindView(home);
    ASSERT_NE(view, nullptr);
    GUI_PlayerFleetIcon* icon = IconOf(fleet);
    ASSERT_NE(icon, nullptr);

    // What the game asked the real window to show.
    auto* window = dynamic_cast<SdlWindow*>(Game::GetInstance().GetWindow());
    ASSERT_NE(window, nullptr);
    const auto pointerAt = [&](int x, int y) {
        MoveMouse(x, y);
        RunGameFrames(2);
        return window->GetCursor();
    };
    // Empty space: away from every planet and its icons.
    int ex = -1, ey = -1;
    for (int y = 300; y < 600 && ex < 0; y += 25)
        for (int x = 150; x < 900 && ex < 0; x += 25) {
            bool empty = true;
            for (const GUI_Encounter* v : map->GetEncounters())
                empty = empty && std::hypot(v->CentreX() - x, v->CentreY() - y) > v->Size() + 80.0f;
            if (empty)
                ex = x, ey = y;
        }
    ASSERT_GE(ex, 0);
    const SystemCursor arrow = pointerAt(ex, ey);
    EXPECT_EQ(arrow, SystemCursor::Arrow);
    EXPECT_EQ(GUI_Cursor::GetInstance().kind, GUI_Cursor::kArrow);

    const SystemCursor overPlanet = pointerAt(static_cast<int>(view->CentreX()), static_cast<int>(view->CentreY()));
    EXPECT_EQ(GUI_Cursor::GetInstance().kind, GUI_Cursor::kHand);
    EXPECT_EQ(overPlanet, SystemCursor::Hand) << "the window shows the hand";

    const SystemCursor overFleet = pointerAt((icon->left + icon->right) / 2, (icon->top + icon->bottom) / 2);
    EXPECT_EQ(GUI_Cursor::GetInstance().kind, GUI_Cursor::kHand);
    EXPECT_EQ(overFleet, overPlanet);

    for (GUI_WindowBase* child : view->GetChildren())
        if (child != icon && dynamic_cast<GUI_EncounterIcon*>(child) && child->visible) {
            pointerAt((child->left + child->right) / 2, (child->top + child->bottom) / 2);
            EXPECT_EQ(GUI_Cursor::GetInstance().kind, GUI_Cursor::kHand) << "a facility's icon";
            break;
        }

    EXPECT_EQ(pointerAt(ex, ey), arrow);
    EXPECT_EQ(GUI_Cursor::GetInstance().kind, GUI_Cursor::kArrow);
    GUI_Campaign::QuitCampaignToMenu();
    Settle();
}
