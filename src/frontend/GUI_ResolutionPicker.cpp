#include "frontend/GUI_ResolutionPicker.h"

#include "app/GUI_Sounds.h"
#include "app/Game.h"
#include "frontend/GUI_MenuChrome.h"
#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_ScrollingWindow.h"

#include <algorithm>

namespace {
// The line the mouse came to rest on last: its sound plays once per entry.
const GUI_ResolutionStrip* g_lastHovered = nullptr;
} // namespace

GUI_ResolutionStrip::GUI_ResolutionStrip(int width, int height, GUI_DisplayChoice& choice)
    : m_text(std::to_string(width) + " x " + std::to_string(height)), m_modeWidth(width), m_modeHeight(height),
      m_choice(choice)
{
    raisesOnClick = false;
}

GUI_ResolutionStrip::~GUI_ResolutionStrip()
{
    if (g_lastHovered == this)
        g_lastHovered = nullptr;
}

void GUI_ResolutionStrip::Update()
{
    if (IsMouseOver())
        GUI_Cursor::GetInstance().SetHand();
    GUI_WindowBase::Update();
}

bool GUI_ResolutionStrip::OnLeftClick(float x, float y)
{
    if (!Contains(x, y))
        return false;
    if (m_modeWidth != m_choice.width || m_modeHeight != m_choice.height) {
        m_choice.width = m_modeWidth;
        m_choice.height = m_modeHeight;
        m_choice.restartRequired = true;
    }
    Game::GetInstance().SavePrefs(m_choice.width, m_choice.height, m_choice.windowed);
    return true;
}

void GUI_ResolutionStrip::Draw()
{
    const bool over = IsMouseOver();
    const float l = static_cast<float>(left), t = static_cast<float>(top);
    const float r = static_cast<float>(right), b = static_cast<float>(bottom);
    if (m_modeWidth == m_choice.width && m_modeHeight == m_choice.height)
        DrawPreloadedFrame(GUI_PreloadedTextures::kHighlightBlack, 8.0f, 0.2f, l, t, r, b);
    else
        DrawPreloadedFrame(GUI_PreloadedTextures::kHighlight, 8.0f, over ? 0.4f : 0.2f, l, t, r, b);
    if (over && g_lastHovered != this) {
        g_lastHovered = this;
        GUI_MenuChrome::PlaySound(2);
    }
    LibText::GetInstance().SetText(TEXT_ALIGN_LEFT, m_text, l + 20.0f, t, 0xFFFFFFFFu, 0.0f);
}

GUI_ResolutionPicker::GUI_ResolutionPicker(GUI_DisplayChoice& choice) : m_choice(choice)
{
    m_scroll = new GUI_ScrollingWindow();
    AddChild(m_scroll);
    raisesOnClick = false;
    swallowsClicks = false;
}

std::vector<DisplayMode> GUI_ResolutionPicker::FilterModes(const std::vector<DisplayMode>& modes)
{
    std::vector<DisplayMode> kept;
    for (const DisplayMode& m : modes) {
        if (m.height < kMinHeight)
            continue;
        bool seen = std::any_of(kept.begin(), kept.end(),
                                [&](const DisplayMode& k) { return k.width == m.width && k.height == m.height; });
        if (!seen)
            kept.push_back(m);
    }
    return kept;
}

void GUI_ResolutionPicker::DeleteStrips()
{
    for (GUI_ResolutionStrip* s : m_strips) {
        RemoveChild(s);
        delete s;
    }
    m_strips.clear();
}

void GUI_ResolutionPicker::Refill()
{
    DeleteStrips();
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.EnumDisplayModes();
    m_modes = FilterModes(engine.GetDisplayModes());
    m_scroll->SetRect(static_cast<float>(right - 22), static_cast<float>(top), static_cast<float>(right),
                      static_cast<float>(bottom));
    m_scroll->maximum = std::max(0, static_cast<int>(m_modes.size()) - kVisibleLines);
    m_scroll->position = std::min(m_scroll->position, m_scroll->maximum);
    m_scroll->contentSize = static_cast<float>(m_modes.size());
    m_scroll->visibleSize = static_cast<float>(kVisibleLines);
    LayOutStrips();
}

void GUI_ResolutionPicker::LayOutStrips()
{
    DeleteStrips();
    float y = static_cast<float>(top + 6);
    for (size_t i = static_cast<size_t>(m_scroll->position);
         i < m_modes.size() && m_strips.size() < static_cast<size_t>(kVisibleLines); ++i) {
        auto* strip = new GUI_ResolutionStrip(m_modes[i].width, m_modes[i].height, m_choice);
        strip->SetRect(static_cast<float>(left + 10), y, static_cast<float>(m_scroll->left - 2), y + 20.0f);
        AddChild(strip);
        m_strips.push_back(strip);
        y += 20.0f;
    }
}

void GUI_ResolutionPicker::Draw()
{
    D3DEngine::GetInstance().FillRect(GRect{left, top, right, bottom}, 0x40000000u);
    if (m_scroll->changed) {
        m_scroll->changed = false;
        LayOutStrips();
    }
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    text.Render(-1);
}
