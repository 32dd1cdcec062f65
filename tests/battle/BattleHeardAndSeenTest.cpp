// What a skirmish sets off must reach the player: every battle sound at the
// volume the Effects and Master sliders give it, heard through a recording
// sound system.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BattleScreenTest.h"
#include "battle/GUI_ECMShock.h"
#include "battle/GUI_Shield.h"
#include "battle/GUI_Ship.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/RecordingSounds.h"

namespace {

// Frames of the running battle until its clock passes `ms`, the camera on
// whatever `aim` picks each frame.
template <typename Aim>
void RunUntil(GUI_BattleGUI& gui, float ms, Aim aim)
{
    const float until = SIM_BattleClock::GetInstance().battleTime + ms;
    while (SIM_BattleClock::GetInstance().battleTime < until && !SIM_Battle::GetInstance().IsEnded()) {
        aim();
        gui.RenderBattleFrame();
    }
}

class HeardAndSeen : public BattleScreenTest {
protected:
    bool StartSkirmish(int difficulty)
    {
        SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
        return scenario && StartBattleFromDeploymentFile(scenario, kFleet, difficulty);
    }
};

class BattleSoundVolumes : public HeardAndSeen {
protected:
    RecordingSounds* FightWith(float effects, float master)
    {
        // The recording system belongs to the manager; keep a view of it.
        auto recording = std::make_unique<RecordingSounds>();
        rec = recording.get();
        heard = std::make_unique<GUI_Sounds>(std::move(recording), [effects, master](const std::string& name) {
            if (name == "OPTIONS_SFX")
                return effects;
            if (name == "OPTIONS_MASTERVOLUME")
                return master;
            return 1.0f;
        });
        heard->RefreshVolumes();
        gui().SetSounds(heard.get());
        if (!StartSkirmish(SIM_Scenario::MEDIUM))
            return nullptr;
        gui().Enter();
        gui().battleSpeed = 4.0f;
        RunUntil(gui(), 90000.0f, [] {
            SIM_Ship* aim = nullptr;
            for (SIM_Ship* ship : SIM_Battle::GetInstance().GetEnemyFleet()->GetAllShips())
                if (ship->state == SIM_Ship::ACTIVE || ship->state == SIM_Ship::DYING)
                    if (!aim || ship->healthFraction < aim->healthFraction)
                        aim = ship;
            if (aim)
                GUI_Map::GetInstance().SetCentre(aim->x, aim->y);
        });
        // A shield failing and an ECM crackle on a ship in view.
        for (SIM_Ship* ship : SIM_Battle::GetInstance().GetPlayerFleet()->GetAllShips()) {
            GUI_Ship* visual = GUI_Ship::Of(ship);
            if (!visual || ship->IsDead() || ship->state != SIM_Ship::ACTIVE)
                continue;
            GUI_Map::GetInstance().SetCentre(ship->x, ship->y);
            gui().RenderBattleFrame();
            GUI_Shield shield(ship);
            shield.Collapse();
            visual->ShowECMShock();
            break;
        }
        return rec;
    }
    void TearDown() override
    {
        gui().SetSounds(sounds.get());
        HeardAndSeen::TearDown();
        heard.reset();
    }
    // The file and the starting volume of every sound the battle started on
    // its weapon, explosion and shield banks.
    std::vector<std::pair<std::string, float>> BattleSounds() const
    {
        std::vector<std::pair<std::string, float>> out;
        std::vector<SoundGroupHandle> groups;
        for (int bank : {GUI_Sounds::BANK_WEAPONS, GUI_Sounds::BANK_EXPLOSIONS, GUI_Sounds::BANK_SHIELDS})
            groups.push_back(heard->GetBank(bank)->GetGroup());
        for (const auto& [channel, group] : rec->groupOf)
            if (std::find(groups.begin(), groups.end(), group) != groups.end())
                out.push_back({rec->fileOf.at(channel), rec->firstVolumes.count(channel) ? rec->firstVolumes.at(channel)
                                                                                            : -1.0f});
        return out;
    }
    static bool Has(const std::vector<std::pair<std::string, float>>& sounds, const char* part)
    {
        return std::any_of(sounds.begin(), sounds.end(),
                           [part](const auto& s) { return s.first.find(part) != std::string::npos; });
    }
    // The sounds the screen itself starts at its own factor 1.
    static bool OwnFactorOne(const std::string& file)
    {
        for (const char* part : {"explosion_impact_", "explosion_destruction_", "shields_fail", "ecmshock"})
            if (file.find(part) != std::string::npos)
                return true;
        return false;
    }

    RecordingSounds* rec = nullptr;
    std::unique_ptr<GUI_Sounds> heard;
};

TEST_F(BattleSoundVolumes, WithEffectsOrMasterAtZeroEveryBattleSoundStartsSilent)
{
    for (const auto& [effects, master] : {std::pair{0.0f, 1.0f}, std::pair{1.0f, 0.0f}}) {
        SCOPED_TRACE(testing::Message() << "effects " << effects << ", master " << master);
        ASSERT_NE(FightWith(effects, master), nullptr);
        const auto started = BattleSounds();
        ASSERT_TRUE(Has(started, "explosion_impact_")) << "hits were heard";
        ASSERT_TRUE(Has(started, "explosion_destruction_")) << "deaths were heard";
        ASSERT_TRUE(Has(started, "shields_fail"));
        ASSERT_TRUE(Has(started, "ecmshock"));
        for (const auto& [file, volume] : started)
            EXPECT_EQ(volume, 0.0f) << file;
        // The drones follow the same sliders.
        for (SoundChannelId drone : gui().GetDrones().channel)
            if (drone != kNoChannel)
                EXPECT_EQ(rec->volumes[drone], 0.0f);
        gui().Leave();
        SIM_Battle::GetInstance().Clear();
        GUI_ShipDrawLists::GetInstance().Clear();
        SIM_BattleClock::GetInstance().ResetForBattle();
    }
}

TEST_F(BattleSoundVolumes, AtAQuarterOfEffectsAndHalfOfMasterABattleSoundIsAnEighthOfItsOwnLoudness)
{
    ASSERT_NE(FightWith(0.25f, 0.5f), nullptr);
    const auto started = BattleSounds();
    ASSERT_TRUE(Has(started, "explosion_impact_"));
    ASSERT_TRUE(Has(started, "explosion_destruction_"));
    size_t screens = 0, modules = 0;
    for (const auto& [file, volume] : started) {
        // The modules' own factors are at most 1 in the shipped content.
        EXPECT_GE(volume, 0.0f) << file;
        EXPECT_LE(volume, 0.125f + 1e-6f) << file;
        if (OwnFactorOne(file)) {
            EXPECT_FLOAT_EQ(volume, 0.125f) << file;
            ++screens;
        } else {
            EXPECT_GT(volume, 0.0f) << file;
            ++modules;
        }
    }
    EXPECT_GT(screens, 0u);
    EXPECT_GT(modules, 0u) << "the weapons were heard too";
}

} // namespace
