// Particle configs, emitters and emitter groups: birth, fade-in, death,
// continuous spawning, frames of the sheet, and the one-flush-per-emitter draw.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <vector>

#include "battle/GUI_Map.h"
#include "battle/GUI_ParticleConfig.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/GUI_ParticleEmmiterGroup.h"
#include "battle/VisualRandom.h"
#include "engine/D3DEngine.h"
#include "engine/QuadRunBatch.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "support/ErrorLog.h"
#include "support/TempDir.h"

namespace {

class ParticleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // An empty folder: only the configs a test makes exist.
        LoadParticleConfigs();
        SeedVisualRandom(7);
    }
    void TearDown() override
    {
        ClearParticleEmmiters();
        DeleteAllEmmiterGroups();
        ClearParticleConfigs();
    }
    GUI_ParticleConfig* Make(const std::string& name, const std::string& keys)
    {
        auto* config = new GUI_ParticleConfig();
        EXPECT_TRUE(config->ReadText("Name = " + name + "\nType = BURN\n" + keys));
        return config;
    }
    // A headless 800 x 600 screen at `zoom` for the life of the scope.
    class Screen {
    public:
        explicit Screen(float zoom) : m_savedZoom(ZoomScale)
        {
            D3DEngine::GetInstance().Init(std::make_unique<HeadlessGraphicsDevice>(800, 600));
            GUI_Map::GetInstance().SetScreenSize(800, 600);
            ZoomScale = zoom;
        }
        ~Screen()
        {
            ZoomScale = m_savedZoom;
            GUI_Map::GetInstance().SetScreenSize(0, 0);
            D3DEngine::GetInstance().Release();
        }
        Screen(const Screen&) = delete;
        Screen& operator=(const Screen&) = delete;
        HeadlessGraphicsDevice* Device() const
        {
            return static_cast<HeadlessGraphicsDevice*>(D3DEngine::GetInstance().GetDevice());
        }

    private:
        float m_savedZoom;
    };
    // The four corners a drawn particle's quad must have: its turned half
    // sides (faded in, at the zoom) added to its pixel, its alpha under
    // `alphaScale`, its cell of the 8 x 4 sheet. `n` names it in failures.
    static void ExpectQuadOf(const GUI_Particle& p, float alphaScale, const ScreenVertex* quad, int n)
    {
        const float fade = p.age / 100.0f;
        const float half = p.size * fade * ZoomScale;
        const float c = half * p.cosine, s = half * p.sine;
        const float sx = static_cast<float>(p.screenX), sy = static_cast<float>(p.screenY);
        const float x[4] = {sx + (-c + s), sx + (c + s), sx + (-c - s), sx + (c - s)};
        const float y[4] = {sy + (-s - c), sy + (-c + s), sy + (c - s), sy + (s + c)};
        const auto alpha =
            static_cast<uint32_t>(static_cast<double>(alphaScale * (p.alpha * fade) * 255.0f) + 0.5);
        const float u0 = static_cast<float>(p.frame % 8) * 0.125f, v0 = static_cast<float>(p.frame / 8) * 0.25f;
        for (int k = 0; k < 4; ++k) {
            const ScreenVertex& v = quad[k];
            EXPECT_EQ(v.x, x[k]) << n << " " << k;
            EXPECT_EQ(v.y, y[k]) << n << " " << k;
            EXPECT_EQ(v.rhw, 1.0f) << n << " " << k;
            EXPECT_EQ(v.colour, (alpha << 24) | 0x00FFFFFFu) << n << " " << k;
            EXPECT_EQ(v.u, (k & 1) ? u0 + 0.125f : u0) << n << " " << k;
            EXPECT_EQ(v.v, (k & 2) ? v0 + 0.25f : v0) << n << " " << k;
        }
    }
    // One frame of battle time: ms and the step the battle derives from it.
    static void Run(GUI_ParticleEmmiter& e, float ms, int frames = 1)
    {
        for (int i = 0; i < frames; ++i)
            e.Advance(ms, ms / 12.0f, false);
    }

    TempDir folder;
    ScopedChdir cwd{folder.Path()};
    ScopedErrorLog log;
};

