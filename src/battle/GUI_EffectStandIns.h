#pragma once
#include <string>
#include <vector>

class GUI_RenderObject;
class GUI_Ship;

// The battle effects that ship visuals and explosions start (debris, plumes,
// glares, smoke, shock waves, escape pods) until their own renderers exist:
// each start is recorded here with its arguments, so call sites stay real and
// testable. Explosions themselves are drawn (Explosions.h) and recorded too.
struct GUI_EffectRecord {
    std::string kind; // "explosion", "debris", "plumes", "blastglare", "smoke", "shockwave", "escapepod", "sound"
    int type = 0;     // explosion type, smoke count, ...
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
    void Add(const GUI_EffectRecord& record);
    void Clear() { records.clear(); }
    const std::vector<GUI_EffectRecord>& GetRecords() const { return records; }
    size_t Count(const std::string& kind) const;

private:
    std::vector<GUI_EffectRecord> records;
};

void SpawnDebris(int pieces, float size, bool heavy, float x, float y, float dx, float dy);
void SpawnPlumes(GUI_Ship* parent, float x, float y);
// A glare also shakes the view when it is on screen, by its size and the zoom.
void SpawnBlastGlare(float size, float x, float y, GUI_RenderObject* parent);
void SpawnSmoke(float size, int count, float x, float y);
void SpawnShockWave(float radius, float durationMs, float x, float y);
void LaunchEscapePod(float x, float y, float heading, bool playerSide);
