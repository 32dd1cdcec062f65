#include "battle/hud/GUI_Comms.h"

#include "battle/hud/HudWindow.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/hud/BattleHud.h"
#include "battle/hud/GUI_ShipInspector.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_CommsManager.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"

#include <algorithm>

namespace {
constexpr uint32_t kBoxFill = 0x20FFFFFFu;
constexpr uint32_t kBoxFrameHover = 0x80FFFFFFu;
constexpr uint32_t kBoxFrame = 0x40FFFFFFu;
// The message starts this far past the name column (100 from the inner
// left edge for the narrowest column).
constexpr int kTextGap = 10;
constexpr int kLineStep = 18;
constexpr int kSelectionSound = 3;

bool Inside(const GRect& r, float x, float y)
{
    return x >= static_cast<float>(r.left) && x < static_cast<float>(r.right) && y >= static_cast<float>(r.top) &&
           y < static_cast<float>(r.bottom);
}
} // namespace

int GUI_Comms::NameColumnWidth(int widestName, int innerWidth)
{
    return std::max(kNameWidth, std::min(widestName, innerWidth * 2 / 5));
}

void GUI_Comms::WidenFor(const SIM_Ship* ship)
{
    LibText& text = LibText::GetInstance();
    if (!ship || !text.FindFont("zekton16.dds"))
        return;
    text.SetFont("zekton16.dds", kFontSize);
    const int wanted = NameColumnWidth(text.GetTextWidth(ship->name), m_inner.right - m_inner.left);
    if (wanted > m_nameWidth) {
        m_nameWidth = wanted;
        PlaceBoxes();
    }
}

void GUI_Comms::PlaceBoxes()
{
    const int boxRight = m_inner.left + m_nameWidth + 6;
    m_currentBox = GRect{m_inner.left, m_inner.bottom - 16, boxRight, m_inner.bottom - 2};
    const int y = m_inner.bottom - 34;
    m_historyBoxes[0] = GRect{m_inner.left, y + 1, boxRight, y + 14};
    m_historyBoxes[1] = GRect{m_inner.left, y + 1 - kLineStep, boxRight, y + 14 - kLineStep};
}

void GUI_Comms::DrawName(const SIM_Ship* ship, float x, float rowY)
{
    if (!ship)
        return;
    LibText& text = LibText::GetInstance();
    const std::string& name = ship->name;
    if (text.GetTextWidth(name) <= m_nameWidth) {
        text.SetText(TEXT_ALIGN_LEFT, name, x, rowY, 0xFFFFFFFFu, 0.0f);
    } else {
        m_shown = text.FitText(name, m_nameWidth, 1);
        text.SetText(TEXT_ALIGN_LEFT, m_shown, x, rowY, 0xFFFFFFFFu, 0.0f);
    }
}

void GUI_Comms::Open(bool commsOn, int screenWidth, bool survival)
{
    Close();
    if (commsOn)
        new GUI_Comms(screenWidth, survival);
}

GUI_Comms::GUI_Comms(int screenWidth, bool survival)
{
    raisesOnClick = false;
    // The survival score takes the top right corner.
    const int w = screenWidth - 300 - (survival ? 100 : 0);
    const int l = screenWidth / 2 - w / 2;
    SetRect(static_cast<float>(l), 0.0f, static_cast<float>(l + w), static_cast<float>(kHeight));
    GUI_WindowManager::GetInstance().AddWindow(this);
    m_inner = GRect{left + 4, top + 4, right - 4, bottom - 4};
    // The names of the ships on the field set the name column; a ship that
    // joins later with a longer one widens it when it first speaks.
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    for (const SIM_Fleet* fleet : {battle.GetPlayerFleet(), battle.GetEnemyFleet()})
        if (fleet)
            for (const SIM_Ship* ship : fleet->GetAllShips())
                WidenFor(ship);
    PlaceBoxes();
    PlaceBoxBackground(m_background, *this);
}

GUI_Comms::~GUI_Comms() = default;

