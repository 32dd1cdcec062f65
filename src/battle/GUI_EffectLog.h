#pragma once
#include <string>
#include <vector>

// A bounded record of the battle effects started (explosions, sounds), with
// their arguments, so that tests can see what a hit or a death set off. Off
// unless a test switches it on: a battle records nothing.
struct GUI_EffectRecord {
    std::string kind; // "explosion", "sound"
    int type = 0;     // explosion type
    float x = 0.0f;
    float y = 0.0f;
    float size = 0.0f;
    float duration = 0.0f;
    std::string name; // sound file
};

class GUI_EffectLog {
public:
    static constexpr size_t kMaxRecords = 4096;

    static GUI_EffectLog& GetInstance();
    void SetEnabled(bool on) { enabled = on; }
    bool IsEnabled() const { return enabled; }
    void Add(const GUI_EffectRecord& record);
    void Clear() { records.clear(); }
    const std::vector<GUI_EffectRecord>& GetRecords() const { return records; }
    size_t Count(const std::string& kind) const;

private:
    std::vector<GUI_EffectRecord> records;
    bool enabled = false;
};
