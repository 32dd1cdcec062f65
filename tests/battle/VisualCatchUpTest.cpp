// Visuals brought up to date late: a ship out of view updates its
// attachments only every few frames, and what they show once it is back in
// view matches what updating every frame would have shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "EffectTestView.h"
#include "battle/GUI_ConTrail.h"
#include "battle/GUI_EngineGlow.h"
#include "battle/GUI_ParticleConfig.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/GUI_Ship.h"
#include "battle/GUI_ShipEmmiter.h"
#include "battle/VisualRandom.h"
#include "battle/VisualStep.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/ShipTestWorld.h"

namespace {

constexpr float kFrameMs = 16.0f;

class VisualCatchUp : public ::testing::Test {
protected:
    VisualCatchUp()
    {
        GUI_Ship::InstallFactory();
        GUI_BattleGUI::GetInstance().contrails = 1;
    }
    ~VisualCatchUp() override
    {
        SIM_ShipVisual::SetFactory(nullptr);
        ClearParticleConfigs();
    }

    static std::vector<std::pair<float, float>> Positions(const GUI_ParticleEmmiter& e)
    {
        std::vector<std::pair<float, float>> out;
        for (int i = 0; i <= e.GetHighestSlot(); ++i)
            if (e.GetParticle(i).alive)
                out.emplace_back(e.GetParticle(i).x, e.GetParticle(i).y);
        std::sort(out.begin(), out.end());
        return out;
    }

    // An emitter moving in a line, `dx`, `dy` a frame.
    struct Path {
        float dx, dy;
    };
    // Frames first + 1 to first + frames: the emitter moves along the path
    // each frame and updates on the frames `updates` picks, each update
    // covering the frames since the last.
    // A particle config the registry keeps (and frees), read from text.
    static bool AddConfig(const char* text) { return (new GUI_ParticleConfig())->ReadText(text); }

    template <typename Updates>
    static void Run(GUI_ParticleEmmiter& e, int frames, const Path& path, Updates updates, int first = 0)
    {
        int caughtUp = first;
        for (int f = first + 1; f <= first + frames; ++f) {
            EffectTestView::Step(kFrameMs);
            if (!updates(f))
                continue;
            const int span = f - caughtUp;
            caughtUp = f;
            e.x = path.dx * static_cast<float>(f);
            e.y = path.dy * static_cast<float>(f);
            VisualStepScope scope(VisualStep{kFrameMs * static_cast<float>(span), span, kFrameMs});
            e.Update();
        }
    }

    static void ExpectSameParticles(const GUI_ParticleEmmiter& a, const GUI_ParticleEmmiter& b)
    {
        ASSERT_EQ(a.GetLiveCount(), b.GetLiveCount());
        ExpectSamePositions(Positions(a), Positions(b));
    }

    static void ExpectSamePositions(const std::vector<std::pair<float, float>>& pa,
                                    const std::vector<std::pair<float, float>>& pb)
    {
        ASSERT_EQ(pa.size(), pb.size());
        for (size_t i = 0; i < pa.size(); ++i) {
            EXPECT_NEAR(pa[i].first, pb[i].first, 1e-3f) << i;
            EXPECT_NEAR(pa[i].second, pb[i].second, 1e-3f) << i;
        }
    }

