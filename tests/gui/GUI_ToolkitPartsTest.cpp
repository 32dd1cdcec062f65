#include "DialogTestFixture.h"

#include "gui/GUI_ButtonBase.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_LimitBar.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_RCMenuBase.h"
#include "gui/GUI_Tooltip.h"

#include <cmath>

namespace {

std::vector<std::intptr_t> g_picks;
void Pick(std::intptr_t argument)
{
    g_picks.push_back(argument);
}

class PartsTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        g_picks.clear();
    }
    struct Bounds {
        float left, top, right, bottom;
    };
    static Bounds BoundsOf(const HeadlessGraphicsDevice::DrawRecord& draw, size_t first = 0, size_t count = 4)
    {
        Bounds b{1e9f, 1e9f, -1e9f, -1e9f};
        for (size_t i = first; i < first + count && i < draw.vertices.size(); ++i) {
            b.left = std::min(b.left, draw.vertices[i].x);
            b.top = std::min(b.top, draw.vertices[i].y);
            b.right = std::max(b.right, draw.vertices[i].x);
            b.bottom = std::max(b.bottom, draw.vertices[i].y);
        }
        return b;
    }
};

class TestMenu : public GUI_RCMenuBase {
public:
    TestMenu()
    {
        SetRect(200, 200, 360, 330);
        nextRowY = top + 30;
        for (int i = 0; i < 3; ++i)
            AddItem(new GUI_ButtonBase(Pick, i));
    }
};

class CountingWindow : public GUI_WindowBase {
public:
    bool OnLeftClick(float x, float y) override
    {
        ++clicks;
        return GUI_WindowBase::OnLeftClick(x, y);
    }
    int clicks = 0;
};

TEST_F(PartsTest, MenuItemsAreStackedRows)
{
    auto* menu = new TestMenu();
    const auto& items = menu->GetButtons();
    ASSERT_EQ(items.size(), 3u);
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i]->top, 230 + 24 * static_cast<int>(i));
        EXPECT_EQ(items[i]->height, 20);
        EXPECT_EQ(items[i]->width, menu->width - 8);
        EXPECT_EQ(items[i]->left, menu->left + 4);
    }
    EXPECT_EQ(GUI_RCMenuBase::GetOpen(), menu);
}

TEST_F(PartsTest, ClickOnAnItemRunsIt)
{
    auto* menu = new TestMenu();
    const GUI_ButtonBase* second = menu->GetButtons()[1];
    EXPECT_TRUE(ClickAt(CentreX(*second), CentreY(*second)));
    EXPECT_EQ(g_picks, (std::vector<std::intptr_t>{1}));
    EXPECT_EQ(GUI_RCMenuBase::GetOpen(), menu);
}

TEST_F(PartsTest, ClickOutsideClosesTheMenuAndReachesTheWindowBelow)
{
    CountingWindow below;
    below.SetRect(0, 0, kScreenW, kScreenH);
    GUI_WindowManager::GetInstance().AddWindow(&below);
    new TestMenu();
    EXPECT_TRUE(ClickAt(20, 20));
    EXPECT_EQ(below.clicks, 1);
    EXPECT_EQ(GUI_RCMenuBase::GetOpen(), nullptr);
    EXPECT_EQ(GUI_WindowManager::GetInstance().GetTopLevelWindows().size(), 1u);
    EXPECT_TRUE(g_picks.empty());
}

TEST_F(PartsTest, EscapeClosesTheMenu)
{
    new TestMenu();
    EXPECT_TRUE(GUI_WindowManager::GetInstance().CloseTopModal());
    EXPECT_EQ(GUI_RCMenuBase::GetOpen(), nullptr);
}

TEST_F(PartsTest, MenuCaptionIsWrappedToTheMenu)
{
    auto* menu = new TestMenu();
    menu->SetCaption("A caption far too long to stand on a single line of this menu");
    EXPECT_NE(menu->GetCaption().find('\n'), std::string::npos);
    LibText::GetInstance().SetFont("zekton16.dds", 16.0f);
    EXPECT_LE(LibText::GetInstance().GetTextWidth(menu->GetCaption()), menu->width - 16);
}

