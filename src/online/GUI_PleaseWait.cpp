#include "online/GUI_PleaseWait.h"

#include "engine/D3DEngine.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_WindowManager.h"

GUI_PleaseWait* GUI_PleaseWait::Open(const IClock* clock)
{
    CloseOpen();
    return SetOpen(new GUI_PleaseWait(clock));
}

void GUI_PleaseWait::Close()
{
    CloseOpen();
}

GUI_PleaseWait::GUI_PleaseWait(const IClock* clock) : GUI_Dialog(false), m_timer(clock)
{
    SetSize(400.0f, 94.0f);
    Centre();
    SetClientRect();
    SetTitleKey("GUI_PLEASEWAIT");
    GUI_WindowManager::GetInstance().AddModal(this);
    m_timer.Start();
}

GUI_PleaseWait::~GUI_PleaseWait()
{
    ForgetIfOpen(this);
}

GRect GUI_PleaseWait::GetCellRect(int i) const
{
    const int w = (clientRight - clientLeft) / kCells;
    const int start = clientLeft + ((clientRight - clientLeft) - kCells * w) / 2;
    return GRect{start + i * w, clientTop + 3, start + i * w + w - 1, clientBottom - 3};
}

void GUI_PleaseWait::Draw()
{
    GUI_Dialog::Draw();
    m_timer.Update();
    if (m_timer.GetTotalMs() > kStepMs) {
        m_lit = (m_lit + 1) % kCells;
        m_timer.Start();
    }
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.FillRect(GRect{clientLeft, clientTop, clientRight, clientBottom}, 0xFF000000u);
    for (int i = 0; i < kCells; ++i)
        engine.FillRect(GetCellRect(i), i == m_lit ? kLitColour : kCellColour);
}
