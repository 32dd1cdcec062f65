#include "campaign/gui/GUI_CampaignMap.h"

#include "app/Game.h"
#include "app/GUI_GameModeBase.h"
#include "campaign/gui/GUI_CampaignAttackArrow.h"
#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignControlPanelTop.h"
#include "campaign/gui/GUI_CampaignMapStars.h"
#include "campaign/gui/GUI_CampaignWormhole.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/gui/GUI_HexPattern.h"
#include "campaign/gui/GUI_MapZoomer.h"
#include "campaign/gui/GUI_PlayerFleetIcon.h"
#include "campaign/gui/GUI_Territory.h"
#include "campaign/gui/GUI_WormholeTraffic.h"
#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/LibText.h"
#include "engine/TextLayoutRecorder.h"
#include "gui/GUI_LCARS_TextBlock.h"
#include "gui/GUI_WindowManager.h"
#include "platform/KeyCodes.h"

#include <algorithm>

namespace {
GUI_CampaignMap* g_map = nullptr;
}

GUI_CampaignMap* GUI_CampaignMap::Get()
{
    return g_map;
}

GUI_CampaignMap* GUI_CampaignMap::Create(SIM_Campaign* campaign)
{
    Destroy();
    return new GUI_CampaignMap(campaign);
}

void GUI_CampaignMap::Destroy()
{
    delete g_map;
    g_map = nullptr;
}

GUI_CampaignMap::GUI_CampaignMap(SIM_Campaign* campaign) : m_campaign(campaign)
{
    g_map = this;
    D3DEngine& engine = D3DEngine::GetInstance();
    const int w = engine.GetScreenWidth();
    const int h = engine.GetScreenHeight();
    SetRect(0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h));
    m_keyTimer.Start();
    minZoom = zoom = static_cast<float>(w) / kMapUnitsAcross;
    focusX = campaign ? campaign->mapSizeX * 0.5f : 0.0f;
    focusY = campaign ? campaign->mapSizeY * 0.5f : 0.0f;
    viewLeft = left;
    viewTop = top;
    viewRight = right;
    viewBottom = bottom;
    // A new campaign opens on the player's own planet, not on the middle of
    // the map where it may be out of sight; a saved view replaces this later.
    if (const SIM_CampaignEncounter* home = FirstViewEncounter()) {
        focusX = EncounterX(home);
        focusY = EncounterY(home);
        ClampFocus();
    }
    UpdateViewOrigin();
    m_zoomer = std::make_unique<GUI_MapZoomer>(*this);

    m_background.SetTexture("campaign_map.jpg");
    m_background.SetSize(static_cast<float>(w), static_cast<float>(h));
    m_background.SetColour(0xFFFFFFFFu);
    m_background.PlaceCentred(w * 0.5f, h * 0.5f);
    m_background.SetUV(0.0f, 0.0f, std::min(w / 1024.0f, 1.0f), std::min(h / 1024.0f, 1.0f));

    m_hex = std::make_unique<GUI_HexPattern>();
    m_stars = std::make_unique<GUI_CampaignMapStars>();
    // Decoration in the upper corners, below the top panel: it lies under the
    // planets, fleets and windows, so it never hides what they show. The
    // right one starts half a cycle on, so the two do not type in step.
    const int glyphTop = 45 + kGlyphBlockGap;
    const int glyphWidth = GUI_LCARS_TextBlock::kPitch * kGlyphBlockColumns;
    const int glyphHeight = GUI_LCARS_TextBlock::kPitch * GUI_LCARS_TextBlock::kLines;
    m_glyphBlocks.push_back(std::make_unique<GUI_LCARS_TextBlock>(0.0f, kGlyphBlockGap, glyphTop, glyphWidth,
                                                                  glyphHeight, nullptr, 1));
    m_glyphBlocks.push_back(std::make_unique<GUI_LCARS_TextBlock>(0.5f, w - kGlyphBlockGap - glyphWidth, glyphTop,
                                                                  glyphWidth, glyphHeight, nullptr, 2));
    GUI_WindowManager::GetInstance().RemoveWindow(this);
    GUI_WindowManager::GetInstance().AddWindow(this);

    const int centre = w / 2;
    m_bottom = new GUI_CampaignControlPanelBttm();
    m_bottom->SetRect(static_cast<float>(centre - 320), static_cast<float>(h - 50), static_cast<float>(centre + 320),
                      static_cast<float>(h));
    m_bottom->CreateButtons();
    AddChild(m_bottom);
    m_top = new GUI_CampaignControlPanelTop();
    m_top->SetRect(static_cast<float>(centre - 405), 0.0f, static_cast<float>(centre + 405), 45.0f);
    m_top->Layout();
    AddChild(m_top);

    BuildContents();
    m_frameTimer.Start();
    maxZoom = kMaxZoom;
    CameraChanged();
}

