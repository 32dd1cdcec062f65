#pragma once
#include <deque>
#include <string>

#include "battle/hud/HudWindow.h"
#include "engine/CTexturedSprite.h"
#include "engine/GRect.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_WindowBase.h"

class SIM_Ship;

// The crew's radio at the top centre: one message at a time typed out at
// one character per 6 ms of battle time (so pause and speed apply), the
// two before it above. A click on a line centres the camera on the speaker
// and inspects it.
class GUI_Comms : public GUI_WindowBase, public HudSingleWindow<GUI_Comms> {
public:
    static constexpr float kMsPerCharacter = 6.0f;
    // A message stays current until this many characters' time has passed.
    static constexpr int kMinCharacters = 200;
    static constexpr size_t kHistory = 2;
    static constexpr int kHeight = 44;
    static constexpr float kFontSize = 16.0f;
    // Width of the speaker's name column, from the inner left edge (its box is 96).
    static constexpr int kNameWidth = 90;
    static constexpr float kMinNameSize = 10.0f;

    struct Line {
        std::string text;
        SIM_Ship* ship = nullptr;
    };

    // The size a speaker's name is drawn at: the panel's own when it fits the
    // name column, else the largest whole size down to kMinNameSize at which
    // it does; a name too long even then is cut at that size. Leaves the
    // text renderer at the size returned.
    static float FitName(std::string& name);

    // Opens one only while the battle's comms are on.
    static void Open(bool commsOn, int screenWidth, bool survival);

    GUI_Comms(int screenWidth, bool survival);
    ~GUI_Comms() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    // The typing step with this frame's battle milliseconds.
    void Advance(float battleMs);

    bool HasCurrent() const { return m_hasCurrent; }
    const Line& GetCurrent() const { return m_current; }
    const std::deque<Line>& GetHistory() const { return m_history; }
    int GetTypedCount() const { return m_typed; }
    const GRect& GetCurrentBox() const { return m_currentBox; }
    const GRect& GetHistoryBox(int k) const { return m_historyBoxes[k == 1 ? 1 : 0]; }
    const GRect& GetInner() const { return m_inner; }

private:
    void Speak(const Line& line) const;
    void DrawBox(const GRect& box) const;
    // The name at the row's left, centred on the row whatever its size.
    void DrawName(const SIM_Ship* ship, float x, float rowY);

    CTexturedSprite m_background;
    GUI_Interlace m_lines;
    GRect m_inner{};
    int m_typed = 0;
    float m_accumulator = 0.0f;
    std::deque<Line> m_history; // newest first
    Line m_current;
    bool m_hasCurrent = false;
    GRect m_historyBoxes[2]{};
    GRect m_currentBox{};
    std::string m_shown;
};
