// Challenge files: the byte layout, mirroring the fleet onto the receiver's
// side, and a reader that refuses anything short of a sound file.
#include <gtest/gtest.h>

#include "support/TempDir.h"

#include "engine/APP_ContentPackage.h"
#include "engine/APP_UserFolders.h"
#include "engine/GRandom.h"
#include "sim/SIM_ChallengeFile.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_HeadlessBattle.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipOrder.h"

#include <cmath>
#include <cstring>

namespace {

class ChallengeFile : public ::testing::Test {
protected:
    TempDir user;
    ScopedChdir chdir{QLM_SOURCE_DIR};
    SIM_ChallengeFile file;

    void SetUp() override
    {
        APP_UserFolders::GetInstance().Create(user.Path());
        SIM_HeadlessBattle::LoadContent();
        scenario.SetName("duel");
        scenario.SetGuiName("DUEL");
        scenario.SetMapSize(2000.0f, 1500.0f);
        scenario.SetFleetCostLimit(5000);
        scenario.SetPlayerDeployment({100, 200, 700, 1300});
        scenario.SetVariableLines({"SHIELD_STRENGTH_MULTIPLIER,0.75"});
    }
    void TearDown() override { SIM_HeadlessBattle::FreeContent(); }

    void Add(const std::string& design, float x, float y, float angle, int id)
    {
        auto s = std::make_shared<SIM_DeployedShip>();
        s->design = design;
        s->name = design + std::to_string(id);
        s->x = x;
        s->y = y;
        s->angle = angle;
        s->shipId = id;
        ASSERT_TRUE(fleet.AddShip(s));
    }
    std::string Bytes()
    {
        for (const auto& p : APP_ContentPackage::GetInstance().GetPackages())
            file.LeaveOutPackage(p.name);
        return file.WriteToBytes(fleet, "", "taunt", "sender", scenario);
    }

