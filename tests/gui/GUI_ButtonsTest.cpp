#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "gui/GUI_ButtonBase.h"
#include "gui/GUI_ButtonTab.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CheckButton.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Fader.h"
#include "gui/GUI_IconButton.h"
#include "gui/GUI_IconHoldButton.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_SubtleTextButton.h"
#include "gui/GUI_ToggleButton.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowBase.h"
#include "gui/GUI_WindowManager.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "platform/IClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

std::vector<std::intptr_t> g_calls;
void Record(std::intptr_t argument)
{
    g_calls.push_back(argument);
}

class ButtonsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto device = std::make_unique<HeadlessGraphicsDevice>(1024, 768);
        m_device = device.get();
        D3DEngine::GetInstance().Init(std::move(device));
        CInput::GetInstance().Init();
        CInput::GetInstance().SetInputBlocked(false);
        CInput::GetInstance().HandleMouseMessage(MouseMessage::LeftUp);
        GUI_Fader::GetInstance().Reset();
        GUI_Fader::GetInstance().SetClock(&m_clock);
        GUI_WindowManager::GetInstance().ClearMouseOver();
        g_calls.clear();
    }
    void TearDown() override
    {
        GUI_Fader::GetInstance().Reset();
        GUI_Fader::GetInstance().SetClock(nullptr);
    }
    static void MoveMouse(float x, float y)
    {
        CInput::GetInstance().SetCursorPosition(x, y);
        CInput::GetInstance().Poll();
    }
    size_t CountDraws() const { return m_device->GetDraws().size(); }

    HeadlessGraphicsDevice* m_device = nullptr;
    ManualClock m_clock;
};

TEST_F(ButtonsTest, DisabledButtonSwallowsTheClickSilently)
{
    GUI_ButtonBase button(Record, 5);
    button.SetRect(10, 10, 60, 40);
    button.enabled = false;
    const int sounds = GUI_ButtonBase::GetClickSoundCount();
    EXPECT_TRUE(button.OnLeftClick(20, 20));
    EXPECT_FALSE(button.OnLeftClick(70, 20));
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(sounds, GUI_ButtonBase::GetClickSoundCount());

    button.enabled = true;
    EXPECT_TRUE(button.OnLeftClick(20, 20));
    EXPECT_EQ((std::vector<std::intptr_t>{5}), g_calls);
    EXPECT_EQ(sounds + 1, GUI_ButtonBase::GetClickSoundCount());
}

TEST_F(ButtonsTest, ButtonWithoutCallbackMakesNoSound)
{
    GUI_ButtonBase button(nullptr, 0);
    button.SetRect(0, 0, 10, 10);
    const int sounds = GUI_ButtonBase::GetClickSoundCount();
    EXPECT_TRUE(button.OnLeftClick(5, 5));
    EXPECT_EQ(sounds, GUI_ButtonBase::GetClickSoundCount());
}

TEST_F(ButtonsTest, SilentDeferredButtonRunsItsCallbackOnlyAfterTheFade)
{
    GUI_ButtonBase button(Record, 9);
    button.SetRect(0, 0, 10, 10);
    button.silent = true;
    button.deferred = true;
    const int sounds = GUI_ButtonBase::GetClickSoundCount();
    EXPECT_TRUE(button.OnLeftClick(5, 5));
    EXPECT_EQ(sounds, GUI_ButtonBase::GetClickSoundCount());
    EXPECT_TRUE(g_calls.empty());
    EXPECT_TRUE(GUI_Fader::GetInstance().IsFading());
    EXPECT_TRUE(CInput::GetInstance().IsInputBlocked());

    m_clock.Advance(150.0);
    GUI_Fader::GetInstance().Draw();
    EXPECT_TRUE(g_calls.empty());
    EXPECT_TRUE(GUI_Fader::GetInstance().RunPendingCallback());
    EXPECT_EQ((std::vector<std::intptr_t>{9}), g_calls);
}

