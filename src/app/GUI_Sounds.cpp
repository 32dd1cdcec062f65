#include "app/GUI_Sounds.h"

#include "app/MusicTracks.h"
#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GIniFile.h"
#include "engine/StrFormat.h"
#include "sim/SIM_Options.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const kInterfaceFiles[GUI_Sounds::kInterfaceSoundCount] = {
    "data/sounds/gui_button.ogg", "data/sounds/gui_key.ogg",   "data/sounds/gui_mouseover.ogg",
    "data/sounds/gui_accepted.ogg", "data/sounds/gui_beep1.ogg", "data/sounds/gui_beep2.ogg",
    "data/sounds/gui_beep3.ogg",    "data/sounds/gui_error.ogg",
};

constexpr float kThrottleAgeMs = 250.0f;
constexpr float kNeverChosenAge = 9999.0f;
constexpr int kThrottleCount = 10;
constexpr int kLoopingPriority = 10;
constexpr int kMusicPriority = 0;
constexpr float kMaxDistance = 10000.0f;

std::string BaseName(const char* file)
{
    std::string name = file;
    size_t cut = name.find_last_of("/\\");
    return cut == std::string::npos ? name : name.substr(cut + 1);
}

float FiniteOr(float v, float fallback)
{
    return std::isfinite(v) ? v : fallback;
}

} // namespace

GUI_Sounds& GUI_Sounds::GetInstance()
{
    static GUI_Sounds instance;
    return instance;
}

GUI_Sounds::GUI_Sounds()
    : m_options([](const std::string& name) { return SIM_Options::GetInstance().GetValue(name); })
{
    InitSound(nullptr);
}

GUI_Sounds::GUI_Sounds(std::unique_ptr<ISoundSystem> system, OptionReader options) : m_options(std::move(options))
{
    InitSound(std::move(system));
}

GUI_Sounds::~GUI_Sounds()
{
    // The system goes with us and takes every source, buffer and group along.
    m_drones = nullptr;
}

void GUI_Sounds::InitSound(std::unique_ptr<ISoundSystem> system)
{
    LOG_DEBUG("Initialising Sound Engine");
    if (system) {
        m_channelCount = system->GetChannelLimit();
        m_system = std::move(system);
    } else {
        const std::string& user = APP_UserFolders::GetInstance().Get(APP_UserFolders::USER);
        m_channelCount = ReadChannelCount(user.empty() ? std::string("prefs.ini") : user + "/prefs.ini");
        std::string whySilent;
        m_system = CreateSoundSystem(m_channelCount, nullptr, &whySilent);
        if (!whySilent.empty())
            LOG_DEBUG(whySilent);
    }
    LOG_DEBUG(StrFormat("Initialised Sound System with %d channels", m_channelCount));
    m_system->Set3DSettings(1.0f, 1.0f, 1.0f);
    for (int index : {BANK_WEAPONS, BANK_EXPLOSIONS, BANK_DRONES, BANK_SHIELDS, BANK_INTERFACE})
        m_banks[index].SetGroup(m_system->CreateChannelGroup());
    LOG_DEBUG("Finished Initialising Sound Engine");
}

int GUI_Sounds::ReadChannelCount(const std::string& prefsPath)
{
    if (!FileExists(prefsPath))
        return kDefaultChannels;
    GIniFile prefs;
    if (!prefs.Load("prefs", prefsPath.c_str()))
        return kDefaultChannels;
    // One out of range is damage, told, and the default serves; so is one
    // missing from a file cut off. An earlier version's file, or one written
    // by hand, may simply not have it.
    if (!prefs.HasKey("sound_channels")) {
        const std::string line = StrFormat("%s [prefs] sound_channels: missing%s, %d used", prefsPath.c_str(),
                                           prefs.IsCutOff() ? " (damaged or cut off)" : "", kDefaultChannels);
        if (prefs.IsCutOff())
            LOG_ERROR(line);
        else
            LOG_DEBUG(line);
        return kDefaultChannels;
    }
    const int count = prefs.GetInt("sound_channels");
    if (count > 0 && count <= kMaxChannels)
        return count;
    LOG_ERROR(StrFormat("%s [prefs] sound_channels = %s: out of range 1..%d, %d used", prefsPath.c_str(),
                        std::string(prefs.GetString("sound_channels")).substr(0, 40).c_str(), kMaxChannels,
                        kDefaultChannels));
    return kDefaultChannels;
}

