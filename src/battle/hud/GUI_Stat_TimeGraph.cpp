#include "battle/hud/GUI_Stat_TimeGraph.h"

#include <algorithm>

#include "battle/GUI_BattleGUI.h"
#include "battle/hud/GUI_GraphKey.h"
#include "battle/hud/GUI_GraphKeyButton.h"
#include "battle/hud/GUI_PieChart.h"
#include "battle/hud/GUI_StatModulePicker.h"
#include "battle/hud/GUI_StatShipPicker.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "gui/GUI_ButtonTab.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_StatsDatabase.h"

namespace {

GUI_Stat_TimeGraph* g_graph = nullptr;

struct SeriesRGB {
    int r, g, b;
};
constexpr SeriesRGB kColours[StatSeriesTable::kSeries] = {
    {55, 100, 120}, {120, 100, 55}, {72, 100, 32}, {44, 170, 44},  {32, 140, 72}, {32, 220, 32},
    {100, 55, 120}, {100, 120, 55}, {100, 32, 72}, {150, 44, 44}, {140, 72, 32}, {220, 32, 32},
};
constexpr int kSeriesAlpha = 245;
constexpr int kGridStep = 6;
constexpr int kPickerHeight = 540;
const char* const kTabKeys[4] = {"GRAPH_TIMEMODE", "GRAPH_HPMODE", "GRAPH_PIEMODE", "GRAPH_MODULEMODE"};

void DrawBatch(PrimitiveType type, const std::vector<ScreenVertex>& vertices)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    if (!engine.IsInitialised() || vertices.empty())
        return;
    engine.SetNormalBlend();
    engine.SetTexture(0);
    engine.DrawPrimitives(type, vertices.data(), vertices.size());
}

} // namespace

const char* const GUI_Stat_TimeGraph::kLabelKeys[kSeries] = {
    "GRAPHKEY_MISSED_DELIVERED",      "GRAPHKEY_REFLECTED_DELIVERED",   "GRAPHKEY_SHIELDDAMAGE_DELIVERED",
    "GRAPHKEY_ARMORABSORB_DELIVERED", "GRAPHKEY_ARMORDAMAGE_DELIVERED", "GRAPHKEY_HULLDAMAGE_DELIVERED",
    "GRAPHKEY_MISSED_RECEIVED",       "GRAPHKEY_REFLECTED_RECEIVED",    "GRAPHKEY_SHIELDDAMAGE_RECEIVED",
    "GRAPHKEY_ARMORABSORB_RECEIVED",  "GRAPHKEY_ARMORDAMAGE_RECEIVED",  "GRAPHKEY_HULLDAMAGE_RECEIVED",
};

const char* const GUI_Stat_TimeGraph::kTooltipKeys[kSeries] = {
    "GRAPHKEY_MISSED_DELIVERED_TT",      "GRAPHKEY_REFLECTED_DELIVERED_TT",   "GRAPHKEY_SHIELDDAMAGE_DELIVERED_TT",
    "GRAPHKEY_ARMORABSORB_DELIVERED_TT", "GRAPHKEY_ARMORDAMAGE_DELIVERED_TT", "GRAPHKEY_HULLDAMAGE_DELIVERED_TT",
    "GRAPHKEY_MISSED_RECEIVED_TT",       "GRAPHKEY_REFLECTED_RECEIVED_TT",    "GRAPHKEY_SHIELDDAMAGE_RECEIVED_TT",
    "GRAPHKEY_ARMORABSORB_RECEIVED_TT",  "GRAPHKEY_ARMORDAMAGE_RECEIVED_TT",  "GRAPHKEY_HULLDAMAGE_RECEIVED_TT",
};