    EffectTestView view;
    ShipTestWorld world;
};

TEST_F(VisualCatchUp, AnEmitterCaughtUpShowsTheParticlesOfOneSteppedEveryFrame)
{
    // Slowing particles (speed falloff), a fade-in crossed inside the
    // catch-up, deaths within it, and a spawn remainder dropped each frame.
    LoadParticleConfigs();
    ASSERT_TRUE(AddConfig("Name = trail\nType = BURN\nMinXVelocity = -0.5\nMaxXVelocity = 0.5\n"
                          "MinYVelocity = -0.5\nMaxYVelocity = 0.5\nMinSize = 2\nMaxSize = 6\n"
                          "AlphaFalloff = 0.08\nSizeFalloff = 0.3\nSpeedFalloff = 0.05\n"
                          "XScatter = 2\nYScatter = 2\nParticlesPerSecond = 150\nLifetime = -1\n"));
    GUI_ParticleEmmiter everyFrame("trail", 0.0f, 0.0f, 0.0f, 0.0f);
    GUI_ParticleEmmiter late("trail", 0.0f, 0.0f, 0.0f, 0.0f);
    constexpr int kFrames = 60, kGap = 7;
    const Path path{3.0f, -1.5f};
    // The same births in the same order: the same random numbers.
    SeedVisualRandom(11);
    Run(everyFrame, kFrames, path, [](int) { return true; });
    SeedVisualRandom(11);
    Run(late, kFrames, path, [](int f) { return f % kGap == 0 || f == kFrames; });
    ASSERT_GT(everyFrame.GetLiveCount(), 10);
    ExpectSameParticles(everyFrame, late);
}

TEST_F(VisualCatchUp, ACatchUpLongerThanALifeMakesOnlyTheBirthsThatOutliveItAndKeepsTheLaterOnesInStep)
{
    // Births that die inside a catch-up are not made, yet their random
    // numbers are drawn: the survivors and every later birth match stepped
    // frames. Two configs draw six and seven numbers a birth (scatter, size,
    // a cell of a span, angle, one or two speeds, spin).
    LoadParticleConfigs();
    ASSERT_TRUE(AddConfig("Name = plain\nType = BURN\nMinXVelocity = -0.5\nMaxXVelocity = 0.5\n"
                          "MinYVelocity = -0.5\nMaxYVelocity = 0.5\nMinSize = 4\nMaxSize = 7\n"
                          "AlphaFalloff = 0.08\nSizeFalloff = 0.04\nXScatter = 1\nYScatter = 1\n"
                          "ParticlesPerSecond = 150\nLifetime = -1\n"));
    ASSERT_TRUE(AddConfig("Name = spun\nType = BURN\nIsAngled = 1\nMinXVelocity = 0.1\nMaxXVelocity = 0.4\n"
                          "MinSize = 4\nMaxSize = 7\nAlphaFalloff = 0.1\nXScatter = 2\nYScatter = 2\n"
                          "MinSpinSpeed = -2\nMaxSpinSpeed = 2\nUVFrame = 4\nUVFrameLast = 7\n"
                          "ParticlesPerSecond = 120\nLifetime = -1\n"));
    const Path path{2.0f, 0.5f};
    for (const char* name : {"plain", "spun"}) {
        for (int gap : {23, 40, 64}) {
            SCOPED_TRACE(std::string(name) + " every " + std::to_string(gap));
            GUI_ParticleEmmiter everyFrame(name, 0.0f, 0.0f, 0.0f, 0.0f);
            GUI_ParticleEmmiter late(name, 0.0f, 0.0f, 0.0f, 0.0f);
            // Three long catch-ups, then frames stepped one by one.
            const auto caughtUpTo = [gap](int f) { return f > 3 * gap || f % gap == 0; };
            SeedVisualRandom(5);
            Run(everyFrame, 3 * gap, path, [](int) { return true; });
            const auto midway = Positions(everyFrame);
            Run(everyFrame, 9, path, [](int) { return true; }, 3 * gap);
            SeedVisualRandom(5);
            Run(late, 3 * gap, path, caughtUpTo);
            ASSERT_GT(late.GetLiveCount(), 5);
            ExpectSamePositions(midway, Positions(late));
            Run(late, 9, path, caughtUpTo, 3 * gap);
            ExpectSameParticles(everyFrame, late);
            // None of the births that died within a catch-up took a slot.
            EXPECT_LE(late.GetHighestSlot(), everyFrame.GetHighestSlot());
        }
    }
    // Alone, without the frame stepped after it, a catch-up leaves what as
    // many stepped frames leave: the youngest birth it leaves out is one
    // those frames would have killed.
    for (int frames : {30, 64}) {
        SCOPED_TRACE(frames);
        GUI_ParticleEmmiter stepped("plain", 0.0f, 0.0f, 0.0f, 0.0f);
        GUI_ParticleEmmiter caught("plain", 0.0f, 0.0f, 0.0f, 0.0f);
        SeedVisualRandom(9);
        for (int f = 0; f < frames; ++f)
            stepped.Advance(kFrameMs, kFrameMs / 12.0f, false);
        SeedVisualRandom(9);
        caught.CatchUp(frames, kFrameMs);
        ExpectSameParticles(stepped, caught);
    }
}

TEST_F(VisualCatchUp, ACaughtUpParticleFadesInAndDiesAtTheFrameStepByStepWould)
{
    LoadParticleConfigs();
    ASSERT_TRUE(AddConfig("Name = one\nType = BURN\nInitialParticles = 1\nMinSize = 4\nMaxSize = 4\n"
                          "AlphaFalloff = 0.125\nSizeFalloff = 0.25\nLifetime = 1\n"));
    // 12 ms frames fade from frame 9 (age 108) and run out of alpha at the
    // eighth fading frame; 10 ms frames reach age 100 at frame 10, which is
    // not yet past the fade-in.
    for (float ms : {12.0f, 10.0f}) {
        for (int frames = 1; frames <= 22; ++frames) {
            GUI_ParticleEmmiter stepped("one", 0.0f, 0.0f, 0.0f, 0.0f);
            GUI_ParticleEmmiter late("one", 0.0f, 0.0f, 0.0f, 0.0f);
            for (int f = 0; f < frames; ++f)
                stepped.Advance(ms, ms / 12.0f, false);
            late.CatchUp(frames, ms);
            ASSERT_EQ(late.GetLiveCount(), stepped.GetLiveCount()) << ms << " " << frames;
            EXPECT_EQ(late.IsActive(), stepped.IsActive());
            if (stepped.GetLiveCount() == 0)
                continue;
            EXPECT_NEAR(late.GetParticle(0).alpha, stepped.GetParticle(0).alpha, 1e-5f);
            EXPECT_NEAR(late.GetParticle(0).size, stepped.GetParticle(0).size, 1e-5f);
            EXPECT_NEAR(late.GetParticle(0).age, stepped.GetParticle(0).age, 1e-3f);
        }
        GUI_ParticleEmmiter e("one", 0.0f, 0.0f, 0.0f, 0.0f);
        e.CatchUp(ms == 12.0f ? 15 : 10, ms);
        EXPECT_EQ(e.GetLiveCount(), 1);
        EXPECT_FLOAT_EQ(e.GetParticle(0).alpha, ms == 12.0f ? 0.125f : 1.0f);
        e.CatchUp(1, ms);
        EXPECT_EQ(e.GetLiveCount(), ms == 12.0f ? 0 : 1);
    }
}

TEST_F(VisualCatchUp, AConTrailCaughtUpEqualsOneUpdatedEveryFrame)
{
    SIM_Ship* a = world.Build("cruiser_bare", 100.0f, 100.0f);
    SIM_Ship* b = world.Build("cruiser_bare", 100.0f, 100.0f);
    GUI_ConTrail everyFrame(a, 48, 300.0f, 2.0f, 3.0f, 0.0f, 0.5f);
    GUI_ConTrail late(b, 48, 300.0f, 2.0f, 3.0f, 0.0f, 0.5f);
    // Far out of view: nothing is drawn, only the points laid.
    EffectTestView::Look(5000.0f, 5000.0f, 1.0f);
    int caughtUp = 0;
    for (int f = 0; f <= 40; ++f) {
        EffectTestView::Step(kFrameMs);
        a->x = b->x = 100.0f + 2.0f * static_cast<float>(f);
        everyFrame.Draw();
        if (f == 0) {
            late.Draw(); // the first draw only takes the head
            continue;
        }
        if (f % 4 != 0)
            continue;
        const int frames = f - caughtUp;
        caughtUp = f;
        VisualStepScope scope(VisualStep{kFrameMs * static_cast<float>(frames), frames, kFrameMs});
        late.Draw();
    }
    const TrailSimulation& x = everyFrame.GetTrail();
    const TrailSimulation& y = late.GetTrail();
    ASSERT_GT(x.CountActive(), 10);
    ASSERT_EQ(y.CountActive(), x.CountActive());
    for (int i = 0; i < x.GetPointCount(); ++i) {
        ASSERT_EQ(y.IsActive(i), x.IsActive(i)) << i;
        EXPECT_NEAR(y.GetX(i), x.GetX(i), 1e-3f) << i;
        EXPECT_NEAR(y.GetY(i), x.GetY(i), 1e-3f) << i;
        EXPECT_NEAR(y.GetAge(i), x.GetAge(i), 1e-3f) << i;
    }
    // Ages come from birth times: a trail never drawn (its points all out of
    // view) keeps its first point, laid within the first two frames.
    EXPECT_GE(x.GetAge(x.CountActive() - 1), 38.0f * kFrameMs);
}

TEST_F(VisualCatchUp, AShipOutOfViewUpdatesItsAttachmentsEverySixteenthFrameAndInViewEveryFrame)
{
    // A cruiser with one con trail of 1000 ms and no engine glow.
    {
        std::ofstream("trailer.txt") << "[config]\nname = t_trailer\nguiname = T\ndamagetexture = cd.dds\n"
                                        "classname = cruiser\nracename = federation\nsprite = c.dds\nwidth = 100\n"
                                        "height = 80\n[slots]\n0 = 128,100,STANDARD\n1 = 128,128,STANDARD\n"
                                        "[contrails]\n0 = 128,200,48,1000,2.0,3.0\n";
        std::ofstream("trailer_ship.txt") << "[config]\nname = trailer\nguiname = trailer\nhull = t_trailer\n"
                                             "[modules]\n0 = crew\n1 = engine\n";
    }
    ASSERT_TRUE((new SIM_ShipHull())->Read("trailer.txt"));
    ASSERT_NE(SIM_ShipDesign::LoadFile("trailer_ship.txt", true), nullptr);
    SIM_Ship* ship = world.Build("trailer", 400.0f, 300.0f);
    GUI_Ship* visual = GUI_Ship::Of(ship);
    ASSERT_NE(visual, nullptr);
    ASSERT_EQ(visual->GetConTrails().size(), 1u);
    const TrailSimulation& points = visual->GetConTrails().front()->GetTrail();
    ship->state = SIM_Ship::ACTIVE;
    ship->maxSpeed = 0.0f;
    ship->speed = 0.0f;
    const auto frame = [&](float x) {
        EffectTestView::Step(kFrameMs);
        ship->x = x;
        visual->Draw();
        return !visual->AreChildrenDeferred();
    };
    // In view, or just within the margin beyond the 800-unit-wide view
    // (300 plus the hull's 100): every frame.
    const float nearEdge = 800.0f + GUI_Ship::kLazyMargin + 100.0f;
    for (float x : {400.0f, nearEdge})
        for (int f = 0; f < 8; ++f)
            EXPECT_TRUE(frame(x)) << x;
    // Past it: one frame in sixteen (the 16th, 32nd and 48th after the
    // last update), the others wait.
    int updated = 0;
    for (int f = 0; f < 47; ++f)
        updated += frame(nearEdge + 1.0f) ? 1 : 0;
    EXPECT_EQ(updated, 2);
    EXPECT_TRUE(frame(nearEdge + 1.0f));
    // Within its con trail's reach at 1.5 times the top speed (1000 ms at
    // 0.8 units per 12 ms is 100 more) it waits only once none of the
    // trail's points may show: those laid in view show for their 1000 ms.
    ship->maxSpeed = 0.8f;
    for (float x = 300.0f; x <= 500.0f; x += 20.0f)
        EXPECT_TRUE(frame(x));
    ASSERT_TRUE(points.MayShowOnScreen());
    int shown = 0;
    while (points.MayShowOnScreen() && shown < 200) {
        EXPECT_TRUE(frame(nearEdge + 99.0f));
        ++shown;
    }
    EXPECT_NEAR(shown, 1000.0f / kFrameMs, 2.0f);
    updated = 0;
    for (int f = 0; f < 32; ++f)
        updated += frame(nearEdge + 99.0f) ? 1 : 0;
    EXPECT_EQ(updated, 2);
    // Beyond that reach no trail of it can show (only a jump like this one
    // leaves points in view): it waits without asking.
    for (float x = 300.0f; x <= 500.0f; x += 20.0f)
        EXPECT_TRUE(frame(x));
    updated = 0;
    for (int f = 0; f < 32; ++f)
        updated += frame(nearEdge + 101.0f) ? 1 : 0;
    EXPECT_EQ(updated, 2);
    EXPECT_TRUE(points.MayShowOnScreen());
    ship->maxSpeed = 0.0f;
    // A passing effect hanging on the ship (an explosion) keeps it updated
    // every frame while it lasts.
    GUI_RenderObject passing;
    visual->AddChild(&passing);
    for (int f = 0; f < 8; ++f)
        EXPECT_TRUE(frame(5000.0f));
    visual->RemoveFromParent(&passing);
    // The update that ends a wait covers every frame of it: the trail's
    // clock (read as the age of a point never laid) runs the ship's whole
    // time, not only its updated frames.
    const int unlaid = points.GetPointCount() - 1;
    while (!frame(5000.0f)) {
    }
    const float before = points.GetAge(unlaid);
    int frames = 1;
    while (!frame(5000.0f))
        ++frames;
    EXPECT_EQ(frames, 16);
    EXPECT_FLOAT_EQ(points.GetAge(unlaid) - before, kFrameMs * static_cast<float>(frames));
}

TEST_F(VisualCatchUp, AParticlesReachCoversItsLifeDriftBiasSizeAndScatter)
{
    LoadParticleConfigs();
    ASSERT_TRUE(AddConfig("Name = reachy\nType = STANDARD\nMinXVelocity = -0.1\nMaxXVelocity = 0.2\n"
                          "MinYVelocity = -0.3\nMaxYVelocity = 0.1\nMinSize = 2\nMaxSize = 5\n"
                          "AlphaFalloff = 0.05\nSizeFalloff = -0.02\nXScatter = 3\nYScatter = 1\n"
                          "BiasScalar = 2\nLifetime = -1\n"));
    GUI_ParticleEmmiter smoke("reachy", 0.0f, 0.0f, 3.0f, 4.0f);
    smoke.scale = 2.0f;
    const GUI_ParticleEmmiter::Reach reach = smoke.GetReach();
    ASSERT_TRUE(reach.known);
    // 100 ms of fade-in and 20 steps of alpha; 1.5 times the fastest axis
    // (0.3) at scale 2, times 1 plus the bias (2 x 5); the largest size at
    // scale 2 grown for the whole life; the wider scatter at scale 2.
    const float life = 100.0f / 12.0f + 20.0f;
    EXPECT_NEAR(reach.lifeSteps, life, 1e-4f);
    EXPECT_NEAR(reach.drift, 0.3f * 1.5f * 2.0f * 11.0f, 1e-4f);
    EXPECT_NEAR(reach.size, 10.0f + 0.02f * life, 1e-4f);
    EXPECT_NEAR(reach.scatter, 6.0f, 1e-5f);
    EXPECT_NEAR(reach.At(1.0f), life * (9.9f + 1.0f) + 10.0f + 0.02f * life + 6.0f, 1e-3f);

    // Two reaches cover the farther of each part; one with no end known
    // makes the cover unknown.
    GUI_ParticleEmmiter::Reach cover;
    EXPECT_TRUE(cover.known);
    EXPECT_EQ(cover.At(5.0f), 0.0f);
    GUI_ParticleEmmiter::Reach other;
    other.lifeSteps = 100.0f;
    other.size = 1.0f;
    cover.Cover(reach);
    cover.Cover(other);
    EXPECT_EQ(cover.lifeSteps, 100.0f);
    EXPECT_EQ(cover.drift, reach.drift);
    EXPECT_EQ(cover.size, reach.size);
    ASSERT_TRUE(AddConfig("Name = endless\nType = STANDARD\nMaxXVelocity = 0.1\nLifetime = -1\n"));
    GUI_ParticleEmmiter forever("endless", 0.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_FALSE(forever.GetReach().known);
    cover.Cover(forever.GetReach());
    EXPECT_FALSE(cover.known);
}

TEST_F(VisualCatchUp, AShipWithSmokeWaitsOnlyBeyondTheSmokesReachAndAWreckWaitsLikeIt)
{
    LoadParticleConfigs();
    // A fighter-sized hit's smoke and flames.
    for (const char* text : {"Name = ship_emmiter_smoke_fighter\nType = STANDARD\nMinXVelocity = -0.08\n"
                             "MaxXVelocity = 0.08\nMinYVelocity = -0.08\nMaxYVelocity = 0.08\nMinSize = 1\n"
                             "MaxSize = 2\nAlphaFalloff = 0.02\nSizeFalloff = -0.03\nXScatter = 0.5\n"
                             "YScatter = 0.5\nParticlesPerSecond = 16\nLifetime = -1\n",
                             "Name = ship_emmiter_flames_fighter\nType = STANDARD\nMaxXVelocity = 0.05\n"
                             "MinSize = 1\nMaxSize = 3\nAlphaFalloff = 0.06\nParticlesPerSecond = 20\n"
                             "Lifetime = -1\n"})
        ASSERT_TRUE(AddConfig(text));
    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    GUI_Ship* visual = GUI_Ship::Of(ship);
    ASSERT_NE(visual, nullptr);
    ship->state = SIM_Ship::ACTIVE;
    ship->speed = 0.0f;
    ship->maxSpeed = 0.5f;
    GUI_BattleGUI::GetInstance().contrails = 0;
    const auto frame = [&](float x) {
        EffectTestView::Step(kFrameMs);
        ship->x = x;
        visual->Draw();
        return !visual->AreChildrenDeferred();
    };
    // The glows' trails alone, at 1.5 times the top speed, past the view's
    // right edge (800), the margin and the hull's size.
    const auto reachOfParticles = [&] {
        GUI_ParticleEmmiter::Reach reach;
        for (const auto& glow : visual->GetEngineGlows())
            if (glow->GetEmitter())
                reach.Cover(glow->GetEmitter()->GetReach());
        for (const auto& smoke : visual->GetShipEmmiters())
            reach.Cover(smoke->emitter->GetReach());
        return reach.At(0.75f);
    };
    const float hull = std::max(ship->GetWidth(), ship->GetHeight());
    const auto waitsBeyond = [&](float reach) {
        const float edge = 800.0f + GUI_Ship::kLazyMargin + hull + reach;
        for (int f = 0; f < 8; ++f)
            EXPECT_TRUE(frame(edge - 1.0f)) << reach;
        int updated = 0;
        for (int f = 0; f < 32; ++f)
            updated += frame(edge + 1.0f) ? 1 : 0;
        EXPECT_EQ(updated, 2) << reach;
    };
    const float glows = reachOfParticles();
    waitsBeyond(glows);
    // Smoke from a hit, its particles pushed along the blow (3, 4), reaches
    // farther: so does the margin, until the smoke is gone.
    SIM_ShipHull::Target spot;
    spot.name = "SHIP_EMMITER_SMALL";
    visual->AddDamageEmitters(spot, 3.0f, 4.0f);
    ASSERT_FALSE(visual->GetShipEmmiters().empty());
    const float smoky = reachOfParticles();
    ASSERT_GT(smoky, glows + 20.0f);
    waitsBeyond(smoky);
    visual->DeleteShipEmmiters();
    waitsBeyond(glows);
    // Far out of view a dying ship's effects follow every frame; a wreck's
    // leftovers wait as a fighting ship's do.
    ship->state = SIM_Ship::DYING;
    for (int f = 0; f < 8; ++f)
        EXPECT_TRUE(frame(5000.0f));
    ship->state = SIM_Ship::DESTROYED;
    int updated = 0;
    for (int f = 0; f < 32; ++f)
        updated += frame(5000.0f) ? 1 : 0;
    EXPECT_EQ(updated, 2);
    ship->state = SIM_Ship::OFF_FIELD;
    GUI_BattleGUI::GetInstance().contrails = 1;
}

TEST_F(VisualCatchUp, AnEngineTrailBeyondItsReachStepsEverySixtyFourthFrameAndWithinItEveryFrame)
{
    LoadParticleConfigs();
    ASSERT_TRUE(AddConfig("Name = slow\nType = BURN\nInitialParticles = 1\nMinSize = 4\nMaxSize = 4\n"
                          "MaxXVelocity = 0.2\nAlphaFalloff = 0.01\nLifetime = -1\n"));
    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    ship->maxSpeed = 1.0f;
    ship->speed = 0.5f;
    GUI_EngineGlow glow(ship, "glow.dds", "slow", false, 1.0f, 128.0f, 240.0f, 16.0f, 40.0f);
    GUI_ParticleEmmiter* trail = glow.GetEmitter();
    // 100 ms of fade-in and 100 steps of alpha (108.3 steps of 12 ms), at
    // 1.5 times the drift of 0.2 (scale 1) and the engine's top speed of 1,
    // plus the particle's size and its scatter of 0.
    const float reach = glow.TrailReach();
    EXPECT_NEAR(reach, (100.0f / 12.0f + 100.0f) * (0.3f + 1.5f) + 4.0f, 1e-2f);
    // Puts the engine's trail `beyond` units past the view's right edge.
    const auto place = [&](float beyond) {
        glow.Update();
        ship->x += 800.0f + beyond - trail->x;
    };
    const auto steps = [&](int frames) {
        int stepped = 0;
        for (int f = 0; f < frames; ++f) {
            EffectTestView::Step(12.0f);
            glow.Update();
            const float before = trail->GetParticle(0).age;
            glow.EmitterStep();
            stepped += trail->GetParticle(0).age != before ? 1 : 0;
        }
        return stepped;
    };
    place(reach - 1.0f);
    EXPECT_EQ(steps(8), 8);
    place(reach + 1.0f);
    const float before = trail->GetParticle(0).age;
    EXPECT_EQ(steps(128), 2);
    // The steps taken cover every frame.
    EXPECT_NEAR(trail->GetParticle(0).age - before, 128.0f * 12.0f, 12.0f * 64.0f);
    // Back in view it steps every frame again, the waited frames included.
    place(-400.0f);
    const float waited = trail->GetParticle(0).age;
    steps(1);
    EXPECT_GE(trail->GetParticle(0).age - waited, 12.0f);
    EXPECT_EQ(steps(5), 5);
}

} // namespace
