#pragma once
#include "editors/GUI_EditorBase.h"
#include "engine/CTexturedSprite.h"

// Module slots and their hardpoints: [slots]. Positions are view pixels.
class GUI_ModuleEditor : public GUI_EditorBase {
public:
    struct Point {
        float x = 0.0f;
        float y = 0.0f;
        bool operator==(const Point& o) const { return x == o.x && y == o.y; }
    };
    struct Slot {
        int type = 0; // 0 standard, 1 turret
        float x = 0.0f;
        float y = 0.0f;
        std::vector<Point> hardpoints;
    };
    static constexpr float kSlotSize = 68.0f;
    static constexpr float kDragThreshold = 6.0f;
    static constexpr float kHardpointReach = 12.0f;

    GUI_ModuleEditor();

    void Draw() override;
    void DrawItems() override;
    void WriteSection(std::string& out) const override;
    void ReadSection(const SIM_ShipHull& hull) override;
    const char* SectionName() const override { return "slots"; }
    bool HasItems() const override { return !m_slots.empty(); }
    bool OnViewLeftClick(float x, float y) override;
    bool OnViewRightClick(float x, float y) override;
    void OnEditorKey(int key) override;

    void ReadValues(const std::vector<std::string>& values);
    // One frame of a slot drag with the pointer where it is.
    void StepDrag(float mouseX, float mouseY, bool leftDown);

    void ToggleSelectedType();
    void CreateSlot();
    void ToggleMode() { m_mode = 1 - m_mode; }

    std::vector<Slot>& GetSlots() { return m_slots; }
    int GetSelected() const { return m_selected; }
    int GetMode() const { return m_mode; }

private:
    int HitSlot(float x, float y) const;

    std::vector<Slot> m_slots;
    int m_selected = -1;
    int m_mode = 0;
    bool m_dragging = false;
    float m_pressX = 0.0f, m_pressY = 0.0f;
    float m_grabX = 0.0f, m_grabY = 0.0f;
    CTexturedSprite m_square;
    CTexturedSprite m_hex;
};