float GUI_Sounds::Option(const char* name) const
{
    return m_options ? FiniteOr(m_options(name), 0.0f) : 1.0f;
}

GUI_SoundBattleInfo GUI_Sounds::BattleInfo() const
{
    return m_battleInfo ? m_battleInfo() : GUI_SoundBattleInfo{};
}

GUI_Sounds::BattleInfoHold::BattleInfoHold(GUI_Sounds* sounds)
    : m_sounds(sounds && !sounds->m_infoHeld ? sounds : nullptr)
{
    if (!m_sounds)
        return;
    m_sounds->m_heldInfo = m_sounds->BattleInfo();
    m_sounds->m_infoHeld = true;
}

GUI_Sounds::BattleInfoHold::~BattleInfoHold()
{
    if (m_sounds)
        m_sounds->m_infoHeld = false;
}

GUI_SoundBank* GUI_Sounds::GetBank(int index)
{
    return index >= 0 && index < BANK_COUNT ? &m_banks[index] : nullptr;
}

const std::string& GUI_Sounds::GetInterfaceSoundName(int index) const
{
    static const std::string none;
    return index >= 0 && index < kInterfaceSoundCount ? m_interfaceNames[index] : none;
}

bool GUI_Sounds::CheckFmodResult(SoundResult result, const char* context, const std::string& file)
{
    if (result == SOUND_OK)
        return true;
    // Without a device every call "fails"; that was said once at start-up.
    if (!m_system->IsSilent())
        LOG_ERROR_ONCE(StrFormat("ERROR - sound: %s%s%s (%d) %s", context, file.empty() ? "" : " ", file.c_str(),
                            static_cast<int>(result), SoundResultText(result)));
    return false;
}

void GUI_Sounds::LoadSounds()
{
    m_system->SetGroupVolume(m_system->GetMasterGroup(), 0.5f);
    m_system->Set3DSettings(1.0f, 0.01f, 1.0f);
    for (int i = 0; i < kInterfaceSoundCount; ++i)
        m_interfaceNames[i] = kInterfaceFiles[i];
    ApplyHardwareSoundOption();
    RefreshVolumes();
    PlayMusic(MusicTracks::kMainTitle, false);
}

// ---- plays ----------------------------------------------------------------

SoundHandle GUI_Sounds::FindOrCreate(GUI_SoundBank& bank, const char* file, unsigned flags, float minDistance)
{
    const bool positional = (flags & SOUND_3D) != 0;
    std::string name = BaseName(file);
    if (const GUI_SoundBank::CachedSound* cached = bank.FindCached(name, positional))
        return cached->sound;
    SoundHandle sound = m_system->CreateSound(file, flags);
    CheckFmodResult(sound ? SOUND_OK : m_system->GetLastResult(), "Failed to create sound", file);
    if (sound && positional)
        m_system->SetSoundMinMaxDistance(sound, minDistance, kMaxDistance);
    // A failure is cached too: one error line per file, not one per play.
    bank.AddCached(name, positional, sound);
    return sound;
}

SoundChannelId GUI_Sounds::StartChannel(SoundHandle sound, const char* file, GUI_SoundBank& bank, float volume,
                                        bool loop)
{
    if (!sound)
        return kNoChannel;
    SoundChannelId channel = m_system->PlaySound(sound, bank.GetGroup(), true);
    if (!channel) {
        // A full pool drops the least important sound; that is not worth a log line.
        if (m_system->GetLastResult() != SOUND_ERR_NO_CHANNEL)
            CheckFmodResult(m_system->GetLastResult(), "Failed to reuse sound", file ? file : "");
        return kNoChannel;
    }
    m_system->SetChannelLoop(channel, loop);
    m_system->SetChannelVolume(channel, volume);
    return channel;
}

