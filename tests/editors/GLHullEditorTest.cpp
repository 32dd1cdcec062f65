// The hull editor through the real window and OpenGL: every sub-editor shown
// over the hull picture, and a slot moved with the mouse and saved.
#include "HullEditorFixture.h"

#include "engine/D3DEngine.h"
#include "gui/GUI_Transition.h"
#include "support/ImageCompare.h"

#include <algorithm>
#include <cstdlib>

namespace {

class GLHullEditor : public HullEditorGame {
protected:
    static void SetUpTestSuite() { StartEditorGame(false); }

    struct Picture {
        int width = 0;
        int height = 0;
        std::vector<uint8_t> rgba;
        const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
        int CountChanged(const Picture& other, int left, int top, int right, int bottom) const
        {
            int n = 0;
            for (int y = top; y < bottom; ++y)
                for (int x = left; x < right; ++x) {
                    const uint8_t *a = At(x, y), *b = other.At(x, y);
                    n += std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 30;
                }
            return n;
        }
    };

    // One frame drawn as the game draws it, read back; kept as a PNG when
    // QLM_IMAGE_OUT names a folder.
    static Picture Capture(const std::string& name)
    {
        D3DEngine& engine = D3DEngine::GetInstance();
        Picture pic;
        pic.width = engine.GetScreenWidth();
        pic.height = engine.GetScreenHeight();
        engine.ClearAndBeginScene();
        GUI_GameModeBase* mode = Game::GetInstance().GetMode();
        mode->Render();
        GUI_GameModeBase::DrawInterfaceTail();
        GUI_Transition::GetInstance().Draw();
        engine.EndScene();
        EXPECT_TRUE(engine.GetDevice()->ReadPixels(0, 0, 0, pic.width, pic.height, pic.rgba));
        engine.Flip();
        if (const char* out = std::getenv("QLM_IMAGE_OUT"))
            SavePng(std::string(out) + "/hulleditor_" + name + ".png", pic.width, pic.height, pic.rgba);
        return pic;
    }
};

} // namespace

TEST_F(GLHullEditor, EverySubEditorOverTheHullAndASlotMovedAndSaved)
{
    OpenEditor();
    const char* names[GUI_HullEditor::kSubEditorCount] = {"hulks", "slots", "damage", "lights", "engines", "explosions"};
    std::vector<Picture> shots;
    for (int i = 0; i < GUI_HullEditor::kSubEditorCount; ++i) {
        ClickAt(95, 360 + 30 * i);
        ASSERT_EQ(GUI_HullEditor::GetInstance().GetSubEditorIndex(), i);
        shots.push_back(Capture(names[i]));
        const Picture& shot = shots.back();
        // The dark red margin around the view and its white frame.
        const uint8_t* margin = shot.At(196, 400);
        EXPECT_NEAR(margin[0], 0x20, 3);
        EXPECT_LT(margin[1] + margin[2], 8);
        int brightest = 0; // the frame line may fall a pixel either way
        for (int x = 190; x <= 193; ++x)
            brightest = std::max(brightest, shot.At(x, 400)[0] + shot.At(x, 400)[1] + shot.At(x, 400)[2]);
        EXPECT_GT(brightest, 600);
    }
    // Each panel is its own: the panel area differs from the one before.
    for (int i = 1; i < GUI_HullEditor::kSubEditorCount; ++i)
        EXPECT_GT(shots[i].CountChanged(shots[i - 1], 724, 100, 1024, 612), 200) << names[i];
    // The slots show over the hull: slot 0's square around (456, 180).
    EXPECT_GT(shots[1].CountChanged(shots[0], 422, 146, 490, 214), 40);

    MoveFirstSlotAndSave();
    EXPECT_EQ(FileText(), WithMovedSlot());
    const Picture moved = Capture("slots_moved");
    EXPECT_GT(moved.CountChanged(shots[1], 422, 146, 510, 234), 40);
}