TEST_F(PartsTest, LimitBarFillsItsShareAndFlashesOverTheLimit)
{
    GUI_LimitBar bar(&m_clock);
    bar.SetRect(10, 10, 115, 30);
    EXPECT_EQ(bar.FillRect(0.5f).Width(), 50);
    EXPECT_EQ(bar.FillRect(1.5f).Width(), 100);
    EXPECT_EQ(bar.FillRect(-3.0f).Width(), 0);
    EXPECT_EQ(bar.FillRect(0.5f).top, 13);
    EXPECT_EQ(bar.FillRect(0.5f).bottom, 28);

    bar.DrawFillBar(0.5f);
    EXPECT_FALSE(bar.DrewOverLimit());
    bar.DrawFillBar(1.5f);
    EXPECT_TRUE(bar.DrewOverLimit());
    m_clock.Advance(260.0);
    bar.DrawFillBar(1.5f);
    EXPECT_FALSE(bar.DrewOverLimit());
    m_clock.Advance(250.0);
    bar.DrawFillBar(1.5f);
    EXPECT_TRUE(bar.DrewOverLimit());
}

TEST_F(PartsTest, LimitBarSurvivesALimitOfZero)
{
    EXPECT_EQ(GUI_LimitBar::FillFraction(0.0f, 0.0f), 0.0f);
    EXPECT_GT(GUI_LimitBar::FillFraction(3.0f, 0.0f), 1.0f);
    EXPECT_GT(GUI_LimitBar::FillFraction(3.0f, -1.0f), 1.0f);
    EXPECT_FLOAT_EQ(GUI_LimitBar::FillFraction(5.0f, 10.0f), 0.5f);
    EXPECT_EQ(GUI_LimitBar::FillFraction(NAN, 10.0f), 0.0f);
    GUI_LimitBar bar(&m_clock);
    bar.SetRect(10, 10, 115, 30);
    bar.DrawFillBarFor(4.0f, 0.0f);
    EXPECT_TRUE(bar.DrewOverLimit());
    bar.DrawFillBarFor(0.0f, 0.0f);
    EXPECT_FALSE(bar.DrewOverLimit());
    bar.DrawFillBar(NAN);
    bar.DrawFillBar(INFINITY);
    EXPECT_EQ(bar.FillRect(NAN).Width(), 0);
}

TEST_F(PartsTest, LimitBarTooltipShowsAfterTheMouseRests)
{
    GUI_LimitBar bar(&m_clock);
    bar.SetRect(10, 10, 115, 30);
    bar.SetTooltip("Fleet cost");
    MoveMouse(50, 20);
    CInput::GetInstance().Poll();  // the move itself is seen one poll later
    bar.Update();
    EXPECT_EQ(bar.GetTooltip()->visibility, 0.0f);
    for (int i = 0; i < 61; ++i)
        CInput::GetInstance().Poll();
    bar.Update();
    EXPECT_EQ(bar.GetTooltip()->visibility, 1.0f);
}

TEST_F(PartsTest, InterlaceOverThirtyPixelsDrawsEightLines)
{
    GUI_Interlace interlace(&m_clock);
    m_device->ClearDraws();
    interlace.Draw(GRect{100, 200, 300, 230});
    EXPECT_EQ(interlace.GetLineCount(), 8);
    ASSERT_EQ(m_device->GetDraws().size(), 1u);
    const auto& draw = m_device->GetDraws()[0];
    EXPECT_EQ(draw.vertexCount, 32u);
    EXPECT_EQ(draw.blend, BlendMode::Additive);
    EXPECT_FALSE(D3DEngine::GetInstance().IsAdditive());
    const Bounds first = BoundsOf(draw, 0);
    EXPECT_FLOAT_EQ((first.top + first.bottom) / 2.0f, 203.0f);
    EXPECT_FLOAT_EQ(first.right - first.left, 196.0f);
    const Bounds last = BoundsOf(draw, 28);
    EXPECT_FLOAT_EQ((last.top + last.bottom) / 2.0f, 224.0f);
}