TEST_F(ButtonsTest, HoverFollowsTheMouseAndSetsTheHandCursor)
{
    GUI_ButtonBase button(Record, 0);
    button.SetRect(100, 100, 200, 150);
    GUI_Cursor::GetInstance().SetArrow();
    MoveMouse(150, 120);
    button.Update();
    EXPECT_EQ(1, button.hover);
    EXPECT_EQ(GUI_Cursor::kHand, GUI_Cursor::GetInstance().kind);

    MoveMouse(10, 10);
    button.Update();
    EXPECT_EQ(0, button.hover);

    // A disabled button under the mouse keeps whatever hover it had.
    MoveMouse(150, 120);
    button.Update();
    button.enabled = false;
    button.Update();
    EXPECT_EQ(1, button.hover);

    // A window above that claimed the mouse takes the hover away.
    button.enabled = true;
    GUI_WindowBase above;
    GUI_WindowManager::GetInstance().SetMouseOverWindow(&above);
    button.Update();
    EXPECT_EQ(0, button.hover);
    GUI_WindowManager::GetInstance().ClearMouseOver();
}

TEST_F(ButtonsTest, TooltipShowsAfterSixtyOneRestFramesAndResetsOnAMove)
{
    GUI_ButtonBase button(Record, 0);
    button.SetRect(100, 100, 200, 150);
    button.SetTooltipString("Fire at will", GUI_ButtonBase::kTooltipDelay);
    GUI_Tooltip* tooltip = button.GetTooltip();
    ASSERT_NE(nullptr, tooltip);
    EXPECT_FLOAT_EQ(150.0f - tooltip->width / 2.0f, tooltip->anchorX);
    EXPECT_FLOAT_EQ(150.0f, tooltip->anchorY);

    MoveMouse(150, 120);
    while (CInput::GetInstance().GetStationaryCount() < 60)
        MoveMouse(150, 120);
    button.Update();
    EXPECT_FLOAT_EQ(0.0f, tooltip->visibility);
    MoveMouse(150, 120);
    ASSERT_EQ(61, CInput::GetInstance().GetStationaryCount());
    button.Update();
    EXPECT_FLOAT_EQ(1.0f, tooltip->visibility);

    button.Draw();
    EXPECT_EQ(1u, GUI_Tooltip::GetQueuedCount());
    GUI_Tooltip::DrawQueued();
    EXPECT_EQ(0u, GUI_Tooltip::GetQueuedCount());
    EXPECT_FLOAT_EQ(0.5f, tooltip->visibility);

    MoveMouse(162, 120);
    MoveMouse(162, 120);
    EXPECT_EQ(0, CInput::GetInstance().GetStationaryCount());
}

TEST_F(ButtonsTest, DestroyedButtonLeavesTheTooltipQueue)
{
    auto* button = new GUI_ButtonBase(Record, 0);
    button->SetTooltip("tip");
    button->Draw();
    EXPECT_EQ(1u, GUI_Tooltip::GetQueuedCount());
    delete button;
    EXPECT_EQ(0u, GUI_Tooltip::GetQueuedCount());
    GUI_Tooltip::DrawQueued();
}