TEST_F(ParticleTest, ConfigKeysReadWithTheirDefaults)
{
    GUI_ParticleConfig* c = Make("a", "InitialParticles = 3.7\nIsAngled = 2\nUVFrame = 3\nUVFrameLast = 6\n");
    EXPECT_EQ(c->InitialParticles, 3);
    EXPECT_TRUE(c->IsAngled);
    EXPECT_EQ(c->UVFrameSpan, 3);
    EXPECT_FLOAT_EQ(c->BiasScalar, 1.0f);
    EXPECT_FLOAT_EQ(c->Lifetime, 0.0f);
    EXPECT_EQ(c->textureName, "particles.dds");
    EXPECT_EQ(FindParticleConfig("a"), c);

    // A file without a Type is named in the log.
    auto* untyped = new GUI_ParticleConfig();
    untyped->ReadText("Name = b\n");
    EXPECT_EQ(log.Count("particle config without Type"), 1);
}

TEST_F(ParticleTest, BirthIsCappedAtTheSlotsAndAnEmptyEmitterEndsAfterOneUpdate)
{
    Make("many", "InitialParticles = 300\nMinSize = 5\nMaxSize = 5\nLifetime = -1\n");
    Make("none", "");
    GUI_ParticleEmmiter many("many", 0, 0, 0, 0);
    EXPECT_EQ(many.GetLiveCount(), GUI_ParticleEmmiter::kMaxParticles);
    EXPECT_EQ(many.GetHighestSlot(), 255);
    GUI_ParticleEmmiter none("none", 0, 0, 0, 0);
    EXPECT_TRUE(none.IsActive());
    Run(none, 10.0f);
    EXPECT_FALSE(none.IsActive());

    // A negative lifetime never ends by itself, even with nothing alive.
    Make("endless", "Lifetime = -1\n");
    GUI_ParticleEmmiter endless("endless", 0, 0, 0, 0);
    Run(endless, 100.0f, 5);
    EXPECT_TRUE(endless.IsActive());
}

TEST_F(ParticleTest, FalloffStartsAfterOneHundredMillisecondsAndDeathIsAtHalfAUnitOrNoAlpha)
{
    // One step of 12 ms per frame: ages 12, 24, ... 108 is the first past 100.
    Make("shrink", "InitialParticles = 1\nMinSize = 1\nMaxSize = 1\nSizeFalloff = 0.25\n");
    GUI_ParticleEmmiter shrink("shrink", 0, 0, 0, 0);
    Run(shrink, 12.0f, 8); // age 96
    EXPECT_FLOAT_EQ(shrink.GetParticle(0).size, 1.0f);
    Run(shrink, 12.0f); // age 108
    EXPECT_FLOAT_EQ(shrink.GetParticle(0).size, 0.75f);
    Run(shrink, 12.0f);
    EXPECT_FLOAT_EQ(shrink.GetParticle(0).size, 0.5f);
    EXPECT_EQ(shrink.GetLiveCount(), 1) << "exactly 0.5 survives";
    Run(shrink, 12.0f);
    EXPECT_EQ(shrink.GetLiveCount(), 0);
    EXPECT_FALSE(shrink.IsActive()) << "Lifetime 0 ends once nothing lives";

    Make("fade", "InitialParticles = 1\nMinSize = 9\nMaxSize = 9\nAlphaFalloff = 0.5\n");
    GUI_ParticleEmmiter fade("fade", 0, 0, 0, 0);
    Run(fade, 12.0f, 9);
    EXPECT_FLOAT_EQ(fade.GetParticle(0).alpha, 0.5f);
    Run(fade, 12.0f);
    EXPECT_EQ(fade.GetLiveCount(), 0) << "alpha exactly 0 dies";
}

