#pragma once
#include <string>

#include "engine/CTexturedSprite.h"
#include "engine/GRect.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_WindowBase.h"
#include "sim/SIM_SurvivalMode.h"

// The running survival score in the top right corner. The number counts up
// towards the real score 4 a frame, never more than 200 behind it, and drops
// to it at once when it is lower. Each battle starts counting from 0. While
// it is open the waves tell it when one arrives.
class GUI_SurvivalScore : public GUI_WindowBase, public SIM_SurvivalMode::WaveObserver {
public:
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 65;
    static constexpr int kStep = 4;
    static constexpr int kMaxLag = 200;

    // At the start of each survival battle.
    void Layout(int screenWidth);
    // One frame's count towards the target (Draw does it first).
    void Count(int target);
    void Draw() override;
    // A wave arrived: the texts are made again and the new-wave flag is up
    // until the next battle.
    void WaveArrived() override;
    bool IsNewWave() const { return m_newWave; }

    int GetShown() const { return m_shown; }
    const std::string& GetScoreText() const { return m_scoreText; }
    const std::string& GetTitle() const { return m_title; }

private:
    CTexturedSprite m_background;
    GRect m_inner{};
    GUI_Interlace m_lines;
    std::string m_title;
    std::string m_scoreText = "0";
    int m_shown = 0;
    int m_target = 0;
    int m_textFor = -1;
    bool m_newWave = false;
};

GUI_SurvivalScore& GetSurvivalScore();
