#pragma once
#include "app/GUI_SoundBank.h"
#include "platform/ISoundSystem.h"
#include "sim/SIM_SoundSink.h"

#include <functional>
#include <memory>
#include <string>

// The battle screen's two engine drones: drone 0 is the fighter drone,
// drone 1 the cruiser drone. Their loudness is gathered over a frame from the
// ships drawn and applied once.
struct GUI_EngineDrones {
    float level[2] = {0.0f, 0.0f};
    SoundChannelId channel[2] = {kNoChannel, kNoChannel};
};

// What the sound manager needs to know of the battle screen each frame.
struct GUI_SoundBattleInfo {
    bool inBattle = false;      // the battle is the current mode
    float viewCentreX = 0.0f;   // map co-ordinates
    float viewCentreY = 0.0f;
    float zoom = 1.0f;
    float scaledFrameMs = 0.0f; // battle time of this frame, 0 while paused
    float screenWidth = 1024.0f;
};

// Every sound of the game: interface sounds, positional battle sounds with a
// guard against one sound piling up, the engine drones and one music stream.
// The simulation reaches it through SIM_SoundSink (the bank numbers are there).
class GUI_Sounds : public SIM_SoundSink {
public:
    static constexpr int kRecentSlots = 20;
    static constexpr int kInterfaceSoundCount = 8;
    static constexpr int kDefaultChannels = 512;
    // The most a sound system takes.
    static constexpr int kMaxChannels = 4095;

    using OptionReader = std::function<float(const std::string&)>;
    using BattleInfoProvider = std::function<GUI_SoundBattleInfo()>;

    // Built on first use on the default audio device, with the channel count
    // of prefs.ini in the user folder.
    static GUI_Sounds& GetInstance();

    // A manager on a given system with its own option source (tools, tests).
    GUI_Sounds(std::unique_ptr<ISoundSystem> system, OptionReader options);
    ~GUI_Sounds() override;
    GUI_Sounds(const GUI_Sounds&) = delete;
    GUI_Sounds& operator=(const GUI_Sounds&) = delete;

    void LoadSounds();

    SoundChannelId PlaySound(const char* file, GUI_SoundBank* bank, float volume, bool loop) override;
    SoundChannelId PlaySound3D(const char* file, GUI_SoundBank* bank, float volume, bool loop, float minDistance,
                               float x, float y) override;
    // The throttled battle play: skipped (kNoChannel) when the file has played
    // too often lately, else played at ownVolume x effects x master and
    // remembered.
    SoundChannelId PlayBattleSound(const char* file, int bankIndex, float ownVolume, float minDistance, float x,
                                   float y) override;
    void PlayGuiSound(int index);
    void StopChannel(SoundChannelId channel) override;

    bool IsPlayedTooOften(const char* file) const override;
    void RememberRecent(const char* file) override;

    void PlayMusic(const std::string& name, bool fullPath);
    // Stops the music and forgets its name, so that any track, the same one
    // included, can be started again afterwards.
    void StopMusic();
    // A track played once as the music (victory, defeat): the music before it
    // stops, and no name is kept.
    SoundChannelId PlayMusicOnce(const std::string& path) override;

    // Silences every sound of the five banks (the music plays on).
    void StopAllBanks();

    void RefreshVolumes();
    void RefreshMusicVolume();
    void SetPitch(float factor);
    void Pause();
    void Resume();
    bool IsPaused() const { return m_paused; }
    void Update();
    void ApplyHardwareSoundOption();

    void StartEngineDrones(GUI_EngineDrones& drones);
    void AddDroneLevel(GUI_EngineDrones& drones, int kind, float x, float y, float volume);
    void RefreshDroneVolume(GUI_EngineDrones& drones);
    void StopEngineDrones(GUI_EngineDrones& drones);

    // Logs a failed sound call with what failed and, when known, the file it
    // was about; true when it succeeded.
    bool CheckFmodResult(SoundResult result, const char* context, const std::string& file = {});

    void SetBattleInfoProvider(BattleInfoProvider provider) { m_battleInfo = std::move(provider); }
    // While one lives, the battle's view is asked of the provider once, at
    // its start, for every drone offer made meanwhile (a frame's ships,
    // hundreds of them, over an unchanging view).
    class BattleInfoHold {
    public:
        explicit BattleInfoHold(GUI_Sounds* sounds);
        ~BattleInfoHold();
        BattleInfoHold(const BattleInfoHold&) = delete;
        BattleInfoHold& operator=(const BattleInfoHold&) = delete;

    private:
        GUI_Sounds* m_sounds;
    };

    // "sound_channels" of [prefs]; 512 when the file or value is missing or not positive.
    static int ReadChannelCount(const std::string& prefsPath);

    GUI_SoundBank* GetBank(int index) override;
    ISoundSystem& GetSystem() { return *m_system; }
    int GetChannelCount() const { return m_channelCount; }
    const std::string& GetMusicName() const { return m_musicName; }
    SoundChannelId GetMusicChannel() const { return m_musicChannel; }
    const std::string& GetInterfaceSoundName(int index) const;
    const std::string& GetRecentName(int slot) const { return m_recentNames[slot]; }
    float GetRecentAge(int slot) const { return m_recentAges[slot]; }
    float GetMasterVolume() const override { return m_masterVolume; }
    float GetMusicVolume() const { return m_musicVolume; }
    float GetInterfaceVolume() const { return m_interfaceVolume; }
    float GetEffectsVolume() const override { return m_effectsVolume; }
    bool IsHardwareSound() const { return m_hardwareSound; }

private:
    GUI_Sounds();
    void InitSound(std::unique_ptr<ISoundSystem> system);
    SoundHandle FindOrCreate(GUI_SoundBank& bank, const char* file, unsigned flags, float minDistance);
    SoundChannelId StartChannel(SoundHandle sound, const char* file, GUI_SoundBank& bank, float volume, bool loop);
    SoundChannelId StartMusic(const std::string& path, bool loop);
    void ReleaseMusic();
    GUI_SoundBattleInfo BattleInfo() const;
    float Option(const char* name) const;

    std::unique_ptr<ISoundSystem> m_system;
    OptionReader m_options;
    BattleInfoProvider m_battleInfo;
    GUI_SoundBattleInfo m_heldInfo;
    bool m_infoHeld = false;
    float m_masterVolume = 1.0f;
    float m_musicVolume = 1.0f;
    float m_interfaceVolume = 1.0f;
    float m_effectsVolume = 1.0f;
    bool m_hardwareSound = true;
    bool m_paused = false;
    std::string m_recentNames[kRecentSlots];
    float m_recentAges[kRecentSlots] = {};
    SoundChannelId m_musicChannel = kNoChannel;
    SoundHandle m_musicStream = kNoSound;
    std::string m_musicName;
    GUI_SoundBank m_banks[BANK_COUNT];
    std::string m_interfaceNames[kInterfaceSoundCount];
    int m_channelCount = kDefaultChannels;
    GUI_EngineDrones* m_drones = nullptr;
};