TEST_F(PartsTest, InterlaceBrightLineSweepsDownAndStartsAgain)
{
    GUI_Interlace interlace(&m_clock);
    const GRect area{0, 0, 100, 30};
    auto alphaOfLine = [this](size_t line) { return m_device->GetDraws().back().vertices[line * 4].colour >> 24; };
    interlace.Draw(area);
    EXPECT_EQ(interlace.GetBrightLine(), -3);
    EXPECT_EQ(alphaOfLine(0), 0x80u);
    m_clock.Advance(200.0);
    interlace.Draw(area);
    EXPECT_EQ(interlace.GetBrightLine(), 1);
    EXPECT_EQ(alphaOfLine(1), 0x94u);
    EXPECT_EQ(alphaOfLine(0), 0x8Au);
    EXPECT_EQ(alphaOfLine(2), 0x8Au);
    EXPECT_EQ(alphaOfLine(3), 0x80u);
    // Past the last line by more than three: the timer starts again.
    m_clock.Advance(550.0);
    interlace.Draw(area);
    EXPECT_EQ(interlace.GetBrightLine(), 12);
    m_clock.Advance(50.0);
    interlace.Draw(area);
    EXPECT_EQ(interlace.GetBrightLine(), -2);
    // The area stays the first one drawn.
    interlace.Draw(GRect{0, 0, 100, 300});
    EXPECT_EQ(interlace.GetLineCount(), 8);
}

TEST_F(PartsTest, TexturedFrameIsEightQuadsAroundTheRectangle)
{
    SetFrameColour(0x10, 0x20, 0x30);
    m_device->ClearDraws();
    DrawTexturedFrame(32.0f, 0.5f, 100.0f, 100.0f, 300.0f, 200.0f);
    SetFrameColour(255, 255, 255);
    const auto& draws = m_device->GetDraws();
    ASSERT_EQ(draws.size(), 8u);
    const Bounds tl = BoundsOf(draws[0]);
    EXPECT_FLOAT_EQ(tl.right - tl.left, 32.0f);
    const Bounds br = BoundsOf(draws[3]);
    EXPECT_FLOAT_EQ(br.right - br.left, 32.0f);
    EXPECT_FLOAT_EQ(br.right - tl.left, 200.0f);
    EXPECT_FLOAT_EQ(br.bottom - tl.top, 100.0f);
    const Bounds topEdge = BoundsOf(draws[4]);
    EXPECT_FLOAT_EQ(topEdge.right - topEdge.left, 136.0f);
    EXPECT_EQ(draws[0].vertices[0].colour, 0x80102030u);
    EXPECT_FLOAT_EQ(draws[0].vertices[0].u, 0.0f);
    EXPECT_FLOAT_EQ(draws[0].vertices[3].u, 0.25f);

    // A frame smaller than its corners, or empty, draws nothing broken.
    m_device->ClearDraws();
    DrawTexturedFrame(32.0f, 1.0f, 10.0f, 10.0f, 10.0f, 10.0f);
    EXPECT_TRUE(m_device->GetDraws().empty());
    DrawTexturedFrame(32.0f, 1.0f, 10.0f, 10.0f, 30.0f, 30.0f);
    EXPECT_EQ(m_device->GetDraws().size(), 4u);
}

TEST_F(PartsTest, PreloadedTableHasTwelveNamedEntries)
{
    GUI_PreloadedTextures& table = GUI_PreloadedTextures::GetInstance();
    EXPECT_STREQ(GUI_PreloadedTextures::GetTextureName(5), "client_interlace.dds");
    EXPECT_STREQ(GUI_PreloadedTextures::GetTextureName(8), "dialog_client.dds");
    EXPECT_STREQ(GUI_PreloadedTextures::GetTextureName(12), "");
    EXPECT_STREQ(GUI_PreloadedTextures::GetTextureName(-1), "");
    ASSERT_NE(table.Get(11), nullptr);
    EXPECT_EQ(table.Get(11)->GetName(), "shield_collapse.dds");
    EXPECT_EQ(table.Get(12), nullptr);
    table.Bind(99);
    DrawPreloadedFrame(-4, 16.0f, 1.0f, 0, 0, 50, 50);
}

