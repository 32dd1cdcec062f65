// The interface tail every screen's frame ends with: windows, then the
// queued tooltip, then the dragged window on top (the battle keeps the
// tooltip above the dragged window).
#include "app/GUI_GameModeBase.h"

#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowBase.h"
#include "gui/GUI_WindowManager.h"
#include "platform/HeadlessGraphicsDevice.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr uint32_t kTooltipFill = 0xD80B1118u;

// A window that draws one rectangle of its own colour, to be found among the draws.
class ColourWindow : public GUI_WindowBase {
public:
    explicit ColourWindow(uint32_t colour) : m_colour(colour) { SetRect(10, 10, 60, 60); }
    void Draw() override { D3DEngine::GetInstance().FillRect(GRect{left, top, right, bottom}, m_colour); }

private:
    uint32_t m_colour;
};

// Where the first vertex of this colour falls in drawing order (the tail's
// quads share runs, so a draw may hold several windows'); -1 when none.
int DrawIndexOf(const HeadlessGraphicsDevice& device, uint32_t colour)
{
    const auto& draws = device.GetDraws();
    int order = 0;
    for (const auto& draw : draws)
        for (const ScreenVertex& v : draw.vertices) {
            if (v.colour == colour)
                return order;
            ++order;
        }
    return -1;
}

} // namespace

TEST(GUI_GameModeBase, TailDrawsWindowsThenTooltipThenTheDraggedWindowExceptInBattle)
{
    auto device = std::make_unique<HeadlessGraphicsDevice>(1024, 768);
    HeadlessGraphicsDevice* recorder = device.get();
    D3DEngine::GetInstance().Init(std::move(device));
    CInput::GetInstance().Init();
    CInput::GetInstance().HandleMouseMessage(MouseMessage::LeftDown); // the drag goes on

    ColourWindow plain(0xFF010101u), dragged(0xFF020202u);
    GUI_WindowManager::GetInstance().AddWindow(&plain);
    GUI_Cursor::GetInstance().SetDraggedWindow(&dragged);
    GUI_Tooltip tooltip("tip", 0);

    for (bool battle : {false, true}) {
        SCOPED_TRACE(battle ? "battle" : "every other screen");
        recorder->ClearDraws();
        tooltip.visibility = 1.0f;
        tooltip.Draw(); // queues it
        GUI_GameModeBase::DrawInterfaceTail(battle);
        const int windows = DrawIndexOf(*recorder, 0xFF010101u);
        const int tip = DrawIndexOf(*recorder, kTooltipFill);
        const int drag = DrawIndexOf(*recorder, 0xFF020202u);
        ASSERT_GE(windows, 0);
        ASSERT_GE(tip, 0);
        ASSERT_GE(drag, 0);
        EXPECT_LT(windows, tip);
        EXPECT_LT(windows, drag);
        if (battle)
            EXPECT_LT(drag, tip);
        else
            EXPECT_LT(tip, drag);
    }

    GUI_Cursor::GetInstance().ClearDraggedWindow();
    GUI_WindowManager::GetInstance().RemoveWindow(&plain);
    CInput::GetInstance().HandleMouseMessage(MouseMessage::LeftUp);
    D3DEngine::GetInstance().Release();
}
