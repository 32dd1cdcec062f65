#pragma once
#include "engine/GLifetime.h"
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
    // The speaker's name column, from the inner left edge: at least this
    // wide, and as wide as the longest speaker's name needs up to two fifths of
    // the strip (its click box is 6 wider, the message starts 10 past it).
    static constexpr int kNameWidth = 90;

    // A speaker freed since (the battle cleared) reads as none.
    struct Line {
        std::string text;
        GWatch<SIM_Ship> ship;
    };

    // The name column's width for the widest name (in pixels at the panel's
    // size) on a strip whose inner part is that wide.
    static int NameColumnWidth(int widestName, int innerWidth);

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
    int GetNameWidth() const { return m_nameWidth; }

private:
    void Speak(const Line& line) const;
    void DrawBox(const GRect& box) const;
    // The name column as wide as the name needs (up to its limit), the
    // boxes with it.
    void WidenFor(const SIM_Ship* ship);
    void PlaceBoxes();
    // The name at the row's left; cut only when even the widest column is
    // too narrow for it.
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
    int m_nameWidth = kNameWidth;
    std::string m_shown;
};
