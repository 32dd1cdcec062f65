#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GRect.h"
#include "frontend/GUI_MenuScreen.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <cstdint>
#include <string>
#include <vector>

class GUI_ButtonTab;
class GUI_ButtonText;
class GUI_DataItem;
class GUI_HullData;
class GUI_ScrollingWindow;
class SIM_Unlockable;

// One item in the shop's grid: its picture in a frame, a lock badge while
// it is for sale; a brown frame when it cannot be bought now.
class GUI_UnlockIcon : public GUI_WindowBase {
public:
    explicit GUI_UnlockIcon(SIM_Unlockable& item);

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void Update() override;

    SIM_Unlockable& GetItem() const { return m_item; }
    // A hull of a race that is itself still locked.
    bool IsRaceLocked() const { return m_raceLocked; }
    const std::string& GetFrameTexture() const { return m_frame.GetTextureName(); }
    const std::string& GetImageTexture() const { return m_image.GetTextureName(); }

private:
    SIM_Unlockable& m_item;
    CTexturedSprite m_frame;
    CTexturedSprite m_image;
    CTexturedSprite m_lock;
    bool m_raceLocked = false;
};

// The shop's window: tabs for modules, hulls and races, a grid of icons six
// to a row, the details of the selected item and the unlock button.
class GUI_UnlockWindow : public GUI_Dialog, public GUI_OneOpen<GUI_UnlockWindow> {
public:
    enum Tab { TAB_MODULES = 0, TAB_HULLS = 1, TAB_RACES = 2 };
    static constexpr int kIconsPerRow = 6;

    static void Open();
    static void Close();

    ~GUI_UnlockWindow() override;
    bool IsModal() const override { return false; }
    void Draw() override;

    void SetTab(int tab);
    void Select(GUI_UnlockIcon* icon);
    // Spends the points on the selected item when there are enough.
    void UnlockSelected();
    void RefreshPoints();

    int GetTab() const { return m_tab; }
    const std::vector<GUI_UnlockIcon*>& GetIcons() const { return m_icons; }
    const std::vector<GUI_UnlockIcon*>& GetPage() const { return m_page; }
    GUI_UnlockIcon* GetSelected() const { return m_selected; }
    GUI_ButtonText* GetUnlockButton() const { return m_unlock; }
    GUI_ButtonTab* GetTabButton(int tab) const { return m_tabs[tab]; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }
    const std::string& GetPointsText() const { return m_pointsText; }
    const std::string& GetPriceText() const { return m_priceText; }
    // Why the selected locked item cannot be unlocked now (its race comes
    // first, or the points fall short); empty when it can.
    const std::string& GetRefusalText() const { return m_refusalText; }
    const std::string& GetItemName() const { return m_itemName; }
    const std::string& GetShownTitle() const { return m_titleShown; }
    const GRect& GetIconPanel() const { return m_iconPanel; }
    const GRect& GetDetailsPanel() const { return m_details; }
    // The selected module's statistics, one row each; empty for other kinds.
    const std::vector<GUI_DataItem*>& GetDataRows() const { return m_dataRows; }
    // The selected hull's figures over the rows' area; null for other kinds.
    GUI_HullData* GetHullPanel() const { return m_hullPanel; }
    int GetVisibleRows() const { return m_visibleRows; }
    void LayOutPage();

private:
    GUI_UnlockWindow();
    void FillTab();
    void FillDetails();
    void ClearDetails();
    static void OnTab(std::intptr_t tab);
    static void OnUnlock(std::intptr_t);

    std::vector<GUI_UnlockIcon*> m_icons;
    std::vector<GUI_UnlockIcon*> m_page;
    GRect m_iconPanel;
    GRect m_details;
    GRect m_pointsBox;
    GRect m_titleRect;
    std::vector<GRect> m_rows;
    GUI_UnlockIcon* m_selected = nullptr;
    GUI_ButtonText* m_unlock = nullptr;
    GUI_ButtonTab* m_tabs[3] = {};
    CTexturedSprite m_itemImage;
    CTexturedSprite m_lockBadge;
    GUI_ScrollingWindow* m_scroll = nullptr;
    std::string m_typeLine;
    std::string m_description;
    std::string m_itemName;
    // The item's name as its title shows it, and the room the title has.
    std::string m_titleShown;
    static constexpr int kTitleInset = 4;
    int TitleRoom() const;
    std::string m_pointsLabel;
    std::string m_pointsText;
    std::string m_priceText;
    std::string m_alreadyText;
    std::string m_refusalText;
    // The reason as drawn: smaller when the panel is too narrow for it at full size.
    std::string m_refusalShown;
    float m_refusalSize = 16.0f;
    std::vector<GUI_DataItem*> m_dataRows;
    GUI_HullData* m_hullPanel = nullptr;
    int m_tab = TAB_MODULES;
    int m_visibleRows = 1;
    GUI_Interlace m_interlace;
};

// The unlock shop screen: the backdrop, a back button and the unlock window.
class GUI_UnlockShop : public GUI_MenuScreen {
public:
    static GUI_UnlockShop& GetInstance();

    void Enter() override;
    void Leave() override;

    GUI_ButtonText* GetBackButton() const { return m_back; }

private:
    GUI_UnlockShop();
    GUI_ButtonText* m_back = nullptr;
};