TEST_F(ParticleTest, AShortCatchUpStartsFadingOnlyPastTheFadeInLikeSteppedFrames)
{
    // Frames of 20 ms: ages 20, 40, ... 100 is not past the fade-in, 120 is.
    ASSERT_EQ(12.0f * (20.0f / 12.0f), 20.0f);
    const float step = 20.0f / 12.0f;
    Make("glow", "InitialParticles = 4\nMinSize = 9\nMaxSize = 9\nAlphaFalloff = 0.01\n");
    GUI_ParticleEmmiter stepped("glow", 0, 0, 0, 0);
    Run(stepped, 20.0f, 6); // age 120: one fading frame
    GUI_ParticleEmmiter caught("glow", 0, 0, 0, 0);
    Run(caught, 20.0f, 2);
    caught.CatchUp(4, 20.0f); // ages 60, 80, 100, 120
    GUI_ParticleEmmiter short3("glow", 0, 0, 0, 0);
    Run(short3, 20.0f, 2);
    short3.CatchUp(3, 20.0f); // ages 60, 80, 100: none fades
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(stepped.GetParticle(i).alpha, 1.0f - 0.01f * step) << i;
        EXPECT_EQ(caught.GetParticle(i).alpha, stepped.GetParticle(i).alpha) << i;
        EXPECT_EQ(caught.GetParticle(i).age, stepped.GetParticle(i).age) << i;
        EXPECT_EQ(short3.GetParticle(i).alpha, 1.0f) << i;
    }
}

TEST_F(ParticleTest, ContinuousSpawningDropsTheRemainderAndStopsAtTheLifetime)
{
    Make("rate", "ParticlesPerSecond = 100\nLifetime = -1\nMinSize = 5\nMaxSize = 5\n");
    GUI_ParticleEmmiter rate("rate", 0, 0, 0, 0);
    Run(rate, 5.0f);
    EXPECT_EQ(rate.GetLiveCount(), 0);
    EXPECT_FLOAT_EQ(rate.GetAccumulator(), 5.0f);
    Run(rate, 6.0f); // 11 ms: one particle, the 1 ms left over is dropped
    EXPECT_FLOAT_EQ(rate.GetAccumulator(), 0.0f);
    Run(rate, 9.5f);
    EXPECT_FLOAT_EQ(rate.GetAccumulator(), 9.5f);
    Run(rate, 5.5f);
    EXPECT_FLOAT_EQ(rate.GetAccumulator(), 0.0f);
    // Particles count at the next update, after they were made.
    Run(rate, 0.0f);
    EXPECT_EQ(rate.GetLiveCount(), 2);

    Make("short", "ParticlesPerSecond = 1000\nLifetime = 30\nMinSize = 5\nMaxSize = 5\nAlphaFalloff = 1\n");
    GUI_ParticleEmmiter brief("short", 0, 0, 0, 0);
    Run(brief, 10.0f, 2); // elapsed 10, 20: 10 each
    Run(brief, 10.0f);    // elapsed 30: no more
    Run(brief, 0.0f);
    EXPECT_EQ(brief.GetLiveCount(), 20);
    Run(brief, 120.0f); // all fade past their first 100 ms
    EXPECT_FALSE(brief.IsActive());
}