void GUI_Comms::Advance(float battleMs)
{
    m_accumulator += battleMs;
    while (m_accumulator > kMsPerCharacter) {
        ++m_typed;
        m_accumulator -= kMsPerCharacter;
        if (!m_hasCurrent) {
            SIM_CommsManager& comms = SIM_CommsManager::GetInstance();
            if (!comms.GetQueue().empty()) {
                SIM_CommsManager::Message message = comms.PopMessage();
                m_current.text = std::move(message.text);
                m_current.ship = GWatch<SIM_Ship>(message.sender);
                WidenFor(m_current.ship.Get());
                m_hasCurrent = true;
                m_typed = 0;
            }
        } else if (m_typed > static_cast<int>(m_current.text.size()) && m_typed > kMinCharacters) {
            m_history.push_front(std::move(m_current));
            if (m_history.size() > kHistory)
                m_history.pop_back();
            m_current = Line();
            m_hasCurrent = false;
        }
    }
}

void GUI_Comms::Speak(const Line& line) const
{
    SIM_Ship* speaker = line.ship.Get();
    if (!speaker)
        return;
    // A speaker destroyed since still has its last position.
    BattleHud::CentreCameraOn(*speaker);
    GUI_ShipInspector::Open(speaker);
    if (GUI_Sounds* sounds = GUI_BattleGUI::GetInstance().GetSounds())
        sounds->PlayGuiSound(kSelectionSound);
}

bool GUI_Comms::OnLeftClick(float x, float y)
{
    if (!visible || !Contains(x, y))
        return false;
    if (Inside(m_currentBox, x, y)) {
        if (m_hasCurrent)
            Speak(m_current);
        return true;
    }
    for (size_t k = 0; k < kHistory; ++k) {
        if (Inside(m_historyBoxes[k], x, y) && m_history.size() > k) {
            Speak(m_history[k]);
            break;
        }
    }
    return true;
}

void GUI_Comms::DrawBox(const GRect& box) const
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const CInput& input = CInput::GetInstance();
    engine.FillRect(box, kBoxFill);
    engine.DrawRectFrame(box, Inside(box, input.GetMouseX(), input.GetMouseY()) ? kBoxFrameHover : kBoxFrame);
}

void GUI_Comms::Draw()
{
    Advance(SIM_BattleClock::GetInstance().scaledFrameTime);
    if (!visible)
        return;
    DrawHudPanel(*this, m_background, 32.0f, m_inner, 4.0f, m_lines);
    DrawBox(m_currentBox);
    for (const GRect& box : m_historyBoxes)
        if (box.top > m_inner.top - 4)
            DrawBox(box);

    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", kFontSize);
    const auto il = static_cast<float>(m_inner.left);
    const int textOffset = m_nameWidth + kTextGap;
    const int lineWidth = m_inner.right - m_inner.left - textOffset - 4;
    int y = m_inner.bottom - 38;
    for (const Line& line : m_history) {
        if (y <= m_inner.top - 4)
            break;
        DrawName(line.ship.Get(), il, static_cast<float>(y));
        const std::string* shown = &line.text;
        if (text.GetTextWidth(line.text) > lineWidth) {
            m_shown = text.FitText(line.text, lineWidth, 1);
            shown = &m_shown;
        }
        text.SetText(TEXT_ALIGN_LEFT, *shown, il + static_cast<float>(textOffset), static_cast<float>(y), 0xFFFFFFFFu,
                     0.0f);
        y -= kLineStep;
    }
    if (m_hasCurrent) {
        const auto cy = static_cast<float>(m_inner.bottom - 22);
        DrawName(m_current.ship.Get(), il, cy);
        m_shown.assign(m_current.text, 0, static_cast<size_t>(m_typed));
        text.SetText(TEXT_ALIGN_LEFT, m_shown, il + static_cast<float>(textOffset), cy, 0xFFFFFFFFu, 0.0f);
    }
    text.Render(-1);
}
