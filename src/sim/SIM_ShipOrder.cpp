#include "sim/SIM_ShipOrder.h"

#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"

#include <algorithm>

namespace {
float Normalise(float value, const std::string& kind, float lo, float hi)
{
    if (kind == "PERCENTAGE")
        return value;
    // A type whose range is a single value sits at the bottom of its slider.
    if (hi == lo)
        return 0.0f;
    return (value - lo) / (hi - lo);
}

float Limit(float value, float lo, float hi)
{
    if (value < lo)
        value = lo;
    if (value > hi)
        value = hi;
    return value;
}
} // namespace

std::unique_ptr<SIM_ShipOrder> SIM_ShipOrder::Create(const std::string& behaviourName)
{
    const SIM_BehaviourType* found = SIM_BehaviourType::Find(behaviourName);
    if (!found)
        return nullptr;
    return std::make_unique<SIM_ShipOrder>(behaviourName, found);
}

SIM_ShipOrder::SIM_ShipOrder(const std::string& behaviourName, const SIM_BehaviourType* behaviourType)
    : behaviour(behaviourName), type(behaviourType)
{
    if (type)
        displayText = type->displayText;
}

void SIM_ShipOrder::Clamp()
{
    if (!type || !type->usesFloat1)
        return;
    float1 = Limit(float1, type->min1, type->max1);
    float2 = Limit(float2, type->min2, type->max2);
}

float SIM_ShipOrder::GetNormalisedFloat1() const
{
    if (!type)
        return float1;
    return Normalise(float1, type->kind1, type->min1, type->max1);
}

float SIM_ShipOrder::GetNormalisedFloat2() const
{
    if (!type)
        return float2;
    return Normalise(float2, type->kind2, type->min2, type->max2);
}

bool SIM_ShipOrder::ResolveTarget(SIM_Ship* owner)
{
    if (shipId == -1 || targetShip)
        return true;
    if (!owner || !owner->fleet)
        return false;
    SIM_Ship* linked = SIM_Ship::FindShipByIdInVector(shipId, owner->fleet->GetAllShips());
    if (!linked)
        linked = SIM_Ship::FindShipByIdInVector(shipId, owner->fleet->GetLiveShips());
    if (!linked)
        return false;
    targetShip = linked;
    if (behaviour == "FORMATION") {
        float1 = owner->x - linked->x;
        float2 = owner->y - linked->y;
    }
    return true;
}
