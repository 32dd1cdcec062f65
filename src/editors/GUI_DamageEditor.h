#pragma once
#include "editors/GUI_EditorBase.h"
#include "editors/GUI_ParticlePreview.h"

// Damage points: where hits show damage, with an optional rectangle of the
// damage texture, an optional ship emitter type and particle emitters:
// [targets]. Positions are world units from the hull's centre.
class GUI_DamageEditor : public GUI_EditorBase {
public:
    enum Mode { SELECT = 0, EMITTERS = 1, NEW_DAMAGE = 2, MOVE = 3 };
    struct Emitter {
        float x = 0.0f;
        float y = 0.0f;
        std::string config;
    };
    struct Point {
        float x = 0.0f;
        float y = 0.0f;
        bool hasRect = false;
        float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f; // texture fractions
        bool hasType = false;
        std::string type;
        std::vector<Emitter> emitters;
    };
    static constexpr float kMarkerReach = 3.0f;

    GUI_DamageEditor();

    void Draw() override;
    void DrawItems() override;
    void WriteSection(std::string& out) const override;
    void ReadSection(const SIM_ShipHull& hull) override;
    const char* SectionName() const override { return "targets"; }
    bool HasItems() const override { return !m_points.empty(); }
    bool OnViewLeftClick(float x, float y) override;
    bool OnViewRightClick(float x, float y) override;
    void OnEditorKey(int key) override;

    void ReadValues(const std::vector<std::string>& values, float width, float height);
    void StepDrag(float mouseX, float mouseY, bool leftDown);
    void SetMode(int mode);
    void SetConfig(const std::string& config) { m_config = config; }
    void CycleType();

    std::vector<Point>& GetPoints() { return m_points; }
    int GetSelected() const { return m_selected; }
    bool ShowsRectangles() const { return m_showRects; }
    const GUI_ParticlePreview& GetPreview() const { return m_preview; }

private:
    GRect ViewRect(const Point& p) const;
    float ViewX(float worldX) const;
    float ViewY(float worldY) const;

    float m_width = 1.0f;
    float m_height = 1.0f;
    std::vector<Point> m_points;
    int m_selected = -1;
    int m_mode = SELECT;
    bool m_showRects = true;
    std::string m_config = "damage_sprite_sparks";
    int m_typeCursor = 0;
    bool m_dragging = false;
    float m_dragX = 0.0f, m_dragY = 0.0f; // view pixels
    GUI_ParticlePreview m_preview;
};
