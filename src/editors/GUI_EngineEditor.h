#pragma once
#include "editors/GUI_EditorBase.h"
#include "engine/CTexturedSprite.h"

#include <memory>

class GUI_OptionsSlider;

// Engine glows, drawn under the hull picture: [engineglows]. Positions are
// picture units, sizes view pixels.
class GUI_EngineEditor : public GUI_EditorBase {
public:
    struct Glow {
        float x = 0.0f;
        float y = 0.0f;
        float viewWidth = 0.0f;
        float viewHeight = 0.0f;
        std::string texture;
        std::string debris;
        bool noDebris = false;
        float factor = 1.0f;
        int type = 0;
        std::shared_ptr<CTexturedSprite> sprite;
    };

    GUI_EngineEditor();

    void Draw() override;
    void DrawItems() override;
    void WriteSection(std::string& out) const override;
    void ReadSection(const SIM_ShipHull& hull) override;
    const char* SectionName() const override { return "engineglows"; }
    bool HasItems() const override { return !m_glows.empty(); }
    bool OnViewLeftClick(float x, float y) override;
    bool OnViewRightClick(float x, float y) override;
    // Any key works the panel button under the mouse, as a click would.
    void OnEditorKey(int key) override;

    void ReadValues(const std::vector<std::string>& values, float hullWidth);
    void StepDrag(float mouseX, float mouseY, bool leftDown);
    void AddGlow();
    void ChangeType();
    void FollowSliders();

    std::vector<Glow>& GetGlows() { return m_glows; }
    int GetSelected() const { return m_selected; }

private:
    int HitGlow(float x, float y) const;
    void SetSlidersFrom(const Glow& g);

    float m_hullWidth = 1.0f;
    std::vector<Glow> m_glows;
    int m_selected = -1;
    bool m_dragging = false;
    float m_grabX = 0.0f, m_grabY = 0.0f;
    float m_defaultWidth = 20.0f, m_defaultHeight = 20.0f;
    GUI_OptionsSlider* m_width = nullptr;
    GUI_OptionsSlider* m_height = nullptr;
};
