#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_OneOpen.h"

#include <memory>
#include <vector>

class GUI_CampaignManagerStrip;
class GUI_ScrollingWindow;
class SIM_CampaignFacility;

// The fleet, income and recruitment managers: one row of 50 pixels per
// fleet or facility, as many as the screen has room for, the others reached
// with the scroll bar. A click on a row finds its place on the map. They
// stay beside the map rather than over it, so the map stays usable.
class GUI_CampaignManagerWindow : public GUI_Dialog {
public:
    static constexpr int kWidth = 360;
    static constexpr int kHeight = 500;
    static constexpr int kRowHeight = 50;
    static constexpr int kScreenReserve = 100;

    ~GUI_CampaignManagerWindow() override;
    void Draw() override;
    bool IsModal() const override { return false; }
    void OnWheelUp() override;
    void OnWheelDown() override;

    // Rows shown at once on a screen of that height.
    static int RowsThatFit(int screenHeight);

    // Makes the rows again from the campaign, lays them out and resizes.
    void Refresh();
    void ClearStrips();

    const std::vector<std::unique_ptr<GUI_CampaignManagerStrip>>& GetStrips() const { return m_strips; }
    int GetAttachedCount() const { return m_attached; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }

protected:
    // cascade: how far down and right of the first kind this kind opens.
    GUI_CampaignManagerWindow(const char* titleKey, int cascade);
    virtual void AddStrips(std::vector<std::unique_ptr<GUI_CampaignManagerStrip>>& strips) = 0;
    // The facilities of one class on the player's planets, planet by planet.
    static std::vector<SIM_CampaignFacility*> PlayerFacilitiesOfClass(int facilityClass);

private:
    void LayoutStrips();
    void UpdateLayout();

    const char* m_titleKey;
    std::vector<std::unique_ptr<GUI_CampaignManagerStrip>> m_strips;
    GUI_ScrollingWindow* m_scroll = nullptr;
    int m_attached = 0;
};

// One open window of each kind; its button opens it and closes it again.
template <typename Kind>
class GUI_CampaignManagerWindowOf : public GUI_CampaignManagerWindow, public GUI_OneOpen<Kind> {
    using One = GUI_OneOpen<Kind>;

public:
    ~GUI_CampaignManagerWindowOf() override { One::ForgetIfOpen(this); }

    // The button's callback: a toggle.
    static void Open(std::intptr_t = 0)
    {
        if (One::GetOpen()) {
            One::CloseOpen();
            return;
        }
        One::SetOpen(new Kind())->Refresh();
    }
    static void RefreshIfOpen()
    {
        if (Kind* open = One::GetOpen())
            open->Refresh();
    }

protected:
    using GUI_CampaignManagerWindow::GUI_CampaignManagerWindow;
};