TEST_F(ParticleTest, SlotsStartAtSixteenAndDoubleUpToTheCapKeepingEveryParticle)
{
    // Scattered, still particles that never die: one birth a millisecond.
    Make("grow", "InitialParticles = 5\nParticlesPerSecond = 1000\nLifetime = -1\nMinSize = 2\nMaxSize = 6\n"
                 "XScatter = 100\nYScatter = 100\n");
    GUI_ParticleEmmiter e("grow", 0, 0, 0, 0);
    EXPECT_EQ(e.GetCapacity(), GUI_ParticleEmmiter::kFirstCapacity);
    EXPECT_EQ(GUI_ParticleEmmiter::kFirstCapacity, 16);
    // A new emitter is small: the slots of a full one would take 15 KB.
    EXPECT_LT(e.GetMemoryBytes(), 1536u);
    EXPECT_FALSE(e.GetParticle(16).alive); // past the block: free
    EXPECT_FALSE(e.GetParticle(-1).alive);

    const auto snapshot = [&e](int count) {
        std::vector<GUI_Particle> kept;
        for (int i = 0; i < count; ++i)
            kept.push_back(e.GetParticle(i));
        return kept;
    };
    const auto expectKept = [&e](const std::vector<GUI_Particle>& kept) {
        for (int i = 0; i < static_cast<int>(kept.size()); ++i) {
            const GUI_Particle p = e.GetParticle(i);
            EXPECT_TRUE(p.alive) << i;
            EXPECT_EQ(p.x, kept[static_cast<size_t>(i)].x) << i;
            EXPECT_EQ(p.y, kept[static_cast<size_t>(i)].y) << i;
            EXPECT_EQ(p.size, kept[static_cast<size_t>(i)].size) << i;
            EXPECT_EQ(p.frame, kept[static_cast<size_t>(i)].frame) << i;
        }
    };
    Run(e, 11.0f); // 5 + 11: the block is full, not grown
    EXPECT_EQ(e.GetLiveCount(), 16);
    EXPECT_EQ(e.GetCapacity(), 16);
    std::vector<GUI_Particle> kept = snapshot(16);
    Run(e, 1.0f); // the seventeenth birth doubles it
    EXPECT_EQ(e.GetCapacity(), 32);
    EXPECT_EQ(e.GetLiveCount(), 17);
    EXPECT_EQ(e.GetHighestSlot(), 16);
    expectKept(kept);

    kept = snapshot(e.GetLiveCount());
    Run(e, 16.0f); // 33 live: 64 slots
    EXPECT_EQ(e.GetCapacity(), 64);
    expectKept(kept);
    Run(e, 12.0f, 30); // far past the cap
    EXPECT_EQ(e.GetCapacity(), GUI_ParticleEmmiter::kMaxParticles);
    EXPECT_EQ(e.GetLiveCount(), GUI_ParticleEmmiter::kMaxParticles);
    EXPECT_FALSE(e.GetParticle(GUI_ParticleEmmiter::kMaxParticles).alive);
    expectKept(kept);

    // A restart (a pooled emitter reused) keeps its block for the next life.
    e.Restart(0, 0, 0, 0);
    EXPECT_EQ(e.GetCapacity(), GUI_ParticleEmmiter::kMaxParticles);
    EXPECT_EQ(e.GetLiveCount(), 5);
    EXPECT_FALSE(e.GetParticle(5).alive);
}

TEST_F(ParticleTest, ABirthTakesTheLowestFreeSlotAndTheWalkEndsAtTheLastLiveParticle)
{
    // Sizes 1 to 3 shrinking by 0.2 a step: particles die out of birth
    // order, leaving holes below live ones and free slots above.
    Make("holes", "InitialParticles = 6\nParticlesPerSecond = 250\nLifetime = -1\nMinSize = 1\nMaxSize = 3\n"
                  "SizeFalloff = 0.2\n");
    GUI_ParticleEmmiter e("holes", 0, 0, 0, 0);
    const auto live = [&e] {
        std::set<int> slots;
        for (int i = 0; i < GUI_ParticleEmmiter::kMaxParticles; ++i)
            if (e.GetParticle(i).alive)
                slots.insert(i);
        return slots;
    };
    int refilledHoles = 0, shrunk = 0;
    for (int frame = 0; frame < 300; ++frame) {
        const int highestBefore = e.GetHighestSlot();
        // Bursts of births, then quiet frames in which only deaths happen.
        e.rateScale = frame % 40 < 20 ? 1.0f : 0.0f;
        Run(e, 12.0f);
        const std::set<int> after = live();
        // Births of this frame are not stepped yet (age 0); they must sit in
        // the lowest slots that the survivors left free.
        std::set<int> survivors, births;
        for (int slot : after)
            (e.GetParticle(slot).age > 0.0f ? survivors : births).insert(slot);
        int expected = 0;
        for (int slot : births) {
            while (survivors.count(expected))
                ++expected;
            ASSERT_EQ(slot, expected) << "frame " << frame;
            refilledHoles += !survivors.empty() && slot < *survivors.rbegin() ? 1 : 0;
            ++expected;
        }
        ASSERT_EQ(e.GetHighestSlot(), after.empty() ? 0 : *after.rbegin()) << "frame " << frame;
        shrunk += e.GetHighestSlot() < highestBefore ? 1 : 0;
    }
    EXPECT_GT(refilledHoles, 0) << "births filled holes below live particles";
    EXPECT_GT(shrunk, 0) << "the walk shrank as the top particles died";
}

