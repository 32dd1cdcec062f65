#include "prep/GUI_HullPicker.h"

#include "editors/GUI_HullEditor.h"

#include "app/APP_UsageMetrics.h"
#include "engine/CInput.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "platform/KeyCodes.h"
#include "prep/DesignerCommon.h"
#include "prep/GUI_HullData.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_Unlockable.h"

#include <algorithm>

namespace {
GUI_HullPicker* g_hullPicker = nullptr;

bool IsHullLocked(const SIM_ShipHull* hull)
{
    return hull->GetUnlockable() && hull->GetUnlockable()->IsLocked();
}
} // namespace

GUI_HullPicker* GUI_HullPicker::GetOpen()
{
    return g_hullPicker;
}

GUI_HullPicker* GUI_HullPicker::Open(int mode, bool allRaces)
{
    delete g_hullPicker;
    return new GUI_HullPicker(mode, allRaces);
}

std::vector<SIM_ShipHull*> GUI_HullPicker::ListHulls(int mode, bool allRaces, const std::string& playerRace)
{
    struct Group {
        std::string race;
        int guiId = 0;
        std::vector<SIM_ShipHull*> byClass[3];
    };
    std::vector<Group> groups;
    for (SIM_ShipHull* hull : SIM_ShipHull::GetList()) {
        const SIM_Race* race = SIM_Race::Find(hull->GetRaceName(), false);
        if (!race)
            continue;
        const SIM_Unlockable* unlock = race->GetUnlockable();
        const bool available =
            mode == HULL_EDITOR || !race->IsLocked() || (unlock && unlock->GetUnlockCost() <= 0);
        if (!available || (!allRaces && race->GetName() != playerRace))
            continue;
        const int cls = hull->GetClass();
        if (cls < 0 || cls > 2)
            continue;
        auto it = std::find_if(groups.begin(), groups.end(), [&](const Group& g) { return g.race == race->GetName(); });
        if (it == groups.end()) {
            groups.push_back(Group{race->GetName(), race->GetGuiId(), {}});
            it = groups.end() - 1;
        }
        it->byClass[cls].push_back(hull);
    }
    std::stable_sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) { return a.guiId > b.guiId; });
    std::vector<SIM_ShipHull*> list;
    for (const Group& g : groups)
        for (const auto& cls : g.byClass)
            list.insert(list.end(), cls.begin(), cls.end());
    return list;
}

GUI_HullPicker::GUI_HullPicker(int mode, bool allRaces) : GUI_Dialog(true), m_mode(mode), m_allRaces(allRaces)
{
    g_hullPicker = this;
    SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    Centre();
    SetTitleKey("SHIP_DESIGN_HULLPICKER_TITLE");
    SetClientRect();
    GUI_WindowManager::GetInstance().AddModal(this);
    m_list = GRect{clientLeft, clientTop, clientLeft + 290, clientBottom};
    m_dataRect = GRect{m_list.right + 10, m_list.top, m_list.right + 310, clientBottom - 35};
    const int imageCx = m_dataRect.right + 138;
    const int imageCy = m_list.top + 128;
    m_imageRect = GRect{imageCx - 128, imageCy - 128, imageCx + 128, imageCy + 128};
    m_image.SetSize(256.0f, 256.0f);
    m_image.PlaceCentred(static_cast<float>(imageCx), static_cast<float>(imageCy));
    m_lock.SetTexture("module_locked.dds");
    m_lock.SetSize(20.0f, 20.0f);
    m_okText = GetString("HULLPICKER_OK");
    m_lockedText = GetString("HULLPICKER_LOCKED");
    m_ok = new GUI_ButtonText("HULLPICKER_OK", OnOk, reinterpret_cast<std::intptr_t>(this));
    m_ok->SetTooltip(GetString("HULLPICKER_OK_TOOLTIP"), 60);
    m_ok->SetRect(static_cast<float>(m_dataRect.left + 10), static_cast<float>(clientBottom - 20),
                  static_cast<float>(m_dataRect.right - 10), static_cast<float>(clientBottom));
    AddButton(m_ok);
    AddChildElement(m_ok);
    m_scroller =
        PlaceChild(new GUI_ScrollingWindow(), m_list.right - 16, m_list.top + 2, m_list.right - 2, m_list.bottom - 4);
    m_data = new GUI_HullData();
    m_data->SetRect(static_cast<float>(m_dataRect.left + 10), static_cast<float>(m_dataRect.top + kFiguresTop),
                    static_cast<float>(m_dataRect.right - 10), static_cast<float>(m_dataRect.bottom));
    AddChild(m_data);
    BuildHullList();
    SetName("HULLPICKER");
    GUI_Tutorial::GetInstance().LaunchTutorial("HULLPICKER");
    GUI_ShipDesignGUI::GetInstance().keyboardFocus = this;
    APP_UsageMetrics::GetInstance().SetEventFlag("hullpicker");
}

