#pragma once

// Anything with a price in the fleet-preparation screens: module types, hulls
// and designs.
class SIM_CostedItem {
public:
    virtual ~SIM_CostedItem() = default;

    float GetCost() const { return cost; }
    void SetCost(float value) { cost = value; }

    float cost = 0.0f;
};
