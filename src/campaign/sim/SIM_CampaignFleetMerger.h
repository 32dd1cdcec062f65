#pragma once

class SIM_CampaignFleet;

// A fleet dropped on another on the map joins it at the next update: the
// dropped fleet's ships move over in order and the dropped fleet goes.
class SIM_CampaignFleetMerger {
public:
    static void SetMergePair(SIM_CampaignFleet* dropped, SIM_CampaignFleet* target);
    // Does nothing until both fleets are set; true when a merge took place.
    static bool ExecuteMerge();
    static void Clear();
    // A fleet that goes away leaves a pending merge.
    static void Forget(const SIM_CampaignFleet* fleet);
};
