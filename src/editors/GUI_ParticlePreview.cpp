#include "editors/GUI_ParticlePreview.h"

#include "battle/GUI_Map.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "engine/D3DEngine.h"

#include <algorithm>

struct GUI_ParticlePreview::Entry {
    std::string config;
    float x = 0.0f, y = 0.0f; // screen pixels
    bool shown = false;
    std::unique_ptr<GUI_ParticleEmmiter> emitter;
};

GUI_ParticlePreview::GUI_ParticlePreview()
{
    m_timer.Start();
}

GUI_ParticlePreview::~GUI_ParticlePreview() = default;

const GUI_ParticleEmmiter* GUI_ParticlePreview::GetEmitter(size_t i) const
{
    return i < m_entries.size() ? m_entries[i]->emitter.get() : nullptr;
}

void GUI_ParticlePreview::Begin(float viewScale)
{
    m_scale = viewScale > 0.0f ? viewScale : 1.0f;
    for (auto& entry : m_entries)
        entry->shown = false;
}

void GUI_ParticlePreview::Show(const std::string& config, float screenX, float screenY)
{
    // An emitter written without a config (a bare "x-y" field) has no effect
    // to preview; its marker shows where it is.
    if (config.empty())
        return;
    for (auto& entry : m_entries) {
        if (!entry->shown && entry->config == config && entry->x == screenX && entry->y == screenY) {
            entry->shown = true;
            return;
        }
    }
    auto entry = std::make_unique<Entry>();
    entry->config = config;
    entry->x = screenX;
    entry->y = screenY;
    entry->shown = true;
    // With the camera at the origin, a screen pixel is this many hull units.
    entry->emitter.reset(
        GUI_ParticleEmmiter::Create(config, screenX / m_scale, screenY / m_scale, 0.0f, 0.0f));
    m_entries.push_back(std::move(entry));
}

void GUI_ParticlePreview::End(float ms)
{
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(), [](const auto& e) { return !e->shown; }),
                    m_entries.end());
    m_timer.Update();
    if (ms < 0.0f)
        ms = m_timer.GetLastElapsedMs();
    // The particle system draws through the battle's camera: borrow it.
    GUI_Map& map = GUI_Map::GetInstance();
    const float zoom = ZoomScale, cameraX = map.cameraX, cameraY = map.cameraY;
    const int screenW = map.GetScreenWidth(), screenH = map.GetScreenHeight();
    D3DEngine& engine = D3DEngine::GetInstance();
    ZoomScale = m_scale;
    map.cameraX = map.cameraY = 0.0f;
    map.SetScreenSize(engine.GetScreenWidth(), engine.GetScreenHeight());
    for (auto& entry : m_entries) {
        GUI_ParticleEmmiter* e = entry->emitter.get();
        if (!e || !e->GetConfig())
            continue;
        if (!e->IsActive())
            e->Restart(entry->x / m_scale, entry->y / m_scale, 0.0f, 0.0f);
        e->Advance(ms, ms / 12.0f, engine.IsInitialised());
    }
    ZoomScale = zoom;
    map.cameraX = cameraX;
    map.cameraY = cameraY;
    map.SetScreenSize(screenW, screenH);
}
