#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GRect.h"
#include "gui/GUI_WindowBase.h"

#include <cstdint>
#include <string>
#include <vector>

class SIM_CampaignEncounter;
struct SIM_ReasonedValue;

// One planet whose loyalty or threat moved this turn: its icon, its name and
// one coloured line per change, pale green when it went the player's way.
class GUI_EndTurnStrip : public GUI_WindowBase {
public:
    static constexpr uint32_t kGoodColour = 0xFFC8FFC8u;
    static constexpr uint32_t kBadColour = 0xFFFFC8C8u;

    explicit GUI_EndTurnStrip(SIM_CampaignEncounter* encounter);

    // max(62, 27 + 18 per line): what the strip needs before sharing out spare room.
    static int NaturalHeight(int lines);
    static std::string LineText(const std::string& label, float change, const std::string& reason);

    void BuildLines();
    void Layout();
    void Draw() override;

    int GetHeight() const { return m_height; }
    const std::vector<std::string>& GetLines() const { return m_lines; }
    const std::vector<std::string>& GetShownLines() const { return m_shown; }
    const std::vector<uint32_t>& GetColours() const { return m_colours; }
    SIM_CampaignEncounter* GetEncounter() const { return m_encounter; }

private:
    void AddLines(const SIM_ReasonedValue& value, const std::string& label);

    SIM_CampaignEncounter* m_encounter;
    GRect m_inner{};
    CTexturedSprite m_icon;
    float m_textX = 0.0f;
    std::string m_loyaltyLabel;
    std::string m_threatLabel;
    std::vector<std::string> m_lines;
    // The lines cut to the strip's width, made when it is laid out.
    std::vector<std::string> m_shown;
    std::vector<uint32_t> m_colours;
    int m_height = 62;
};