    SIM_Scenario scenario{SIM_Scenario::Unlisted{}};
    SIM_DeployedFleet fleet;
};

int32_t IntAt(const std::string& b, size_t at)
{
    int32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

TEST_F(ChallengeFile, LayoutRoundTripAndMirroring)
{
    Add("fed_ai_escort", 300.0f, 500.0f, 270.0f, 1);
    Add("fed_ai_raider", 400.0f, 600.0f, 180.0f, 2);
    Add("fed_ai_escort", 0.0f, 700.0f, 0.0f, 3);
    auto escort = SIM_ShipOrder::Create("ESCORT");
    ASSERT_TRUE(escort);
    escort->shipId = 1;
    fleet.GetShips()[1]->orders.AppendOrder(std::move(escort));
    auto loose = SIM_ShipOrder::Create("ESCORT");
    fleet.GetShips()[2]->orders.AppendOrder(std::move(loose)); // names no ship
    const std::string b = Bytes();
    ASSERT_FALSE(b.empty());
    // No packages, then an empty receiver: exactly four zero bytes each.
    EXPECT_EQ(IntAt(b, 0), 0);
    EXPECT_EQ(IntAt(b, 4), 0);
    EXPECT_EQ(IntAt(b, 8), 5);
    EXPECT_EQ(b.substr(12, 5), "taunt");

    SIM_Scenario read{SIM_Scenario::Unlisted{}};
    ASSERT_TRUE(file.ReadFromBytes(b, read, "4711")) << file.GetError();
    EXPECT_EQ(read.GetName(), "duel");
    EXPECT_FLOAT_EQ(read.GetMapSizeX(), 2000.0f);
    EXPECT_EQ(read.GetPlayerDeployment().right, 700);
    EXPECT_FLOAT_EQ(read.GetShieldStrengthMultiplier(), 0.75f);
    EXPECT_EQ(read.GetStringMember(), "sender");
    const SIM_DeployedFleet* got = file.GetFleetRead();
    ASSERT_TRUE(got);
    ASSERT_EQ(got->GetShips().size(), 3u);
    const auto& s = got->GetShips();
    EXPECT_EQ(s[0]->design, "4711_fed_ai_escort");
    EXPECT_TRUE(SIM_ShipDesign::Find("4711_fed_ai_raider"));
    EXPECT_FLOAT_EQ(s[0]->x, 1700.0f);
    EXPECT_FLOAT_EQ(s[0]->y, 500.0f);
    EXPECT_FLOAT_EQ(s[0]->angle, 90.0f);
    EXPECT_FLOAT_EQ(s[1]->angle, 360.0f);
    EXPECT_FLOAT_EQ(s[2]->angle, 180.0f);
    EXPECT_FLOAT_EQ(s[2]->x, 2000.0f);
    EXPECT_TRUE(s[1]->orders.HasOrder("ESCORT"));
    EXPECT_FALSE(s[2]->orders.HasOrder("ESCORT"));

    // Reading again reuses the designs; the variable lines pile up on the
    // same scenario object as they always did.
    const size_t designs = SIM_ShipDesign::GetList().size();
    ASSERT_TRUE(file.ReadFromBytes(b, read, "4711"));
    EXPECT_EQ(SIM_ShipDesign::GetList().size(), designs);
    EXPECT_EQ(read.GetVariableLines().size(), 2u);

    const auto& again = file.GetFleetRead()->GetShips();
    float lo[2], hi[2];
    file.GetFleetBounds(lo, hi, 2000.0f, 1500.0f);
    EXPECT_FLOAT_EQ(lo[0], 1600.0f);
    EXPECT_FLOAT_EQ(hi[0], 2000.0f);
    EXPECT_FLOAT_EQ(lo[1], 500.0f);
    EXPECT_FLOAT_EQ(hi[1], 700.0f);
    file.OffsetFleetPositions(600.0f, 2000.0f, 1500.0f, 3000.0f, 3000.0f);
    EXPECT_FLOAT_EQ(again[0]->x, 2700.0f);
    EXPECT_FLOAT_EQ(again[0]->y, 1400.0f);
}

TEST_F(ChallengeFile, EveryTruncationAndCorruptionIsRefusedWhole)
{
    Add("fed_ai_escort", 300.0f, 500.0f, 90.0f, 1);
    const std::string good = Bytes();
    SIM_Scenario read{SIM_Scenario::Unlisted{}};
    ASSERT_TRUE(file.ReadFromBytes(good, read, "a"));
    for (size_t n = 0; n < good.size(); ++n) {
        EXPECT_FALSE(file.ReadFromBytes(good.substr(0, n), read, "a")) << n;
        EXPECT_EQ(file.GetFleetRead(), nullptr) << n; // the old fleet is gone too
    }
    // Overwrite one 4-byte field at a time with hostile values: never a crash,
    // and a refusal whenever the field was a count, a length or a float.
    int refused = 0;
    for (size_t at = 0; at + 4 <= good.size(); ++at) {
        for (uint32_t v : {0x7fffffffu, 0x80000000u, 0x7fc00000u /* NaN */, 2048u}) {
            std::string bad = good;
            std::memcpy(&bad[at], &v, 4);
            refused += file.ReadFromBytes(bad, read, "a") ? 0 : 1;
        }
    }
    EXPECT_GT(refused, static_cast<int>(good.size()));

    // A position off the map, an unknown module, a slot beyond the hull.
    auto refuse = [&](const std::string& bytes, const char* why) {
        EXPECT_FALSE(file.ReadFromBytes(bytes, read, "a")) << why;
        EXPECT_NE(file.GetError().find(why), std::string::npos) << file.GetError();
    };
    std::string off = good;
    const size_t xAt = good.size() - 4 /*orders*/ - 8;
    const float far = 2500.0f;
    std::memcpy(&off[xAt], &far, 4);
    refuse(off, "ship position");
    std::string unknown = good;
    const size_t mod = unknown.find("frigate_engine");
    ASSERT_NE(mod, std::string::npos);
    unknown[mod] = 'X';
    refuse(unknown, "module type");
    std::string slot = good;
    const int32_t beyond = 999;
    std::memcpy(&slot[mod + std::strlen("frigate_engine")], &beyond, 4);
    refuse(slot, "module slot");
}

TEST_F(ChallengeFile, UnsafeIdsNeverBecomeFileNames)
{
    SIM_Scenario read{SIM_Scenario::Unlisted{}};
    EXPECT_FALSE(file.Read(read, "../../etc/passwd"));
    EXPECT_FALSE(file.Read(read, "a b"));
    EXPECT_FALSE(file.Read(read, std::string(65, 'a')));
    EXPECT_EQ(SIM_ChallengeFile::ChallengePath("ok_id-1"), user.Path() + "/web/challenges/ok_id-1.qlm");
    EXPECT_FALSE(file.Read(read, "ok_id-1")); // missing
    EXPECT_EQ(file.GetMissingContent("ok_id-1"), "");
}

} // namespace
namespace {
TEST_F(ChallengeFile, EveryShippedAiDesignSurvivesTheTrip)
{
    int id = 1;
    for (SIM_ShipDesign* d : std::vector<SIM_ShipDesign*>(SIM_ShipDesign::GetList()))
        if (d->GetName().find("_ai_") != std::string::npos)
            Add(d->GetName(), 100.0f, 100.0f, 90.0f, id++);
    ASSERT_GT(id, 10);
    SIM_Scenario read{SIM_Scenario::Unlisted{}};
    ASSERT_TRUE(file.ReadFromBytes(Bytes(), read, "trip"));
    for (const auto& s : fleet.GetShips()) {
        const SIM_ShipDesign* original = SIM_ShipDesign::Find(s->design);
        const SIM_ShipDesign* copy = SIM_ShipDesign::Find("trip_" + s->design);
        ASSERT_TRUE(copy) << s->design << " valid=" << original->IsValid();
        EXPECT_FLOAT_EQ(copy->GetCost(), original->GetCost()) << s->design;
    }
    EXPECT_EQ(file.GetFleetRead()->GetShips().size(), fleet.GetShips().size());
}
} // namespace
