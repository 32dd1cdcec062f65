#include "app/GUI_Sounds.h"
#include "engine/GDebugLog.h"
#include "platform/NullSoundSystem.h"
#include "support/LoopbackAudio.h"
#include "support/ErrorLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

constexpr int kFrames = 8820;
const char* const kBoom = "data/sounds/boom.ogg";

// Counts what the manager asks of the device, for the cases that are about
// bookkeeping rather than what is heard.
class RecordingSoundSystem : public NullSoundSystem {
public:
    RecordingSoundSystem() : NullSoundSystem(512) {}
    bool IsSilent() const override { return false; }
    SoundResult GetLastResult() const override { return SOUND_ERR_FILE_NOT_FOUND; }
    SoundHandle CreateSound(const std::string& path, unsigned flags) override
    {
        ++creates;
        lastFlags = flags;
        return path.find("missing") != std::string::npos ? kNoSound : static_cast<SoundHandle>(creates);
    }
    SoundChannelId PlaySound(SoundHandle, SoundGroupHandle, bool, int) override { return ++lastChannel; }
    bool IsChannelPlaying(SoundChannelId ch) const override { return ch && ch <= lastChannel && !stopped.count(ch); }
    void StopChannel(SoundChannelId ch) override { stopped.insert(ch); }
    void SetChannelVolume(SoundChannelId ch, float v) override { volumes[ch] = v; }
    void SetChannelLoop(SoundChannelId ch, bool loop) override { loops[ch] = loop; }
    SoundGroupHandle CreateChannelGroup() override { return ++lastGroup; }
    void SetGroupPitch(SoundGroupHandle g, float p) override { pitches[g] = p; }

    int creates = 0;
    unsigned lastFlags = 0;
    SoundChannelId lastChannel = 0;
    SoundGroupHandle lastGroup = 1;
    std::set<SoundChannelId> stopped;
    std::map<SoundChannelId, float> volumes;
    std::map<SoundChannelId, bool> loops;
    std::map<SoundGroupHandle, float> pitches;
};

class GUI_SoundsTest : public ::testing::Test {
protected:
    GUI_SoundsTest() : chdir(dir.Path())
    {
        options = {{"OPTIONS_SFX", 1.0f},       {"OPTIONS_MUSIC", 1.0f},       {"OPTIONS_MASTERVOLUME", 1.0f},
                   {"OPTIONS_INTERFACE_VOLUME", 1.0f}, {"PITCHSHIFT", 1.0f}, {"HARDWARESOUND", 1.0f}};
        battle.inBattle = true;
        battle.zoom = 4.0f; // the listener sits on the map plane
    }

    void WriteContent()
    {
        ASSERT_TRUE(LoopbackAudio::WriteTone(dir.File(kBoom), 1000.0f, 1.0f));
        ASSERT_TRUE(LoopbackAudio::WriteTone(dir.File("data/sounds/gui_button.ogg"), 1000.0f, 1.0f));
        ASSERT_TRUE(LoopbackAudio::WriteTone(dir.File("data/sounds/music/main_title.ogg"), 440.0f, 1.0f));
        ASSERT_TRUE(LoopbackAudio::WriteTone(dir.File("data/sounds/music/victory.ogg"), 660.0f, 1.0f));
    }

    GUI_Sounds::OptionReader Options()
    {
        return [this](const std::string& name) { return options.count(name) ? options[name] : 0.0f; };
    }

    // A manager on the loopback device; false when the library lacks it.
    bool OpenLoopback()
    {
        auto system = LoopbackAudio::Open(64);
        if (!system)
            return false;
        device = system.get();
        Attach(std::move(system));
        return true;
    }

    RecordingSoundSystem* OpenRecording()
    {
        auto system = std::make_unique<RecordingSoundSystem>();
        RecordingSoundSystem* raw = system.get();
        Attach(std::move(system));
        return raw;
    }

    void Attach(std::unique_ptr<ISoundSystem> system)
    {
        sounds = std::make_unique<GUI_Sounds>(std::move(system), Options());
        sounds->SetBattleInfoProvider([this] { return battle; });
        sounds->RefreshVolumes();
        sounds->Update();
    }

    std::vector<float> Render(int frames = kFrames) { return LoopbackAudio::Render(*device, frames, 1024); }
    double Level() { return LoopbackAudio::Rms(Render()); }

