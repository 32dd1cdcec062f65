#include "online/GUI_PleaseWait.h"

#include "engine/D3DEngine.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_WindowManager.h"
#include "online/OnlineJob.h"

GUI_PleaseWait* GUI_PleaseWait::Open(const IClock* clock)
{
    CloseOpen();
    return SetOpen(new GUI_PleaseWait(clock, nullptr));
}

GUI_PleaseWait* GUI_PleaseWait::OpenFor(const std::shared_ptr<OnlineJob>& job, const IClock* clock)
{
    if (!job)
        return Open(clock);
    // The box does not keep the job alive: a window closed early drops it.
    std::weak_ptr<OnlineJob> weak = job;
    return OpenCancellable(
        [weak] {
            if (auto running = weak.lock())
                running->Cancel();
        },
        clock);
}

GUI_PleaseWait* GUI_PleaseWait::OpenCancellable(std::function<void()> cancel, const IClock* clock)
{
    CloseOpen();
    return SetOpen(new GUI_PleaseWait(clock, std::move(cancel)));
}

void GUI_PleaseWait::Close()
{
    CloseOpen();
}

std::shared_ptr<OnlineJob> GUI_PleaseWait::StartJob(OnlineJob::Work work)
{
    std::shared_ptr<OnlineJob> job = OnlineJob::Start(std::move(work));
    if (!job->IsDone())
        OpenFor(job);
    return job;
}

bool GUI_PleaseWait::FinishJob(std::shared_ptr<OnlineJob>& job, bool& succeeded, std::string& text, bool& cancelled)
{
    cancelled = job && job->IsCancelled();
    if (!OnlineJob::Collect(job, succeeded, text))
        return false;
    Close();
    return true;
}

GUI_PleaseWait::GUI_PleaseWait(const IClock* clock, std::function<void()> cancel)
    : GUI_Dialog(false), m_cancelWork(std::move(cancel)), m_timer(clock)
{
    const bool cancellable = static_cast<bool>(m_cancelWork);
    // The light keeps its size; Cancel takes a row under it.
    if (cancellable)
        bottomMargin += kCancelRow;
    SetSize(400.0f, cancellable ? 94.0f + kCancelRow : 94.0f);
    Centre();
    SetClientRect();
    if (cancellable) {
        m_cancel = new GUI_ButtonText("CANCEL", OnCancel, 0);
        m_cancel->SetName("PLEASEWAIT_CANCEL");
        const float mid = static_cast<float>(left + right) / 2.0f;
        const float top = static_cast<float>(clientBottom + 8);
        m_cancel->SetRect(mid - 80.0f, top, mid + 80.0f, top + 20.0f);
        AddButton(m_cancel);
    }
    SetTitleKey("GUI_PLEASEWAIT");
    GUI_WindowManager::GetInstance().AddModal(this);
    m_timer.Start();
}

GUI_PleaseWait::~GUI_PleaseWait()
{
    ForgetIfOpen(this);
}

void GUI_PleaseWait::CancelJob()
{
    // Kept here: the work's own answer may close this box.
    const std::function<void()> cancel = m_cancelWork;
    if (cancel)
        cancel();
    Close();
}

bool GUI_PleaseWait::TakeEscape()
{
    CancelJob();
    return true;
}

void GUI_PleaseWait::OnCancel(std::intptr_t)
{
    if (GUI_PleaseWait* open = GetOpen())
        open->CancelJob();
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
