// A question dialog with its buttons, a text field and a tooltip drawn for
// real through OpenGL (offscreen) and compared with a reference picture.
#include "../../tools/assetgen/ArtCommon.h"
#include "../../tools/assetgen/AssetGen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
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
#include "engine/QuadRunBatch.h"
#include "engine/TextureAtlas.h"
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
        m_tooltip.reset();
        m_field.reset();
        GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
        while (!manager.GetTopLevelWindows().empty())
            delete manager.GetTopLevelWindows().back();
        m_text.Close();
        m_gl.Close();
    }

    // The question dialog with a text field and a tooltip, read back.
    std::vector<uint8_t> DrawQuestionScene(bool batched)
    {
        m_tooltip->visibility = 1.0f; // each showing fades it by half
        D3DEngine& engine = D3DEngine::GetInstance();
        engine.ClearAndBeginScene();
        {
            std::unique_ptr<QuadRunBatch::InterfaceScope> scope;
            if (batched)
                scope = std::make_unique<QuadRunBatch::InterfaceScope>();
            m_field->Draw();
            GUI_WindowManager::GetInstance().DrawWindows();
            m_tooltip->Draw();
            GUI_Tooltip::DrawQueued();
        }
        engine.EndScene();
        std::vector<uint8_t> rgba;
        EXPECT_TRUE(engine.GetDevice()->ReadPixels(0, 0, 0, kWidth, kHeight, rgba));
        return rgba;
    }
    void OpenQuestionScene()
    {
        AskYesNo("Scrap this design and lose every change made since it was last saved?", "Scrap Design", Ignore,
                 false);
        GUI_ConfirmDialog* dialog = GUI_ConfirmDialog::GetOpen();
        ASSERT_NE(dialog, nullptr);
        dialog->GetInterlace().SetClock(&m_clock);
        m_clock.Advance(300.0);

        m_field = std::make_unique<GUI_TextEditWindow>("Fleet_Alpha", 24, &m_clock);
        m_field->SetRect(40, 40, 260, 64);
        m_field->OnLeftClick(250, 50); // editing, caret at the end

        m_tooltip = std::make_unique<GUI_Tooltip>("Type the fleet's name", 60);
        CInput::GetInstance().SetCursorPosition(420, 40);
        CInput::GetInstance().Poll();
    }

    std::unique_ptr<GUI_TextEditWindow> m_field;
    std::unique_ptr<GUI_Tooltip> m_tooltip;
    TempDir m_files;
    GLTestContext m_gl;
    GameText m_text;
    ManualClock m_clock{1000.0};
};

TEST_F(GLDialogScreenshot, QuestionWithTextFieldAndTooltip)
{
    ASSERT_NO_FATAL_FAILURE(OpenQuestionScene());
    const std::vector<uint8_t> rgba = DrawQuestionScene(false);
    const std::string reference = std::string(QLM_SOURCE_DIR) + "/tests/gui/reference/dialog_question.png";
    const ImageCompareResult result = CompareWithReference(reference, kWidth, kHeight, rgba);
    EXPECT_TRUE(result.match) << result.message;
}

TEST_F(GLDialogScreenshot, BatchedInterfaceMatchesDirectDrawingPixelForPixel)
{
    ASSERT_NO_FATAL_FAILURE(OpenQuestionScene());
    D3DEngine::GetInstance().GetDevice()->ResetStats();
    const std::vector<uint8_t> direct = DrawQuestionScene(false);
    ASSERT_FALSE(direct.empty());
    const int draws = D3DEngine::GetInstance().GetDevice()->GetStats().drawCalls;
    D3DEngine::GetInstance().GetDevice()->ResetStats();
    EXPECT_TRUE(DrawQuestionScene(true) == direct) << "every pixel as drawn one by one";
    EXPECT_LT(D3DEngine::GetInstance().GetDevice()->GetStats().drawCalls * 2, draws);

    // With the interface's pictures on the atlas page, as after a battle.
    TextureAtlas& atlas = TextureAtlas::Shared();
    ASSERT_GT(atlas.Build(TextureAtlas::Candidates()), 5);
    const std::vector<uint8_t> fromAtlas = DrawQuestionScene(true);
    atlas.Clear();
    // On one page normal and additive quads share runs, blended premultiplied:
    // equal within rounding.
    ASSERT_EQ(fromAtlas.size(), direct.size());
    int worst = 0;
    for (size_t i = 0; i < direct.size(); ++i)
        worst = std::max(worst, std::abs(static_cast<int>(fromAtlas[i]) - static_cast<int>(direct[i])));
    EXPECT_LE(worst, 2) << "the atlas's tiles read what the pictures' own textures read";
}

TEST_F(GLDialogScreenshot, GlyphsAtTheirFontsOwnSizeReadTheSameTexelsFromTheAtlasPage)
{
    ASSERT_NO_FATAL_FAILURE(OpenQuestionScene());
    DrawQuestionScene(false); // loads every picture the scene shows
    const std::vector<std::string> fonts = {"zekton16.dds", "cwfont20.dds"};
    std::vector<std::string> all = TextureAtlas::Candidates(), pictures;
    for (const std::string& name : all)
        if (std::find(fonts.begin(), fonts.end(), name) == fonts.end())
            pictures.push_back(name);
    ASSERT_EQ(all.size(), pictures.size() + fonts.size()) << "both fonts qualify for the page";
    TextureAtlas& atlas = TextureAtlas::Shared();
    IGraphicsDevice& device = *D3DEngine::GetInstance().GetDevice();
    ASSERT_GT(atlas.Build(pictures), 5);
    device.ResetStats();
    const std::vector<uint8_t> ownFonts = DrawQuestionScene(true);
    const int bindsOwnFonts = device.GetStats().textureBinds;
    atlas.Clear(); // two names more would keep the page
    ASSERT_GT(atlas.Build(all), 7);
    device.ResetStats();
    const std::vector<uint8_t> fontsOnPage = DrawQuestionScene(true);
    const int bindsOnPage = device.GetStats().textureBinds;
    atlas.Clear();
    EXPECT_LT(bindsOnPage, bindsOwnFonts) << "the glyphs join the page's runs";
    ASSERT_EQ(fontsOnPage.size(), ownFonts.size());
    size_t differ = 0;
    for (size_t i = 0; i < ownFonts.size(); ++i)
        differ += fontsOnPage[i] != ownFonts[i] ? 1 : 0;
    EXPECT_EQ(differ, 0u) << "linear filtering on texel centres reads what point sampling read";
}

} // namespace
