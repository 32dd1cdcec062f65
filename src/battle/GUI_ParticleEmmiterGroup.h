#pragma once
#include <limits>
#include <memory>
#include <string>

#include "battle/GUI_RenderObject.h"

class GUI_ParticleEmmiter;

// The emitters of one explosion as one render object, hung under the visual
// that started it. Finished groups go to a spare list and are restarted by
// the next explosion of the same config, so a battle rarely builds one.
// Groups belong to the pool below; a parent only draws them.
class GUI_ParticleEmmiterGroup : public GUI_RenderObject {
public:
    static constexpr int kSlots = 8;
    // Finished groups kept for restarts: up to kMaxSpareGroups in all (the
    // first battle's warm-up makes 216), and past that still the first
    // kSparesKeptPerConfig of each config; more are freed.
    static constexpr int kMaxSpareGroups = 320;
    static constexpr int kSparesKeptPerConfig = 4;

    explicit GUI_ParticleEmmiterGroup(const std::string& name);
    ~GUI_ParticleEmmiterGroup() override;

    void Draw() override;
    void Restart(float x, float y, float biasX, float biasY);
    // Back to the spare list, away from its parent; freed instead when the
    // list is full and its config has its kept spares (the group is then gone).
    void Release();
    // Puts the emitter into the first empty slot; false (emitter freed) when full.
    bool AddEmmiter(GUI_ParticleEmmiter* emitter);
    bool IsEmpty() const;
    GUI_ParticleEmmiter* GetEmmiter(int i) const { return emitters[i].get(); }

    const std::string& GetName() const { return name; }
    bool IsActive() const { return active != 0; }

    float visibleCheckRadius = 0.0f;
    float centreX = 0.0f, centreY = 0.0f;

private:
    std::unique_ptr<GUI_ParticleEmmiter> emitters[kSlots];
    std::string name;
    unsigned char active = 1;
};

// A spare group of that name restarted, else a new empty one (re-use off:
// always new); either way in the active list.
GUI_ParticleEmmiterGroup* AcquireEmmiterGroup(const std::string& name, float x, float y, float biasX, float biasY);
// Once per battle frame: finished groups go back to the spare list.
void ReleaseFinishedEmmiterGroups();
// Groups left without a parent (their ship visual is gone, or none was given)
// still play out here, so they finish and return to the pool.
void DrawOrphanEmmiterGroups();
// Stops counting at atMost: the spare list is long and the idle top-up
// only asks whether a config has enough.
int CountSpareEmmiterGroups(const std::string& name, int atMost = std::numeric_limits<int>::max());
int CountActiveEmmiterGroups();
int CountAllEmmiterGroups();
// What every group and its emitters hold, in bytes, and how many emitters
// (benchmarks).
size_t EmmiterGroupMemoryBytes(size_t* emitters = nullptr);
void SetEmmiterGroupReuse(bool on);
bool IsEmmiterGroupReuseOn();
// Leaving the battle: every group becomes spare.
void ClearEmmiterGroupLists();
// Frees every group (end of the run, tests).
void DeleteAllEmmiterGroups();
