// The statistics browser drawn for real through OpenGL (offscreen) after a
// battle of the shipped content, used with the mouse: its pies after their
// sweep, then the time graph, checked by pixel probes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../../sim/ShippedBattleWorld.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/hud/BattleHud.h"
#include "battle/hud/GUI_GraphKey.h"
#include "battle/hud/GUI_GraphKeyButton.h"
#include "battle/hud/GUI_PieChart.h"
#include "battle/hud/GUI_PostMortem.h"
#include "battle/hud/GUI_Stat_TimeGraph.h"
#include "battle/hud/GUI_StatsBrowser.h"
#include "battle/hud/GUI_SurvivalPostMortem.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/ImageWrite.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonTab.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowManager.h"
#include "platform/IClock.h"
#include "support/GLTestContext.h"
#include "support/GameText.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct Pixels {
    std::vector<uint8_t> rgba;
    uint32_t At(int x, int y) const
    {
        const size_t i = (static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 4;
        return (uint32_t(rgba[i]) << 16) | (uint32_t(rgba[i + 1]) << 8) | uint32_t(rgba[i + 2]);
    }
    // Pixels within `tolerance` of the colour's RGB inside the rectangle.
    int Count(uint32_t argb, int l, int t, int r, int b, int tolerance = 24) const
    {
        int n = 0;
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x) {
                const uint32_t p = At(x, y);
                bool near = true;
                for (int shift : {16, 8, 0})
                    near = near && std::abs(int((p >> shift) & 0xFF) - int((argb >> shift) & 0xFF)) <= tolerance;
                n += near ? 1 : 0;
            }
        return n;
    }
};

class GLStatsBrowser : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(m_gl.Open("statistics", kWidth, kHeight));
        ASSERT_NO_FATAL_FAILURE(m_text.Open(QLM_GAME_DIR, false));
        CInput::GetInstance().Init();
        CInput::GetInstance().SetInputBlocked(false);
        GUI_Map::GetInstance().SetScreenSize(kWidth, kHeight);
        GUI_PieChart::SetDefaultClock(&m_clock);
    }
    void TearDown() override
    {
        GUI_PieChart::SetDefaultClock(nullptr);
        BattleHud::CloseAll();
        GUI_WindowManager::GetInstance().DeleteQueuedWindows();
        SIM_Battle::GetInstance().Clear();
        GUI_Map::GetInstance().SetScreenSize(0, 0);
        m_text.Close();
        m_gl.Close();
    }
    static void Click(const GUI_BaseElement* element)
    {
        ASSERT_NE(element, nullptr);
        CInput& input = CInput::GetInstance();
        input.SetCursorPosition(static_cast<float>(element->left + element->right) / 2.0f,
                                static_cast<float>(element->top + element->bottom) / 2.0f);
        input.Poll();
        GUI_WindowManager::GetInstance().DispatchClick();
        GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    }
    Pixels Frame(const char* saveAs = nullptr)
    {
        D3DEngine& engine = D3DEngine::GetInstance();
        engine.ClearAndBeginScene();
        GUI_WindowManager::GetInstance().UpdateWindows();
        GUI_WindowManager::GetInstance().DrawWindows();
        GUI_Tooltip::DrawQueued();
        engine.EndScene();
        Pixels p;
        EXPECT_TRUE(engine.GetDevice()->ReadPixels(0, 0, 0, kWidth, kHeight, p.rgba));
        if (saveAs && std::getenv("QLM_SAVE_SHOTS"))
            WritePng(std::string(std::getenv("QLM_SAVE_SHOTS")) + "/" + saveAs, kWidth, kHeight, p.rgba);
        engine.Flip();
        return p;
    }

    ShippedBattleWorld m_world;
    GLTestContext m_gl;
    GameText m_text;
    ManualClock m_clock{1000.0};
};

