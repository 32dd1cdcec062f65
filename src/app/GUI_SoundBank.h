#pragma once
#include "platform/ISoundSystem.h"

#include <string>
#include <vector>

// One channel group of the sound manager with the sounds it has loaded, so
// that each file is decoded once per bank.
class GUI_SoundBank {
public:
    struct CachedSound {
        std::string name; // file name without its folder
        bool positional = false;
        SoundHandle sound = kNoSound; // kNoSound when the file failed to load
    };

    GUI_SoundBank() = default;
    virtual ~GUI_SoundBank() = default;

    const CachedSound* FindCached(const std::string& name, bool positional) const
    {
        for (const auto& c : m_cache)
            if (c.name == name && c.positional == positional)
                return &c;
        return nullptr;
    }
    void AddCached(const std::string& name, bool positional, SoundHandle sound)
    {
        m_cache.push_back({name, positional, sound});
    }
    size_t GetCacheSize() const { return m_cache.size(); }

    float GetBaseFrequency() const { return m_baseFrequency; }
    void SetBaseFrequency(float frequency) { m_baseFrequency = frequency; }
    SoundGroupHandle GetGroup() const { return m_group; }
    void SetGroup(SoundGroupHandle group) { m_group = group; }

private:
    std::vector<CachedSound> m_cache;
    float m_baseFrequency = kNominalSoundRate;
    SoundGroupHandle m_group = kNoGroup;
};