GUI_HullPicker::~GUI_HullPicker()
{
    if (g_hullPicker == this)
        g_hullPicker = nullptr;
    if (GUI_ShipDesignGUI::GetInstance().keyboardFocus == this)
        GUI_ShipDesignGUI::GetInstance().keyboardFocus = nullptr;
}

void GUI_HullPicker::BuildHullList()
{
    const std::string race = SIM_Options::GetInstance().GetRaceName();
    QLM_ASSERT(!race.empty());
    m_hulls = ListHulls(m_mode, m_allRaces, race);
    m_selected = nullptr;
    for (SIM_ShipHull* hull : m_hulls) {
        if (!IsHullLocked(hull)) {
            m_selected = hull;
            break;
        }
    }
    ShowSelectedHull();
    LayoutStrips();
}

void GUI_HullPicker::ShowSelectedHull()
{
    if (!m_selected) {
        // Nothing to choose: OK must not start anything.
        m_ok->enabled = false;
        m_hullName.clear();
        return;
    }
    m_image.SetTexture(m_selected->GetSprite());
    m_hullName = GetString(m_selected->GetGuiName().c_str());
    m_data->SetHull(m_selected);
    const bool locked = IsHullLocked(m_selected);
    m_ok->enabled = !locked;
    m_ok->SetTextString(locked ? m_lockedText : m_okText);
}

void GUI_HullPicker::LayoutStrips()
{
    m_strips.clear();
    int y = m_list.top + 4;
    int shown = 0;
    for (size_t i = static_cast<size_t>(std::max(0, m_scroller->position)); i < m_hulls.size() && y < m_list.bottom - 22;
         ++i) {
        m_strips.push_back(Strip{GRect{m_list.left + 5, y, m_list.right - 20, y + 20}, i,
                                 GetString(m_hulls[i]->GetGuiName().c_str())});
        y += kStripStep;
        ++shown;
    }
    m_scroller->contentSize = static_cast<float>(m_hulls.size());
    m_scroller->visibleSize = static_cast<float>(shown);
    m_scroller->maximum = std::max(0, static_cast<int>(m_hulls.size()) - shown);
    m_scroller->visible = m_scroller->maximum > 0;
}

void GUI_HullPicker::OnOk(std::intptr_t picker)
{
    GUI_HullPicker* open = g_hullPicker;
    if (!open || reinterpret_cast<std::intptr_t>(open) != picker || !open->m_selected || IsHullLocked(open->m_selected))
        return;
    SIM_ShipHull* hull = open->m_selected;
    const int mode = open->m_mode;
    g_hullPicker = nullptr;
    open->visible = false;
    GUI_WindowManager::GetInstance().CloseWindow(open);
    if (mode == DESIGNER)
        GUI_ShipDesignGUI::GetInstance().StartFromHull(hull);
    else
        GUI_HullEditor::GetInstance().EditHull(hull->GetFileName());
}