TEST_F(GLStatsBrowser, PiesAfterTheirSweepThenTheTimeGraphFromTheMouse)
{
    ASSERT_TRUE(m_world.Headless().Start("tutorial1", "data/sample deployment/deployed.txt", 0, 7));
    ASSERT_TRUE(m_world.Headless().Run(16.6666f * 4.0f * 0.4f, 20.0f * 60.0f * 1000.0f));
    // The player reads the report as long as the battle lasted; the battle
    // and its clock run on behind it.
    const float endTime = SIM_HeadlessBattle::BattleTime();
    while (SIM_HeadlessBattle::BattleTime() < 2.0f * endTime)
        m_world.Headless().Frame(100.0f);
    GUI_PostMortem* report = GUI_PostMortem::GetOpen();
    ASSERT_NE(report, nullptr);
    Frame("report.png");
    Click(report->GetViewStatsButton());
    GUI_StatsBrowser* browser = GUI_StatsBrowser::GetOpen();
    ASSERT_NE(browser, nullptr);
    GUI_Stat_TimeGraph* graph = browser->GetGraph();
    const GRect plot = graph->GetPlot();

    // Mid-sweep the pies are grey; once it is done the slices show.
    m_clock.Advance(400.0);
    Pixels sweeping = Frame("sweep.png");
    m_clock.Advance(500.0);
    Frame();
    Pixels pies = Frame("pies.png");
    GUI_PieChart* delivered = graph->GetPie(true);
    ASSERT_TRUE(delivered->IsSweepDone());
    const int pieL = delivered->left, pieR = delivered->right, pieB = delivered->bottom;
    const int pieT = pieB - 340;
    int coloured = 0, colouredMidSweep = 0;
    for (int s = 0; s < 6; ++s) {
        coloured += pies.Count(GUI_Stat_TimeGraph::SeriesColour(s), pieL, pieT, pieR, pieB, 12);
        colouredMidSweep += sweeping.Count(GUI_Stat_TimeGraph::SeriesColour(s), pieL, pieT, pieR, pieB, 12);
    }
    EXPECT_GT(coloured, 20000) << "the delivered pie is mostly slices (radius 170)";
    EXPECT_LT(colouredMidSweep, coloured / 10);
    // Outside the pies the plot keeps its near-black fill.
    const uint32_t corner = pies.At(plot.left + 3, plot.top + 3);
    for (int shift : {16, 8, 0})
        EXPECT_LT((corner >> shift) & 0xFF, 0x30u);

    // The time graph, by mouse: lines in the series colours over the plot.
    Click(graph->GetTab(GUI_Stat_TimeGraph::MODE_TIME));
    ASSERT_EQ(graph->GetMode(), GUI_Stat_TimeGraph::MODE_TIME);
    Pixels lines = Frame("time.png");
    // The received hull line: a lost battle always has one, whoever fires what.
    constexpr int kHullReceived = 11;
    int hull = lines.Count(GUI_Stat_TimeGraph::SeriesColour(kHullReceived), plot.left, plot.top, plot.right,
                           plot.bottom, 16);
    EXPECT_GT(hull, 150) << "the received hull damage line";
    // Its key button switches it off.
    Click(graph->GetKey()->GetButton(kHullReceived));
    CInput::GetInstance().SetCursorPosition(5.0f, 5.0f);
    CInput::GetInstance().Poll();
    Pixels without = Frame("time_off.png");
    EXPECT_LT(without.Count(GUI_Stat_TimeGraph::SeriesColour(kHullReceived), plot.left, plot.top, plot.right, plot.bottom, 16),
              hull / 4);

    // The fleets' strength: a green line for ours, a red one for theirs.
    Click(graph->GetTab(GUI_Stat_TimeGraph::MODE_HP));
    CInput::GetInstance().SetCursorPosition(5.0f, 5.0f);
    CInput::GetInstance().Poll();
    Pixels strength = Frame("strength.png");
    EXPECT_GT(strength.Count(0x20DC20u, plot.left, plot.top, plot.right, plot.bottom, 20), 300);
    EXPECT_GT(strength.Count(0xDC2020u, plot.left, plot.top, plot.right, plot.bottom, 20), 300);
    // Both reach the axis's end, however late the statistics were opened:
    // each is drawn in the plot's last twentieth.
    const int tail = plot.right - plot.Width() / 20;
    EXPECT_GT(strength.Count(0x20DC20u, tail, plot.top, plot.right, plot.bottom, 20), 10) << "ours";
    EXPECT_GT(strength.Count(0xDC2020u, tail, plot.top, plot.right, plot.bottom, 20), 10) << "theirs";
    EXPECT_EQ(strength.Count(GUI_Stat_TimeGraph::SeriesColour(0), plot.left, plot.top, plot.right, plot.bottom, 4), 0)
        << "no series lines in this mode";
}

// The result dialogs' titles ("Victory", "Defeat", "Survival over") stand
// over their client panels at full white, as every dialog's title does.
TEST_F(GLStatsBrowser, TheResultTitlesAreDrawnOverTheirPanels)
{
    ASSERT_TRUE(m_world.Headless().Start("tutorial1", "data/sample deployment/deployed.txt", 0, 7));
    ASSERT_TRUE(m_world.Headless().Run(16.6666f * 4.0f * 0.4f, 20.0f * 60.0f * 1000.0f));
    // White pixels of the title's text, and what a text as large covers.
    auto titleWhite = [this](const GUI_Dialog& dialog, int& area) {
        LibText& text = LibText::GetInstance();
        text.SetFont("cwfont20.dds", 20.0f);
        const int width = text.GetTextWidth(dialog.GetTitle());
        area = width * 20;
        const Pixels shown = Frame("title.png");
        return shown.Count(0xFFFFFF, dialog.left + 30, dialog.top + 8, dialog.left + 30 + width, dialog.top + 28, 8);
    };
    GUI_PostMortem* report = GUI_PostMortem::GetOpen();
    ASSERT_NE(report, nullptr);
    int area = 0;
    const int reportWhite = titleWhite(*report, area);
    EXPECT_GT(reportWhite, area / 8) << report->GetTitle();
    GUI_PostMortem::Close();
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();

    GUI_SurvivalPostMortem::Open();
    GUI_SurvivalPostMortem* survival = GUI_SurvivalPostMortem::GetOpen();
    ASSERT_NE(survival, nullptr);
    const int survivalWhite = titleWhite(*survival, area);
    EXPECT_GT(survivalWhite, area / 8) << survival->GetTitle();
}

} // namespace