TEST_F(ParticleTest, SlowingParticlesSlowByTheirFalloffAndAFreedSlotStopsInsteadOfSlowingOn)
{
    // Free slots are stepped along with their block of four; a freed slot's
    // speed is zeroed rather than slowed frame after frame into the
    // denormals.
    Make("slowing", "InitialParticles = 1\nMinXVelocity = 2\nMaxXVelocity = 2\nSpeedFalloff = 0.5\n"
                    "MinSize = 0.5\nMaxSize = 0.5\nSizeFalloff = 0.001\nLifetime = -1\n");
    GUI_ParticleEmmiter e("slowing", 0, 0, 0, 0);
    Run(e, 12.0f);
    EXPECT_FLOAT_EQ(e.GetParticle(0).x, 2.0f);
    EXPECT_FLOAT_EQ(e.GetParticle(0).vx, 1.0f);
    Run(e, 12.0f, 7); // age 96
    EXPECT_FLOAT_EQ(e.GetParticle(0).vx, 2.0f / 256.0f);
    Run(e, 12.0f); // age 108: shrinks below half a unit
    EXPECT_EQ(e.GetLiveCount(), 0);
    EXPECT_TRUE(e.IsActive());
    EXPECT_EQ(e.GetParticle(0).vx, 0.0f);
}

TEST_F(ParticleTest, FrameSpansPickFramesByBitMaskOnTheEightByFourSheet)
{
    auto framesOf = [](const GUI_ParticleEmmiter& e) {
        std::set<int> frames;
        for (int i = 0; i <= e.GetHighestSlot(); ++i)
            frames.insert(e.GetParticle(i).frame);
        return frames;
    };
    Make("span3", "InitialParticles = 200\nMinSize = 5\nMaxSize = 5\nUVFrame = 3\nUVFrameLast = 6\n");
    Make("span4", "InitialParticles = 200\nMinSize = 5\nMaxSize = 5\nUVFrame = 3\nUVFrameLast = 7\n");
    Make("past", "InitialParticles = 10\nMinSize = 5\nMaxSize = 5\nUVFrame = 40\n");
    EXPECT_EQ(framesOf(GUI_ParticleEmmiter("span3", 0, 0, 0, 0)), (std::set<int>{3, 4, 5, 6}));
    EXPECT_EQ(framesOf(GUI_ParticleEmmiter("span4", 0, 0, 0, 0)), (std::set<int>{3, 7}));
    // A frame past the sheet keeps to its last cell.
    EXPECT_EQ(framesOf(GUI_ParticleEmmiter("past", 0, 0, 0, 0)), (std::set<int>{31}));
    EXPECT_EQ(SheetCell(1.0f, 4), 3);
    EXPECT_EQ(SheetCell(0.999f, 4), 3);
    EXPECT_EQ(SheetCell(0.0f, 4), 0);
}

TEST_F(ParticleTest, TheBiasPushesAlongItsDirectionByTheParticleSpeed)
{
    Make("biased", "InitialParticles = 1\nMinXVelocity = 3\nMaxXVelocity = 3\nMinYVelocity = 4\nMaxYVelocity = 4\n"
                   "BiasScalar = 2\nMinSize = 5\nMaxSize = 5\n");
    GUI_ParticleEmmiter e("biased", 0, 0, 0.0f, -1.0f);
    EXPECT_FLOAT_EQ(e.GetParticle(0).vx, 3.0f);
    EXPECT_FLOAT_EQ(e.GetParticle(0).vy, 4.0f - 5.0f * 2.0f);
}

