#include "gui/GUI_ButtonBase.h"

#include "engine/CInput.h"
#include "engine/GHashTable.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Fader.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowManager.h"
#if __has_include("app/GUI_Sounds.h")
#include "app/GUI_Sounds.h"
#define QLM_HAVE_GUI_SOUNDS 1
#endif

GUI_ButtonBase::GUI_ButtonBase(GUI_Callback cb, std::intptr_t arg) : callback(cb), argument(arg)
{
}

GUI_ButtonBase::~GUI_ButtonBase()
{
    // The tooltip leaves the draw queue in its own destructor.
    delete m_tooltip;
}

namespace {
int g_clickSounds = 0;
}

void GUI_ButtonBase::PlayClick()
{
    ++g_clickSounds;
#ifdef QLM_HAVE_GUI_SOUNDS
    GUI_Sounds::GetInstance().PlayGuiSound(0);
#endif
}

int GUI_ButtonBase::GetClickSoundCount()
{
    return g_clickSounds;
}

void GUI_ButtonBase::Press()
{
    if (!enabled || !callback)
        return;
    if (!silent)
        PlayClick();
    RunCallback();
}

void GUI_ButtonBase::RunCallback()
{
    if (!callback)
        return;
    if (deferred)
        GUI_Fader::GetInstance().Start(callback, argument);
    else
        callback(argument);
}

bool GUI_ButtonBase::OnLeftClick(float x, float y)
{
    if (!Contains(x, y))
        return false;
    // A disabled button still takes the click, silently.
    Press();
    return true;
}

void GUI_ButtonBase::Update()
{
    const CInput& input = CInput::GetInstance();
    const bool claimed = GUI_WindowManager::GetInstance().IsMouseOverWindow();
    if (!claimed && Contains(input.GetMouseX(), input.GetMouseY())) {
        if (enabled) {
            hover = 1;
            GUI_Cursor::GetInstance().SetHand();
        }
        if (m_tooltip && input.GetStationaryCount() > m_tooltip->GetDelay())
            m_tooltip->visibility = 1.0f;
        return;
    }
    hover = 0;
}

void GUI_ButtonBase::Draw()
{
    QueueTooltip();
}

void GUI_ButtonBase::QueueTooltip()
{
    if (m_tooltip)
        m_tooltip->Draw();
}

void GUI_ButtonBase::SetRect(float l, float t, float r, float b)
{
    GUI_BaseElement::SetRect(l, t, r, b);
    AnchorTooltip();
}

void GUI_ButtonBase::AnchorTooltip()
{
    if (!m_tooltip)
        return;
    m_tooltip->SetAnchor(static_cast<float>(left + right) / 2.0f - static_cast<float>(m_tooltip->width) / 2.0f,
                         static_cast<float>(bottom));
}

void GUI_ButtonBase::SetTooltip(const char* key, int delay)
{
    SetTooltipString(GetString(key), delay);
}

void GUI_ButtonBase::SetTooltipString(const std::string& text, int delay)
{
    delete m_tooltip;
    m_tooltip = new GUI_Tooltip(text, delay);
    AnchorTooltip();
}
