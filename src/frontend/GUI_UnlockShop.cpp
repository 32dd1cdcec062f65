#include "frontend/GUI_UnlockShop.h"

#include "app/APP_UsageMetrics.h"
#include "app/GUI_Sounds.h"
#include "app/Game.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/TextHelpers.h"
#include "frontend/GUI_MenuChrome.h"
#include "gui/GUI_ButtonTab.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "platform/KeyCodes.h"
#include "prep/GUI_DataItem.h"
#include "prep/GUI_HullData.h"
#include "sim/SIM_HighScores.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_Unlockable.h"

#include <algorithm>

namespace {
const char* const kTabKeys[3] = {"UNLOCKSHOP_MODULESTAB", "UNLOCKSHOP_HULLSTAB", "UNLOCKSHOP_RACESTAB"};
const int kTabKinds[3] = {SIM_Unlockable::MODULE_TYPE, SIM_Unlockable::HULL, SIM_Unlockable::RACE};
const char* const kSizeSuffix[3] = {"CRUISER", "FRIGATE", "FIGHTER"};

constexpr int kRowsPerColumn = 10;
// The reason a locked item cannot be had yet: a line above the disabled button.
constexpr int kRefusalAbove = 54;
constexpr uint32_t kRefusalColour = 0xFFFFC040u;
constexpr float kRefusalFontSize = 16.0f;
constexpr float kRefusalMinFontSize = 12.0f;

const SIM_Race* HullRace(const SIM_ShipHull& hull)
{
    return SIM_Race::Find(hull.GetRaceName(), false);
}
} // namespace

// ---- one icon ------------------------------------------------------------------

GUI_UnlockIcon::GUI_UnlockIcon(SIM_Unlockable& item) : m_item(item)
{
    switch (item.GetKind()) {
    case SIM_Unlockable::MODULE_TYPE:
        GUI_MenuChrome::SetModuleIcon(m_image, *static_cast<const SIM_ShipModuleType*>(item.GetOwner()));
        break;
    case SIM_Unlockable::HULL: {
        const auto* hull = static_cast<const SIM_ShipHull*>(item.GetOwner());
        m_image.SetTexture(hull->GetSprite());
        const SIM_Race* race = HullRace(*hull);
        // Sold as it is, but a hull naming no race of the game is a content fault worth a line.
        if (!race)
            LOG_ERROR("Unlockable hull " + item.GetName() + " names a race that is not loaded: " + hull->GetRaceName());
        QLM_ASSERT(race);
        m_raceLocked = race && race->GetUnlockable() && race->GetUnlockable()->IsLocked();
        break;
    }
    case SIM_Unlockable::RACE:
        m_image.SetTexture(item.GetIconTexture());
        break;
    default:
        break;
    }
    const bool unaffordable = item.IsLocked() && SIM_HighScores::GetInstance().GetPoints() < item.GetUnlockCost();
    m_frame.SetTexture(m_raceLocked || unaffordable ? "square_box_brown.dds" : "square_box.dds");
    m_lock.SetTexture("module_locked.dds");
    m_lock.SetSize(24.0f, 24.0f);
    raisesOnClick = false;
}

bool GUI_UnlockIcon::OnLeftClick(float x, float y)
{
    if (!Contains(x, y))
        return false;
    if (GUI_UnlockWindow* window = GUI_UnlockWindow::GetOpen()) {
        window->Select(this);
        GUI_MenuChrome::PlaySound(4);
    }
    return true;
}

void GUI_UnlockIcon::Update()
{
    if (IsMouseOver())
        GUI_Cursor::GetInstance().SetHand();
    GUI_WindowBase::Update();
}