TEST_F(ParticleTest, AnUnknownConfigMakesAnInactiveEmitterAndIsLoggedOnce)
{
    GUI_ParticleEmmiter a("no_such_config", 0, 0, 0, 0);
    GUI_ParticleEmmiter b("no_such_config", 0, 0, 0, 0);
    EXPECT_FALSE(a.IsActive());
    Run(a, 16.0f);
    EXPECT_EQ(a.GetLiveCount(), 0);
    SpawnParticleEmmiter("no_such_config", 0, 0, 0, 0);
    DrawParticleEmmiters();
    EXPECT_EQ(CountActiveParticleEmmiters(), 0);
    EXPECT_EQ(log.Count("Particle config not found: no_such_config"), 1);
}

TEST_F(ParticleTest, SpareGroupsAreFoundByTheExactNameOnlyWhileReuseIsOn)
{
    GUI_ParticleEmmiterGroup* first = AcquireEmmiterGroup("exp_small", 0, 0, 0, 0);
    first->Release();
    EXPECT_EQ(CountSpareEmmiterGroups("exp_small"), 1);
    EXPECT_NE(AcquireEmmiterGroup("exp_small2", 0, 0, 0, 0), first);
    EXPECT_NE(AcquireEmmiterGroup("EXP_SMALL", 0, 0, 0, 0), first);
    SetEmmiterGroupReuse(false);
    EXPECT_NE(AcquireEmmiterGroup("exp_small", 0, 0, 0, 0), first);
    SetEmmiterGroupReuse(true);
    EXPECT_EQ(AcquireEmmiterGroup("exp_small", 5, 6, 0, 0), first);
    EXPECT_FLOAT_EQ(first->centreX, 5.0f);
    EXPECT_EQ(CountSpareEmmiterGroups("exp_small"), 0);
    EXPECT_EQ(CountAllEmmiterGroups(), 4);
}

TEST_F(ParticleTest, PastThreeHundredAndTwentySparesFinishedGroupsAreFreedSaveFourOfEachConfig)
{
    constexpr int kCap = GUI_ParticleEmmiterGroup::kMaxSpareGroups;
    constexpr int kKept = GUI_ParticleEmmiterGroup::kSparesKeptPerConfig;
    static_assert(kCap == 320 && kKept == 4);
    // A climax: more groups of one config at once than the list keeps, hung
    // under a ship, and two of another config.
    GUI_RenderObject ship;
    std::vector<GUI_ParticleEmmiterGroup*> burst;
    for (int i = 0; i < kCap + 30; ++i) {
        burst.push_back(AcquireEmmiterGroup("exp_small", 0, 0, 0, 0));
        ship.AddChild(burst.back());
    }
    GUI_ParticleEmmiterGroup* other1 = AcquireEmmiterGroup("exp_small2", 0, 0, 0, 0);
    GUI_ParticleEmmiterGroup* other2 = AcquireEmmiterGroup("exp_small2", 0, 0, 0, 0);
    ASSERT_EQ(CountAllEmmiterGroups(), kCap + 32);
    for (size_t i = 0; i < burst.size(); ++i) {
        burst[i]->Release();
        EXPECT_EQ(CountSpareEmmiterGroups("exp_small"), std::min(static_cast<int>(i) + 1, kCap)) << i;
    }
    EXPECT_TRUE(ship.GetChildren().empty()) << "freed or spare, none stays hung under the ship";
    EXPECT_EQ(CountAllEmmiterGroups(), kCap + 2);
    // The list is full, but a config short of its four keeps its groups.
    other1->Release();
    other2->Release();
    EXPECT_EQ(CountSpareEmmiterGroups("exp_small2"), 2);
    EXPECT_EQ(CountAllEmmiterGroups(), kCap + 2);
    EXPECT_EQ(CountActiveEmmiterGroups(), 0);
    // The kept ones are restarted before anything new is built.
    for (int i = 0; i < kCap; ++i)
        AcquireEmmiterGroup("exp_small", 0, 0, 0, 0);
    EXPECT_EQ(CountAllEmmiterGroups(), kCap + 2);
    AcquireEmmiterGroup("exp_small", 0, 0, 0, 0);
    EXPECT_EQ(CountAllEmmiterGroups(), kCap + 3);
}