bool GUI_HullPicker::OnLeftClick(float x, float y)
{
    if (!visible)
        return false;
    for (const Strip& s : m_strips) {
        if (x >= s.rect.left && x < s.rect.right && y >= s.rect.top && y < s.rect.bottom) {
            SIM_ShipHull* hull = m_hulls[s.hull];
            if (!IsHullLocked(hull)) {
                m_selected = hull;
                ShowSelectedHull();
                designer::PlaySound(designer::kSoundButton);
            }
            return true;
        }
    }
    return GUI_Dialog::OnLeftClick(x, y);
}

void GUI_HullPicker::ScrollList(int step)
{
    const int next = std::clamp(m_scroller->position + step, 0, m_scroller->maximum);
    if (next != m_scroller->position) {
        m_scroller->position = next;
        LayoutStrips();
    }
}

void GUI_HullPicker::OnKeyDown(int key)
{
    if (key == KEY_UP)
        ScrollList(-1);
    else if (key == KEY_DOWN)
        ScrollList(1);
    else if (key == KEY_ESCAPE)
        GUI_WindowManager::GetInstance().CloseWindow(this);
}

void GUI_HullPicker::Wheel(int step)
{
    // Over the figures (when they scroll) the wheel moves the bonus list;
    // anywhere else the hull list.
    const CInput& input = CInput::GetInstance();
    const float x = input.GetMouseX(), y = input.GetMouseY();
    const bool overList = x >= m_list.left && x < m_list.right && y >= m_list.top && y < m_list.bottom;
    GUI_ScrollingWindow* bonuses = m_data->GetScroller();
    if (bonuses && bonuses->maximum > 0 && !overList) {
        if (x >= m_dataRect.left && x < m_dataRect.right && y >= m_dataRect.top && y < m_dataRect.bottom) {
            if (step < 0)
                bonuses->ScrollUp();
            else
                bonuses->ScrollDown();
        }
        return;
    }
    ScrollList(step);
}

void GUI_HullPicker::OnWheelUp()
{
    Wheel(-1);
}

void GUI_HullPicker::OnWheelDown()
{
    Wheel(1);
}

void GUI_HullPicker::Draw()
{
    if (!visible)
        return;
    if (m_scroller->changed) {
        m_scroller->changed = false;
        LayoutStrips();
    }
    drawButtons = false;
    GUI_Dialog::Draw();
    designer::FillRect(m_imageRect.left, m_imageRect.top, m_imageRect.right, m_imageRect.bottom, 0xFF000000u);
    if (m_selected)
        m_image.Draw();
    designer::DrawPanelBackdrop(m_dataRect);
    designer::DrawPanelBackdrop(m_list);
    m_interlace.Draw(m_list);
    DrawButtons();
    m_data->SetRect(static_cast<float>(m_dataRect.left + 10), static_cast<float>(m_dataRect.top + kFiguresTop),
                    static_cast<float>(m_dataRect.right - 10), static_cast<float>(m_dataRect.bottom));
    DrawChildren();
    const CInput& input = CInput::GetInstance();
    for (const Strip& s : m_strips) {
        const SIM_ShipHull* hull = m_hulls[s.hull];
        const bool over = input.GetMouseX() >= s.rect.left && input.GetMouseX() < s.rect.right &&
                          input.GetMouseY() >= s.rect.top && input.GetMouseY() < s.rect.bottom;
        designer::FillRect(s.rect.left, s.rect.top, s.rect.right, s.rect.bottom,
                           over ? 0x40FFFFFFu : (hull == m_selected ? 0x80FFFFFFu : 0x20FFFFFFu));
        const bool locked = IsHullLocked(hull);
        if (locked) {
            m_lock.PlaceCentred(static_cast<float>(s.rect.right - 19), static_cast<float>(s.rect.top + s.rect.bottom) / 2.0f);
            m_lock.Draw();
        }
        designer::DrawText(s.name, static_cast<float>(s.rect.left + 10),
                           static_cast<float>(s.rect.top - 1), locked ? 0xFFC0C0C0u : 0xFFFFFFFFu);
    }
    designer::DrawTextCentred(m_hullName, static_cast<float>(m_dataRect.left), static_cast<float>(m_dataRect.Width()),
                              static_cast<float>(m_dataRect.top + 4));
}