uint32_t GUI_Stat_TimeGraph::SeriesColour(int series)
{
    const SeriesRGB& c = kColours[std::clamp(series, 0, kSeries - 1)];
    return (uint32_t(kSeriesAlpha) << 24) | (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | uint32_t(c.b);
}

float GUI_Stat_TimeGraph::AverageHitPoints(const std::vector<SIM_StrengthSample>& samples, float bucketWidth,
                                           float player[kBuckets], float enemy[kBuckets])
{
    for (int i = 0; i < kBuckets; ++i)
        player[i] = enemy[i] = -1.0f;
    const float width = std::max(bucketWidth, kMinHpBucketMs);
    float boundary = width;
    int count = 0;
    float playerSum = 0.0f, enemySum = 0.0f, largest = 0.0f;
    int next = 0;
    for (const SIM_StrengthSample& sample : samples) {
        if (sample.time < boundary) {
            ++count;
            playerSum += static_cast<float>(sample.playerStrength);
            enemySum += static_cast<float>(sample.enemyStrength);
            continue;
        }
        if (count > 0 && next < kBuckets) {
            player[next] = playerSum / static_cast<float>(count);
            enemy[next] = enemySum / static_cast<float>(count);
            largest = std::max({largest, player[next], enemy[next]});
            ++next;
        }
        boundary += width;
        count = 1;
        playerSum = static_cast<float>(sample.playerStrength);
        enemySum = static_cast<float>(sample.enemyStrength);
    }
    // The line ends on the strength the battle ended on (its last sample, as
    // the score boxes show it), not on an average that blurs the last kills.
    // The axis spans the battle to its end, so the closing sample can fall
    // just past the last bucket: it then takes the last bucket's place.
    if (count > 0) {
        const int last = std::min(next, kBuckets - 1);
        player[last] = static_cast<float>(samples.back().playerStrength);
        enemy[last] = static_cast<float>(samples.back().enemyStrength);
    }
    return largest;
}

GUI_Stat_TimeGraph::GUI_Stat_TimeGraph(int l, int t, int r, int b)
{
    SetRect(static_cast<float>(l), static_cast<float>(t), static_cast<float>(r), static_cast<float>(b));
    swallowsClicks = false;
    raisesOnClick = false;
    for (int i = 0; i < kBuckets; ++i)
        m_enemyHp[i] = m_playerHp[i] = -1.0f;
    g_graph = this;
}

GUI_Stat_TimeGraph::~GUI_Stat_TimeGraph()
{
    if (g_graph == this)
        g_graph = nullptr;
}

GUI_Stat_TimeGraph* GUI_Stat_TimeGraph::GetOpen()
{
    return g_graph;
}

bool GUI_Stat_TimeGraph::IsShipSelected(const SIM_Ship* ship) const
{
    return (m_playerShips && m_playerShips->IsSelected(ship)) || (m_enemyShips && m_enemyShips->IsSelected(ship));
}

bool GUI_Stat_TimeGraph::IsWeaponSelected(const SIM_ShipModuleType* type, bool delivered) const
{
    const GUI_StatModulePicker* picker = delivered ? m_playerModules : m_enemyModules;
    return picker && picker->IsSelected(type);
}

void GUI_Stat_TimeGraph::Build()
{
    m_plot = GRect{left + 90, top + 23, right - 90, bottom - 55};
    const float clock = GUI_BattleGUI::GetInstance().battleTime;
    QLM_ASSERT(clock > 0.0f);
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    // The clock runs on behind the result while the samples stop at the
    // end: the axis spans the battle, however late the browser opens.
    m_bucketWidth = StatSeriesTable::BucketWidthFor(battle.IsEnded() ? battle.GetEndTime() : clock);

    m_playerFleet = battle.GetPlayerFleet();
    const auto pickerTop = static_cast<float>(bottom - 10 - kPickerHeight);
    const auto pickerBottom = static_cast<float>(bottom - 10);
    const auto setUp = [&](GUI_StatPicker* picker, float l, float r) {
        picker->SetRect(l, pickerTop, r, pickerBottom);
        AddChild(picker);
    };
    m_playerShips = new GUI_StatShipPicker();
    setUp(m_playerShips, static_cast<float>(left + 5), static_cast<float>(left + 85));
    m_playerShips->Fill(battle.GetPlayerFleet());
    m_enemyShips = new GUI_StatShipPicker();
    setUp(m_enemyShips, static_cast<float>(right - 85), static_cast<float>(right - 5));
    m_enemyShips->Fill(battle.GetEnemyFleet());
    m_playerModules = new GUI_StatModulePicker();
    setUp(m_playerModules, static_cast<float>(left + 5), static_cast<float>(left + 85));
    m_playerModules->Fill(battle.GetPlayerFleet());
    m_enemyModules = new GUI_StatModulePicker();
    setUp(m_enemyModules, static_cast<float>(right - 85), static_cast<float>(right - 5));
    m_enemyModules->Fill(battle.GetEnemyFleet());

    m_key = new GUI_GraphKey();
    m_key->SetRect(static_cast<float>(m_plot.left), static_cast<float>(m_plot.bottom + 5),
                   static_cast<float>(m_plot.right), static_cast<float>(bottom - 10));
    uint32_t colours[kSeries];
    for (int s = 0; s < kSeries; ++s)
        colours[s] = SeriesColour(s);
    m_key->Build(kLabelKeys, kTooltipKeys, colours);
    AddChild(m_key);

    const int tabWidth = m_plot.Width() / 4;
    for (int m = 0; m < 4; ++m) {
        m_tabs[m] = new GUI_ButtonTab(kTabKeys[m], OnTab, m);
        const auto l = static_cast<float>(m_plot.left + m * tabWidth);
        m_tabs[m]->SetRect(l, static_cast<float>(top), l + static_cast<float>(tabWidth), static_cast<float>(top + 20));
        AddButton(m_tabs[m]);
    }

    for (int s = 0; s < kSeries; ++s) {
        m_lines[s].keyButton = m_key->GetButton(s);
        m_lines[s].SetColour(kColours[s].r, kColours[s].g, kColours[s].b, kSeriesAlpha);
        m_key->GetButton(s)->line = &m_lines[s];
    }

    const int cy = (m_plot.top + m_plot.bottom) / 2;
    const int q = m_plot.Width() / 4;
    m_deliveredPie = new GUI_PieChart();
    m_deliveredPie->SetUp(kPieRadius, static_cast<float>(m_plot.left + q), static_cast<float>(cy), "PIE_CHART_DELIVERED");
    AddChild(m_deliveredPie);
    m_receivedPie = new GUI_PieChart();
    m_receivedPie->SetUp(kPieRadius, static_cast<float>(m_plot.left) + 3.0f * static_cast<float>(q),
                         static_cast<float>(cy), "PIE_CHART_RECEIVED");
    AddChild(m_receivedPie);

    // The plot's grid never changes: one list of lines made once.
    m_grid.clear();
    const auto vertex = [](float x, float y) { return ScreenVertex{x, y, 0.0f, 1.0f, kGridColour, 0.0f, 0.0f}; };
    for (int x = m_plot.left; x < m_plot.right; x += kGridStep) {
        m_grid.push_back(vertex(static_cast<float>(x), static_cast<float>(m_plot.top)));
        m_grid.push_back(vertex(static_cast<float>(x), static_cast<float>(m_plot.bottom)));
    }
    for (int y = m_plot.top; y < m_plot.bottom; y += kGridStep) {
        m_grid.push_back(vertex(static_cast<float>(m_plot.left), static_cast<float>(y)));
        m_grid.push_back(vertex(static_cast<float>(m_plot.right), static_cast<float>(y)));
    }

    BuildHpLines();
    Rebuild();
    SetMode(MODE_PIE);
}

void GUI_Stat_TimeGraph::PlotX(int bucket, float& x) const
{
    const float step = static_cast<float>(m_plot.Width() - 2) / static_cast<float>(kBuckets - 1);
    x = static_cast<float>(m_plot.left) + 1.0f + static_cast<float>(bucket) * step;
}

float GUI_Stat_TimeGraph::PlotY(float value, float scale) const
{
    return static_cast<float>(m_plot.bottom) - (value / scale) * static_cast<float>(m_plot.Height() - 2) - 2.0f;
}

void GUI_Stat_TimeGraph::BuildHpLines()
{
    m_greenHp.SetColour(32, 220, 32, 255);
    m_redHp.SetColour(220, 32, 32, 255);
    const float largest = AverageHitPoints(SIM_StatsDatabase::GetInstance().GetSamples(), m_bucketWidth, m_playerHp,
                                           m_enemyHp);
    const float scale = StatSeriesTable::ScaleFor(largest);
    m_greenHp.Clear();
    m_redHp.Clear();
    for (int k = 0; k < kBuckets; ++k) {
        float x;
        PlotX(k, x);
        if (m_playerHp[k] >= 0.0f)
            m_greenHp.AddPoint(x, PlotY(m_playerHp[k], scale));
        if (m_enemyHp[k] >= 0.0f)
            m_redHp.AddPoint(x, PlotY(m_enemyHp[k], scale));
    }
}

void GUI_Stat_TimeGraph::FillPies()
{
    bool on[kSeries];
    for (int s = 0; s < kSeries; ++s)
        on[s] = m_key && m_key->IsOn(s);
    GUI_PieChart* pies[2] = {m_deliveredPie, m_receivedPie};
    for (int side = 0; side < 2; ++side) {
        if (!pies[side])
            continue;
        pies[side]->Clear();
        const int first = side * StatSeriesTable::kKinds;
        for (const GUI_PieChart::Slice& slice : GUI_PieChart::SlicesFor(m_table.totals, on, first, StatSeriesTable::kKinds))
            pies[side]->AddSegment(slice.start, slice.end, SeriesColour(slice.series), kTooltipKeys[slice.series]);
    }
}

void GUI_Stat_TimeGraph::Rebuild()
{
    ++m_rebuilds;
    ++m_generation;
    for (GUI_Stat_GraphLine& line : m_lines)
        line.Clear();
    QLM_ASSERT(m_playerFleet != nullptr);
    m_table.Rebuild(SIM_StatsDatabase::GetInstance().GetEvents(), m_playerFleet, *this, m_mode == MODE_MODULE,
                    m_bucketWidth);
    FillPies();
    m_scale = StatSeriesTable::ScaleFor(m_table.Largest());
    for (int k = 0; k < kBuckets; ++k) {
        float x;
        PlotX(k, x);
        for (int s = 0; s < kSeries; ++s)
            m_lines[s].AddPoint(x, PlotY(m_table.buckets[s][k], m_scale));
    }
}

void GUI_Stat_TimeGraph::SetMode(int mode)
{
    const bool wasByWeapon = m_mode == MODE_MODULE;
    m_mode = std::clamp(mode, 0, 3);
    // The weapon pickers replace the ship pickers as the filter: the
    // figures shown must follow.
    if (wasByWeapon != (m_mode == MODE_MODULE) && m_playerFleet)
        Rebuild();
    for (GUI_Stat_GraphLine& line : m_lines)
        line.visible = m_mode == MODE_TIME;
    m_greenHp.visible = m_redHp.visible = m_mode == MODE_HP;
    const bool pies = m_mode == MODE_PIE || m_mode == MODE_MODULE;
    for (GUI_PieChart* pie : {m_deliveredPie, m_receivedPie}) {
        if (!pie)
            continue;
        pie->visible = pies;
        if (pies)
            pie->RestartAnimation();
    }
    if (m_key)
        m_key->visible = m_mode != MODE_HP;
    for (GUI_StatPicker* picker : {static_cast<GUI_StatPicker*>(m_playerShips), static_cast<GUI_StatPicker*>(m_enemyShips)})
        if (picker)
            picker->visible = m_mode == MODE_TIME || m_mode == MODE_PIE;
    for (GUI_StatPicker* picker :
         {static_cast<GUI_StatPicker*>(m_playerModules), static_cast<GUI_StatPicker*>(m_enemyModules)})
        if (picker)
            picker->visible = m_mode == MODE_MODULE;
    for (int m = 0; m < 4; ++m)
        if (m_tabs[m])
            m_tabs[m]->selected = m == m_mode;
}

void GUI_Stat_TimeGraph::OnTab(std::intptr_t mode)
{
    if (g_graph)
        g_graph->SetMode(static_cast<int>(mode));
}

void GUI_Stat_TimeGraph::RefreshBatch()
{
    uint64_t key = static_cast<uint64_t>(m_mode) | (static_cast<uint64_t>(m_generation) << 32);
    for (int s = 0; s < kSeries; ++s) {
        if (m_key && m_key->IsOn(s))
            key |= 1ull << (4 + s);
        if (m_lines[s].highlighted)
            key |= 1ull << (16 + s);
    }
    if (key == m_batchKey)
        return;
    m_batchKey = key;
    m_batch.clear();
    m_highlightBatch.clear();
    if (m_mode == MODE_HP) {
        m_greenHp.AppendSegments(m_batch, m_greenHp.GetColour());
        m_redHp.AppendSegments(m_batch, m_redHp.GetColour());
        return;
    }
    if (m_mode != MODE_TIME)
        return;
    for (int s = 0; s < kSeries; ++s) {
        if (!(m_key && m_key->IsOn(s)))
            continue;
        if (m_lines[s].highlighted)
            m_lines[s].AppendSegments(m_highlightBatch, GUI_Stat_GraphLine::kHighlightColour);
        else
            m_lines[s].AppendSegments(m_batch, m_lines[s].GetColour());
    }
}

void GUI_Stat_TimeGraph::Draw()
{
    if (!visible)
        return;
    GUI_StatPicker* pickers[4] = {m_playerShips, m_enemyShips, m_playerModules, m_enemyModules};
    bool changed = m_key && m_key->changed;
    for (GUI_StatPicker* picker : pickers)
        changed = changed || (picker && picker->changed);
    if (changed) {
        for (GUI_StatPicker* picker : pickers)
            if (picker)
                picker->changed = false;
        if (m_key)
            m_key->changed = false;
        Rebuild();
    }

    D3DEngine& engine = D3DEngine::GetInstance();
    engine.FillRect(m_plot, kPlotColour);
    DrawBatch(PrimitiveType::LineList, m_grid);
    engine.DrawRectFrame(m_plot, kOutlineColour);

    RefreshBatch();
    DrawBatch(PrimitiveType::TriangleList, m_batch);
    DrawChildren();
    DrawButtons();
    DrawBatch(PrimitiveType::TriangleList, m_highlightBatch);
}
