#pragma once
#include <cstdint>
#include <vector>

#include "battle/hud/GUI_Stat_GraphLine.h"
#include "battle/hud/StatSeriesTable.h"
#include "engine/GRect.h"
#include "gui/GUI_WindowBase.h"
#include "platform/IGraphicsDevice.h"

class GUI_ButtonTab;
class GUI_GraphKey;
class GUI_PieChart;
class GUI_StatModulePicker;
class GUI_StatShipPicker;
class SIM_Fleet;
struct SIM_StrengthSample;

// The chart area of the statistics browser: damage over time per series,
// the two fleets' hit points, and pies of the totals (all ships or by
// weapon type), with the key and the ship and weapon pickers as filters.
// The figures are rebuilt only when a filter changes.
class GUI_Stat_TimeGraph : public GUI_WindowBase, private StatEventFilter {
public:
    enum Mode { MODE_TIME = 0, MODE_HP = 1, MODE_PIE = 2, MODE_MODULE = 3 };
    static constexpr int kSeries = StatSeriesTable::kSeries;
    static constexpr int kBuckets = StatSeriesTable::kBuckets;
    static constexpr float kMinHpBucketMs = 100.0f;
    static constexpr uint32_t kPlotColour = 0xF0000C00u;
    static constexpr uint32_t kGridColour = 0xFF181818u;
    static constexpr uint32_t kOutlineColour = 0xDCC8C8C8u;
    static constexpr float kPieRadius = 170.0f;

    static const char* const kLabelKeys[kSeries];
    static const char* const kTooltipKeys[kSeries];
    static uint32_t SeriesColour(int series);

    // Averages per HP bucket of the samples (-1 where none fell), the last
    // bucket holding the last sample itself; returns the largest average of
    // the buckets a later sample closed.
    static float AverageHitPoints(const std::vector<SIM_StrengthSample>& samples, float bucketWidth,
                                  float player[kBuckets], float enemy[kBuckets]);

    GUI_Stat_TimeGraph(int left, int top, int right, int bottom);
    ~GUI_Stat_TimeGraph() override;

    // Reads the battle that just ended: its length, fleets and records.
    void Build();
    void SetMode(int mode);
    void Rebuild();
    void Draw() override;

    static GUI_Stat_TimeGraph* GetOpen();

    int GetMode() const { return m_mode; }
    float GetBucketWidth() const { return m_bucketWidth; }
    float GetScale() const { return m_scale; }
    const StatSeriesTable& GetTable() const { return m_table; }
    const GRect& GetPlot() const { return m_plot; }
    GUI_PieChart* GetPie(bool delivered) const { return delivered ? m_deliveredPie : m_receivedPie; }
    GUI_GraphKey* GetKey() const { return m_key; }
    GUI_StatShipPicker* GetShipPicker(bool player) const { return player ? m_playerShips : m_enemyShips; }
    GUI_StatModulePicker* GetModulePicker(bool player) const { return player ? m_playerModules : m_enemyModules; }
    GUI_ButtonTab* GetTab(int mode) const { return m_tabs[mode]; }
    const GUI_Stat_GraphLine& GetLine(int series) const { return m_lines[series]; }
    const GUI_Stat_GraphLine& GetHpLine(bool player) const { return player ? m_greenHp : m_redHp; }
    int GetRebuildCount() const { return m_rebuilds; }
    size_t GetBatchVertexCount() const { return m_batch.size(); }

private:
    bool IsShipSelected(const SIM_Ship* ship) const override;
    bool IsWeaponSelected(const SIM_ShipModuleType* type, bool delivered) const override;
    static void OnTab(std::intptr_t mode);
    void BuildHpLines();
    void FillPies();
    void PlotX(int bucket, float& x) const;
    float PlotY(float value, float scale) const;
    // The quads of the lines that show, made again only when what shows
    // changes.
    void RefreshBatch();

    GRect m_plot{};
    float m_bucketWidth = 1.0f;
    float m_scale = StatSeriesTable::kMinScale;
    GUI_ButtonTab* m_tabs[4] = {};
    GUI_Stat_GraphLine m_lines[kSeries];
    GUI_PieChart* m_deliveredPie = nullptr;
    GUI_PieChart* m_receivedPie = nullptr;
    GUI_Stat_GraphLine m_greenHp;
    GUI_Stat_GraphLine m_redHp;
    float m_enemyHp[kBuckets];
    float m_playerHp[kBuckets];
    StatSeriesTable m_table;
    GUI_StatShipPicker* m_enemyShips = nullptr;
    GUI_StatShipPicker* m_playerShips = nullptr;
    GUI_StatModulePicker* m_enemyModules = nullptr;
    GUI_StatModulePicker* m_playerModules = nullptr;
    GUI_GraphKey* m_key = nullptr;
    int m_mode = MODE_PIE;
    const SIM_Fleet* m_playerFleet = nullptr;
    int m_rebuilds = 0;

    std::vector<ScreenVertex> m_grid;
    std::vector<ScreenVertex> m_batch;
    std::vector<ScreenVertex> m_highlightBatch;
    uint64_t m_batchKey = ~0ull;
    unsigned m_generation = 0;
};
