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

    // max(62, 27 + 18 per row): what the strip needs before sharing out spare room.
    static int NaturalHeight(int rows);
    // Room for the text column in a strip this wide: inset, icon and margins.
    static int TextRoom(int stripWidth);
    static std::string LineText(const std::string& label, float change, const std::string& reason);

    void BuildLines();
    // Breaks each line into rows that fit a strip this wide; the height then
    // counts rows, so that a long reason is read whole, not cut at the edge.
    void WrapLines(int stripWidth);
    void Layout();
    void Draw() override;

    int GetHeight() const { return m_height; }
    float GetTextX() const { return m_textX; }
    const std::vector<std::string>& GetLines() const { return m_lines; }
    const std::vector<std::string>& GetRows() const { return m_rows; }
    const std::vector<uint32_t>& GetColours() const { return m_colours; }
    const std::vector<uint32_t>& GetRowColours() const { return m_rowColours; }
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
    std::vector<uint32_t> m_colours;
    // The lines as drawn: one row each until WrapLines breaks them.
    std::vector<std::string> m_rows;
    std::vector<uint32_t> m_rowColours;
    int m_height = 62;
};
