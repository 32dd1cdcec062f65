// The beams of the support and anti-missile modules as the battle view
// draws them: when each kind shows, where it ends, its width, colour and
// texture rows, one beam per turret, and the pieces a repeating texture is
// laid in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "battle/EffectTestView.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Ship.h"
#include "battle/SupportBeamDraws.h"
#include "engine/QuadRunBatch.h"
#include "sim/SIM_BattleStep.h"
#include "sim/SIM_Shield.h"
#include "sim/modules/SIM_ECMBeamModule.h"
#include "sim/modules/SIM_ECMShockModule.h"
#include "sim/modules/SIM_Missile.h"
#include "sim/modules/SIM_PointDefenceModule.h"
#include "sim/modules/SIM_ShieldModule.h"
#include "sim/modules/SIM_ShieldSupportBeam.h"
#include "sim/modules/SIM_TargetPainterModule.h"
#include "sim/modules/SIM_TractorModule.h"
#include "sim/modules/SupportWorld.h"

namespace {

using Kind = SupportBeamDraws::Kind;

class SupportBeamDrawsTest : public ::testing::Test {
protected:
    SupportBeamDrawsTest()
    {
        GUI_Ship::InstallFactory();
        const std::string turret = "slot_type = TURRET\ncategory = WEAPONS\nhitpoints = 20\ntracking_speed = 6\n"
                                   "turretsize = 16\nturret_sprite = turret_laser\n";
        m_world.AddModuleType("b_ecm", "classname = SIM_ECMBeamModule\n" + turret +
                                           "max_range = 600\nbeam_duration = 1500\nbeam_width = 4\n"
                                           "beam_texture = beam_ecm.dds\n");
        m_world.AddModuleType("b_shock", "classname = SIM_ECMShockModule\n" + turret +
                                             "max_range = 350\nfire_interval = 1000\nbeam_duration = 800\n"
                                             "beamwidth = 20\necm_strength = 1\nshock_duration = 3000\n"
                                             "beam_texture = ecm_shock.dds\n");
        m_world.AddModuleType("b_support", "classname = SIM_ShieldSupportBeam\n" + turret +
                                               "max_range = 500\nfire_interval = 100\npulseduration = 800\n"
                                               "ssb_beamrate = 20\nssb_rechargerate = 5\ncapacitorsize = 200\n"
                                               "mincaptodischarge = 50\nbeamwidth = 6\n"
                                               "texture = beam_shieldsupport.dds\n");
        m_world.AddModuleType("b_painter", "classname = SIM_TargetPainterModule\n" + turret +
                                               "max_range = 800\nfire_interval = 100\nbeam_duration = 2500\n"
                                               "texture = beam_targetpainter.dds\n");
        m_world.AddModuleType("b_pd", "classname = SIM_PointDefenseModule\n" + turret +
                                          "max_range = 300\nfire_interval = 400\nbeam_duration = 150\n"
                                          "beam_width = 2\nbeam_texture = beam_pointdefence.dds\n");
        for (const char* module : {"b_ecm", "b_shock", "b_support", "b_painter", "b_pd"})
            m_world.Design(std::string("s_") + module, "t_cruiser", {"engine", "crew", "", module});
        EffectTestView::Look(-400.0f, -300.0f, 1.0f);
    }
    ~SupportBeamDrawsTest() override { SIM_ShipVisual::SetFactory(nullptr); }

    // The ship's one beam entry.
    static const SupportBeamDraws::Entry& EntryOf(const SIM_Ship* ship)
    {
        const auto& entries = GUI_Ship::Of(ship)->GetSupportBeams().GetEntries();
        EXPECT_EQ(entries.size(), 1u);
        return entries.front();
    }
    // How many vertices the ship's drawing sends to the device.
    size_t Drawn(SIM_Ship* ship)
    {
        m_view.Device().ClearDraws();
        QuadRunBatch& batch = QuadRunBatch::Shared();
        batch.Begin(EffectTestView::kWidth, EffectTestView::kHeight);
        GUI_Ship::Of(ship)->Draw();
        batch.End();
        size_t count = 0;
        for (const auto& draw : m_view.Device().GetDraws())
            count += draw.vertexCount;
        return count;
    }

    SupportWorld m_world;
    EffectTestView m_view;
};

} // namespace

