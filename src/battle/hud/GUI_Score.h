#pragma once
#include <string>

#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"

class SIM_Fleet;

// One score box: tiled background, frame and a green (ahead) or red banner.
class GUI_ScoreWindow : public GUI_WindowBase {
public:
    static constexpr int kWidth = 140;
    static constexpr int kHeight = 80;

    GUI_ScoreWindow();
    void Place(float x, float y);
    void DrawBackground();
    void Draw() override;
    void DrawBanner();

    bool leading = false;

private:
    CTexturedSprite m_background;
    CTexturedSprite m_green;
    CTexturedSprite m_red;
};

// How much of each fleet's starting hull capacity is still afloat: a box at
// the top left for the player and, except in survival, one at the top right
// for the enemy. The figures freeze once the battle has ended.
class GUI_Score {
public:
    struct Figures {
        float start = 0.0f;
        float current = 0.0f;
        float fraction = 0.0f;
    };

    static GUI_Score& GetInstance();
    virtual ~GUI_Score() = default;

    // At every battle start.
    void Layout(bool survival, int screenWidth);
    void UpdateFigures(const SIM_Fleet* player, const SIM_Fleet* enemy);
    virtual void Draw();

    // "%.0f%%" and "%d / %d" of a box.
    static std::string PercentText(const Figures& f);
    static std::string StrengthText(const Figures& f);

    const GUI_ScoreWindow& GetBox(int i) const { return i == 0 ? m_first : m_second; }
    const Figures& GetFigures(int i) const { return i == 0 ? m_player : m_enemy; }
    bool ShowsSecondBox() const { return m_secondShown; }

private:
    GUI_ScoreWindow m_first;
    GUI_ScoreWindow m_second;
    Figures m_player;
    Figures m_enemy;
    // Each box's two texts as last made: made again only when its figures
    // change, not every frame.
    struct ShownTexts {
        Figures figures{-1.0f, -1.0f, -1.0f};
        std::string percent, strength;
    };
    ShownTexts m_shown[2];
    const ShownTexts& TextsOf(int box, const Figures& figures);
    bool m_secondShown = true;
};