TEST_F(ParticleTest, AnEmitterDrawsInOneBatchedCallWithItsParticlesFadingIn)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.Init(std::make_unique<HeadlessGraphicsDevice>(800, 600));
    GUI_Map::GetInstance().SetScreenSize(800, 600);
    auto* device = static_cast<HeadlessGraphicsDevice*>(engine.GetDevice());
    Make("puffs", "InitialParticles = 40\nMinSize = 2\nMaxSize = 2\nXScatter = 50\nYScatter = 50\n");
    const float cx = GUI_Map::GetInstance().cameraX + 400.0f / ZoomScale;
    const float cy = GUI_Map::GetInstance().cameraY + 300.0f / ZoomScale;
    GUI_ParticleEmmiter e("puffs", cx, cy, 0, 0);
    const size_t before = device->GetDraws().size();
    e.Advance(6.0f, 0.5f, true); // age 6 of the 100 ms fade-in
    ASSERT_EQ(device->GetDraws().size(), before + 1) << "one draw for 40 particles";
    const auto& draw = device->GetDraws().back();
    EXPECT_EQ(draw.vertexCount, 40u * 4u);
    // The frame's corner texels: frame 0 spans a 1/8 by 1/4 cell.
    EXPECT_FLOAT_EQ(draw.vertices[3].u - draw.vertices[0].u, 0.125f);
    EXPECT_FLOAT_EQ(draw.vertices[3].v - draw.vertices[0].v, 0.25f);
    EXPECT_EQ(draw.vertices[0].colour >> 24, static_cast<uint32_t>(std::lround(0.06f * 255.0f)));
    // Past the fade-in at half strength: 127.5 rounds away from zero.
    e.alphaScale = 0.5f;
    e.Advance(120.0f, 10.0f, true);
    ASSERT_EQ(device->GetDraws().size(), before + 2);
    EXPECT_EQ(device->GetDraws().back().vertices[0].colour >> 24, 128u);
    GUI_Map::GetInstance().SetScreenSize(0, 0);
    engine.Release();
}

TEST_F(ParticleTest, AQuadsCornersAreItsTurnedHalfSidesAddedToItsPixelAndEveryParticleOnScreenDraws)
{
    const Screen screen(1.5f);
    GUI_Map& map = GUI_Map::GetInstance();
    HeadlessGraphicsDevice* device = screen.Device();
    // More particles than the batch takes at once, spinning, on frames 9 to
    // 15 of the sheet, all on screen; young, so both fade in.
    Make("sparks", "InitialParticles = 150\nMinSize = 3\nMaxSize = 9\nXScatter = 60\nYScatter = 40\n"
                   "MinSpinSpeed = -40\nMaxSpinSpeed = 70\nUVFrame = 9\nUVFrameLast = 15\n");
    GUI_ParticleEmmiter e("sparks", map.cameraX + 400.0f / ZoomScale, map.cameraY + 300.0f / ZoomScale, 0, 0);
    e.alphaScale = 0.8f;
    const size_t before = device->GetDraws().size();
    e.Advance(30.0f, 2.5f, true);
    ASSERT_EQ(device->GetDraws().size(), before + 1);
    const auto& draw = device->GetDraws().back();
    ASSERT_EQ(draw.vertexCount, 150u * 4u) << "every particle once, none twice";
    // The recorded vertices: the first particles', in slot order.
    ASSERT_EQ(draw.vertices.size() % 4, 0u);
    for (size_t n = 0; n < draw.vertices.size() / 4; ++n) {
        const GUI_Particle p = e.GetParticle(static_cast<int>(n));
        ASSERT_GE(p.frame, 9);
        ASSERT_LE(p.frame, 15);
        ExpectQuadOf(p, 0.8f, &draw.vertices[4 * n], static_cast<int>(n));
    }
}