std::vector<GUI_LCARS_TextBlock*> GUI_CampaignMap::GetGlyphBlocks() const
{
    std::vector<GUI_LCARS_TextBlock*> out;
    for (const auto& block : m_glyphBlocks)
        out.push_back(block.get());
    return out;
}

GUI_CampaignMap::~GUI_CampaignMap()
{
    // A fleet icon in the air goes with its planet.
    GUI_PlayerFleetIcon::ForgetDragged();
    DeleteContents();
    if (g_map == this)
        g_map = nullptr;
}

void GUI_CampaignMap::DeleteContents()
{
    for (GUI_Encounter* e : m_encounters)
        delete e;
    m_encounters.clear();
    for (GUI_CampaignWormhole* w : m_wormholes)
        delete w;
    m_wormholes.clear();
}

void GUI_CampaignMap::BuildContents()
{
    QLM_ASSERT(m_campaign);
    DeleteContents();
    if (!m_campaign)
        return;
    for (const auto& link : m_campaign->GetWormholeLinks()) {
        auto* w = new GUI_CampaignWormhole(link.first, link.second);
        m_wormholes.push_back(w);
        AddChild(w);
    }
    for (SIM_CampaignEncounter* e : m_campaign->GetEncounters()) {
        auto* view = new GUI_Encounter(e);
        AddChild(view);
        m_encounters.push_back(view);
    }
    GUI_Territory::RefreshAllColours();
}

float GUI_CampaignMap::EncounterX(const SIM_CampaignEncounter* e) const
{
    return e->mapPosition[0] * (m_campaign ? m_campaign->mapSizeX : 0.0f);
}

float GUI_CampaignMap::EncounterY(const SIM_CampaignEncounter* e) const
{
    return e->mapPosition[1] * (m_campaign ? m_campaign->mapSizeY : 0.0f);
}

const SIM_CampaignEncounter* GUI_CampaignMap::FirstViewEncounter() const
{
    if (!m_campaign)
        return nullptr;
    if (const SIM_CampaignEncounter* home = m_campaign->GetHomeworldEncounter())
        return home;
    for (const SIM_CampaignEncounter* e : m_campaign->GetEncounters())
        if (e->territory == SIM_CampaignEncounter::PLAYER)
            return e;
    return nullptr;
}

float GUI_CampaignMap::ToScreenX(float mapX) const
{
    return (mapX - focusX) * zoom + (viewLeft + viewRight) * 0.5f;
}

float GUI_CampaignMap::ToScreenY(float mapY) const
{
    return (mapY - focusY) * zoom + (viewTop + viewBottom) * 0.5f;
}

void GUI_CampaignMap::ClampFocus()
{
    if (!m_campaign || zoom <= 0.0f)
        return;
    const float hw = ViewWidth() / zoom * 0.5f;
    const float hh = ViewHeight() / zoom * 0.5f;
    if (focusX < hw)
        focusX = hw;
    if (focusY < hh)
        focusY = hh;
    if (focusX > m_campaign->mapSizeX - hw)
        focusX = m_campaign->mapSizeX - hw;
    if (focusY > m_campaign->mapSizeY - hh)
        focusY = m_campaign->mapSizeY - hh;
    if (m_campaign->mapSizeY - hh < hh)
        focusY = m_campaign->mapSizeY * 0.5f;
}