void GUI_UnlockIcon::Draw()
{
    const uint32_t colour = IsMouseOver() ? 0xFFFFFFFFu : 0xC0FFFFFFu;
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    const float cx = static_cast<float>(left) + w * 0.5f, cy = static_cast<float>(top) + h * 0.5f;
    if (m_item.IsLocked()) {
        m_frame.SetColour(colour);
        m_frame.SetSize(w, h);
        m_frame.PlaceCentred(cx, cy);
        m_frame.Draw();
    }
    m_image.SetColour(colour);
    m_image.SetSize(w, h);
    m_image.PlaceCentred(cx, cy);
    m_image.Draw();
    if (m_item.IsLocked()) {
        m_lock.PlaceCentred(static_cast<float>(right - 18), static_cast<float>(bottom - 20));
        m_lock.Draw();
    }
}

// ---- the window ----------------------------------------------------------------

void GUI_UnlockWindow::Open()
{
    Close();
    SetOpen(new GUI_UnlockWindow())->RefreshPoints();
}

void GUI_UnlockWindow::Close()
{
    CloseOpen();
}

GUI_UnlockWindow::GUI_UnlockWindow() : GUI_Dialog(false)
{
    SetSize(900.0f, 490.0f);
    Centre();
    SetClientRect();
    const int L = left, T = top, R = right, B = bottom;
    m_iconPanel = GRect{L + 10, T + 100, R - 450, B - 10};
    m_details = GRect{m_iconPanel.right + 10, T + 100, R - 10, B - 10};
    const int c = static_cast<int>(static_cast<float>(L + R) * 0.5f + 0.5f);
    m_pointsBox = GRect{c - 150, T + 40, c + 150, T + 75};
    SetTitleKey("UNLOCK_TITLE");
    m_pointsLabel = GetString("UNLOCK_POINTS");
    m_alreadyText = GetString("UNLOCK_ALREADYUNLOCKED");

    m_unlock = new GUI_ButtonText("UNLOCK_SELECTED", OnUnlock, 0);
    m_unlock->SetTooltipString(GetString("UNLOCK_SELECTED_TOOLTIP"));
    m_unlock->SetRect(static_cast<float>(m_details.left + 10), static_cast<float>(m_details.bottom - 30),
                      static_cast<float>(m_details.right - 10), static_cast<float>(m_details.bottom - 10));
    AddButton(m_unlock);
    const float imageX = static_cast<float>(m_details.left + 42), imageY = static_cast<float>(m_details.top + 72);
    m_itemImage.SetSize(64.0f, 64.0f);
    m_itemImage.PlaceCentred(imageX, imageY);
    m_titleRect = GRect{m_details.left + 8, m_details.top + 8, m_details.right - 8, static_cast<int>(imageY + 35.0f)};
    int y = static_cast<int>(imageY) + 36;
    for (int i = 0; i < 10; ++i, y += 20)
        if (y <= m_details.bottom - 18)
            m_rows.push_back(GRect{m_details.left + 5, y, m_details.right - 5, y + 20});

    m_scroll = new GUI_ScrollingWindow();
    m_scroll->SetRect(static_cast<float>(m_iconPanel.right - 17), static_cast<float>(m_iconPanel.top + 34),
                      static_cast<float>(m_iconPanel.right - 2), static_cast<float>(m_iconPanel.bottom - 5));
    AddChild(m_scroll);
    m_lockBadge.SetTexture("module_locked.dds");
    m_lockBadge.SetSize(24.0f, 24.0f);
    m_lockBadge.PlaceCentred(static_cast<float>(m_details.right - 20), static_cast<float>(m_details.top + 47));

    const int w = (m_iconPanel.right - m_iconPanel.left) / 3;
    for (int i = 0; i < 3; ++i) {
        auto* tab = new GUI_ButtonTab(kTabKeys[i], OnTab, i);
        tab->SetTooltipString(GetString((std::string(kTabKeys[i]) + "_TOOLTIP").c_str()));
        const float x = static_cast<float>(m_iconPanel.left + 2 + i * w);
        tab->SetRect(x, static_cast<float>(m_iconPanel.top + 2), x + static_cast<float>(w),
                     static_cast<float>(m_iconPanel.top + 36));
        AddButton(tab);
        m_tabs[i] = tab;
    }
    m_tabs[0]->selected = true;
    GUI_WindowManager::GetInstance().BringToFront(this);
}

