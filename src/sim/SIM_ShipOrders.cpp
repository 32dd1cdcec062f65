#include "sim/SIM_ShipOrders.h"

#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/GTokenizer.h"
#include "engine/StrFormat.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_DefaultOrders.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_Ship.h"
#include "engine/RandomTables.h"

#include <algorithm>

namespace {
struct ClassDefault {
    float fighters1, fighters2, frigates1, frigates2, cruisers1, cruisers2;
};

// Attack priorities and ranges per hull class: cruiser, frigate, fighter.
const ClassDefault kClassDefaults[3] = {
    {0.1f, 300.0f, 0.5f, 400.0f, 0.8f, 800.0f},
    {0.3f, 500.0f, 0.7f, 500.0f, 0.5f, 500.0f},
    {0.8f, 200.0f, 0.4f, 200.0f, 0.2f, 200.0f},
};
} // namespace

SIM_ShipOrders& SIM_ShipOrders::operator=(const SIM_ShipOrders& other)
{
    if (this != &other)
        CopyFrom(other);
    return *this;
}

bool SIM_ShipOrders::NeedsTarget(const std::string& behaviour)
{
    return behaviour == "FORMATION" || behaviour == "ESCORT" || behaviour == "PROTECTIVE";
}

SIM_ShipOrder* SIM_ShipOrders::AddOrder(const std::string& behaviour, float float1, float float2)
{
    std::unique_ptr<SIM_ShipOrder> order = SIM_ShipOrder::Create(behaviour);
    if (!order)
        return nullptr;
    // Escorting, holding formation and roaming each exclude the other two.
    if (behaviour == "ESCORT") {
        RemoveOrder("FORMATION");
        RemoveOrder("KEEPMOVING");
    } else if (behaviour == "FORMATION") {
        RemoveOrder("ESCORT");
        RemoveOrder("KEEPMOVING");
    } else if (behaviour == "KEEPMOVING") {
        RemoveOrder("ESCORT");
        RemoveOrder("FORMATION");
    }
    order->float1 = float1;
    order->float2 = float2;
    return AppendOrder(std::move(order));
}

SIM_ShipOrder* SIM_ShipOrders::AppendOrder(std::unique_ptr<SIM_ShipOrder> order)
{
    QLM_ASSERT(order != nullptr);
    if (!order)
        return nullptr;
    if (SIM_ShipOrder* existing = GetOrder(order->behaviour))
        return existing;
    m_orders.push_back(std::move(order));
    return m_orders.back().get();
}

bool SIM_ShipOrders::HasOrder(const std::string& behaviour) const
{
    return GetOrder(behaviour) != nullptr;
}

bool SIM_ShipOrders::HasOrderWithValue(const std::string& behaviour, int value) const
{
    for (const auto& o : m_orders)
        if (o->behaviour == behaviour && o->secondInt == value)
            return true;
    return false;
}

SIM_ShipOrder* SIM_ShipOrders::GetOrder(const std::string& behaviour) const
{
    for (const auto& o : m_orders)
        if (o->behaviour == behaviour)
            return o.get();
    return nullptr;
}

void SIM_ShipOrders::RemoveOrder(const std::string& behaviour)
{
    auto it = std::find_if(m_orders.begin(), m_orders.end(),
                           [&](const std::unique_ptr<SIM_ShipOrder>& o) { return o->behaviour == behaviour; });
    if (it != m_orders.end())
        m_orders.erase(it);
}

void SIM_ShipOrders::RemoveOrdersTargeting(int shipId)
{
    std::erase_if(m_orders, [&](const std::unique_ptr<SIM_ShipOrder>& o) { return o->shipId == shipId; });
}

void SIM_ShipOrders::RemoveOrdersTargeting(const SIM_DeployedShip& ship)
{
    RemoveOrdersTargeting(ship.shipId);
}

void SIM_ShipOrders::RemoveUntargetedShipOrders()
{
    std::erase_if(m_orders, [](const std::unique_ptr<SIM_ShipOrder>& o) {
        return o->shipId == -1 && NeedsTarget(o->behaviour);
    });
}

void SIM_ShipOrders::CopyFrom(const SIM_ShipOrders& other)
{
    if (this == &other)
        return;
    m_orders.clear();
    for (const auto& o : other.m_orders)
        m_orders.push_back(std::make_unique<SIM_ShipOrder>(*o));
}

const char* SIM_ShipOrders::AttackBehaviourForClass(int hullClass)
{
    switch (hullClass) {
    case 0: return "ATTACK_CRUISERS";
    case 1: return "ATTACK_FRIGATES";
    default: return "ATTACK_FIGHTERS";
    }
}