    TempDir dir;
    ScopedChdir chdir;
    std::map<std::string, float> options;
    GUI_SoundBattleInfo battle;
    OpenALSoundSystem* device = nullptr;
    std::unique_ptr<GUI_Sounds> sounds;
};

#define NEED_LOOPBACK()                                                                                               \
    do {                                                                                                              \
        WriteContent();                                                                                               \
        if (!OpenLoopback())                                                                                          \
            GTEST_SKIP() << "OpenAL Soft without loopback support";                                                  \
    } while (0)

TEST_F(GUI_SoundsTest, EleventhPlayWithinAQuarterSecondIsDropped)
{
    NEED_LOOPBACK();
    for (int i = 0; i < 10; ++i)
        EXPECT_NE(sounds->PlayBattleSound(kBoom, GUI_Sounds::BANK_EXPLOSIONS, 0.1f, 64.0f, 0, 0), kNoChannel) << i;
    EXPECT_TRUE(sounds->IsPlayedTooOften(kBoom));
    EXPECT_EQ(sounds->PlayBattleSound(kBoom, GUI_Sounds::BANK_EXPLOSIONS, 0.1f, 64.0f, 0, 0), kNoChannel);
    EXPECT_FALSE(sounds->IsPlayedTooOften("data/sounds/other.ogg"));

    battle.scaledFrameMs = 200.0f;
    sounds->Update();
    EXPECT_EQ(sounds->PlayBattleSound(kBoom, GUI_Sounds::BANK_EXPLOSIONS, 0.1f, 64.0f, 0, 0), kNoChannel);
    battle.scaledFrameMs = 51.0f;
    sounds->Update();
    EXPECT_FALSE(sounds->IsPlayedTooOften(kBoom));
    EXPECT_NE(sounds->PlayBattleSound(kBoom, GUI_Sounds::BANK_EXPLOSIONS, 0.1f, 64.0f, 0, 0), kNoChannel);
    EXPECT_GT(Level(), 0.01);
}

TEST_F(GUI_SoundsTest, ThrottleAgesOnlyWithBattleTime)
{
    OpenRecording();
    for (int i = 0; i < 10; ++i)
        sounds->RememberRecent(kBoom);
    battle.scaledFrameMs = 0.0f; // paused battle
    sounds->Update();
    battle.inBattle = false;
    battle.scaledFrameMs = 1000.0f;
    sounds->Update();
    EXPECT_TRUE(sounds->IsPlayedTooOften(kBoom));
}

TEST_F(GUI_SoundsTest, FullRecentListReplacesTheYoungestLaterSlotOnTies)
{
    OpenRecording();
    battle.scaledFrameMs = 10.0f;
    for (int i = 0; i < GUI_Sounds::kRecentSlots; ++i) {
        sounds->RememberRecent(("s" + std::to_string(i)).c_str());
        if (i < 10)
            sounds->Update(); // the first ten grow older than the rest
    }
    sounds->RememberRecent("new");
    EXPECT_EQ(sounds->GetRecentName(GUI_Sounds::kRecentSlots - 1), "new");
    EXPECT_EQ(sounds->GetRecentName(0), "s0");
    EXPECT_FLOAT_EQ(sounds->GetRecentAge(0), 100.0f);
}

TEST_F(GUI_SoundsTest, SameMusicNameDoesNotRestart)
{
    NEED_LOOPBACK();
    sounds->PlayMusic("main_title.ogg", false);
    SoundChannelId first = sounds->GetMusicChannel();
    ASSERT_NE(first, kNoChannel);
    Render();
    sounds->PlayMusic("main_title.ogg", false);
    EXPECT_EQ(sounds->GetMusicChannel(), first);
    EXPECT_TRUE(device->IsChannelPlaying(first));
    EXPECT_NEAR(LoopbackAudio::Frequency(Render()), 440.0, 20.0);
}

TEST_F(GUI_SoundsTest, SameMusicNameCreatesNoSecondStream)
{
    RecordingSoundSystem* rec = OpenRecording();
    sounds->PlayMusic("main_title.ogg", false);
    sounds->PlayMusic("main_title.ogg", false);
    EXPECT_EQ(rec->creates, 1);
    EXPECT_EQ(rec->lastFlags, unsigned(SOUND_STREAM | SOUND_LOOP));
    sounds->PlayMusic("other.ogg", false);
    EXPECT_EQ(rec->creates, 2);
    EXPECT_TRUE(rec->stopped.count(1));
}

