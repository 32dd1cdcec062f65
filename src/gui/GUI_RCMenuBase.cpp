#include "gui/GUI_RCMenuBase.h"

#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonBase.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_WindowManager.h"

#include <algorithm>

namespace {
GUI_RCMenuBase* g_openMenu = nullptr;
constexpr float kFontSize = 16.0f;
constexpr float kBackgroundTexels = 1024.0f;
} // namespace

GUI_RCMenuBase::GUI_RCMenuBase()
{
    m_background.SetTexture("box_background.jpg");
    g_openMenu = this;
    GUI_WindowManager::GetInstance().AddWindow(this);
}

GUI_RCMenuBase::~GUI_RCMenuBase()
{
    if (g_openMenu == this)
        g_openMenu = nullptr;
}

GUI_RCMenuBase* GUI_RCMenuBase::GetOpen()
{
    return g_openMenu;
}

void GUI_RCMenuBase::PlaceBesidePointer(float mouseX, float mouseY, int screenWidth, int screenHeight, int menuWidth,
                                        int menuHeight, float& x, float& y)
{
    x = std::min(static_cast<float>(static_cast<int>(mouseX + 16.0f)), static_cast<float>(screenWidth - menuWidth));
    y = std::clamp(mouseY - 27.0f, 0.0f, static_cast<float>(std::max(0, screenHeight - menuHeight)));
}

void GUI_RCMenuBase::AddItem(GUI_ButtonBase* button)
{
    if (!button)
        return;
    const int y = nextRowY + m_captionExtra;
    button->SetRect(static_cast<float>(left + 4), static_cast<float>(y), static_cast<float>(right - 4),
                    static_cast<float>(y + kRowHeight));
    AddButton(button);
    nextRowY += kRowStep;
}

void GUI_RCMenuBase::SetCaption(const std::string& text)
{
    LibText& lib = LibText::GetInstance();
    lib.SetFont("zekton16.dds", kFontSize);
    m_caption = lib.GetWrappedText(text, width - 16);
    // Each line the caption takes past its first pushes the items down and
    // makes the menu as much taller, kept on the screen.
    const int lines = 1 + static_cast<int>(std::count(m_caption.begin(), m_caption.end(), '\n'));
    const int extra = (lines - 1) * lib.GetWrappedTextHeight("x", width);
    if (extra == m_captionExtra)
        return;
    const int grown = bottom + extra - m_captionExtra;
    m_captionExtra = extra;
    SetRect(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right), static_cast<float>(grown));
    const int screenHeight = D3DEngine::GetInstance().GetScreenHeight();
    if (screenHeight > 0 && bottom > screenHeight) {
        const int up = bottom - screenHeight;
        nextRowY -= up;
        MoveTo(static_cast<float>(left), static_cast<float>(top - up));
    }
}

bool GUI_RCMenuBase::OnLeftClick(float x, float y)
{
    const bool taken = GUI_WindowBase::OnLeftClick(x, y);
    if (!taken && g_openMenu) {
        // Closed through the manager: the dispatch that brought this click
        // may still be walking the menu.
        GUI_RCMenuBase* menu = g_openMenu;
        g_openMenu = nullptr;
        menu->visible = false;
        GUI_WindowManager::GetInstance().CloseWindow(menu);
    }
    return taken;
}

void GUI_RCMenuBase::Draw()
{
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    m_background.SetSize(w, h);
    m_background.SetUV(0.0f, 0.0f, w / kBackgroundTexels, h / kBackgroundTexels);
    m_background.PlaceCentred(static_cast<float>(left) + w / 2.0f, static_cast<float>(top) + h / 2.0f);
    m_background.Draw();
    DrawNamedFrame("border_depth.dds", 32.0f, 1.0f, static_cast<float>(left), static_cast<float>(top),
                   static_cast<float>(right), static_cast<float>(bottom));
    if (visible)
        DrawButtons();
    LibText& lib = LibText::GetInstance();
    lib.SetFont("zekton16.dds", kFontSize);
    lib.SetText(TEXT_ALIGN_LEFT, m_caption, static_cast<float>(left + 8), static_cast<float>(top), 0xFFFFFFFFu, 0.0f);
    lib.Render(-1);
}
