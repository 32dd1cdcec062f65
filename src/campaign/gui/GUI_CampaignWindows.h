#pragma once
// Closes every fleet, ship and shipyard window of the campaign screen (a turn
// ends, the screen is left): the shipyard first, so that a fleet it made and
// left empty goes while nothing else shows it.
void CloseCampaignWindows();

class SIM_CampaignEncounter;
// The planet's fleet and facility icons made again at once: after a fleet
// there was deleted, no icon may point at it until the next draw.
void RebuildEncounterView(SIM_CampaignEncounter* encounter);