class TooltipTest : public PartsTest {
protected:
    std::unique_ptr<GUI_ButtonBase> MakeButton(float l, float t, const std::string& tip)
    {
        auto button = std::make_unique<GUI_ButtonBase>(Pick, 0);
        button->SetRect(l, t, l + 100, t + 30);
        button->SetTooltipString(tip);
        return button;
    }
    size_t FramedTooltipDraws() const
    {
        const TextureHandle frame = D3DEngine::GetInstance().FindTexture("tooltip.dds");
        size_t n = 0;
        for (const auto& draw : m_device->GetDraws())
            n += draw.texture == frame ? 1 : 0;
        return n;
    }
    void SetUp() override
    {
        PartsTest::SetUp();
        std::vector<uint8_t> pixels(16 * 16 * 4, 255);
        m_files.Write("data/bitmaps/tooltip.dds", WriteDdsBGRA(16, 16, pixels.data()));
    }
};

TEST_F(TooltipTest, ShowsOnlyAfterTheMouseHasRestedAndFadesWithinTwoFrames)
{
    auto button = MakeButton(100, 100, "Help");
    MoveMouse(120, 110);
    CInput::GetInstance().Poll();  // the move itself is seen one poll later
    for (int i = 0; i < 60; ++i) {
        CInput::GetInstance().Poll();
        button->Update();
    }
    EXPECT_EQ(button->GetTooltip()->visibility, 0.0f);
    CInput::GetInstance().Poll();
    button->Update();
    EXPECT_EQ(button->GetTooltip()->visibility, 1.0f);

    m_device->ClearDraws();
    button->Draw();
    GUI_Tooltip::DrawQueued();
    EXPECT_EQ(FramedTooltipDraws(), 8u);
    EXPECT_EQ(GUI_Tooltip::GetQueuedCount(), 0u);
    // No longer refreshed: half visible for one frame, then gone.
    button->Draw();
    EXPECT_TRUE(button->GetTooltip()->DrawIfShown());
    button->Draw();
    EXPECT_FALSE(button->GetTooltip()->DrawIfShown());
    GUI_Tooltip::DrawQueued();
}

TEST_F(TooltipTest, OnlyOneTooltipIsDrawnPerFrame)
{
    auto first = MakeButton(100, 100, "First");
    auto second = MakeButton(100, 100, "Second");
    first->GetTooltip()->visibility = 1.0f;
    second->GetTooltip()->visibility = 1.0f;
    first->Draw();
    second->Draw();
    first->Draw();
    EXPECT_EQ(GUI_Tooltip::GetQueuedCount(), 2u);
    m_device->ClearDraws();
    GUI_Tooltip::DrawQueued();
    EXPECT_EQ(FramedTooltipDraws(), 8u);
    EXPECT_EQ(first->GetTooltip()->visibility, 0.5f);
    EXPECT_EQ(second->GetTooltip()->visibility, 1.0f);
}

TEST_F(TooltipTest, WideTextWrapsAndTheBoxFlipsLeftNearTheEdge)
{
    GUI_Tooltip tip(std::string(60, 'm'), 60);
    tip.Layout();
    EXPECT_EQ(tip.width, GUI_Tooltip::kMaxWidth);
    LibText::GetInstance().SetFont("zekton16.dds", 16.0f);
    EXPECT_GT(tip.height, LibText::GetInstance().GetWrappedTextHeight("m", 240) + 4);
    MoveMouse(kScreenW - 20, 300);
    tip.PlaceAtMouse();
    EXPECT_EQ(tip.right, kScreenW - 20);
    MoveMouse(100, 300);
    tip.PlaceAtMouse();
    EXPECT_EQ(tip.left, 130);
}

} // namespace
