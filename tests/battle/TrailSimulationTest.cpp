// The trail strip: points are pushed one segment apart, the head follows the
// emitter, the tail fades and ends the walk; con trails follow their ship's
// hull point, sort into the fighters' layer lists and obey CONTRAILS.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "EffectTestView.h"
#include "battle/GUI_ConTrail.h"
#include "battle/GUI_Ship.h"
#include "battle/TrailSimulation.h"
#include "sim/ShipTestWorld.h"

namespace {

TEST(TrailSimulation, PointsArePushedOnlyBeyondOneSegmentAndTheCountIsCapped)
{
    TrailSimulation trail;
    trail.Init(0, 0.0f, 200.0f, 1.5f, 3.0f);
    EXPECT_EQ(trail.GetPointCount(), TrailSimulation::kMaxPoints);
    EXPECT_FLOAT_EQ(trail.GetSegmentLengthSquared(), 9.0f);

    // Exactly one segment from point 1 is not beyond it.
    trail.MoveHead(90.0f, 3.0f, 0.0f);
    EXPECT_EQ(trail.CountActive(), 0);
    EXPECT_FLOAT_EQ(trail.GetResidual(), 9.0f);
    trail.MoveHead(90.0f, 3.01f, 0.0f);
    EXPECT_EQ(trail.CountActive(), 1);
    EXPECT_NEAR(trail.GetResidual(), 3.01f * 3.01f - 9.0f, 1e-4f);
    EXPECT_FLOAT_EQ(trail.GetAge(0), 0.0f);

    trail.AddAge(100.0f);
    trail.MoveHead(90.0f, 7.0f, 0.0f); // 3.99 from point 1 (the old head)
    EXPECT_EQ(trail.CountActive(), 2);
    EXPECT_FLOAT_EQ(trail.GetX(0), 7.0f);
    EXPECT_FLOAT_EQ(trail.GetX(1), 3.01f);
    EXPECT_FLOAT_EQ(trail.GetAge(1), 100.0f);

    TrailSimulation small;
    small.Init(1, 0.0f, 3.0f, 1.0f, 1.0f);
    for (int i = 1; i <= 10; ++i)
        small.MoveHead(0.0f, 0.0f, static_cast<float>(-2 * i));
    EXPECT_EQ(small.CountActive(), 3) << "the oldest point drops off the end";
    EXPECT_FLOAT_EQ(small.GetY(2), -16.0f);
}

TEST(TrailSimulation, ADrawIsSkippableOnlyWhenEveryPointIsPastTheSixteenPixelMargin)
{
    EffectTestView view; // 800 x 600 at zoom 1 from (0, 0)
    TrailSimulation trail;
    trail.Init(0, 0.0f, 10.0f, 2.0f, 3.0f);
    trail.SetLifetime(100.0f);
    EXPECT_FALSE(trail.MayShowOnScreen());
    trail.SetHeadPosition(-17.0f, 50.0f);
    EXPECT_FALSE(trail.MayShowOnScreen());
    trail.SetHeadPosition(-16.0f, 50.0f);
    EXPECT_TRUE(trail.MayShowOnScreen());
    trail.SetHeadPosition(400.0f, 617.0f);
    EXPECT_TRUE(trail.MayShowOnScreen()) << "the box keeps every place the head has been";

    // A draw that walks every point fits the box to the points still alive:
    // both aged out here (one off the screen, one faded on it).
    TrailSimulation fit;
    fit.Init(0, 0.0f, 10.0f, 2.0f, 3.0f);
    fit.SetLifetime(100.0f);
    fit.MoveHead(0.0f, 400.0f, 300.0f);
    fit.MoveHead(0.0f, 410.0f, 300.0f);
    fit.SetHeadPosition(-500.0f, 300.0f);
    EXPECT_TRUE(fit.MayShowOnScreen());
    TrailSimulation skipped;
    skipped.Init(0, 0.0f, 10.0f, 2.0f, 3.0f);
    skipped.SetLifetime(100.0f);
    skipped.MoveHead(0.0f, 400.0f, 300.0f);
    skipped.AddAge(50.0f);
    skipped.MoveHead(0.0f, 410.0f, 300.0f);
    fit.AddAge(200.0f);
    fit.Draw(0, false);
    EXPECT_EQ(fit.CountActive(), 0);
    EXPECT_FALSE(fit.MayShowOnScreen());

    // In place of a draw: the trail ends only once its newest point is past
    // the lifetime (the older one is then past it too).
    skipped.AddAge(100.0f);
    skipped.SkipDraw();
    EXPECT_EQ(skipped.CountActive(), 2);
    skipped.AddAge(0.01f);
    skipped.SkipDraw();
    EXPECT_EQ(skipped.CountActive(), 0);
    EXPECT_FALSE(skipped.MayShowOnScreen());
}

TEST(TrailSimulation, APointIsDrawnUpToTheMarginUnderAnyCameraAndZoom)
{
    // Zoom 2 from (100, 50): the margin of 16 pixels lies at world x 92
    // and, below the 600 pixels, at world y 358.
    EffectTestView view;
    EffectTestView::Look(100.0f, 50.0f, 2.0f);
    auto laid = [](float firstX, float firstY) {
        TrailSimulation trail;
        trail.Init(0, 0.0f, 10.0f, 2.0f, 3.0f);
        trail.SetLifetime(1000.0f);
        trail.MoveHead(0.0f, firstX, firstY);
        for (int i = 1; i <= 3; ++i)
            trail.MoveHead(0.0f, 92.0f + 4.0f * i, 200.0f);
        return trail;
    };
    TrailSimulation onMargin = laid(92.0f, 200.0f);
    ASSERT_EQ(onMargin.Draw(0, false), 4) << "four points, each on the screen";
    // The tail's far side: heading 0, half width 2 pixels, at x -16.
    EXPECT_FLOAT_EQ(onMargin.GetStagedVertices()[3 * 4 + 2].x, -18.0f);
    EXPECT_FLOAT_EQ(onMargin.GetStagedVertices()[3 * 4 + 3].x, -14.0f);

    TrailSimulation pastLeft = laid(91.75f, 200.0f);
    EXPECT_EQ(pastLeft.Draw(0, false), 3) << "the tail lies half a pixel past the margin";
    EXPECT_TRUE(pastLeft.IsActive(3));
    TrailSimulation pastBottom = laid(92.0f, 358.25f);
    EXPECT_EQ(pastBottom.Draw(0, false), 3);
    TrailSimulation onBottom = laid(92.0f, 358.0f);
    EXPECT_EQ(onBottom.Draw(0, false), 4);

    // The draw fitted the box to the four points: the head at x 104 keeps
    // it in view until it lies more than 16 pixels left of the screen.
    EffectTestView::Look(112.0f, 50.0f, 2.0f);
    EXPECT_TRUE(onMargin.MayShowOnScreen());
    EffectTestView::Look(112.5f, 50.0f, 2.0f);
    EXPECT_FALSE(onMargin.MayShowOnScreen());
}

TEST(TrailSimulation, TheTailFadesOutAndTheHeadStaysOpaqueUntilDetached)
{
    EffectTestView view;
    TrailSimulation trail;
    trail.Init(0, 0.0f, 10.0f, 2.0f, 3.0f);
    trail.SetLifetime(1000.0f);
    for (int i = 1; i <= 5; ++i)
        trail.MoveHead(180.0f, 100.0f, 100.0f + 4.0f * i);
    ASSERT_EQ(trail.CountActive(), 5);

    // Half the lifetime: alpha 255 - trunc(0.5 * 255) = 128 on every point but the head.
    trail.AddAge(500.0f);
    ASSERT_EQ(trail.Draw(0, false), 5);
    const ScreenVertex* v = trail.GetStagedVertices();
    EXPECT_EQ(v[2].colour >> 24, 255u) << "the head's far edge";
    EXPECT_EQ(v[6].colour >> 24, 128u);
    // The first quad is a square of side 2w centred on the head (zoom 1: w = 1).
    EXPECT_FLOAT_EQ(v[0].y - v[2].y, 2.0f);

    // Past the lifetime: the points reach alpha 0; the first such point is
    // drawn deactivated and the next one ends the walk.
    trail.AddAge(600.0f);
    trail.Draw(0, false);
    EXPECT_TRUE(trail.IsActive(0));
    EXPECT_FALSE(trail.IsActive(1));
    EXPECT_FALSE(trail.IsActive(2));
    EXPECT_TRUE(trail.IsActive(3)) << "older points go in the following frames";
    trail.Draw(0, false);
    EXPECT_FALSE(trail.IsActive(3));

    trail.SetDetached(true);
    trail.Draw(0, false);
    EXPECT_EQ(trail.CountActive(), 0) << "a detached head fades like the rest";
}

TEST(TrailSimulation, WithNoLifetimeEveryPointButTheHeadIsSpentAtOnce)
{
    // No lifetime and no age: the share of the lifetime gone is not a number,
    // which counts as all of it.
    EffectTestView view;
    TrailSimulation trail;
    trail.Init(0, 0.0f, 10.0f, 2.0f, 3.0f);
    trail.SetLifetime(0.0f);
    for (int i = 1; i <= 3; ++i)
        trail.MoveHead(0.0f, 100.0f + 4.0f * i, 100.0f);
    ASSERT_EQ(trail.Draw(0, false), 2) << "the head, then point 1 at no alpha; point 2 ends the walk";
    const ScreenVertex* v = trail.GetStagedVertices();
    EXPECT_EQ(v[2].colour >> 24, 255u);
    EXPECT_EQ(v[6].colour >> 24, 0u);
    EXPECT_EQ(trail.CountActive(), 1);
    EXPECT_TRUE(trail.IsActive(0));
}

TEST(TrailSimulation, APointOffScreenStaysUntilItsLifetimeIsOver)
{
    EffectTestView view;
    TrailSimulation trail;
    trail.Init(2, 0.0f, 4.0f, 1.0f, 1.0f);
    trail.SetLifetime(1000.0f);
    trail.MoveHead(0.0f, -500.0f, -500.0f); // far off the screen
    trail.AddAge(1000.0f);
    trail.Draw(0, false);
    EXPECT_TRUE(trail.IsActive(0));
    trail.AddAge(1.0f);
    trail.Draw(0, false);
    EXPECT_FALSE(trail.IsActive(0));
}

TEST(TrailSimulation, TheActiveCountFollowsEveryPointLaidRecycledAndRetired)
{
    // A wandering emitter in and out of view, with draws that retire
    // points in view and off it, a ring that wraps and skipped draws: the
    // count the draw stops by always matches the points themselves.
    EffectTestView view;
    TrailSimulation trail;
    trail.Init(1, 0.0f, 12.0f, 2.0f, 5.0f);
    trail.SetLifetime(300.0f);
    int retiredInDraws = 0;
    for (int frame = 0; frame < 400; ++frame) {
        const float t = static_cast<float>(frame);
        const float x = 400.0f + 700.0f * std::sin(t * 0.02f), y = 300.0f + 40.0f * std::cos(t * 0.11f);
        trail.SetHeadPosition(x, y);
        trail.AddAge(frame % 50 < 25 ? 12.0f : 40.0f);
        trail.MoveHead(t, x, y);
        const int laid = trail.CountActive();
        if (frame % 7 == 3)
            trail.SetDetached(!trail.IsDetached());
        if (trail.MayShowOnScreen())
            trail.Draw(0, false);
        else
            trail.SkipDraw();
        retiredInDraws += laid - trail.CountActive();
        int counted = 0;
        for (int i = 0; i < trail.GetPointCount(); ++i)
            counted += trail.IsActive(i) ? 1 : 0;
        ASSERT_EQ(trail.CountActive(), counted) << "frame " << frame;
        ASSERT_EQ(trail.HasActivePoint(), counted > 0);
        ASSERT_LE(counted, 12);
    }
    EXPECT_GT(retiredInDraws, 50) << "draws retired points";
}

TEST(TrailSimulation, ALongTrailIsDrawnPointByPointInRingOrderUpToItsFadedTail)
{
    // 50 points laid in a ring of 40, each 37 ms older than the next and
    // at its own heading, under a shifted and zoomed view: every far side
    // lies at its own point, turned by its own heading, with its own alpha,
    // and the walk ends just past the first point with no alpha left.
    EffectTestView view;
    EffectTestView::Look(-60.0f, -40.0f, 1.5f);
    TrailSimulation trail;
    trail.Init(0, 0.0f, 40.0f, 2.0f, 3.0f);
    trail.SetLifetime(1000.0f);
    float heading[50];
    for (int n = 0; n < 50; ++n) {
        heading[n] = 7.0f * static_cast<float>(n) - 100.0f;
        trail.AddAge(37.0f);
        trail.MoveHead(heading[n], 300.0f - 4.0f * static_cast<float>(n), 200.0f + 0.05f * static_cast<float>(n * n));
    }
    ASSERT_EQ(trail.CountActive(), 40);
    // Point i was laid as point 49 - i; ages 0, 37, ... reach the lifetime
    // between points 27 (999 ms) and 28 (1036 ms).
    auto alphaOf = [&](int i) {
        return i == 0 ? 255 : std::min(255 - static_cast<int>(std::min(trail.GetAge(i) / 1000.0f, 1.0f) * 255.0f), 255);
    };
    ASSERT_GE(alphaOf(27), 1);
    ASSERT_EQ(alphaOf(28), 0);
    float x[40], y[40];
    for (int i = 0; i < 40; ++i) {
        x[i] = trail.GetX(i);
        y[i] = trail.GetY(i);
    }
    ASSERT_EQ(trail.Draw(0, false), 29) << "the head to point 28, which has no alpha left";
    const ScreenVertex* v = trail.GetStagedVertices();
    for (int i = 0; i < 29; ++i) {
        const double a = static_cast<double>(heading[49 - i]) * 3.14159265358979 / 180.0;
        const double px = (x[i] + 60.0) * 1.5, py = (y[i] + 40.0) * 1.5;
        const double ws = 1.5 * std::sin(a), wc = 1.5 * std::cos(a); // half of 2 units at zoom 1.5
        const ScreenVertex& left = v[i * 4 + 2];
        const ScreenVertex& right = v[i * 4 + 3];
        EXPECT_NEAR(left.x, px - ws - wc, 1e-3) << "point " << i;
        EXPECT_NEAR(left.y, py - ws + wc, 1e-3) << "point " << i;
        EXPECT_NEAR(right.x, px - ws + wc, 1e-3) << "point " << i;
        EXPECT_NEAR(right.y, py + ws + wc, 1e-3) << "point " << i;
        EXPECT_EQ(left.colour, right.colour);
        EXPECT_EQ(static_cast<int>(left.colour >> 24), alphaOf(i)) << "point " << i;
        EXPECT_EQ(left.colour & 0xFFFFFFu, 0xFFFFFFu);
    }
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(trail.IsActive(i), i < 28 || i > 29) << "point " << i;
    EXPECT_EQ(trail.CountActive(), 38);

    // Shifted so that the newer points, 0 to 11, lie left of the screen:
    // they are passed over, the rest drawn as before up to point 30, the
    // next with no alpha left.
    EffectTestView::Look(160.0f, -40.0f, 1.5f);
    ASSERT_EQ(trail.Draw(0, false), 17);
    v = trail.GetStagedVertices();
    int drawn = 0;
    for (int i = 12; i <= 30; ++i) {
        if (i == 28 || i == 29)
            continue;
        const double a = static_cast<double>(heading[49 - i]) * 3.14159265358979 / 180.0;
        EXPECT_NEAR(v[drawn * 4 + 2].x, (x[i] - 160.0) * 1.5 - 1.5 * (std::sin(a) + std::cos(a)), 1e-3) << "point " << i;
        EXPECT_EQ(static_cast<int>(v[drawn * 4 + 2].colour >> 24), alphaOf(i)) << "point " << i;
        ++drawn;
    }
    EXPECT_TRUE(trail.IsActive(0)) << "a newer point off the screen stays";
    EXPECT_FALSE(trail.IsActive(30));
    EXPECT_FALSE(trail.IsActive(31));
}

class ConTrailTest : public ::testing::Test {
protected:
    ConTrailTest() { GUI_Ship::InstallFactory(); }
    ~ConTrailTest() override
    {
        SIM_ShipVisual::SetFactory(nullptr);
        GUI_BattleGUI::GetInstance().contrails = 1;
    }
    EffectTestView view;
    ShipTestWorld world;
};

TEST_F(ConTrailTest, FollowsTheHullPointSortsByLayerAndObeysTheOption)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 200.0f, 200.0f);
    GUI_ConTrail trail(ship, 20, 1500.0f, 1.5f, 3.0f, 0.5f, 0.0f); // the right edge of the hull
    EXPECT_EQ(trail.GetDrawLayer(), 1);
    const auto& list0 = GUI_ConTrail::GetLayerList(0);
    const auto& list2 = GUI_ConTrail::GetLayerList(2);
    EXPECT_EQ(std::count(list0.begin(), list0.end(), &trail) + std::count(list2.begin(), list2.end(), &trail), 0);
    trail.SetLayer(2);
    EXPECT_EQ(std::count(list2.begin(), list2.end(), &trail), 1);
    trail.SetLayer(0);
    EXPECT_EQ(std::count(list2.begin(), list2.end(), &trail), 0);
    EXPECT_EQ(std::count(list0.begin(), list0.end(), &trail), 1);
    trail.SetLayer(1);

    EffectTestView::Step(16.0f);
    trail.Draw(); // the first frame only remembers the head
    EXPECT_EQ(trail.GetTrail().CountActive(), 0);
    ship->x += 10.0f;
    trail.Draw();
    ASSERT_EQ(trail.GetTrail().CountActive(), 1);
    EXPECT_FLOAT_EQ(trail.GetTrail().GetX(0), ship->x + 0.5f * ship->GetWidth());
    EXPECT_FLOAT_EQ(trail.GetTrail().GetY(0), ship->y);

    GUI_BattleGUI::GetInstance().contrails = 0;
    const float age = trail.GetTrail().GetAge(0);
    ship->x += 10.0f;
    trail.Draw();
    EXPECT_FLOAT_EQ(trail.GetTrail().GetAge(0), age) << "with CONTRAILS off trails neither age nor move";
    EXPECT_EQ(trail.GetTrail().CountActive(), 1);
}

} // namespace
