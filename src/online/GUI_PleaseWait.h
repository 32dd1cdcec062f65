#pragma once
#include "engine/GTimer.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_OneOpen.h"
#include "online/OnlineJob.h"

#include <functional>
#include <memory>

// The modal box with a running light shown while a download works; the
// screen that opens it ignores clicks and keys meanwhile and closes it when
// the work is done. Opened for a job (or with a way to stop other work) it
// also has Cancel, which stops the work and closes the box at once. At most
// one exists.
class IClock;
class GUI_ButtonText;

class GUI_PleaseWait : public GUI_Dialog, public GUI_OneOpen<GUI_PleaseWait> {
public:
    static constexpr int kCells = 30;
    static constexpr double kStepMs = 40.0;
    static constexpr uint32_t kLitColour = 0x802020FFu;
    static constexpr uint32_t kCellColour = 0x80202020u;

    // The step timer reads the clock given (the steady one by default).
    static constexpr float kCancelRow = 34.0f;

    static GUI_PleaseWait* Open(const IClock* clock = nullptr);
    static GUI_PleaseWait* OpenFor(const std::shared_ptr<OnlineJob>& job, const IClock* clock = nullptr);
    // With Cancel, which calls `cancel` and closes the box.
    static GUI_PleaseWait* OpenCancellable(std::function<void()> cancel, const IClock* clock = nullptr);
    static void Close();
    // A request beside the frame with this box (and its Cancel) shown while
    // it runs: how a click that needs the server starts it.
    static std::shared_ptr<OnlineJob> StartJob(OnlineJob::Work work);
    // Once the job is done: its outcome, whether the player cancelled it,
    // the box closed and the job let go. False while it runs (or without one).
    static bool FinishJob(std::shared_ptr<OnlineJob>& job, bool& succeeded, std::string& text, bool& cancelled);
    static bool IsOpen() { return GetOpen() != nullptr; }

    ~GUI_PleaseWait() override;
    void Draw() override;
    bool HoldsKeys() const override { return true; }
    // Escape is Cancel: the box never goes while its job runs on unseen.
    bool TakeEscape() override;
    int GetLitCell() const { return m_lit; }
    GRect GetCellRect(int i) const;
    GUI_ButtonText* GetCancelButton() const { return m_cancel; }
    // Stops the work (if it can be stopped) and closes the box.
    void CancelJob();

private:
    GUI_PleaseWait(const IClock* clock, std::function<void()> cancel);
    static void OnCancel(std::intptr_t);
    std::function<void()> m_cancelWork;
    GUI_ButtonText* m_cancel = nullptr;
    int m_lit = 0;
    GTimer m_timer;
};
