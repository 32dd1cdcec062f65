#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_WindowBase.h"

#include <cstddef>
#include <string>
#include <vector>

class GUI_ButtonText;
class GUI_CampaignRepairIcon;
class GUI_ScrollingWindow;
class SIM_CampaignShip;
class SIM_ShipModuleType;
struct SIM_CampaignModuleState;

// One recorded damage of a module: its picture, what broke, and a button that
// repairs just this for its price.
class GUI_CampaignRepairListItem : public GUI_WindowBase {
public:
    static constexpr int kHeight = 73;

    GUI_CampaignRepairListItem(SIM_CampaignModuleState* module, size_t entry);
    void Draw() override;
    void SetRect(float left, float top, float right, float bottom) override;

    SIM_CampaignModuleState* GetModule() const { return m_module; }
    size_t GetEntry() const { return m_entry; }
    int GetCost() const { return m_cost; }
    GUI_ButtonText* GetRepairButton() const { return m_button; }
    const std::string& GetDescription() const { return m_description; }

private:
    static void OnRepair(std::intptr_t item);

    SIM_CampaignModuleState* m_module;
    size_t m_entry;
    int m_cost;
    const SIM_ShipModuleType* m_type;
    GUI_CampaignRepairIcon* m_icon;
    std::string m_description;
    std::string m_costLabel;
    CTexturedSprite m_pictureBack;
    CTexturedSprite m_picture;
    GUI_ButtonText* m_button = nullptr;
};

// Every recorded damage of the shown ship, scrolled 73 pixels a row; a ship
// without any says that no repairs are needed.
class GUI_CampaignRepairList : public GUI_WindowBase {
public:
    GUI_CampaignRepairList();
    ~GUI_CampaignRepairList() override;

    void Draw() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    void Rebuild(SIM_CampaignShip* ship);
    void Layout();

    const std::vector<GUI_CampaignRepairListItem*>& GetItems() const { return m_items; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }
    bool HasItems() const { return m_hasItems; }
    int GetShownCount() const { return m_shown; }

private:
    void DeleteItems();

    std::vector<GUI_CampaignRepairListItem*> m_items;
    const SIM_CampaignShip* m_ship = nullptr;
    bool m_hasItems = false;
    int m_shown = 0;
    GUI_ScrollingWindow* m_scroll = nullptr;
    std::string m_noRepairs;
    GUI_Interlace m_interlace;
};