void GUI_CampaignMap::UpdateViewOrigin()
{
    if (zoom <= 0.0f)
        return;
    originX = focusX - ViewWidth() / zoom * 0.5f;
    originY = focusY - ViewHeight() / zoom * 0.5f;
}

void GUI_CampaignMap::CameraChanged()
{
    ClampFocus();
    UpdateViewOrigin();
    GUI_Encounter::RefreshAll();
}

void GUI_CampaignMap::ScrollBy(float dx, float dy)
{
    focusX += dx;
    focusY += dy;
    CameraChanged();
}

void GUI_CampaignMap::ZoomInBy(float amount)
{
    zoom = std::min(zoom + amount, maxZoom);
    CameraChanged();
}

void GUI_CampaignMap::ZoomOutBy(float amount)
{
    zoom = std::max(zoom - amount, minZoom);
    CameraChanged();
}

void GUI_CampaignMap::HoldZoom(bool in)
{
    const float amount = FrameMs() * kHoldZoomPerMs;
    if (in)
        ZoomInBy(amount);
    else
        ZoomOutBy(amount);
}

void GUI_CampaignMap::ZoomToRect(float l, float t, float r, float b)
{
    // A rectangle without width has no zoom: the camera stays as it is.
    if (!(r - l > 0.0f))
        return;
    originX = l;
    originY = t;
    zoom = static_cast<float>(width) / (r - l);
    focusX = (l + r) * 0.5f;
    focusY = (t + b) * 0.5f;
    CameraChanged();
}

void GUI_CampaignMap::OnWheelUp()
{
    ZoomInBy(kWheelStep);
}

void GUI_CampaignMap::OnWheelDown()
{
    ZoomOutBy(kWheelStep);
}

float GUI_CampaignMap::FrameMs() const
{
    return m_frameMsOverride >= 0.0f ? m_frameMsOverride : m_frameTimer.GetLastElapsedMs();
}

void GUI_CampaignMap::ScrollByKeys()
{
    m_scrolledByKeys = false;
    GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
    if (windows.IsModalOpen())
        return;
    // A text field with the keyboard takes the letters: typing a name never scrolls.
    if (GUI_GameModeBase* mode = Game::GetInstance().GetMode(); mode && mode->keyboardFocus)
        return;
    const CInput& input = CInput::GetInstance();
    const float step = kScrollPixels / zoom;
    struct KeyStep {
        int a, b;
        float dx, dy;
    };
    const KeyStep steps[] = {{KEY_W, KEY_UP, 0.0f, -step},
                             {KEY_S, KEY_DOWN, 0.0f, step},
                             {KEY_A, KEY_LEFT, -step, 0.0f},
                             {KEY_D, KEY_RIGHT, step, 0.0f}};
    for (const KeyStep& s : steps) {
        if (input.IsKeyDown(s.a) || input.IsKeyDown(s.b)) {
            ScrollBy(s.dx, s.dy);
            m_scrolledByKeys = true;
        }
    }
    m_keyTimer.Update();
    const float amount = std::min(m_keyTimer.GetLastElapsedMs(), kKeyZoomMaxMs) * kKeyZoomPerMs;
    if (input.IsKeyDown(KEY_PRIOR))
        ZoomInBy(amount);
    else if (input.IsKeyDown(KEY_NEXT))
        ZoomOutBy(amount);
}

void GUI_CampaignMap::ScrollAtEdges()
{
    if (m_scrolledByKeys)
        return;
    const CInput& input = CInput::GetInstance();
    const float x = input.GetMouseX();
    const float y = input.GetMouseY();
    if (x < viewLeft || x >= viewRight || y < viewTop || y >= viewBottom)
        return;
    const float step = kScrollPixels / zoom;
    if (x < viewLeft + kEdgeBand)
        ScrollBy(-step, 0.0f);
    if (x > viewRight - kEdgeBand)
        ScrollBy(step, 0.0f);
    if (y < viewTop + kEdgeBand)
        ScrollBy(0.0f, -step);
    if (y > viewBottom - kEdgeBand)
        ScrollBy(0.0f, step);
}

