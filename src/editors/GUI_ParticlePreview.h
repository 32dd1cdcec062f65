#pragma once
#include "engine/GTimer.h"

#include <memory>
#include <string>
#include <vector>

class GUI_ParticleEmmiter;

// Particle effects shown over the hull view where a sub-editor names them,
// drawn by the battle's particle system with the battle zoom set to the hull
// scale, so a preview matches the picture. An effect is kept while it is
// named every frame, started again when it has burnt out, and dropped when
// it is no longer named.
class GUI_ParticlePreview {
public:
    GUI_ParticlePreview();
    ~GUI_ParticlePreview();

    // viewScale: view pixels per hull unit.
    void Begin(float viewScale);
    void Show(const std::string& config, float screenX, float screenY);
    // Advances and draws what was shown since Begin. ms < 0: the time since
    // the last End.
    void End(float ms = -1.0f);

    size_t Count() const { return m_entries.size(); }
    const GUI_ParticleEmmiter* GetEmitter(size_t i) const;

private:
    struct Entry;
    std::vector<std::unique_ptr<Entry>> m_entries;
    float m_scale = 1.0f;
    GTimer m_timer;
};