SoundChannelId GUI_Sounds::PlaySound(const char* file, GUI_SoundBank* bank, float volume, bool loop)
{
    if (!file || !*file)
        return kNoChannel;
    GUI_SoundBank& target = bank ? *bank : m_banks[BANK_INTERFACE];
    SoundHandle sound = FindOrCreate(target, file, loop ? SOUND_LOOP : SOUND_DEFAULT, 1.0f);
    SoundChannelId channel = StartChannel(sound, file, target, volume, loop);
    if (channel)
        m_system->SetChannelPaused(channel, false);
    return channel;
}

SoundChannelId GUI_Sounds::PlaySound3D(const char* file, GUI_SoundBank* bank, float volume, bool loop,
                                       float minDistance, float x, float y)
{
    if (!file || !*file)
        return kNoChannel;
    GUI_SoundBank& target = bank ? *bank : m_banks[BANK_INTERFACE];
    unsigned flags = SOUND_3D | (loop ? SOUND_LOOP : 0u);
    SoundHandle sound = FindOrCreate(target, file, flags, minDistance);
    SoundChannelId channel = StartChannel(sound, file, target, volume, loop);
    if (!channel)
        return kNoChannel;
    if (loop)
        m_system->SetChannelPriority(channel, kLoopingPriority);
    m_system->SetChannelPosition(channel, SoundVector{x, y, 0.0f});
    // The bank's group carries the battle pitch, so the channel keeps its own rate.
    m_system->SetChannelPaused(channel, false);
    return channel;
}

SoundChannelId GUI_Sounds::PlayBattleSound(const char* file, int bankIndex, float ownVolume, float minDistance,
                                           float x, float y)
{
    if (!file || !*file || IsPlayedTooOften(file))
        return kNoChannel;
    // Battle sounds follow the Effects and Master sliders here, so that no
    // caller can forget them.
    const float volume = ownVolume * m_effectsVolume * m_masterVolume;
    SoundChannelId channel = PlaySound3D(file, GetBank(bankIndex), volume, false, minDistance, x, y);
    RememberRecent(file);
    return channel;
}

void GUI_Sounds::PlayGuiSound(int index)
{
    if (index < 0 || index >= kInterfaceSoundCount || m_interfaceNames[index].empty())
        return;
    PlaySound(m_interfaceNames[index].c_str(), &m_banks[BANK_INTERFACE], m_interfaceVolume * m_masterVolume, false);
}

void GUI_Sounds::StopChannel(SoundChannelId channel)
{
    m_system->StopChannel(channel);
}

// ---- repeat throttle --------------------------------------------------------

bool GUI_Sounds::IsPlayedTooOften(const char* file) const
{
    if (!file)
        return true;
    int count = 0;
    for (const auto& name : m_recentNames)
        if (!name.empty() && name == file)
            ++count;
    // Ten plays in the window are the most a sound gets; the eleventh is dropped.
    return count >= kThrottleCount;
}

void GUI_Sounds::RememberRecent(const char* file)
{
    if (!file || !*file)
        return;
    for (int i = 0; i < kRecentSlots; ++i) {
        if (m_recentNames[i].empty()) {
            m_recentNames[i] = file;
            m_recentAges[i] = 0.0f;
            return;
        }
    }
    int best = -1;
    for (int i = 0; i < kRecentSlots; ++i) {
        if (m_recentAges[i] > kNeverChosenAge)
            continue;
        if (best < 0 || m_recentAges[i] <= m_recentAges[best])
            best = i;
    }
    if (best >= 0) {
        m_recentNames[best] = file;
        m_recentAges[best] = 0.0f;
    }
}

