#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/GTimer.h"
#include "gui/GUI_WindowBase.h"
#include "platform/IGraphicsDevice.h"

class GUI_PieSegment;
class IClock;

// A pie of totals: a grey disc sweeps in over 800 ms, then the coloured
// slices show, all drawn as one batch.
class GUI_PieChart : public GUI_WindowBase {
public:
    static constexpr float kSweepMs = 800.0f;
    static constexpr uint32_t kDiscColour = 0x78B4B4B4u;

    struct Slice {
        int series;
        int start;
        int end;
    };
    // The slices of one side: whole degrees from the truncated running
    // shares of the series that are on; slices that round to nothing are
    // left out. totals and on are indexed by series, first..first+count-1.
    static std::vector<Slice> SlicesFor(const float* totals, const bool* on, int first, int count);

    // The clock new pies time their sweep with (null: the machine's).
    static void SetDefaultClock(const IClock* clock);

    GUI_PieChart();
    ~GUI_PieChart() override;

    void SetUp(float radius, float cx, float cy, const char* titleKey);
    void AddSegment(int start, int end, uint32_t argb, const char* labelKey);
    void Clear();
    void RestartAnimation();
    void Draw() override;

    const std::vector<GUI_PieSegment*>& GetSegments() const { return m_segments; }
    bool IsSweepDone() const { return m_state == 1; }
    const std::string& GetTitle() const { return m_title; }

private:
    void DrawSweep(float elapsedMs);
    void RebuildBatch();

    std::vector<GUI_PieSegment*> m_segments;
    float m_cx = 0.0f;
    float m_cy = 0.0f;
    float m_radius = 0.0f;
    std::string m_title;
    int m_state = 0;
    GTimer m_timer;
    std::vector<ScreenVertex> m_disc;  // the sweep, as a triangle list
    std::vector<ScreenVertex> m_batch; // every slice, as a triangle list
};
