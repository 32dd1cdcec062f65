#pragma once
#include "editors/GUI_EditorBase.h"
#include "engine/CTexturedSprite.h"

#include <memory>

class GUI_OptionsSlider;

// Running lights with the battle's blink: [runninglights]. Positions are
// view pixels.
class GUI_LightEditor : public GUI_EditorBase {
public:
    struct Light {
        float x = 0.0f;
        float y = 0.0f;
        float interval = 0.0f;
        float size = 4.0f;
        int frame = 0;
        bool dragging = false;
        float phaseMs = 0.0f;
    };
    static constexpr float kHitSize = 8.0f;

    GUI_LightEditor();

    void Draw() override;
    void DrawItems() override;
    void WriteSection(std::string& out) const override;
    void ReadSection(const SIM_ShipHull& hull) override;
    const char* SectionName() const override { return "runninglights"; }
    bool HasItems() const override { return !m_lights.empty(); }
    bool OnViewLeftClick(float x, float y) override;
    bool OnViewRightClick(float x, float y) override;

    void ReadValues(const std::vector<std::string>& values);
    void StepDrag(float mouseX, float mouseY, bool leftDown);
    void AddLight();
    void FollowSliders();
    void ToggleFrames() { m_frameLights = !m_frameLights; }
    // The blink: how much of its size a light shows after elapsedMs more,
    // 0 to 1. A light without an interval shows whole, always.
    static float Pulse(Light& light, float elapsedMs);

    std::vector<Light>& GetLights() { return m_lights; }
    int GetSelected() const { return m_selected; }
    GUI_OptionsSlider* GetSlider(int i) const { return m_sliders[i]; }

private:
    int HitLight(float x, float y, size_t from) const;

    std::vector<Light> m_lights;
    int m_selected = -1;
    bool m_frameLights = true;
    GUI_OptionsSlider* m_sliders[3] = {};
    CTexturedSprite m_sprite;
    double m_lastMs = -1.0;
    float m_scale = 1.0f;
};
