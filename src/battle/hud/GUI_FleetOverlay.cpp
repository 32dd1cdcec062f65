#include "battle/hud/GUI_FleetOverlay.h"

#include <algorithm>

#include "battle/hud/GUI_FleetOverlayIcon.h"
#include "battle/hud/GUI_FleetOverlayScrollButton.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GVertexBuffer.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_FighterSquadron.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipHull.h"

namespace {
constexpr uint32_t kBarFill = 0x40FFFFFFu;
constexpr uint32_t kThumbFill = 0x80FFFFFFu;
constexpr uint32_t kThumbFrame = 0xC0FFFFFFu;
using Region = GUI_FleetOverlayScrollButton::Region;
} // namespace

void GUI_FleetOverlay::Open(int screenHeight)
{
    Close();
    new GUI_FleetOverlay(SIM_Battle::GetInstance().GetPlayerFleet(), screenHeight);
}

void GUI_FleetOverlay::Expand(std::intptr_t)
{
    GUI_FleetOverlay* overlay = GetOpen();
    if (!overlay)
        return;
    overlay->m_expanded = true;
    overlay->ShowScrollButtons();
    overlay->m_buttons[EXPAND]->visible = false;
    overlay->m_buttons[COLLAPSE]->visible = true;
    for (GUI_FleetOverlayIcon* entry : overlay->m_shown)
        entry->visible = true;
}

void GUI_FleetOverlay::Collapse(std::intptr_t)
{
    GUI_FleetOverlay* overlay = GetOpen();
    if (!overlay)
        return;
    overlay->m_expanded = false;
    for (int id : {UP, DOWN}) {
        overlay->m_buttons[id]->visible = false;
        overlay->m_buttons[id]->enabled = false;
    }
    overlay->m_buttons[COLLAPSE]->visible = false;
    overlay->m_buttons[EXPAND]->visible = true;
    for (GUI_FleetOverlayIcon* entry : overlay->m_shown)
        entry->visible = false;
}

void GUI_FleetOverlay::ScrollUp(std::intptr_t)
{
    GUI_FleetOverlay* overlay = GetOpen();
    if (overlay && overlay->m_offset > 0) {
        --overlay->m_offset;
        overlay->Layout();
    }
}

void GUI_FleetOverlay::ScrollDown(std::intptr_t)
{
    GUI_FleetOverlay* overlay = GetOpen();
    if (overlay && overlay->m_offset < overlay->m_maxOffset) {
        ++overlay->m_offset;
        overlay->Layout();
    }
}

GUI_FleetOverlay::GUI_FleetOverlay(const SIM_Fleet* fleet, int screenHeight)
{
    raisesOnClick = false;
    // Clicks between the entries reach the map.
    swallowsClicks = false;
    SetRect(static_cast<float>(kLeft), static_cast<float>(kTop), static_cast<float>(kRight),
            static_cast<float>(screenHeight - kBottomMargin));
    GUI_WindowManager::GetInstance().AddWindow(this);

    const struct {
        GUI_Callback callback;
        Region normal, hover;
    } specs[kButtons] = {
        {&ScrollUp, {0.5f, 0.0f, 1.0f, 0.25f}, {0.5f, 0.0f, 1.0f, 0.25f}},
        {&ScrollDown, {0.5f, 0.25f, 1.0f, 0.5f}, {0.5f, 0.25f, 1.0f, 0.5f}},
        {&Expand, {0.25f, 0.5f, 0.5f, 1.0f}, {0.75f, 0.5f, 1.0f, 1.0f}},
        {&Collapse, {0.0f, 0.5f, 0.25f, 1.0f}, {0.5f, 0.5f, 0.75f, 1.0f}},
    };
    for (int i = 0; i < kButtons; ++i) {
        m_buttons[i] = new GUI_FleetOverlayScrollButton(specs[i].callback, specs[i].normal, specs[i].hover);
        AddButton(m_buttons[i]);
    }

    if (fleet) {
        // Its entries show the fleet's ships: the overlay goes with the fleet.
        Follow(fleet->lifetime);
        for (SIM_Ship* ship : fleet->GetAllShips())
            if (ship->GetHullClass() != SIM_ShipHull::FIGHTER)
                m_entries.push_back(new GUI_FleetOverlayIcon(ship, nullptr));
        for (SIM_FighterSquadron* squadron : fleet->GetSquadrons()) {
            SIM_Ship* lead = squadron->GetLeader();
            if (!lead && !squadron->GetMembers().empty())
                lead = squadron->GetMembers().front();
            if (lead)
                m_entries.push_back(new GUI_FleetOverlayIcon(lead, squadron));
        }
    }
    Layout();
    m_buttons[EXPAND]->visible = false;
    m_buttons[COLLAPSE]->visible = true;
}

GUI_FleetOverlay::~GUI_FleetOverlay()
{
    // Entries out of view are no children of ours: every one goes here.
    for (GUI_FleetOverlayIcon* entry : m_shown)
        RemoveChild(entry);
    for (GUI_FleetOverlayIcon* entry : m_entries)
        delete entry;
}