TEST_F(SupportBeamDrawsTest, EachKindShowsOnlyWhileItWorksFromEveryTurretToWhatItHolds)
{
    SIM_Missile missile;
    missile.x = 0.0f;
    missile.y = 200.0f;

    // ECM beam: while it beams at a missile, beam_width wide at its pulse.
    SIM_Ship* ecmShip = m_world.Build("s_b_ecm", 0, 0);
    auto* ecm = ModuleTestWorld::FindModule<SIM_ECMBeamModule>(ecmShip);
    const SupportBeamDraws::Entry& ecmEntry = EntryOf(ecmShip);
    EXPECT_EQ(ecmEntry.kind, Kind::ECM_BEAM);
    EXPECT_FALSE(SupportBeamDraws::LookOf(ecmEntry).on);
    const size_t quiet = Drawn(ecmShip);
    ecm->state = SIM_ECMBeamModule::BEAMING;
    ecm->missile = &missile;
    ecm->beamTimer = 1500.0f;
    ecm->pulseAlpha = 0.5f;
    SupportBeamDraws::Look look = SupportBeamDraws::LookOf(ecmEntry);
    ASSERT_TRUE(look.on);
    EXPECT_FLOAT_EQ(look.endX, 0.0f);
    EXPECT_FLOAT_EQ(look.endY, 200.0f);
    EXPECT_FLOAT_EQ(look.width, 4.0f);
    EXPECT_EQ(look.colour, 0x80FFFFFFu);
    EXPECT_FLOAT_EQ(look.repeat, 0.0f) << "stretched once along the beam";
    ASSERT_EQ(ecm->GetTurretCount(), 3u);
    EXPECT_EQ(Drawn(ecmShip), quiet + 3 * 4) << "a beam from each of the three turrets";
    ecm->beamTimer = 1500.5f; // past beam_duration: it has ended
    EXPECT_FALSE(SupportBeamDraws::LookOf(ecmEntry).on);
    ecm->state = SIM_ECMBeamModule::IDLE;
    ecm->missile = nullptr;

    // Point defence: only while firing at its missile.
    SIM_Ship* pdShip = m_world.Build("s_b_pd", 0, 0);
    auto* pd = ModuleTestWorld::FindModule<SIM_PointDefenceModule>(pdShip);
    const SupportBeamDraws::Entry& pdEntry = EntryOf(pdShip);
    EXPECT_EQ(pdEntry.kind, Kind::POINT_DEFENCE);
    pd->missile = &missile;
    pd->state = SIM_PointDefenceModule::READY;
    EXPECT_FALSE(SupportBeamDraws::LookOf(pdEntry).on);
    pd->state = SIM_PointDefenceModule::FIRING;
    look = SupportBeamDraws::LookOf(pdEntry);
    EXPECT_TRUE(look.on);
    EXPECT_FLOAT_EQ(look.width, 2.0f);
    EXPECT_EQ(look.colour, 0xFFFFFFFFu);
    pd->missile = nullptr;
    pd->state = SIM_PointDefenceModule::RELOADING;

    // ECM shock: while it shows, on its target's aim point, its texture
    // scrolled by scroll / 128 and repeated every 256 units.
    SIM_Ship* enemy = m_world.Build("frigate", 300.0f, 0.0f, true);
    SIM_Ship* shockShip = m_world.Build("s_b_shock", 0, 0);
    auto* shock = ModuleTestWorld::FindModule<SIM_ECMShockModule>(shockShip);
    const SupportBeamDraws::Entry& shockEntry = EntryOf(shockShip);
    EXPECT_EQ(shockEntry.kind, Kind::ECM_SHOCK);
    shock->SetTarget(enemy);
    EXPECT_FALSE(SupportBeamDraws::LookOf(shockEntry).on);
    shock->showing = true;
    shock->scroll = 128.0f;
    shock->aimPoint = {310.0f, 5.0f};
    look = SupportBeamDraws::LookOf(shockEntry);
    ASSERT_TRUE(look.on);
    EXPECT_FLOAT_EQ(look.endX, 310.0f);
    EXPECT_FLOAT_EQ(look.endY, 5.0f);
    EXPECT_FLOAT_EQ(look.width, 20.0f);
    EXPECT_FLOAT_EQ(look.v0, 1.0f);
    EXPECT_FLOAT_EQ(look.repeat, 1.0f / 256.0f);
    shock->SetTarget(nullptr);
    EXPECT_FALSE(SupportBeamDraws::LookOf(shockEntry).on);

    // Target painter: white at full alpha while the blink is on, 0x20 while
    // it is off, its texture from the offset on, repeated every 128 units.
    SIM_Ship* painterShip = m_world.Build("s_b_painter", 0, 0);
    auto* painter = ModuleTestWorld::FindModule<SIM_TargetPainterModule>(painterShip);
    const SupportBeamDraws::Entry& painterEntry = EntryOf(painterShip);
    EXPECT_EQ(painterEntry.kind, Kind::PAINTER);
    EXPECT_FALSE(SupportBeamDraws::LookOf(painterEntry).on);
    painter->SetTarget(enemy);
    painter->Fire();
    ASSERT_TRUE(painter->IsPainting());
    painter->textureOffset = 0.375f;
    look = SupportBeamDraws::LookOf(painterEntry);
    ASSERT_TRUE(look.on);
    EXPECT_EQ(look.colour, 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(look.endX, enemy->x);
    EXPECT_FLOAT_EQ(look.v0, 0.375f);
    EXPECT_FLOAT_EQ(look.repeat, 0.0078125f);
    painter->blinkOn = false;
    EXPECT_EQ(SupportBeamDraws::LookOf(painterEntry).colour, 0x20FFFFFFu);
    painter->StopPainting();
    EXPECT_FALSE(SupportBeamDraws::LookOf(painterEntry).on);

    // Shield support: while it feeds a shield, each turret pulsing by its
    // own offset between 140 and 255.
    SIM_Ship* supporter = m_world.Build("s_b_support", 0, 0);
    auto* support = ModuleTestWorld::FindModule<SIM_ShieldSupportBeam>(supporter);
    const SupportBeamDraws::Entry& supportEntry = EntryOf(supporter);
    EXPECT_EQ(supportEntry.kind, Kind::SHIELD_SUPPORT);
    SIM_Ship* friendShip = m_world.Build("shieldbox", 200.0f, 100.0f);
    for (SIM_ShieldModule* m : friendShip->GetShield()->GetModules())
        m->points = m->maxPoints * 0.5f;
    friendShip->GetShield()->Recalculate();
    support->SetTarget(friendShip);
    EXPECT_FALSE(SupportBeamDraws::LookOf(supportEntry).on);
    support->Fire();
    ASSERT_TRUE(support->IsDischarging());
    look = SupportBeamDraws::LookOf(supportEntry);
    ASSERT_TRUE(look.on);
    EXPECT_FLOAT_EQ(look.endX, 200.0f);
    EXPECT_FLOAT_EQ(look.endY, 100.0f);
    EXPECT_FLOAT_EQ(look.width, 6.0f);
    support->pulseTimer = 0.0f;
    const float offsets[4] = {0.0f, 200.0f, 400.0f, 600.0f};
    std::copy(std::begin(offsets), std::end(offsets), support->pulseOffsets);
    EXPECT_EQ(SupportBeamDraws::SupportPulseAlpha(*support, 0), 198);
    EXPECT_EQ(SupportBeamDraws::SupportPulseAlpha(*support, 1), 255);
    EXPECT_EQ(SupportBeamDraws::SupportPulseAlpha(*support, 3), 140);
    support->StopDischarge();
    EXPECT_FALSE(SupportBeamDraws::LookOf(supportEntry).on);

    // Tractor: while it holds a ship, 16 units wide, its texture crawling a
    // whole picture a second and repeated every 256 units.
    SIM_Ship* tug = m_world.Build("tug", 0, 0);
    auto* tractor = ModuleTestWorld::FindModule<SIM_TractorModule>(tug);
    const SupportBeamDraws::Entry& tractorEntry = EntryOf(tug);
    EXPECT_EQ(tractorEntry.kind, Kind::TRACTOR);
    tractor->SetTarget(enemy);
    EXPECT_FALSE(SupportBeamDraws::LookOf(tractorEntry).on) << "a target is not yet a grip";
    tractor->tractorState = SIM_TractorModule::HOLDING;
    tractor->beamEnd = {enemy->x, enemy->y};
    tractor->textureScroll = 250.0f;
    look = SupportBeamDraws::LookOf(tractorEntry);
    ASSERT_TRUE(look.on);
    EXPECT_FLOAT_EQ(look.endX, enemy->x);
    EXPECT_FLOAT_EQ(look.width, 16.0f);
    EXPECT_FLOAT_EQ(look.v0, 0.25f);
    EXPECT_FLOAT_EQ(look.repeat, 1.0f / 256.0f);
    tractor->SetEnabled(false);
    EXPECT_FALSE(SupportBeamDraws::LookOf(tractorEntry).on) << "switched off (its ship hides under a cloak)";
    tractor->SetEnabled(true);
    tractor->tractorState = SIM_TractorModule::IDLE;
    tractor->SetTarget(nullptr);
}

TEST_F(SupportBeamDrawsTest, ARepeatingTextureIsLaidInPiecesThatEachStayInsideThePicture)
{
    // The vertices of one beam (the device keeps the first 64 of a draw)
    // and how many went out.
    size_t sent = 0;
    auto beam = [this, &sent](float x1, float y1, float x2, float y2, float v0, float span) {
        m_view.Device().ClearDraws();
        QuadRunBatch& batch = QuadRunBatch::Shared();
        batch.Begin(EffectTestView::kWidth, EffectTestView::kHeight);
        const int quads = SupportBeamDraws::AddBeam(batch, 0, x1, y1, x2, y2, 10.0f, 0xFFFFFFFFu, v0, span);
        batch.End();
        std::vector<ScreenVertex> out;
        sent = 0;
        for (const auto& draw : m_view.Device().GetDraws()) {
            out.insert(out.end(), draw.vertices.begin(), draw.vertices.end());
            sent += draw.vertexCount;
        }
        EXPECT_EQ(sent, static_cast<size_t>(quads) * 4);
        return out;
    };
    // From row 0.25 over three repeats: pieces 0.25..1, 0..1, 0..1, 0..0.25,
    // the first a quarter of the length.
    std::vector<ScreenVertex> v = beam(100.0f, 100.0f, 100.0f, 484.0f, 0.25f, 3.0f);
    ASSERT_EQ(v.size(), 16u);
    const float rows[4][2] = {{0.25f, 1.0f}, {0.0f, 1.0f}, {0.0f, 1.0f}, {0.0f, 0.25f}};
    for (int q = 0; q < 4; ++q) {
        EXPECT_FLOAT_EQ(v[4 * q].v, rows[q][0]) << q;
        EXPECT_FLOAT_EQ(v[4 * q + 2].v, rows[q][1]) << q;
        EXPECT_FLOAT_EQ(v[4 * q].u, 0.0f);
        EXPECT_FLOAT_EQ(v[4 * q + 1].u, 1.0f);
    }
    EXPECT_NEAR(v[2].y, 100.0f + 384.0f * 0.75f / 3.0f, 1e-3f);
    EXPECT_NEAR(v[14].y, 484.0f, 1e-3f);
    EXPECT_NEAR(std::fabs(v[1].x - v[0].x), 10.0f, 1e-4f) << "its width across the beam";
    // No repeat: the picture once along the whole beam.
    v = beam(100.0f, 100.0f, 400.0f, 100.0f, 0.6f, 0.0f);
    ASSERT_EQ(v.size(), 4u);
    EXPECT_FLOAT_EQ(v[0].v, 0.0f);
    EXPECT_FLOAT_EQ(v[2].v, 1.0f);
    // A beam wholly off the screen, or shorter than a pixel, adds nothing.
    EXPECT_TRUE(beam(-300.0f, -300.0f, -20.0f, -20.0f, 0.0f, 2.0f).empty());
    EXPECT_TRUE(beam(100.0f, 100.0f, 100.5f, 100.0f, 0.0f, 0.0f).empty());
    // Across the screen's left edge: the pieces wholly off it are left out,
    // the rest laid as before (pieces of 100 from x = -350; the fourth
    // reaches in).
    v = beam(-350.0f, 100.0f, 450.0f, 100.0f, 0.0f, 8.0f);
    ASSERT_EQ(sent, 5u * 4u);
    EXPECT_NEAR(v[0].x, -50.0f, 1e-3f);
    EXPECT_NEAR(v[2].x, 50.0f, 1e-3f);
    EXPECT_FLOAT_EQ(v[0].v, 0.0f);
    EXPECT_FLOAT_EQ(v[2].v, 1.0f);
    beam(-350.0f, 100.0f, 450.0f, 100.0f, 0.0f, 800.0f / 349.0f);
    EXPECT_EQ(sent, 2u * 4u) << "pieces of 349: the first ends a unit short of the screen";
    beam(-350.0f, 100.0f, 450.0f, 100.0f, 0.0f, 800.0f / 351.0f);
    EXPECT_EQ(sent, 3u * 4u) << "pieces of 351: the first ends a unit into it";
    // Right of the screen (800; no end pass has read a margin past it
    // here) the same.
    beam(700.0f, 100.0f, 2000.0f, 100.0f, 0.0f, 13.0f);
    EXPECT_EQ(sent, 2u * 4u) << "pieces from 700 and 800, of 100 each";
    // Endless repeats are stretched over the most pieces allowed.
    beam(0.0f, 300.0f, 800.0f, 300.0f, 0.5f, 1e6f);
    EXPECT_EQ(sent, static_cast<size_t>(SupportBeamDraws::kMaxPieces) * 4);
}