// ---- music ----------------------------------------------------------------

void GUI_Sounds::ReleaseMusic()
{
    if (m_musicChannel)
        m_system->StopChannel(m_musicChannel);
    if (m_musicStream)
        m_system->ReleaseSound(m_musicStream);
    m_musicChannel = kNoChannel;
    m_musicStream = kNoSound;
}

SoundChannelId GUI_Sounds::StartMusic(const std::string& path, bool loop)
{
    ReleaseMusic();
    m_musicStream = m_system->CreateSound(path, SOUND_STREAM | (loop ? SOUND_LOOP : 0u));
    if (!CheckFmodResult(m_musicStream ? SOUND_OK : m_system->GetLastResult(), "Failed to createStream", path))
        return kNoChannel;
    m_musicChannel = m_system->PlaySound(m_musicStream, m_system->GetMasterGroup(), true, kMusicPriority);
    if (!CheckFmodResult(m_musicChannel ? SOUND_OK : m_system->GetLastResult(), "playsound failed", path)) {
        ReleaseMusic();
        return kNoChannel;
    }
    m_system->SetChannelLoop(m_musicChannel, loop);
    RefreshMusicVolume();
    m_system->SetChannelPaused(m_musicChannel, false);
    return m_musicChannel;
}

void GUI_Sounds::PlayMusic(const std::string& name, bool fullPath)
{
    if (name == m_musicName)
        return;
    m_musicName = name;
    StartMusic(fullPath ? name : "data/sounds/music/" + name, true);
}

void GUI_Sounds::StopMusic()
{
    ReleaseMusic();
    m_musicName.clear();
}

SoundChannelId GUI_Sounds::PlayMusicOnce(const std::string& path)
{
    StopMusic();
    return StartMusic(path, false);
}

// ---- volumes, pitch, pause ----------------------------------------------------

void GUI_Sounds::RefreshVolumes()
{
    m_interfaceVolume = Option("OPTIONS_INTERFACE_VOLUME");
    m_effectsVolume = Option("OPTIONS_SFX");
    m_musicVolume = Option("OPTIONS_MUSIC");
    m_masterVolume = Option("OPTIONS_MASTERVOLUME");
    RefreshMusicVolume();
    if (m_drones)
        RefreshDroneVolume(*m_drones);
}

void GUI_Sounds::RefreshMusicVolume()
{
    if (!m_musicChannel)
        return;
    // Out of focus the music stays muted until Resume.
    m_system->SetChannelMute(m_musicChannel, m_paused);
    m_system->SetChannelVolume(m_musicChannel, m_musicVolume * m_masterVolume);
}

void GUI_Sounds::ApplyHardwareSoundOption()
{
    m_hardwareSound = Option("HARDWARESOUND") != 0.0f;
}

void GUI_Sounds::SetPitch(float factor)
{
    QLM_ASSERT(factor != 0.0f);
    if (!(factor > 0.0f) || !std::isfinite(factor))
        return;
    // With pitch shifting off the battle plays at its own pitch whatever the speed,
    // also when the option was turned off while the pitch was raised.
    const float applied = Option("PITCHSHIFT") != 0.0f ? factor : 1.0f;
    for (int index : {BANK_WEAPONS, BANK_EXPLOSIONS, BANK_SHIELDS, BANK_DRONES}) {
        m_banks[index].SetBaseFrequency(applied * kNominalSoundRate);
        m_system->SetGroupPitch(m_banks[index].GetGroup(), applied);
    }
}

void GUI_Sounds::StopAllBanks()
{
    for (int index : {BANK_WEAPONS, BANK_EXPLOSIONS, BANK_DRONES, BANK_SHIELDS, BANK_INTERFACE})
        m_system->StopGroup(m_banks[index].GetGroup());
}