void GUI_FleetOverlay::ShowScrollButtons()
{
    const bool on = m_expanded && m_maxOffset >= 1;
    for (int id : {UP, DOWN}) {
        m_buttons[id]->visible = on;
        m_buttons[id]->enabled = on;
    }
}

void GUI_FleetOverlay::Layout()
{
    for (GUI_FleetOverlayIcon* entry : m_shown)
        RemoveChild(entry);
    m_shown.clear();

    const int h = height;
    const int n = (h - 36) / kEntrySize;
    const int y0 = top + ((h - 36) - n * kEntrySize) / 2;
    const auto fl = static_cast<float>(left), fr = static_cast<float>(right);
    m_buttons[UP]->SetRect(fl + kBarSpace, static_cast<float>(y0), fr, static_cast<float>(y0 + 16));
    for (int id : {EXPAND, COLLAPSE})
        m_buttons[id]->SetRect(fl, static_cast<float>(y0), fl + kBarSpace, static_cast<float>(y0 + 16));

    int y = y0 + 18;
    const int limit = bottom - 62;
    const int entries = static_cast<int>(m_entries.size());
    const int x = (limit - y) / kEntrySize < entries ? left + kBarSpace : left;
    for (int i = 0; i < entries; ++i) {
        if (i < m_offset || y >= limit)
            continue;
        GUI_FleetOverlayIcon* entry = m_entries[static_cast<size_t>(i)];
        entry->SetRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + kEntrySize),
                       static_cast<float>(y + kEntrySize));
        entry->visible = m_expanded;
        AddChild(entry);
        m_shown.push_back(entry);
        y += kEntrySize;
    }
    const int shown = static_cast<int>(m_shown.size());
    m_maxOffset = entries - shown;
    m_buttons[DOWN]->SetRect(fl + kBarSpace, static_cast<float>(y + 2), fr, static_cast<float>(y + 16));

    m_bar = GRect{left, y0 + 18, left + 8, y};
    const float barHeight = static_cast<float>(m_bar.bottom - m_bar.top);
    if (entries > 0) {
        const float thumbTop = static_cast<float>(m_bar.top) + barHeight * static_cast<float>(m_offset) /
                                                                   static_cast<float>(entries);
        const float thumbHeight = barHeight * static_cast<float>(shown) / static_cast<float>(entries);
        m_thumb = GRect{m_bar.left + 1, static_cast<int>(thumbTop), m_bar.right - 1,
                        static_cast<int>(thumbTop + thumbHeight)};
    } else {
        m_thumb = GRect{m_bar.left + 1, m_bar.top, m_bar.right - 1, m_bar.top};
    }
    m_scrollable = m_maxOffset > 0;
    ShowScrollButtons();
}

bool GUI_FleetOverlay::OnLeftClick(float x, float y)
{
    if (!visible)
        return false;
    if (m_expanded && m_scrollable && x >= static_cast<float>(m_thumb.left) && x < static_cast<float>(m_thumb.right) &&
        y >= static_cast<float>(m_thumb.top) && y < static_cast<float>(m_thumb.bottom)) {
        m_draggingThumb = true;
        m_grab = y - static_cast<float>(m_thumb.top);
        return true;
    }
    return GUI_WindowBase::OnLeftClick(x, y);
}

void GUI_FleetOverlay::DragThumb()
{
    if (!m_draggingThumb)
        return;
    const CInput& input = CInput::GetInstance();
    if (!input.IsLeftButtonDown()) {
        m_draggingThumb = false;
        return;
    }
    const float barTop = static_cast<float>(m_bar.top);
    const float barHeight = static_cast<float>(m_bar.bottom - m_bar.top);
    const float thumbHeight = static_cast<float>(m_thumb.bottom - m_thumb.top);
    if (!(barHeight > 0.0f))
        return;
    const float t = std::clamp(input.GetMouseY() - m_grab, barTop, std::max(barTop, barTop + barHeight - thumbHeight));
    const int entries = static_cast<int>(m_entries.size());
    const int offset =
        std::clamp(static_cast<int>((t - barTop) / barHeight * static_cast<float>(entries)), 0, m_maxOffset);
    if (offset != m_offset) {
        m_offset = offset;
        Layout();
    }
}

void GUI_FleetOverlay::Draw()
{
    DragThumb();
    if (!visible)
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    if (m_expanded) {
        if (engine.IsAdditive())
            engine.SetNormalBlend();
        if (m_scrollable) {
            engine.FillRect(m_bar, kBarFill);
            engine.FillRect(m_thumb, kThumbFill);
            engine.DrawRectFrame(m_thumb, kThumbFrame);
        }
        GVertexBuffer& batch = GVertexBuffer::SpriteBatch();
        batch.SetTexture(kTexture);
        for (GUI_FleetOverlayIcon* entry : m_shown)
            entry->AddBars(batch);
        batch.Flush();
        for (GUI_FleetOverlayIcon* entry : m_shown)
            entry->DrawHull();
    }
    DrawButtons();
}
