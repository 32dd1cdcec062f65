// A question dialog with its buttons, a text field and a tooltip drawn for
// real through OpenGL (offscreen) and compared with a reference picture.
#include "../../tools/assetgen/ArtCommon.h"
#include "../../tools/assetgen/AssetGen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

// Each generator keeps its helpers file-local; a namespace apiece keeps
// them apart in this one program.
namespace widget_art {
#include "../../tools/assetgen/GuiArtGen.cpp"
}
namespace dialog_art {
#include "../../tools/assetgen/DialogArtGen.cpp"
}

#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Fader.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowManager.h"
#include "platform/IClock.h"
#include "support/GLTestContext.h"
#include "support/GameText.h"
#include "support/ImageCompare.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 400;

void Ignore(std::intptr_t)
{
}

class GLDialogScreenshot : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(m_gl.Open("dialogs", kWidth, kHeight));
        // The fonts come with every other generator.
        for (const AssetGenerator& generator : AssetGenerators())
            ASSERT_TRUE(generator.run(m_files.File("data"))) << generator.name;
        ASSERT_NO_FATAL_FAILURE(m_text.Open(m_files.Path(), false));
        D3DEngine::GetInstance().LoadTextureFolder("data/bitmaps/gui");
        CInput::GetInstance().Init();
        GUI_Fader::GetInstance().Reset();
    }
    void TearDown() override
    {
        GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
        while (!manager.GetTopLevelWindows().empty())
            delete manager.GetTopLevelWindows().back();
        m_text.Close();
        m_gl.Close();
    }

    TempDir m_files;
    GLTestContext m_gl;
    GameText m_text;
    ManualClock m_clock{1000.0};
};

TEST_F(GLDialogScreenshot, QuestionWithTextFieldAndTooltip)
{
    AskYesNo("Scrap this design and lose every change made since it was last saved?", "Scrap Design", Ignore,
             false);
    GUI_ConfirmDialog* dialog = GUI_ConfirmDialog::GetOpen();
    ASSERT_NE(dialog, nullptr);
    dialog->GetInterlace().SetClock(&m_clock);
    m_clock.Advance(300.0);

    GUI_TextEditWindow field("Fleet_Alpha", 24, &m_clock);
    field.SetRect(40, 40, 260, 64);
    field.OnLeftClick(250, 50);  // editing, caret at the end

    GUI_Tooltip tooltip("Type the fleet's name", 60);
    tooltip.visibility = 1.0f;
    CInput::GetInstance().SetCursorPosition(420, 40);
    CInput::GetInstance().Poll();

    D3DEngine& engine = D3DEngine::GetInstance();
    engine.ClearAndBeginScene();
    field.Draw();
    GUI_WindowManager::GetInstance().DrawWindows();
    tooltip.Draw();
    GUI_Tooltip::DrawQueued();
    engine.EndScene();

    std::vector<uint8_t> rgba;
    ASSERT_TRUE(engine.GetDevice()->ReadPixels(0, 0, 0, kWidth, kHeight, rgba));
    const std::string reference = std::string(QLM_SOURCE_DIR) + "/tests/gui/reference/dialog_question.png";
    const ImageCompareResult result = CompareWithReference(reference, kWidth, kHeight, rgba);
    EXPECT_TRUE(result.match) << result.message;
}

} // namespace