TEST_F(ButtonsTest, CheckBoxTakesClicksOnItsBoxOnly)
{
    GUI_CheckButton check("OPTION_FULLSCREEN", Record, 3);
    check.SetRect(100, 100, 400, 142);
    EXPECT_FALSE(check.OnLeftClick(300, 120)); // on the label
    EXPECT_FALSE(check.ticked);
    EXPECT_TRUE(check.OnLeftClick(137, 121)); // box centre
    EXPECT_TRUE(check.ticked);
    EXPECT_EQ((std::vector<std::intptr_t>{3}), g_calls);
    EXPECT_TRUE(check.OnLeftClick(121, 105));
    EXPECT_FALSE(check.ticked);

    check.enabled = false;
    EXPECT_TRUE(check.OnLeftClick(137, 121));
    EXPECT_FALSE(check.ticked);
    EXPECT_EQ(2u, g_calls.size());

    m_device->ClearDraws();
    check.Draw();
    EXPECT_EQ(164, check.GetLabelRect().left);
    EXPECT_EQ(105, check.GetLabelRect().top);
    EXPECT_EQ(390, check.GetLabelRect().right);
    EXPECT_EQ(137, check.GetLabelRect().bottom);

    // The label's frame is the highlight texture's four corners and four
    // edges at alpha 0.2 (0x33), 8 pixels a corner, round that rectangle.
    std::vector<const HeadlessGraphicsDevice::DrawRecord*> frame;
    for (const auto& draw : m_device->GetDraws())
        if (!draw.vertices.empty() && draw.vertices[0].colour == 0x33FFFFFFu)
            frame.push_back(&draw);
    ASSERT_EQ(frame.size(), 8u);
    const TextureHandle highlight =
        GUI_PreloadedTextures::GetInstance().Get(GUI_PreloadedTextures::kHighlight)->GetHandle();
    float l = 1e9f, t = 1e9f, r = -1e9f, b = -1e9f;
    for (const auto* draw : frame) {
        EXPECT_EQ(draw->texture, highlight);
        EXPECT_EQ(draw->vertexCount, 4u);
        for (const ScreenVertex& v : draw->vertices) {
            l = std::min(l, v.x), t = std::min(t, v.y), r = std::max(r, v.x), b = std::max(b, v.y);
        }
    }
    EXPECT_FLOAT_EQ(l, 164.0f);
    EXPECT_FLOAT_EQ(t, 105.0f);
    EXPECT_FLOAT_EQ(r, 390.0f);
    EXPECT_FLOAT_EQ(b, 137.0f);
    float cornerRight = -1e9f;
    for (const ScreenVertex& v : frame[0]->vertices)
        cornerRight = std::max(cornerRight, v.x);
    EXPECT_FLOAT_EQ(cornerRight, 172.0f);
    EXPECT_FLOAT_EQ(frame[0]->vertices[0].u, 0.0f);
}

TEST_F(ButtonsTest, CheckBoxLabelIsCutAtSixtyThreeCharacters)
{
    const std::string longKey(100, 'K');
    GUI_CheckButton check(longKey.c_str(), Record, 0);
    EXPECT_EQ(63u, check.GetLabel().size());
}

TEST_F(ButtonsTest, ToggleFlipsOnEveryPressAndCallsTheRegisteredHandler)
{
    GUI_ToggleButton::SetToggleHandler(Record);
    GUI_ToggleButton toggle(4);
    toggle.SetRect(0, 0, 32, 32);
    EXPECT_TRUE(toggle.OnLeftClick(5, 5));
    EXPECT_TRUE(toggle.state);
    EXPECT_TRUE(toggle.OnLeftClick(5, 5));
    EXPECT_FALSE(toggle.state);
    EXPECT_EQ((std::vector<std::intptr_t>{4, 4}), g_calls);
    toggle.enabled = false;
    EXPECT_TRUE(toggle.OnLeftClick(5, 5));
    EXPECT_FALSE(toggle.state);
    EXPECT_EQ(2u, g_calls.size());
    GUI_ToggleButton::SetToggleHandler(nullptr);
}