GUI_UnlockWindow::~GUI_UnlockWindow()
{
    ForgetIfOpen(this);
    ClearDetails();
    for (GUI_UnlockIcon* icon : m_icons) {
        RemoveChild(icon);
        delete icon;
    }
}

void GUI_UnlockWindow::RefreshPoints()
{
    m_pointsText = FormatThousands(SIM_HighScores::GetInstance().GetPoints());
    FillTab();
    LayOutPage();
}

void GUI_UnlockWindow::SetTab(int tab)
{
    if (tab < 0 || tab > 2)
        return;
    m_tab = tab;
    for (int i = 0; i < 3; ++i)
        m_tabs[i]->selected = i == tab;
    FillTab();
    LayOutPage();
}

void GUI_UnlockWindow::OnTab(std::intptr_t tab)
{
    if (GUI_UnlockWindow* open = GetOpen())
        open->SetTab(static_cast<int>(tab));
}

void GUI_UnlockWindow::FillTab()
{
    if (SIM_ShipModuleType::GetList().empty())
        SIM_ShipModuleType::LoadAll();
    for (GUI_UnlockIcon* icon : m_icons) {
        RemoveChild(icon);
        delete icon;
    }
    m_icons.clear();
    m_page.clear();
    m_selected = nullptr;
    ClearDetails();
    std::vector<GUI_UnlockIcon*> locked, unlocked;
    for (SIM_Unlockable* item : SIM_Unlockable::GetList()) {
        if (!item->IsLockable() || item->GetKind() != kTabKinds[m_tab])
            continue;
        // An item whose owner is gone has nothing to show or sell: skipped, with its line.
        if (!item->GetOwner()) {
            LOG_ERROR("Unlockable " + item->GetName() + " has no owner; left out of the shop");
            QLM_ASSERT(item->GetOwner());
            continue;
        }
        auto* icon = new GUI_UnlockIcon(*item);
        (item->IsLocked() ? locked : unlocked).push_back(icon);
    }
    std::stable_sort(locked.begin(), locked.end(), [](const GUI_UnlockIcon* a, const GUI_UnlockIcon* b) {
        return a->GetItem().GetUnlockCost() < b->GetItem().GetUnlockCost();
    });
    m_icons = locked;
    m_icons.insert(m_icons.end(), unlocked.begin(), unlocked.end());
    m_scroll->position = 0;
}

void GUI_UnlockWindow::LayOutPage()
{
    for (GUI_UnlockIcon* icon : m_page)
        RemoveChild(icon);
    m_page.clear();
    const size_t skip = static_cast<size_t>(std::max(0, m_scroll->position)) * kIconsPerRow;
    int x = m_iconPanel.left + 10, y = m_iconPanel.top + 35;
    m_visibleRows = 1;
    for (size_t i = 0; i < m_icons.size(); ++i) {
        if (i < skip || y >= m_iconPanel.bottom - 74)
            continue;
        GUI_UnlockIcon* icon = m_icons[i];
        m_page.push_back(icon);
        icon->SetRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + 64), static_cast<float>(y + 64));
        AddChild(icon);
        x += 64;
        if (x > m_iconPanel.right - 74) {
            x = m_iconPanel.left + 10;
            y += 64;
            if (y < m_iconPanel.bottom - 74)
                ++m_visibleRows;
        }
    }
    const int rows = (static_cast<int>(m_icons.size()) + kIconsPerRow - 1) / kIconsPerRow;
    m_scroll->maximum = std::max(0, rows - m_visibleRows);
    m_scroll->contentSize = static_cast<float>(rows);
    m_scroll->visibleSize = static_cast<float>(m_visibleRows);
    m_selected = nullptr;
    if (!m_page.empty())
        Select(m_page.front());
    else {
        m_unlock->enabled = false;
        m_priceText.clear();
    }
}

