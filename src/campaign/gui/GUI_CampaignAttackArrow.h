#pragma once
#include "engine/CTexturedSprite.h"

#include <vector>

class SIM_CampaignEncounter;
class GUI_CampaignMap;

// The planned moves and attacks of this turn, drawn as arrows from planet
// edge to planet edge, plus a preview arrow that lives one frame while a
// fleet is dragged.
class GUI_CampaignAttackArrow {
public:
    static constexpr uint32_t kAttackColour = 0xC8F08080u;
    static constexpr uint32_t kMoveColour = 0xC880F080u;
    static constexpr float kWidthPerZoom = 16.0f;
    enum Kind { ATTACK = 0, MOVE = 1 };

    struct Arrow {
        const SIM_CampaignEncounter* target = nullptr;
        const SIM_CampaignEncounter* source = nullptr;
        int kind = MOVE;
    };

    static GUI_CampaignAttackArrow& GetInstance();

    void AddArrow(const SIM_CampaignEncounter* source, const SIM_CampaignEncounter* target, int kind);
    void SetPreview(const SIM_CampaignEncounter* source, const SIM_CampaignEncounter* target, int kind);
    void ClearArrows() { m_arrows.clear(); }
    // An arrow for each attack the player ordered this turn, as a loaded
    // save holds them (one per way, however many fleets took it).
    void AddOrderedAttacks();
    void DrawAll(const GUI_CampaignMap& map);

    const std::vector<Arrow>& GetArrows() const { return m_arrows; }
    const Arrow& GetPreview() const { return m_preview; }

private:
    GUI_CampaignAttackArrow();
    void DrawOne(const GUI_CampaignMap& map, const Arrow& arrow);

    CTexturedSprite m_shaft;
    CTexturedSprite m_tail;
    CTexturedSprite m_head;
    std::vector<Arrow> m_arrows;
    Arrow m_preview;
};
