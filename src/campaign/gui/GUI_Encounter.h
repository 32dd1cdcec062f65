#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"

#include <memory>
#include <string>
#include <vector>

class SIM_CampaignEncounter;
class GUI_EncounterIcon;
class GUI_PlayerFleetIcon;
class GUI_PlanetName;
class GUI_Territory;
class GUI_Tooltip;

// One planet on the campaign map: its picture, a row of facility icons above
// it, a row of player fleet icons below it, its loyalty and threat gauges,
// the reachability highlight, its territory disc and its name. The map places
// every view from its camera and draws them all at once (DrawAll).
class Effect;

class GUI_Encounter : public GUI_WindowBase {
public:
    static constexpr float kFacilityIconPerZoom = 8.0f;
    static constexpr float kFleetIconScale = 1.75f;
    static constexpr uint32_t kDimmed = 0x20FFFFFFu;
    static constexpr uint32_t kHighlightColour = 0xE064FF64u;

    explicit GUI_Encounter(SIM_CampaignEncounter* encounter);
    ~GUI_Encounter() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override {}
    void Update() override;

    void UpdateTexture();
    void RebuildIcons();
    void LayOut();
    void Refresh();
    void RefreshTooltip();
    void SetSelectable(bool on);
    bool IsMouseOverPlanet() const;
    bool IsPlayerOwned() const;
    // The move or attack order of a fleet icon let go over this planet.
    bool DropFleet(GUI_PlayerFleetIcon* icon);

    float CentreX() const { return m_centreX; }
    float CentreY() const { return m_centreY; }
    float Size() const { return m_size; }
    SIM_CampaignEncounter* GetEncounter() const { return m_encounter; }
    const std::vector<GUI_EncounterIcon*>& GetFacilityIcons() const { return m_facilityIcons; }
    const std::vector<GUI_PlayerFleetIcon*>& GetFleetIcons() const { return m_fleetIcons; }
    const CTexturedSprite& GetSprite() const { return m_sprite; }
    GUI_Tooltip* GetTooltip() const { return m_tooltip.get(); }

    static const std::vector<GUI_Encounter*>& GetAll();
    static void DrawAll();
    static void RefreshAll();
    static void RefreshAllTooltips();
    // The view of an encounter, or null while no map shows it.
    static GUI_Encounter* Find(const SIM_CampaignEncounter* encounter);
    // Others' planets show their own picture through this effect; null
    // (shaders off or none) shows them as the unknown picture.
    static void SetPlanetShader(Effect* effect);
    static Effect* GetPlanetShader();

    bool selectable = true;
    bool dirty = false;
    bool highlight = false;

private:
    static Effect* s_planetShader;
    void DeleteIcons();
    void DrawIcons();
    void DrawHighlight();

    SIM_CampaignEncounter* m_encounter;
    CTexturedSprite m_sprite;
    std::unique_ptr<GUI_Tooltip> m_tooltip;
    std::vector<GUI_EncounterIcon*> m_facilityIcons;
    std::vector<GUI_PlayerFleetIcon*> m_fleetIcons;
    std::unique_ptr<GUI_Territory> m_territory;
    std::unique_ptr<GUI_PlanetName> m_name;
    std::string m_loyaltyLabel;
    std::string m_threatLabel;
    float m_centreX = 0.0f;
    float m_centreY = 0.0f;
    float m_size = 0.0f;
    bool m_showsOwnPicture = false;
};
