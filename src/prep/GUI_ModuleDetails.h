#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GTimer.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

#include <string>
#include <vector>

class GUI_DataItem;
class SIM_ShipModuleType;

// Describes one module type under the picker: icon, name, a description
// that types itself out, and one row per data item in two columns.
class GUI_ModuleDetails : public GUI_Dialog {
public:
    static constexpr double kTypeOutMs = 500.0;
    static constexpr int kRowStep = 20;
    static constexpr int kMaxStripes = 10;

    static GUI_ModuleDetails* GetOpen();
    static GUI_ModuleDetails* Open();
    ~GUI_ModuleDetails() override;

    void SetModule(SIM_ShipModuleType* type);
    void Draw() override;
    bool IsModal() const override { return false; }

    SIM_ShipModuleType* GetModule() const { return m_type; }
    const std::vector<GUI_DataItem*>& GetRows() const { return m_rows; }
    int GetStripeCount() const { return m_stripeCount; }

private:
    GUI_ModuleDetails();

    SIM_ShipModuleType* m_type = nullptr;
    CTexturedSprite m_icon;
    CTexturedSprite m_darken;
    std::vector<GUI_DataItem*> m_rows;
    GRect m_descriptionBox;
    GRect m_stripes[kMaxStripes];
    int m_stripeCount = 0;
    GUI_Interlace m_interlace;
    GTimer m_fade;
    // The description wrapped once per module; drawing only counts characters.
    std::string m_description;
    int m_descriptionChars = 0;
};