TEST_F(ButtonsTest, HoldButtonRepeatsEveryFrameWhileHeldOverIt)
{
    GUI_IconHoldButton hold(Record, 1, "gui_scrollup.dds", "gui_scrollup_h.dds");
    hold.SetRect(10, 10, 40, 40);
    MoveMouse(20, 20);
    CInput::GetInstance().HandleMouseMessage(MouseMessage::LeftDown);
    EXPECT_TRUE(hold.OnLeftClick(20, 20));
    EXPECT_TRUE(hold.IsHeld());
    hold.Draw();
    hold.Draw();
    EXPECT_EQ(3u, g_calls.size());

    MoveMouse(100, 100);
    hold.Draw();
    EXPECT_FALSE(hold.IsHeld());
    EXPECT_EQ(3u, g_calls.size());

    MoveMouse(20, 20);
    EXPECT_TRUE(hold.OnLeftClick(20, 20));
    CInput::GetInstance().HandleMouseMessage(MouseMessage::LeftUp);
    hold.Draw();
    EXPECT_FALSE(hold.IsHeld());
    EXPECT_EQ(4u, g_calls.size());
}

TEST_F(ButtonsTest, TextButtonSixtyFourWideDrawsOnlyItsCaps)
{
    GUI_ButtonText narrow("OK", Record, 0);
    narrow.SetRect(0, 0, 64, 34);
    m_device->ClearDraws();
    narrow.Draw();
    EXPECT_EQ(2u, CountDraws());

    GUI_ButtonText wide("OK", Record, 0);
    wide.SetRect(100, 0, 300, 34);
    m_device->ClearDraws();
    wide.Draw();
    ASSERT_EQ(3u, CountDraws());
    // The middle spans from the left cap to the right cap.
    const auto& middle = m_device->GetDraws()[1].vertices;
    ASSERT_EQ(4u, middle.size());
    EXPECT_FLOAT_EQ(132.0f, middle[0].x);
    EXPECT_FLOAT_EQ(268.0f, middle[1].x);
    EXPECT_FLOAT_EQ(0.5f, middle[0].u);
    EXPECT_FLOAT_EQ(0.75f, middle[1].u);
}

TEST_F(ButtonsTest, DisabledSkinsAreGreyAndTabsUseTheirSelectedSkin)
{
    GUI_ButtonTab tab("TAB", Record, 0);
    tab.SetRect(0, 0, 128, 34);
    tab.enabled = false;
    m_device->ClearDraws();
    tab.Draw();
    ASSERT_FALSE(m_device->GetDraws().empty());
    EXPECT_EQ(0xFF808080u, m_device->GetDraws()[0].vertices[0].colour);

    tab.enabled = true;
    tab.selected = true;
    m_device->ClearDraws();
    tab.Draw();
    ASSERT_FALSE(m_device->GetDraws().empty());
    EXPECT_EQ(0xFFFFFFFFu, m_device->GetDraws()[0].vertices[0].colour);
}

TEST_F(ButtonsTest, IconButtonFadesWhenDisabled)
{
    GUI_IconButton icon(Record, 0, "button_close.dds", "button_close_h.dds");
    icon.SetRect(0, 0, 28, 28);
    icon.enabled = false;
    m_device->ClearDraws();
    icon.Draw();
    ASSERT_EQ(1u, CountDraws());
    EXPECT_EQ(32u, m_device->GetDraws()[0].vertices[0].colour >> 24);
    EXPECT_FLOAT_EQ(0.0f, m_device->GetDraws()[0].vertices[0].x);
    EXPECT_FLOAT_EQ(28.0f, m_device->GetDraws()[0].vertices[3].x);
}

TEST_F(ButtonsTest, SubtleButtonBrightensWhileHovered)
{
    GUI_SubtleTextButton subtle("MORE", Record, 0);
    subtle.SetRect(0, 0, 100, 30);
    m_device->ClearDraws();
    subtle.Draw();
    ASSERT_FALSE(m_device->GetDraws().empty());
    EXPECT_EQ(0x20FFFFFFu, m_device->GetDraws()[0].vertices[0].colour);
    subtle.hover = 1;
    m_device->ClearDraws();
    subtle.Draw();
    ASSERT_FALSE(m_device->GetDraws().empty());
    EXPECT_EQ(0x40FFFFFFu, m_device->GetDraws()[0].vertices[0].colour);
}

} // namespace
