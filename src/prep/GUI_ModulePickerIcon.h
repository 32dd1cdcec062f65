#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GTimer.h"
#include "gui/GUI_WindowBase.h"

class GUI_Tooltip;
class SIM_ShipModuleType;

// One cell of the module picker's grid, and also the single copy that
// follows the mouse while a module is dragged (from the grid or out of a
// blueprint slot). The dragged copy is dropped on the blueprint when the
// button goes up and then deleted by the window manager.
class GUI_ModulePickerIcon : public GUI_WindowBase {
public:
    static constexpr double kGrowMs = 200.0;
    static constexpr int kNoSourceSlot = -1;

    GUI_ModulePickerIcon();
    ~GUI_ModulePickerIcon() override;

    void SetModuleType(SIM_ShipModuleType* type, bool growIn);
    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void Update() override;
    void OnDragEnd() override;

    // Makes the dragged copy of a type at a rectangle, grabbed at the mouse.
    static GUI_ModulePickerIcon* StartDragging(SIM_ShipModuleType* type, int sourceSlot, int left, int top, int right,
                                               int bottom);
    static GUI_ModulePickerIcon* GetDragged();

    SIM_ShipModuleType* GetModuleType() const { return m_type; }
    bool IsLocked() const { return m_locked; }
    bool IsTurret() const { return m_turret; }
    // The hull slot index the module was dragged out of, or kNoSourceSlot.
    int GetSourceSlot() const { return m_sourceSlot; }
    float CentreX() const { return static_cast<float>(left + right) * 0.5f; }
    float CentreY() const { return static_cast<float>(top + bottom) * 0.5f; }
    GUI_Tooltip* GetTooltip() const { return m_tooltip; }

private:
    SIM_ShipModuleType* m_type = nullptr;
    CTexturedSprite m_icon;
    CTexturedSprite m_frame;
    CTexturedSprite m_lock;
    GUI_Tooltip* m_tooltip = nullptr;
    bool m_turret = false;
    bool m_locked = false;
    bool m_growIn = false;
    bool m_isDragCopy = false;
    GTimer m_growTimer;
    float m_grabX = 0.0f;
    float m_grabY = 0.0f;
    int m_sourceSlot = kNoSourceSlot;
};