void SIM_ShipOrders::SetDefaults(const SIM_ShipDesign* design)
{
    Clear();
    if (!design)
        return;
    if (const SIM_DefaultOrders* defaults = SIM_DefaultOrders::FindForDesign(design->GetName())) {
        for (const SIM_DefaultOrders::Entry& e : defaults->GetEntries())
            AddOrder(e.behaviour, e.float1, e.float2);
        return;
    }
    const int hullClass = design->GetHull() ? design->GetHull()->GetClass() : -1;
    if (hullClass < 0 || hullClass > 2)
        return;
    const ClassDefault& d = kClassDefaults[hullClass];
    AddOrder("ATTACK_FIGHTERS", d.fighters1, d.fighters2);
    AddOrder("ATTACK_FRIGATES", d.frigates1, d.frigates2);
    AddOrder("ATTACK_CRUISERS", d.cruisers1, d.cruisers2);
    if (hullClass <= 1 && design->CountModulesOfClass("SIM_RepairModule") > 0)
        AddOrder("CAUTIOUS", 0.5f, 0.0f);
}

bool SIM_ShipOrders::HasAttackOrderForClass(int hullClass) const
{
    return HasOrder(AttackBehaviourForClass(hullClass));
}

float SIM_ShipOrders::GetAttackRangeForClass(int hullClass) const
{
    if (hullClass < 0 || hullClass > 2)
        return 300.0f;
    const SIM_ShipOrder* order = GetOrder(AttackBehaviourForClass(hullClass));
    return order ? order->float2 : 300.0f;
}

float SIM_ShipOrders::GetAttackPriorityForClass(int hullClass) const
{
    if (hullClass < 0 || hullClass > 2)
        return 0.0f;
    const SIM_ShipOrder* order = GetOrder(AttackBehaviourForClass(hullClass));
    return order ? order->float1 : 0.0f;
}

void SIM_ShipOrders::Load(const GIniFile& ini)
{
    Clear();
    for (size_t i = 0; i < ini.GetEntryCount(); ++i) {
        if (ini.GetKeyAt(i).find("behaviour") == std::string::npos)
            continue;
        GTokenizer tok(ini.GetValueAt(i), ',');
        tok.source = ini.GetFileName() + " [" + ini.GetSection() + "] " + ini.GetKeyAt(i);
        std::string behaviour = tok.NextString();
        int shipId = tok.NextInt();
        float float1 = tok.NextFloat();
        float float2 = tok.NextFloat();
        if (shipId == -1 && NeedsTarget(behaviour))
            continue;
        if (HasOrder(behaviour))
            continue; // the first line of a behaviour wins
        std::unique_ptr<SIM_ShipOrder> order = SIM_ShipOrder::Create(behaviour);
        if (!order)
            continue; // unknown behaviour: reported by the lookup
        order->shipId = shipId;
        order->float1 = float1;
        order->float2 = float2;
        order->Clamp();
        AppendOrder(std::move(order));
    }
}

std::string SIM_ShipOrders::SaveToText()
{
    RemoveUntargetedShipOrders();
    std::string text;
    int index = 0;
    for (const auto& o : m_orders)
        text += StrFormat("behaviour_%d = %s,%d,%.2f,%.2f\n", index++, o->behaviour.c_str(), o->shipId,
                          static_cast<double>(o->float1), static_cast<double>(o->float2));
    return text;
}

void SIM_ShipOrders::Save(GSafeFile& file)
{
    QLM_ASSERT(file.IsOpen());
    file.Write(SaveToText());
}

void SIM_ShipOrders::ApplyTacticalChecks(SIM_Ship* owner)
{
    std::vector<std::string> unresolved;
    for (const auto& order : m_orders) {
        if (!order->ResolveTarget(owner)) {
            unresolved.push_back(order->behaviour);
            continue;
        }
        if (order->behaviour == "CAUTIOUS")
            m_cautiousLevel = order->float1;
    }
    for (const std::string& behaviour : unresolved)
        RemoveOrder(behaviour);

    if (!owner || !owner->IsFighter())
        return;
    const SIM_ShipOrder* escort = GetOrder("ESCORT");
    if (!escort)
        return;
    const SIM_Ship* escorted = escort->targetShip;
    QLM_ASSERT(escorted != nullptr);
    if (!escorted)
        return;
    const SIM_ShipHull* hull = escorted->GetHull();
    const float r = (hull ? hull->GetWidth() : 0.0f) / 3.0f;
    owner->x = escorted->x + (-r + RandomFloat() * 2.0f * r);
    owner->y = escorted->y + (-r + RandomFloat() * 2.0f * r);
}