void GUI_Sounds::Pause()
{
    m_paused = true;
    for (int index : {BANK_WEAPONS, BANK_EXPLOSIONS, BANK_SHIELDS, BANK_DRONES})
        m_system->SetGroupPaused(m_banks[index].GetGroup(), true);
    if (m_musicChannel)
        m_system->SetChannelMute(m_musicChannel, true);
}

void GUI_Sounds::Resume()
{
    m_paused = false;
    for (int index : {BANK_WEAPONS, BANK_EXPLOSIONS, BANK_SHIELDS, BANK_DRONES})
        m_system->SetGroupPaused(m_banks[index].GetGroup(), false);
    if (m_musicChannel)
        m_system->SetChannelMute(m_musicChannel, false);
}

// ---- frame ------------------------------------------------------------------

void GUI_Sounds::Update()
{
    const GUI_SoundBattleInfo info = BattleInfo();
    const float zoom = FiniteOr(info.zoom, 1.0f);
    m_system->SetListener(SoundVector{FiniteOr(info.viewCentreX, 0.0f), FiniteOr(info.viewCentreY, 0.0f),
                                      1000.0f - 250.0f * zoom},
                          SoundVector{0.0f, 0.0f, 1.0f}, SoundVector{0.0f, 1.0f, 0.0f});
    m_system->Update();
    if (!info.inBattle)
        return;
    const float step = std::max(FiniteOr(info.scaledFrameMs, 0.0f), 0.0f);
    for (int i = 0; i < kRecentSlots; ++i) {
        if (m_recentNames[i].empty())
            continue;
        m_recentAges[i] += step;
        if (m_recentAges[i] > kThrottleAgeMs) {
            m_recentNames[i].clear();
            m_recentAges[i] = 0.0f;
        }
    }
}

// ---- engine drones -------------------------------------------------------------

void GUI_Sounds::StartEngineDrones(GUI_EngineDrones& drones)
{
    // Entering the battle twice must not leave the first pair droning on.
    StopEngineDrones(drones);
    GUI_SoundBank* bank = &m_banks[BANK_DRONES];
    drones.channel[1] = PlaySound("data/sounds/cruiser_engine_drone.ogg", bank, 0.0f, true);
    drones.channel[0] = PlaySound("data/sounds/fighter_engine_drone.ogg", bank, 0.0f, true);
    drones.level[0] = 0.0f;
    drones.level[1] = 0.0f;
    m_drones = &drones;
    RefreshDroneVolume(drones);
}

void GUI_Sounds::AddDroneLevel(GUI_EngineDrones& drones, int kind, float x, float y, float volume)
{
    if (kind < 0 || kind > 1)
        return;
    GUI_SoundBattleInfo asked;
    const GUI_SoundBattleInfo& info = m_infoHeld ? m_heldInfo : (asked = BattleInfo());
    const float h = info.screenWidth * 0.5f;
    if (!(h > 0.0f))
        return;
    const float dx = info.viewCentreX - x;
    const float dy = info.viewCentreY - y;
    const float v = std::min(1.0f - (dx * dx + dy * dy) / (h * h), 1.0f);
    if (!(v > 0.0f))
        return;
    const float z = std::min(info.zoom * 0.25f, 1.0f);
    if (!(z > 0.0f))
        return;
    drones.level[kind] = std::max(drones.level[kind], v * volume * z);
}

void GUI_Sounds::RefreshDroneVolume(GUI_EngineDrones& drones)
{
    for (int i = 0; i < 2; ++i) {
        if (drones.channel[i])
            m_system->SetChannelVolume(drones.channel[i], drones.level[i] * m_effectsVolume * m_masterVolume * 0.75f);
        drones.level[i] = 0.0f;
    }
}

void GUI_Sounds::StopEngineDrones(GUI_EngineDrones& drones)
{
    for (int i = 0; i < 2; ++i) {
        if (drones.channel[i])
            m_system->StopChannel(drones.channel[i]);
        drones.channel[i] = kNoChannel;
        drones.level[i] = 0.0f;
    }
    if (m_drones == &drones)
        m_drones = nullptr;
}
