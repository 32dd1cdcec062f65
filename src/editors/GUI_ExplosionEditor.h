#pragma once
#include "editors/GUI_EditorBase.h"

// The explosion points of a dying ship, moved on the picture (never added or
// removed here): [explosions]. Positions are picture units, 0 to 256.
class GUI_ExplosionEditor : public GUI_EditorBase {
public:
    struct Point {
        float time = 0.0f;
        float x = 0.0f;
        float y = 0.0f;
        std::string name;
    };
    static constexpr float kMarkerSize = 8.0f;
    static constexpr float kRowHeight = 20.0f;
    // A row's text is smaller than the panel's: the longest explosion names
    // with their time and place fit the row's 280 pixels.
    static constexpr float kRowTextSize = 11.0f;

    void Draw() override;
    void DrawItems() override;
    void WriteSection(std::string& out) const override;
    void ReadSection(const SIM_ShipHull& hull) override;
    const char* SectionName() const override { return "explosions"; }
    bool HasItems() const override { return !m_points.empty(); }
    bool OnViewLeftClick(float x, float y) override;
    bool OnLeftClick(float x, float y) override;

    void ReadValues(const std::vector<std::string>& values);
    void StepDrag(float mouseX, float mouseY, bool leftDown);

    std::vector<Point>& GetPoints() { return m_points; }
    int GetSelected() const { return m_selected; }
    GRect RowRect(size_t index) const;

private:
    std::vector<Point> m_points;
    int m_selected = -1;
    bool m_dragging = false;
    float m_grabX = 0.0f, m_grabY = 0.0f;
};
