#include "frontend/GUI_LoadingScreen.h"

#include "app/APP_Tips.h"
#include "app/GUI_Sounds.h"
#include "app/Game.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GFileList.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/ModSupport.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {
constexpr float kPictureSide = 1024.0f;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
} // namespace

GUI_LoadingScreen& GUI_LoadingScreen::GetInstance()
{
    static GUI_LoadingScreen instance;
    return instance;
}

GUI_LoadingScreen::GUI_LoadingScreen()
{
    m_pressAnyKey = GetString("PROBAR_PRESSANYKEY");
    m_backdrop.SetSize(kPictureSide, kPictureSide);
    m_emptyBar.SetTexture("progress_bar.jpg");
    m_filledBar.SetTexture("progress_bar.jpg");
    FindPictures();
}

void GUI_LoadingScreen::FindPictures()
{
    GFileList files(false);
    files.FindFiles(kPictureMask);
    ModSupport::FindFiles(&files, kPictureMask);
    m_pictures = files.names;
    // Without pictures the screen stays black behind the bar and the tip.
    if (m_pictures.empty())
        LOG_ERROR(std::string("No loading pictures in ") + kPictureMask);
}

void GUI_LoadingScreen::Begin()
{
    m_targetMode = 0;
    m_state = LOADING;
    m_progress = 0.0f;
    m_steps = 0;
    m_caption = APP_Tips::GetInstance().NextTip();
    m_picture.clear();
    if (!m_pictures.empty())
        m_picture = m_pictures[m_random.NextU32() % m_pictures.size()];
    if (!m_picture.empty())
        m_backdrop.SetTexture(m_picture);
}

void GUI_LoadingScreen::SetProgress(float progress)
{
    m_progress = std::clamp(progress, 0.0f, 1.0f);
    Step();
}

void GUI_LoadingScreen::LayOutBar(float progress, int screenWidth, int screenHeight, BarPart& empty,
                                  BarPart& filled)
{
    const float p = std::clamp(progress, 0.0f, 1.0f);
    const int centreX = screenWidth / 2;
    const int centreY = screenHeight - 36;
    const int filledWidth = static_cast<int>(p * kBarWidth + 0.5f);
    const int barLeft = centreX - kBarWidth / 2;
    const int barRight = centreX + kBarWidth / 2;
    const int top = centreY - kBarHeight / 2;
    const int bottom = centreY + kBarHeight / 2;
    filled = {{barLeft, top, barLeft + filledWidth, bottom}, 0.0f, p, 0.5f, 1.0f};
    empty = {{barLeft + filledWidth, top, barRight, bottom}, p, 1.0f, 0.0f, 0.5f};
}

void GUI_LoadingScreen::DrawBackdrop()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    if (m_picture.empty())
        return;
    m_backdrop.PlaceCentred(static_cast<float>(engine.GetScreenWidth() / 2),
                            static_cast<float>(engine.GetScreenHeight() / 2));
    m_backdrop.Draw();
}

void GUI_LoadingScreen::DrawBar()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    BarPart empty, filled;
    LayOutBar(m_progress, engine.GetScreenWidth(), engine.GetScreenHeight(), empty, filled);
    auto draw = [](CTexturedSprite& sprite, const BarPart& part) {
        if (part.rect.Width() <= 0)
            return;
        sprite.SetSize(static_cast<float>(part.rect.Width()), static_cast<float>(part.rect.Height()));
        sprite.SetUV(part.u0, part.v0, part.u1, part.v1);
        sprite.SetColour(kWhite);
        sprite.PlaceCentred(static_cast<float>(part.rect.left + part.rect.right) * 0.5f,
                            static_cast<float>(part.rect.top + part.rect.bottom) * 0.5f);
        sprite.Draw();
    };
    draw(m_emptyBar, empty);
    draw(m_filledBar, filled);
}

void GUI_LoadingScreen::DrawCaption()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const int width = engine.GetScreenWidth() - 80;
    if (width <= 0 || m_caption.empty())
        return;
    const int height = text.GetWrappedTextHeight(m_caption, width);
    text.SetText(TEXT_ALIGN_LEFT, text.GetWrappedText(m_caption, width), 40.0f,
                 static_cast<float>(engine.GetScreenHeight() - 60 - height), kWhite, static_cast<float>(width));
    text.Render(-1);
}

void GUI_LoadingScreen::DrawPressAnyKey()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    LibText& text = LibText::GetInstance();
    text.SetFont("cwfont20.dds", 20.0f);
    text.SetText(TEXT_ALIGN_CENTRE, m_pressAnyKey, 0.0f, static_cast<float>(engine.GetScreenHeight() - 40), kWhite,
                 static_cast<float>(engine.GetScreenWidth()));
    text.Render(-1);
}

void GUI_LoadingScreen::Present()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.EndScene();
    engine.Flip();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    GUI_Sounds::GetInstance().Update();
}

void GUI_LoadingScreen::Step()
{
    ++m_steps;
    D3DEngine& engine = D3DEngine::GetInstance();
    if (!engine.GetDevice())
        return;
    if (m_state == LOADING) {
        engine.ClearAndBeginScene();
        DrawBackdrop();
        DrawBar();
    }
    DrawCaption();
    if (m_state == WAITING)
        DrawPressAnyKey();
    if (m_state == LOADING)
        Present();
}

void GUI_LoadingScreen::Finish()
{
    m_progress = 1.0f;
    m_state = WAITING;
    D3DEngine& engine = D3DEngine::GetInstance();
    if (!engine.GetDevice())
        return;
    engine.ClearAndBeginScene();
    // The switch to the battle captures the waiting frame for its wipe.
    Render();
    Present();
}

void GUI_LoadingScreen::Render()
{
    DrawBackdrop();
    DrawCaption();
    if (m_state == WAITING)
        DrawPressAnyKey();
}

void GUI_LoadingScreen::OnKeyDown(int)
{
    if (m_state == WAITING)
        Game::GetInstance().SetMode(m_targetMode);
}

void GUI_LoadingScreen::OnLeftClick()
{
    if (m_state == WAITING)
        Game::GetInstance().SetMode(m_targetMode);
}
