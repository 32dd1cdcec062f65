#include "campaign/sim/SIM_ReasonedValue.h"

void AddReasonedChange(float amount, const std::string& reason, bool flag, SIM_ReasonedValue& value)
{
    const float old = value.value;
    float v = old + amount;
    if (v < 0.0f)
        v = 0.0f;
    if (v > 1.0f)
        v = 1.0f;
    value.value = v;
    if (v != old)
        value.changed = true;
    value.changes.push_back({amount, reason, flag});
}

void ClearReasonedChanges(SIM_ReasonedValue& value)
{
    value.changes.clear();
    value.changed = false;
}