TEST_F(ParticleTest, OnlyParticlesOnTheScreenTurnAndTheirQuadsFollowInSlotOrder)
{
    const Screen screen(1.0f);
    GUI_Map& map = GUI_Map::GetInstance();
    HeadlessGraphicsDevice* device = screen.Device();
    // Scattered wider than the screen, so that neighbouring slots are
    // drawn and not; every particle spins by 100 to 175 degrees this frame.
    Make("embers", "InitialParticles = 200\nMinSize = 3\nMaxSize = 9\nXScatter = 600\nYScatter = 400\n"
                   "MinSpinSpeed = 40\nMaxSpinSpeed = 70\nUVFrame = 3\nUVFrameLast = 10\n");
    GUI_ParticleEmmiter e("embers", map.cameraX + 400.0f, map.cameraY + 300.0f, 0, 0);
    float before[200];
    for (int n = 0; n < 200; ++n)
        before[n] = e.GetParticle(n).angle;
    const size_t draws = device->GetDraws().size();
    e.Advance(30.0f, 2.5f, true);
    ASSERT_EQ(device->GetDraws().size(), draws + 1);
    const auto& draw = device->GetDraws().back();
    // The recorded vertices are the first quads'.
    const auto& vertices = draw.vertices;
    ASSERT_EQ(vertices.size() % 4, 0u);
    size_t quad = 0;
    int hidden = 0;
    bool mixedBlock = false;
    for (int n = 0; n < 200; ++n) {
        const GUI_Particle p = e.GetParticle(n);
        const bool turned = p.angle != before[n];
        if (n % 4 == 3) {
            int turnedInBlock = 0;
            for (int k = n - 3; k <= n; ++k)
                turnedInBlock += e.GetParticle(k).angle != before[k] ? 1 : 0;
            mixedBlock = mixedBlock || (turnedInBlock > 0 && turnedInBlock < 4);
        }
        if (!turned) {
            ++hidden;
            continue;
        }
        // A turned particle is drawn next, as its new turn places it.
        if (4 * quad >= vertices.size()) {
            ++quad;
            continue;
        }
        ExpectQuadOf(p, 1.0f, &vertices[4 * quad], n);
        ++quad;
    }
    EXPECT_EQ(4 * quad, draw.vertexCount) << "a quad for every turned particle, and no other";
    EXPECT_GT(quad, 64u) << "more than one run of the batch";
    EXPECT_GT(4 * quad, vertices.size());
    EXPECT_GT(hidden, 0);
    EXPECT_TRUE(mixedBlock);
}

TEST_F(ParticleTest, AParticleDrawsWhileItsScreenPointTruncatedToPixelsIsWithinItsHalfSideOfTheScreen)
{
    const Screen screen(1.0f);
    GUI_Map& map = GUI_Map::GetInstance();
    HeadlessGraphicsDevice* device = screen.Device();
    // One still particle of side 4 past its fade-in: half a side of 4 pixels.
    Make("dot", "InitialParticles = 1\nMinSize = 4\nMaxSize = 4\nAlphaFalloff = 0.001\nLifetime = 1\n");
    const auto draws = [&](float screenX, float screenY) {
        GUI_ParticleEmmiter e("dot", map.cameraX + screenX, map.cameraY + screenY, 0, 0);
        const size_t before = device->GetDraws().size();
        e.Advance(120.0f, 10.0f, true);
        EXPECT_EQ(e.GetLiveCount(), 1);
        return device->GetDraws().size() - before;
    };
    // -4.5 truncates towards zero to -4: on the edge, drawn.
    EXPECT_EQ(draws(-4.5f, 300.0f), 1u);
    EXPECT_EQ(draws(-5.0f, 300.0f), 0u);
    EXPECT_EQ(draws(804.9f, 300.0f), 1u);
    EXPECT_EQ(draws(805.0f, 300.0f), 0u);
    EXPECT_EQ(draws(400.0f, -4.5f), 1u);
    EXPECT_EQ(draws(400.0f, -5.0f), 0u);
    EXPECT_EQ(draws(400.0f, 604.9f), 1u);
    EXPECT_EQ(draws(400.0f, 605.0f), 0u);
}

} // namespace