void GUI_UnlockWindow::Select(GUI_UnlockIcon* icon)
{
    if (icon == m_selected && icon)
        return;
    ClearDetails();
    m_selected = icon;
    if (!icon) {
        m_unlock->enabled = false;
        m_priceText.clear();
        m_refusalText.clear();
        m_refusalShown.clear();
        return;
    }
    FillDetails();
    const SIM_Unlockable& item = icon->GetItem();
    m_refusalText.clear();
    if (item.IsLocked()) {
        const int points = SIM_HighScores::GetInstance().GetPoints();
        m_unlock->visible = true;
        m_unlock->enabled = points >= item.GetUnlockCost() && !icon->IsRaceLocked();
        // A disabled Unlock says why, the race before the points.
        if (icon->IsRaceLocked()) {
            const SIM_Race* race = HullRace(*static_cast<const SIM_ShipHull*>(item.GetOwner()));
            m_refusalText = GetString("UNLOCK_NEEDS_RACE");
            ReplaceSubstring(m_refusalText, "<RACE>", race ? GetString(race->GetGuiName().c_str()) : std::string());
        } else if (points < item.GetUnlockCost()) {
            m_refusalText = GetString("UNLOCK_NEEDS_POINTS");
            ReplaceSubstring(m_refusalText, "<POINTS>", FormatThousands(item.GetUnlockCost() - points));
        }
    } else {
        m_unlock->visible = false;
        m_unlock->enabled = false;
    }
    m_unlock->SetTooltipString(m_refusalText.empty() ? GetString("UNLOCK_SELECTED_TOOLTIP") : m_refusalText);
    // A long reason (many points, a long race name) keeps inside the panel.
    m_refusalShown = m_refusalText;
    m_refusalSize = kRefusalFontSize;
    if (!m_refusalShown.empty()) {
        LibText& text = LibText::GetInstance();
        text.SetFont("zekton16.dds", kRefusalFontSize);
        m_refusalSize = text.FitLine(m_refusalShown, m_details.Width() - 20, kRefusalFontSize, kRefusalMinFontSize);
    }
    m_priceText = FormatThousands(item.GetUnlockCost());
}

void GUI_UnlockWindow::ClearDetails()
{
    // Each row and the panel leave the window's children as they go.
    for (GUI_DataItem* row : m_dataRows)
        delete row;
    m_dataRows.clear();
    delete m_hullPanel;
    m_hullPanel = nullptr;
}

