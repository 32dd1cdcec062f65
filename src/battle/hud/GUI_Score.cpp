#include "battle/hud/GUI_Score.h"

#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "gui/GUI_FrameDrawing.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_Fleet.h"

namespace {
constexpr float kBannerWidth = 120.0f;
constexpr float kBannerHeight = 60.0f;
constexpr float kBannerUV = 0.9375f;
constexpr float kBackgroundTexels = 1024.0f;
constexpr float kMargin = 4.0f;

GUI_Score::Figures Read(const SIM_Fleet* fleet)
{
    GUI_Score::Figures f;
    f.start = fleet ? fleet->GetStartingStrength() : 0.0f;
    if (f.start > 0.0f) {
        f.current = fleet->GetCurrentStrength();
        f.fraction = f.current / f.start;
    }
    return f;
}
} // namespace

GUI_ScoreWindow::GUI_ScoreWindow()
{
    m_background.SetTexture("box_background.jpg");
    m_green.SetTexture("green_score.dds");
    m_red.SetTexture("red_score.dds");
    for (CTexturedSprite* banner : {&m_green, &m_red}) {
        banner->SetSize(kBannerWidth, kBannerHeight);
        banner->SetUV(0.0f, 0.0f, kBannerUV, kBannerUV);
    }
}

void GUI_ScoreWindow::Place(float x, float y)
{
    SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    GUI_BaseElement::MoveTo(x, y);
    const float cx = x + static_cast<float>(kWidth) / 2.0f;
    const float cy = y + static_cast<float>(kHeight) / 2.0f;
    m_green.PlaceCentred(cx, cy);
    m_red.PlaceCentred(cx, cy);
    m_background.SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    m_background.SetUV(0.0f, 0.0f, static_cast<float>(kWidth) / kBackgroundTexels,
                       static_cast<float>(kHeight) / kBackgroundTexels);
    m_background.PlaceCentred(cx, cy);
}

void GUI_ScoreWindow::DrawBackground()
{
    m_background.Draw();
}

void GUI_ScoreWindow::Draw()
{
    DrawNamedFrame("border_depth.dds", 32.0f, 1.0f, static_cast<float>(left), static_cast<float>(top),
                   static_cast<float>(right), static_cast<float>(bottom));
}

void GUI_ScoreWindow::DrawBanner()
{
    (leading ? m_green : m_red).Draw();
}

GUI_Score& GUI_Score::GetInstance()
{
    static GUI_Score instance;
    return instance;
}

void GUI_Score::Layout(bool survival, int screenWidth)
{
    m_secondShown = !survival;
    m_first.Place(kMargin, kMargin);
    if (m_secondShown) {
        m_second.Place(static_cast<float>(screenWidth) - kMargin - static_cast<float>(GUI_ScoreWindow::kWidth), kMargin);
        m_enemy = Figures{};
    }
    m_player = Figures{};
    m_first.leading = m_second.leading = false;
}

void GUI_Score::UpdateFigures(const SIM_Fleet* player, const SIM_Fleet* enemy)
{
    if (m_secondShown)
        m_enemy = Read(enemy);
    m_player = Read(player);
    if (m_secondShown) {
        // At a tie neither side trails: both boxes are green.
        m_first.leading = m_enemy.fraction <= m_player.fraction;
        m_second.leading = m_player.fraction <= m_enemy.fraction;
    } else {
        m_first.leading = false;
    }
}

std::string GUI_Score::PercentText(const Figures& f)
{
    return StrFormat("%.0f%%", f.fraction * 100.0f);
}

std::string GUI_Score::StrengthText(const Figures& f)
{
    return StrFormat("%d / %d", static_cast<int>(f.current), static_cast<int>(f.start));
}

void GUI_Score::Draw()
{
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    if (!battle.IsEnded())
        UpdateFigures(battle.GetPlayerFleet(), battle.GetEnemyFleet());
    m_first.DrawBackground();
    if (m_secondShown)
        m_second.DrawBackground();
    m_first.Draw();
    if (m_secondShown)
        m_second.Draw();
    m_first.DrawBanner();
    if (m_secondShown)
        m_second.DrawBanner();
    LibText& text = LibText::GetInstance();
    const GUI_ScoreWindow* boxes[2] = {&m_first, &m_second};
    const Figures* figures[2] = {&m_player, &m_enemy};
    const int shown = m_secondShown ? 2 : 1;
    text.SetFont("cwfont20.dds", 20.0f);
    for (int i = 0; i < shown; ++i)
        text.SetText(TEXT_ALIGN_CENTRE, TextsOf(i, *figures[i]).percent, static_cast<float>(boxes[i]->left),
                     static_cast<float>(boxes[i]->top + 10), 0xFFFFFFFFu, static_cast<float>(boxes[i]->width));
    text.Render(-1);
    text.SetFont("zekton16.dds", 16.0f);
    for (int i = 0; i < shown; ++i)
        text.SetText(TEXT_ALIGN_CENTRE, m_shown[i].strength, static_cast<float>(boxes[i]->left),
                     static_cast<float>(boxes[i]->top + 32), 0xFFFFFFFFu, static_cast<float>(boxes[i]->width));
    text.Render(-1);
}

const GUI_Score::ShownTexts& GUI_Score::TextsOf(int box, const Figures& figures)
{
    ShownTexts& shown = m_shown[box];
    if (shown.figures.start != figures.start || shown.figures.current != figures.current ||
        shown.figures.fraction != figures.fraction) {
        shown.figures = figures;
        shown.percent = PercentText(figures);
        shown.strength = StrengthText(figures);
    }
    return shown;
}