void GUI_CampaignMap::UpdateMapDrag()
{
    const CInput& input = CInput::GetInstance();
    if (!input.IsLeftButtonDown()) {
        m_dragging = false;
        return;
    }
    focusX = m_dragFocusX + (m_dragMouseX - input.GetMouseX()) / zoom;
    focusY = m_dragFocusY + (m_dragMouseY - input.GetMouseY()) / zoom;
    CameraChanged();
}

bool GUI_CampaignMap::OnLeftClick(float x, float y)
{
    if (!visible)
        return false;
    for (size_t i = 0; i < m_childWindows.size(); ++i)
        if (m_childWindows[i]->visible && m_childWindows[i]->OnLeftClick(x, y))
            return true;
    if (x >= viewLeft && x < viewRight && y >= viewTop && y < viewBottom) {
        m_dragging = true;
        m_dragMouseX = x;
        m_dragMouseY = y;
        m_dragFocusX = focusX;
        m_dragFocusY = focusY;
    }
    m_zoomer->ZoomOut();
    return true;
}

GUI_Encounter* GUI_CampaignMap::FindHighlightedEncounterUnderMouse() const
{
    for (GUI_Encounter* e : m_encounters)
        if (e->selectable && e->IsMouseOverPlanet())
            return e;
    return nullptr;
}

bool GUI_CampaignMap::IsIconOverEncounter(GUI_PlayerFleetIcon* icon)
{
    QLM_ASSERT(icon);
    if (!icon)
        return false;
    for (GUI_Encounter* e : m_encounters)
        if (e->DropFleet(icon))
            return true;
    return false;
}

GUI_Encounter* GUI_CampaignMap::FindView(const SIM_CampaignEncounter* e) const
{
    if (!e)
        return nullptr;
    for (GUI_Encounter* v : m_encounters)
        if (v->GetEncounter() == e)
            return v;
    return nullptr;
}

void GUI_CampaignMap::HighlightMoveTargets(const SIM_CampaignEncounter* from)
{
    for (GUI_Encounter* v : m_encounters) {
        const SIM_CampaignEncounter* e = v->GetEncounter();
        const bool reachable = !from || e == from || e->IsLinkedTo(from);
        v->SetSelectable(reachable);
        v->highlight = from && reachable;
    }
    for (GUI_CampaignWormhole* w : m_wormholes)
        w->bright = !from || w->GetA() == from || w->GetB() == from;
}

void GUI_CampaignMap::Draw()
{
    if (!visible)
        return;
    m_frameTimer.Update();
    ScrollByKeys();
    ScrollAtEdges();
    if (m_dragging)
        UpdateMapDrag();
    m_zoomer->Update();
    CameraChanged();

    D3DEngine& engine = D3DEngine::GetInstance();
    engine.SetNormalBlend();
    m_background.Draw();
    m_stars->DrawAll(*this);
    m_hex->Draw(*this);
    for (const auto& block : m_glyphBlocks)
        block->Draw();
    if (show[LAYER_TERRITORIES])
        GUI_Territory::DrawAll();
    engine.SetViewport(viewLeft, viewTop, viewRight, viewBottom);
    {
        // The planets' names go where the camera takes them.
        const TextLayoutRecorder::Scope world(typeid(GUI_Encounter), static_cast<int>(viewLeft),
                                              static_cast<int>(viewTop), static_cast<int>(viewRight),
                                              static_cast<int>(viewBottom), true);
        GUI_CampaignWormhole::DrawAll();
        DrawWormholeTraffic(*this);
        GUI_CampaignAttackArrow::GetInstance().DrawAll(*this);
        GUI_Encounter::DrawAll();
    }
    engine.SetViewport(0, 0, engine.GetScreenWidth(), engine.GetScreenHeight());
    if (m_bottom)
        m_bottom->Draw();
    if (m_top)
        m_top->Draw();
    DrawButtons();
    LibText::GetInstance().Render();
    m_frameTimer.Start();
}
