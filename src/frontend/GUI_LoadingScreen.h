#pragma once
#include "app/GUI_GameModeBase.h"
#include "engine/CTexturedSprite.h"
#include "engine/GRandom.h"
#include "engine/GRect.h"
#include "sim/SIM_SetUpProgress.h"

#include <string>
#include <vector>

// Fills the time a battle takes to set up: a loading picture, a tip and a
// progress bar that the set-up advances by drawing and presenting frames
// itself. Once set up it is the current mode (9) and waits for a key or a
// click, which starts the battle screen.
class GUI_LoadingScreen : public GUI_GameModeBase, public SIM_SetUpProgress {
public:
    enum State { LOADING = 0, WAITING = 1 };
    static constexpr int kBarWidth = 512;
    static constexpr int kBarHeight = 32;
    static constexpr const char* kPictureMask = "data/bitmaps/ui/loadscreens/*.bmp";

    static GUI_LoadingScreen& GetInstance();
    GUI_LoadingScreen();

    // The set-up's side.
    void Begin() override;
    void SetProgress(float progress) override;
    void Finish() override;
    void Step();

    // The mode's side.
    void Render() override;
    void OnKeyDown(int code) override;
    void OnLeftClick() override;

    // Looks for the pictures again (tests, installed content).
    void FindPictures();

    // The bar's two parts for a progress on a screen: the empty part ends at
    // the bar's right edge, the filled part starts at its left edge.
    struct BarPart {
        GRect rect;
        float u0, u1, v0, v1;
    };
    static void LayOutBar(float progress, int screenWidth, int screenHeight, BarPart& empty, BarPart& filled);

    int GetState() const { return m_state; }
    float GetProgress() const { return m_progress; }
    int GetStepCount() const { return m_steps; }
    const std::string& GetCaption() const { return m_caption; }
    const std::string& GetPicture() const { return m_picture; }
    const std::vector<std::string>& GetPictures() const { return m_pictures; }

private:
    void DrawBackdrop();
    void DrawBar();
    void DrawCaption();
    void DrawPressAnyKey();
    void Present();

    CTexturedSprite m_backdrop;
    CTexturedSprite m_emptyBar;
    CTexturedSprite m_filledBar;
    int m_targetMode = 0;
    int m_state = LOADING;
    std::string m_caption;
    std::string m_pressAnyKey;
    std::vector<std::string> m_pictures;
    std::string m_picture;
    float m_progress = 0.0f;
    int m_steps = 0;
    // The picture choice has its own generator: a battle's numbers are never
    // touched by what the screen shows.
    GRandom m_random{20261207};
};
