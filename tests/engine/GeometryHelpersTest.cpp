#include "engine/GeometryHelpers.h"

#include <cmath>
#include <utility>
#include <cstring>
#include <gtest/gtest.h>

TEST(GeometryHelpers, Distances)
{
    EXPECT_FLOAT_EQ(DistanceSquared(1, 2, 4, 6), 25.0f);
    EXPECT_FLOAT_EQ(DistanceBetweenPoints(1, 2, 4, 6), 5.0f);
    EXPECT_FLOAT_EQ(DistanceBetweenPoints(3, 3, 3, 3), 0.0f);
}

TEST(GeometryHelpers, AngleIsZeroUpAndGrowsClockwise)
{
    EXPECT_NEAR(AngleBetweenPoints(0, 0, 0, -10), 0.0f, 1e-3f);
    EXPECT_NEAR(AngleBetweenPoints(0, 0, 10, 0), 90.0f, 1e-3f);
    EXPECT_NEAR(AngleBetweenPoints(0, 0, 0, 10), 180.0f, 1e-3f);
    EXPECT_NEAR(AngleBetweenPoints(0, 0, -10, 0), 270.0f, 1e-3f);
    EXPECT_NEAR(AngleBetweenPoints(0, 0, 10, -10), 45.0f, 1e-3f);
    EXPECT_NEAR(AngleBetweenPoints(0, 0, -10, -10), 315.0f, 1e-3f);
    for (int i = 0; i < 64; ++i) {
        float a = i * 0.1f;
        float r = AngleBetweenPoints(5, 5, 5 + std::cos(a), 5 + std::sin(a));
        EXPECT_GE(r, 0.0f);
        EXPECT_LT(r, 360.0f);
    }
}

TEST(GeometryHelpers, TheBearingOfAWayIsTheSineAndCosineOfItsAngle)
{
    for (const auto& [dx, dy] : {std::pair{3.0f, -4.0f}, {-7.0f, 2.0f}, {0.0f, 5.0f}, {-1.0f, -1.0f}}) {
        float sine = 9.0f, cosine = 9.0f;
        ASSERT_TRUE(BearingOfWay(dx, dy, sine, cosine));
        const float a = AngleBetweenPoints(0.0f, 0.0f, dx, dy) * 0.017453292f;
        EXPECT_NEAR(sine, std::sin(a), 1e-5f) << dx << "," << dy;
        EXPECT_NEAR(cosine, std::cos(a), 1e-5f) << dx << "," << dy;
    }
    // No way, no bearing: what was there stays.
    float sine = 0.25f, cosine = 0.5f;
    EXPECT_FALSE(BearingOfWay(0.0f, 0.0f, sine, cosine));
    EXPECT_EQ(sine, 0.25f);
    EXPECT_EQ(cosine, 0.5f);
}

TEST(GeometryHelpers, AngleDifferenceTakesTheShortWay)
{
    EXPECT_FLOAT_EQ(AngleDifference(10, 350), 20.0f);
    EXPECT_FLOAT_EQ(AngleDifference(350, 10), 20.0f);
    EXPECT_FLOAT_EQ(AngleDifference(0, 180), 180.0f);
    EXPECT_FLOAT_EQ(AngleDifference(90, 100), 10.0f);
}

TEST(GeometryHelpers, RotateTowardsAngle)
{
    EXPECT_FLOAT_EQ(RotateTowardsAngle(10, 50, 15), 25.0f);
    EXPECT_FLOAT_EQ(RotateTowardsAngle(50, 10, 15), 35.0f);
    EXPECT_FLOAT_EQ(RotateTowardsAngle(10, 350, 5), 5.0f);
    EXPECT_FLOAT_EQ(RotateTowardsAngle(10, 350, 15), 355.0f);
    EXPECT_FLOAT_EQ(RotateTowardsAngle(350, 10, 15), 5.0f);
    EXPECT_FLOAT_EQ(RotateTowardsAngle(10, 20, 30), 20.0f);
    EXPECT_FLOAT_EQ(RotateTowardsAngle(0, 180, 10), 10.0f);
    EXPECT_FLOAT_EQ(RotateTowardsAngle(370, 20, 5), 15.0f);
    EXPECT_FLOAT_EQ(RotateTowardsAngle(30, 40, 0), 30.0f);
    EXPECT_FLOAT_EQ(RotateTowardsAngle(30, 40, -5), 30.0f);
    float r = RotateTowardsAngle(-1e-8f, 100, 0);
    EXPECT_GE(r, 0.0f);
    EXPECT_LT(r, 360.0f);
}

TEST(GeometryHelpers, SegmentIntersectsCircle)
{
    float hit[2] = {0, 0};
    // from the left through the centre: first crossing at x = -5
    ASSERT_TRUE(SegmentIntersectsCircle(5, 0, 0, -20, 0, 20, 0, hit));
    EXPECT_NEAR(hit[0], -5.0f, 1e-4f);
    EXPECT_NEAR(hit[1], 0.0f, 1e-4f);
    // a tangent touches
    ASSERT_TRUE(SegmentIntersectsCircle(5, 0, 0, -20, 5, 20, 5, hit));
    EXPECT_NEAR(hit[0], 0.0f, 1e-3f);
    EXPECT_NEAR(hit[1], 5.0f, 1e-3f);
    // a miss leaves hit alone
    hit[0] = hit[1] = 99;
    EXPECT_FALSE(SegmentIntersectsCircle(5, 0, 0, -20, 6, 20, 6, hit));
    EXPECT_FLOAT_EQ(hit[0], 99.0f);
    // from inside, the smaller root lies behind the start
    ASSERT_TRUE(SegmentIntersectsCircle(10, 100, 100, 100, 100, 100, 150, hit));
    EXPECT_NEAR(hit[0], 100.0f, 1e-4f);
    EXPECT_NEAR(hit[1], 90.0f, 1e-4f);
    // no direction, no answer
    EXPECT_FALSE(SegmentIntersectsCircle(5, 0, 0, 1, 1, 1, 1, hit));
}

TEST(GeometryHelpers, FmodTurnIsFmodToTheBit)
{
    const auto same = [](float a) {
        const float got = FmodTurn(a), want = std::fmod(a, 360.0f);
        return std::memcmp(&got, &want, sizeof got) == 0;
    };
    for (float a : {0.0f, -0.0f, 1e-30f, -1e-30f, 359.99997f, -359.99997f, 360.0f, -360.0f, 360.00003f, 719.5f,
                    -719.5f, 1e7f, -1e7f, 3.4e38f})
        EXPECT_TRUE(same(a)) << a;
    for (int i = -2000; i <= 2000; ++i)
        EXPECT_TRUE(same(static_cast<float>(i) * 0.37f)) << i;
    EXPECT_EQ(FmodTurn(359.5f), 359.5f) << "inside a turn it stays";
    EXPECT_EQ(FmodTurn(360.0f), 0.0f);
    EXPECT_TRUE(std::signbit(FmodTurn(-360.0f))) << "fmod keeps the sign of a whole turn back";
    EXPECT_TRUE(std::isnan(FmodTurn(std::nanf(""))));
    EXPECT_TRUE(std::isnan(FmodTurn(INFINITY)));
}