void GUI_UnlockWindow::FillDetails()
{
    ClearDetails();
    m_itemImage.SetUV(0.0f, 0.0f, 1.0f, 1.0f);
    const SIM_Unlockable& item = m_selected->GetItem();
    // The rows and the panel only read the owner; their makers take it mutable.
    switch (item.GetKind()) {
    case SIM_Unlockable::RACE: {
        const auto* race = static_cast<const SIM_Race*>(item.GetOwner());
        m_itemImage.SetTexture(item.GetIconTexture());
        m_itemName = GetString(race->GetGuiName().c_str());
        m_typeLine = GetString("UNLOCK_RACE_TYPE");
        m_description = GetString("UNLOCK_RACE_DESCRIPTION");
        break;
    }
    case SIM_Unlockable::HULL: {
        auto* hull = const_cast<SIM_ShipHull*>(static_cast<const SIM_ShipHull*>(item.GetOwner()));
        m_itemImage.SetTexture(hull->GetSprite());
        m_itemName = GetString(hull->GetGuiName().c_str());
        m_typeLine = GetString((std::string("UNLOCK_SHIPHULL_") + kSizeSuffix[std::clamp(hull->GetClass(), 0, 2)]).c_str());
        m_description = GetString("UNLOCK_SHIPHULL_DESCRIPTION");
        m_hullPanel = new GUI_HullData();
        AddChild(m_hullPanel);
        m_hullPanel->SetHull(hull);
        if (!m_rows.empty())
            m_hullPanel->SetRect(static_cast<float>(m_rows.front().left), static_cast<float>(m_rows.front().top),
                                 static_cast<float>(m_rows.back().right), static_cast<float>(m_rows.back().bottom));
        break;
    }
    case SIM_Unlockable::MODULE_TYPE: {
        auto* type = const_cast<SIM_ShipModuleType*>(static_cast<const SIM_ShipModuleType*>(item.GetOwner()));
        GUI_MenuChrome::SetModuleIcon(m_itemImage, *type);
        m_itemName = GetString(type->GetGuiName().c_str());
        m_typeLine = GetString((std::string("UNLOCK_MODULE_") + kSizeSuffix[std::clamp(type->GetSize(), 0, 2)]).c_str());
        m_description = GetString(type->GetDescription().c_str());
        const int m = (m_details.left + m_details.right) / 2;
        const int firstY = m_details.top + 72 + 36;
        for (const SIM_ShipModuleType::DataItem& stat : type->GetDataItems()) {
            const int index = static_cast<int>(m_dataRows.size());
            const bool left = index < kRowsPerColumn;
            const int y = firstY + (left ? index : index - kRowsPerColumn) * 20;
            GUI_DataItem* row = AddModuleDataItem(type, stat.statName, stat.kind, stat.multiplier);
            row->SetRect(static_cast<float>(left ? m_details.left + 2 : m + 2), static_cast<float>(y),
                         static_cast<float>(left ? m - 2 : m_details.right - 2), static_cast<float>(y + 18));
            AddChild(row);
            m_dataRows.push_back(row);
        }
        break;
    }
    default:
        m_itemName = item.GetName();
        break;
    }
    // The title is cut only where it would leave its dark box.
    m_titleShown = m_itemName;
    LibText& text = LibText::GetInstance();
    if (text.FindFont("cwfont20.dds")) {
        text.SetFont("cwfont20.dds", 20.0f);
        m_titleShown = text.FitText(m_itemName, TitleRoom(), 1);
    }
}

int GUI_UnlockWindow::TitleRoom() const
{
    return m_titleRect.right - kTitleInset - (m_details.left + 10);
}

void GUI_UnlockWindow::UnlockSelected()
{
    if (!m_selected)
        return;
    SIM_Unlockable& item = m_selected->GetItem();
    if (!item.IsLocked() || m_selected->IsRaceLocked() ||
        SIM_HighScores::GetInstance().GetPoints() < item.GetUnlockCost())
        return;
    if (!SIM_HighScores::GetInstance().SpendUnlockPoints(item.GetUnlockCost(), item.GetName()))
        return;
    item.RefreshLocked();
    RefreshPoints();
}

void GUI_UnlockWindow::OnUnlock(std::intptr_t)
{
    if (GUI_UnlockWindow* open = GetOpen())
        open->UnlockSelected();
}

