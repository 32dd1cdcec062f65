#pragma once
#include <string>
#include <vector>

// A 0..1 value (loyalty, threat) that remembers why it moved this turn, so
// the end-of-turn summary can explain every change.
struct SIM_ReasonedChange {
    float amount = 0.0f; // as requested, before clamping
    std::string reason;
    bool flag = false;   // meaning is the caller's (in the player's favour)
};

struct SIM_ReasonedValue {
    std::vector<SIM_ReasonedChange> changes;
    float value = 0.0f;
    bool changed = false;
};

// Adds and clamps to 0..1; the change is recorded even when the clamp ate it.
void AddReasonedChange(float amount, const std::string& reason, bool flag, SIM_ReasonedValue& value);
void ClearReasonedChanges(SIM_ReasonedValue& value);