TEST_F(GUI_SoundsTest, VictoryMusicCanStopAndStartAgain)
{
    NEED_LOOPBACK();
    sounds->PlayMusic("main_title.ogg", false);
    EXPECT_NE(sounds->PlayMusicOnce("data/sounds/music/victory.ogg"), kNoChannel);
    EXPECT_TRUE(sounds->GetMusicName().empty());
    EXPECT_NEAR(LoopbackAudio::Frequency(Render()), 660.0, 25.0);

    sounds->StopMusic();
    EXPECT_LT(Level(), 1e-6);
    EXPECT_NE(sounds->PlayMusicOnce("data/sounds/music/victory.ogg"), kNoChannel);
    EXPECT_GT(Level(), 0.05);

    // The title track that played before the victory starts again too.
    sounds->StopMusic();
    sounds->PlayMusic("main_title.ogg", false);
    EXPECT_NE(sounds->GetMusicChannel(), kNoChannel);
    EXPECT_NEAR(LoopbackAudio::Frequency(Render()), 440.0, 20.0);
}

TEST_F(GUI_SoundsTest, PitchShiftsBattleBanksButNotInterface)
{
    NEED_LOOPBACK();
    sounds->LoadSounds();
    sounds->StopMusic();
    sounds->SetPitch(2.0f);
    EXPECT_FLOAT_EQ(sounds->GetBank(GUI_Sounds::BANK_EXPLOSIONS)->GetBaseFrequency(), 88200.0f);
    EXPECT_FLOAT_EQ(sounds->GetBank(GUI_Sounds::BANK_INTERFACE)->GetBaseFrequency(), 44100.0f);

    SoundChannelId boom = sounds->PlayBattleSound(kBoom, GUI_Sounds::BANK_EXPLOSIONS, 1.0f, 64.0f, 0, 0);
    ASSERT_NE(boom, kNoChannel);
    EXPECT_NEAR(LoopbackAudio::Frequency(Render()), 2000.0, 60.0);
    sounds->StopChannel(boom);

    sounds->PlayGuiSound(0);
    EXPECT_NEAR(LoopbackAudio::Frequency(Render()), 1000.0, 30.0);
}

TEST_F(GUI_SoundsTest, PitchShiftOffKeepsBattlePitch)
{
    NEED_LOOPBACK();
    options["PITCHSHIFT"] = 0.0f;
    sounds->SetPitch(2.0f);
    EXPECT_FLOAT_EQ(sounds->GetBank(GUI_Sounds::BANK_WEAPONS)->GetBaseFrequency(), 44100.0f);
    sounds->PlayBattleSound(kBoom, GUI_Sounds::BANK_WEAPONS, 1.0f, 64.0f, 0, 0);
    EXPECT_NEAR(LoopbackAudio::Frequency(Render()), 1000.0, 30.0);
}

TEST_F(GUI_SoundsTest, ZeroPitchIsRefused)
{
    RecordingSoundSystem* rec = OpenRecording();
    int errors = GDebugLog::GetInstance().GetErrorCount();
    sounds->SetPitch(0.0f);
    EXPECT_EQ(GDebugLog::GetInstance().GetErrorCount(), errors + 1);
    EXPECT_TRUE(rec->pitches.empty());
    EXPECT_FLOAT_EQ(sounds->GetBank(0)->GetBaseFrequency(), 44100.0f);
}

TEST_F(GUI_SoundsTest, PauseSilencesBattleAndMusicButNotInterface)
{
    NEED_LOOPBACK();
    sounds->LoadSounds();
    sounds->PlayBattleSound(kBoom, GUI_Sounds::BANK_SHIELDS, 1.0f, 64.0f, 0, 0);
    EXPECT_GT(Level(), 0.05);
    sounds->Pause();
    Render(2048); // the mixer fades out rather than clicking
    EXPECT_LT(Level(), 1e-6);
    sounds->PlayGuiSound(0);
    EXPECT_NEAR(LoopbackAudio::Frequency(Render()), 1000.0, 30.0);
    sounds->Resume();
    EXPECT_GT(Level(), 0.05);
}