void GUI_UnlockWindow::Draw()
{
    if (!visible)
        return;
    drawButtons = false;
    GUI_Dialog::Draw();
    for (const GRect* r : {&m_details, &m_iconPanel, &m_pointsBox}) {
        const float corner = r == &m_pointsBox ? 16.0f : 32.0f;
        DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, corner, 1.0f, static_cast<float>(r->left),
                           static_cast<float>(r->top), static_cast<float>(r->right), static_cast<float>(r->bottom));
        m_interlace.Draw(*r);
    }
    if (m_scroll->changed) {
        m_scroll->changed = false;
        LayOutPage();
    }
    LibText& text = LibText::GetInstance();
    if (m_selected) {
        DrawNamedFrame("textbox_darken.dds", 8.0f, 0.5f, static_cast<float>(m_titleRect.left),
                       static_cast<float>(m_titleRect.top), static_cast<float>(m_titleRect.right),
                       static_cast<float>(m_titleRect.bottom));
        m_itemImage.Draw();
        text.SetFont("cwfont20.dds", 20.0f);
        text.SetText(TEXT_ALIGN_LEFT, m_titleShown, static_cast<float>(m_details.left + 10),
                     static_cast<float>(m_details.top + 10), 0xFFFFFFFFu, static_cast<float>(TitleRoom()));
        text.Render(-1);
        text.SetFont("zekton16.dds", 16.0f);
        for (const GRect& r : m_rows)
            DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, 8.0f, 0.2f, static_cast<float>(r.left),
                               static_cast<float>(r.top), static_cast<float>(r.right), static_cast<float>(r.bottom));
        if (!m_selected->GetItem().IsLocked())
            text.SetText(TEXT_ALIGN_CENTRE, m_alreadyText, static_cast<float>(m_details.left),
                         static_cast<float>(m_details.bottom - 30), 0xFFFFFFFFu,
                         static_cast<float>(m_details.Width()));
        else if (!m_refusalShown.empty()) {
            // Smaller text sits on the full-size line's baseline.
            text.SetFont("zekton16.dds", m_refusalSize);
            text.SetText(TEXT_ALIGN_CENTRE, m_refusalShown, static_cast<float>(m_details.left),
                         static_cast<float>(m_details.bottom - kRefusalAbove) +
                             (kRefusalFontSize - m_refusalSize) * 0.75f,
                         kRefusalColour, static_cast<float>(m_details.Width()));
            text.SetFont("zekton16.dds", 16.0f);
        }
        const float imageRight = static_cast<float>(m_details.left + 42 + 32);
        const float imageTop = static_cast<float>(m_details.top + 72 - 32);
        text.SetText(TEXT_ALIGN_LEFT, m_typeLine, imageRight + 10.0f, imageTop - 5.0f, 0xFFFFFFFFu, 0.0f);
        const int wrap = clientRight - 20 - static_cast<int>(imageRight + 10.0f);
        text.SetText(TEXT_ALIGN_LEFT, text.GetWrappedText(m_description, wrap), imageRight + 10.0f, imageTop + 15.0f,
                     0xFFFFFFFFu, 0.0f);
    }
    DrawButtons();
    DrawChildren();
    if (m_selected && m_selected->GetItem().IsLocked())
        m_lockBadge.Draw();
    text.SetFont("zekton16.dds", 16.0f);
    if (m_selected && m_selected->GetItem().IsLocked())
        text.SetText(TEXT_ALIGN_RIGHT, m_priceText, static_cast<float>(m_details.right - 20 - 300),
                     static_cast<float>(m_details.top + 39), 0xFFFFFFFFu, 300.0f - 16.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_pointsLabel, static_cast<float>(m_pointsBox.left + 10),
                 static_cast<float>(m_pointsBox.top + 6), 0xFFFFFFFFu, 0.0f);
    text.SetText(TEXT_ALIGN_RIGHT, m_pointsText, static_cast<float>(m_pointsBox.left), static_cast<float>(m_pointsBox.top + 6),
                 0xFFFFFFFFu, static_cast<float>(m_pointsBox.Width() - 10));
    text.Render(-1);
}

// ---- the screen ----------------------------------------------------------------

GUI_UnlockShop& GUI_UnlockShop::GetInstance()
{
    static GUI_UnlockShop instance;
    return instance;
}

GUI_UnlockShop::GUI_UnlockShop()
{
    APP_UsageMetrics::GetInstance().SetEventFlag("shop");
    m_back = new GUI_ButtonText("UNLOCKSHOP_MAIN_MENU", GUI_MenuChrome::GoToMainMenu, 0);
    m_back->SetTooltipString(GetString("UNLOCKSHOP_MAIN_MENU_TOOLTIP"));
    AddButton(m_back);
}

void GUI_UnlockShop::Enter()
{
    LayOutScreen(*m_back);
    GUI_UnlockWindow::Open();
    GUI_Tutorial::GetInstance().LaunchTutorial("UNLOCK_SHOP");
}

void GUI_UnlockShop::Leave()
{
    GUI_UnlockWindow::Close();
}
