#pragma once
#include "engine/GTimer.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_OneOpen.h"

// The modal box with a running light shown while a download works; the
// screen that opens it ignores clicks and keys meanwhile and closes it when
// the work is done. At most one exists.
class IClock;

class GUI_PleaseWait : public GUI_Dialog, public GUI_OneOpen<GUI_PleaseWait> {
public:
    static constexpr int kCells = 30;
    static constexpr double kStepMs = 40.0;
    static constexpr uint32_t kLitColour = 0x802020FFu;
    static constexpr uint32_t kCellColour = 0x80202020u;

    // The step timer reads the clock given (the steady one by default).
    static GUI_PleaseWait* Open(const IClock* clock = nullptr);
    static void Close();
    static bool IsOpen() { return GetOpen() != nullptr; }

    ~GUI_PleaseWait() override;
    void Draw() override;
    bool HoldsKeys() const override { return true; }
    int GetLitCell() const { return m_lit; }
    GRect GetCellRect(int i) const;

private:
    explicit GUI_PleaseWait(const IClock* clock);
    int m_lit = 0;
    GTimer m_timer;
};
