#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_RCMenuBase.h"
#include "gui/GUI_WindowBase.h"

#include <memory>
#include <vector>

class GUI_ButtonText;
class GUI_Tooltip;
class SIM_ShipModuleType;
struct SIM_CampaignModuleState;

// One module of the ship in the repair yard, on its slot of the blueprint:
// its picture in a box that darkens from the top as the module is damaged,
// its name, integrity and repair price as a tooltip, and a right-click menu
// that repairs the whole module.
class GUI_CampaignRepairIcon : public GUI_WindowBase {
public:
    static constexpr int kSize = 44;

    explicit GUI_CampaignRepairIcon(SIM_CampaignModuleState* module);
    ~GUI_CampaignRepairIcon() override;

    void Draw() override;
    void Update() override;
    bool OnRightClick(float x, float y) override;

    // The icon of the module, or null.
    static GUI_CampaignRepairIcon* FindForModule(const SIM_CampaignModuleState* module);
    // The icon under the mouse this frame (the repairs dialog clears it first).
    static GUI_CampaignRepairIcon* GetHovered();
    static void ClearHovered();

    SIM_CampaignModuleState* GetModule() const { return m_module; }
    const SIM_ShipModuleType* GetModuleType() const { return m_type; }
    GUI_Tooltip* GetTooltip() const { return m_tooltip.get(); }

private:
    SIM_CampaignModuleState* m_module;
    const SIM_ShipModuleType* m_type;
    CTexturedSprite m_box;
    CTexturedSprite m_icon;
    std::unique_ptr<GUI_Tooltip> m_tooltip;
};

// The menu of a module icon: repair the whole module for its price.
class GUI_RepairIconRCMenu : public GUI_RCMenuBase {
public:
    static constexpr int kWidth = 220;
    static constexpr int kHeight = 56;

    explicit GUI_RepairIconRCMenu(GUI_CampaignRepairIcon* icon);
    static void Open(GUI_CampaignRepairIcon* icon);
    static void Close();
    static GUI_RepairIconRCMenu* GetOpen();
    ~GUI_RepairIconRCMenu() override;

    GUI_ButtonText* GetRepairItem() const { return m_repair; }

private:
    static void OnRepair(std::intptr_t module);

    GUI_ButtonText* m_repair = nullptr;
};