TEST_F(GUI_SoundsTest, BattleSoundRightOfTheViewIsLouderOnTheRight)
{
    NEED_LOOPBACK();
    battle.viewCentreX = 1000.0f;
    battle.viewCentreY = 500.0f;
    sounds->Update();
    sounds->PlaySound3D(kBoom, sounds->GetBank(GUI_Sounds::BANK_WEAPONS), 1.0f, true, 64.0f, 1300.0f, 500.0f);
    auto out = Render();
    EXPECT_GT(LoopbackAudio::Rms(out, 1), 2.0 * LoopbackAudio::Rms(out, 0));
}

TEST_F(GUI_SoundsTest, DroneLevelsFollowDistanceAndZoom)
{
    RecordingSoundSystem* rec = OpenRecording();
    battle.screenWidth = 1000.0f;
    battle.viewCentreX = 100.0f;
    GUI_EngineDrones drones;
    sounds->StartEngineDrones(drones);
    ASSERT_NE(drones.channel[0], kNoChannel);
    ASSERT_NE(drones.channel[1], kNoChannel);
    EXPECT_TRUE(rec->loops[drones.channel[0]]);
    EXPECT_FLOAT_EQ(rec->volumes[drones.channel[1]], 0.0f);

    sounds->AddDroneLevel(drones, 0, 100.0f, 0.0f, 0.8f);
    EXPECT_FLOAT_EQ(drones.level[0], 0.8f);
    sounds->AddDroneLevel(drones, 1, 600.0f, 0.0f, 1.0f); // half a screen away
    EXPECT_FLOAT_EQ(drones.level[1], 0.0f);
    sounds->AddDroneLevel(drones, 7, 100.0f, 0.0f, 1.0f);
    battle.zoom = 2.0f;
    sounds->AddDroneLevel(drones, 1, 100.0f, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(drones.level[1], 0.5f);

    // A frame's ships offer their levels over one view, asked for once at
    // the hold's start: a view changed meanwhile counts only after it.
    battle.zoom = 4.0f;
    {
        const GUI_Sounds::BattleInfoHold hold(sounds.get());
        battle.zoom = 0.0f;
        battle.viewCentreX = 5000.0f;
        const GUI_Sounds::BattleInfoHold inner(sounds.get());
        sounds->AddDroneLevel(drones, 1, 100.0f, 0.0f, 1.0f);
        EXPECT_FLOAT_EQ(drones.level[1], 1.0f) << "heard from the view at the hold's start";
    }
    drones.level[0] = 0.0f;
    sounds->AddDroneLevel(drones, 0, 100.0f, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(drones.level[0], 0.0f) << "past the hold, the view as it is now";
    battle.zoom = 2.0f;
    battle.viewCentreX = 100.0f;
    drones.level[0] = 0.8f;

    options["OPTIONS_SFX"] = 0.5f;
    sounds->RefreshVolumes(); // also refreshes the drones, which resets their levels
    EXPECT_FLOAT_EQ(rec->volumes[drones.channel[0]], 0.8f * 0.5f * 0.75f);
    EXPECT_FLOAT_EQ(drones.level[0], 0.0f);
    sounds->RefreshDroneVolume(drones);
    EXPECT_FLOAT_EQ(rec->volumes[drones.channel[0]], 0.0f);

    SoundChannelId old = drones.channel[0];
    sounds->StartEngineDrones(drones);
    EXPECT_TRUE(rec->stopped.count(old));
}

TEST_F(GUI_SoundsTest, MissingFileLogsOnceAndPlaysNothing)
{
    OpenRecording();
    int errors = GDebugLog::GetInstance().GetErrorCount();
    EXPECT_EQ(sounds->PlaySound("data/sounds/missing.ogg", sounds->GetBank(4), 1.0f, false), kNoChannel);
    EXPECT_EQ(sounds->PlaySound("data/sounds/missing.ogg", sounds->GetBank(4), 1.0f, false), kNoChannel);
    EXPECT_EQ(GDebugLog::GetInstance().GetErrorCount(), errors + 1);
    EXPECT_EQ(sounds->PlaySound(nullptr, nullptr, 1.0f, false), kNoChannel);
}

TEST_F(GUI_SoundsTest, AFailureLineSaysWhatFailedAndWhichFile)
{
    TempDir logs;
    GDebugLog::GetInstance().Open(logs.Path());
    OpenRecording();
    sounds->PlayMusic("missing_theme.ogg", false);
    GDebugLog::GetInstance().Close();
    const std::string errors = logs.Read("debug/errors.txt");
    EXPECT_NE(errors.find("Failed to createStream data/sounds/music/missing_theme.ogg (1) File not found."),
              std::string::npos)
        << errors;
    // The game plays through OpenAL; no other library is named.
    EXPECT_EQ(errors.find("FMOD"), std::string::npos) << errors;
}

TEST_F(GUI_SoundsTest, ChannelCountComesFromPrefs)
{
    ScopedErrorLog log;
    EXPECT_EQ(GUI_Sounds::ReadChannelCount(dir.File("none.ini")), 512);
    EXPECT_EQ(GUI_Sounds::ReadChannelCount(dir.Write("d.ini", "[prefs]\nsound_channels = 64\n")), 64);
    EXPECT_EQ(GUI_Sounds::ReadChannelCount(dir.Write("e.ini", "[prefs]\nsound_channels = 4095\n")), 4095);
    EXPECT_EQ(log.Lines(), 0);
    // Damaged: told with file and key, the default used.
    const std::pair<const char*, const char*> damaged[] = {
        {"[prefs]\nsound_channels = 0\n", "[prefs] sound_channels = 0: out of range 1..4095, 512 used"},
        {"[prefs]\nsound_channels = -4\n", "[prefs] sound_channels = -4: out of range 1..4095, 512 used"},
        {"[prefs]\nsound_channels = 4096\n", "[prefs] sound_channels = 4096: out of range 1..4095, 512 used"},
        {"[prefs]\nsound_channels = -2147483648\n",
         "[prefs] sound_channels = -2147483648: out of range 1..4095, 512 used"},
        {"[prefs]\nwidth = 800\nheight = 600\nwindowed = 1\nsound_chan",
         "[prefs] sound_channels: missing (damaged or cut off), 512 used"},
        {"[prefs]\nwidth = 800", "[prefs] sound_channels: missing (damaged or cut off), 512 used"},
    };
    for (const auto& [text, told] : damaged) {
        ScopedErrorLog one;
        const std::string path = dir.Write("damaged.ini", text);
        EXPECT_EQ(GUI_Sounds::ReadChannelCount(path), 512) << text;
        EXPECT_EQ(one.Count(path + " " + told), 1) << text;
        EXPECT_EQ(one.Lines(), 1) << text;
    }
    // A whole file without the key (an earlier version's, or written by
    // hand) is no damage: the default, without a line.
    for (const char* text : {"[prefs]\nwidth = 800\n", "[prefs]\nwidth = 800\nheight = 600\nwindowed = 1\n\n"}) {
        ScopedErrorLog whole;
        EXPECT_EQ(GUI_Sounds::ReadChannelCount(dir.Write("whole.ini", text)), 512) << text;
        EXPECT_EQ(whole.Lines(), 0) << text;
    }
    // Beyond int: the reader's own line, and the count's.
    ScopedErrorLog huge;
    const std::string path = dir.Write("huge.ini", "[prefs]\nsound_channels = 1e20\n");
    EXPECT_EQ(GUI_Sounds::ReadChannelCount(path), 512);
    EXPECT_EQ(huge.Count(path + " [prefs] sound_channels = 1e20: out of range 1..4095, 512 used"), 1);
    EXPECT_EQ(huge.Lines(), 2);
}

TEST_F(GUI_SoundsTest, WithoutADeviceEverythingIsASilentNoOp)
{
    WriteContent();
    Attach(CreateSoundSystem(512, "no such audio device"));
    EXPECT_TRUE(sounds->GetSystem().IsSilent());
    int errors = GDebugLog::GetInstance().GetErrorCount();
    sounds->LoadSounds();
    sounds->PlayGuiSound(0);
    EXPECT_EQ(sounds->PlayBattleSound(kBoom, 0, 1.0f, 64.0f, 0, 0), kNoChannel);
    EXPECT_EQ(sounds->PlaySound("data/sounds/missing.ogg", nullptr, 1.0f, true), kNoChannel);
    EXPECT_EQ(sounds->PlayMusicOnce("data/sounds/music/victory.ogg"), kNoChannel);
    GUI_EngineDrones drones;
    sounds->StartEngineDrones(drones);
    sounds->SetPitch(1.5f);
    sounds->Pause();
    sounds->Resume();
    sounds->Update();
    EXPECT_EQ(GDebugLog::GetInstance().GetErrorCount(), errors);
}

} // namespace
