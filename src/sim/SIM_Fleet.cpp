#include "sim/SIM_Fleet.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "engine/GDebugLog.h"
#include "engine/RandomTables.h"
#include "sim/SIM_CollisionAvoider.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_FighterSquadron.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipGrid.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipOrders.h"
#include "sim/ShipUpdateScheduler.h"
#include "sim/modules/SIM_TacticalModule.h"

SIM_Fleet::SIM_Fleet() = default;

SIM_Fleet::~SIM_Fleet()
{
    // Avoiders watch each other across ships; unhook them all before any goes.
    for (SIM_Ship* ship : m_allShips) {
        if (ship && ship->GetCollisionAvoider())
            ship->GetCollisionAvoider()->ClearWatchers();
    }
    for (SIM_Ship* ship : m_allShips)
        delete ship;
    for (SIM_FighterSquadron* squadron : m_squadrons)
        delete squadron;
    m_allShips.clear();
    m_liveShips.clear();
    m_squadrons.clear();
}

void SIM_Fleet::BuildFromDeployment(const SIM_DeployedFleet& deployed, bool addToScheduler)
{
    for (const auto& record : deployed.GetShips()) {
        if (!record)
            continue;
        SIM_ShipDesign* design = SIM_ShipDesign::Find(record->design);
        QLM_ASSERT(design);
        if (!design || !design->GetHull()) {
            LOG_ERROR("Fleet skips a ship of unknown design: " + record->design);
            continue;
        }
        if (record->quantity < 2)
            BuildSingleShip(*record, design, addToScheduler);
        else
            BuildSquadron(*record, design, addToScheduler);
    }
    FinishBuild();
}

void SIM_Fleet::BuildSingleShip(const SIM_DeployedShip& record, SIM_ShipDesign* design, bool addToScheduler)
{
    auto* ship = new SIM_Ship();
    ship->name = record.name;
    ship->shipId = record.shipId;
    // Placed before the build so the ship's destination starts where it stands.
    ship->x = record.x;
    ship->y = record.y;
    AddShip(ship, design, record.orders);
    ship->x = record.x;
    ship->y = record.y;
    ship->SetAngle(record.angle);
    if (addToScheduler)
        ShipUpdateScheduler::GetInstance().AddShip(ship);
}

void SIM_Fleet::BuildSquadron(const SIM_DeployedShip& record, SIM_ShipDesign* design, bool addToScheduler)
{
    const int quantity = record.quantity;
    const int cols = std::max(1, static_cast<int>(std::sqrt(static_cast<float>(quantity))));
    const float cell = design->GetHull()->GetWidth() * 1.5f;
    const float halfBlock = static_cast<float>(cols) * cell * 0.5f;
    const float halfCell = cell * 0.5f;
    const float firstX = record.x - halfBlock + halfCell;
    float cellX = firstX;
    float cellY = record.y - halfBlock + halfCell;

    auto* squadron = new SIM_FighterSquadron();
    m_squadrons.push_back(squadron);
    int col = 0;
    for (int i = 0; i < quantity; ++i) {
        auto* ship = new SIM_Ship();
        squadron->AddMember(ship);
        ship->squadron = squadron;
        ship->name = record.name;
        ship->shipId = record.shipId;
        const float jitterX = halfCell + RandomFloat() * (0.0f - halfCell);
        const float jitterY = halfCell + RandomFloat() * (0.0f - halfCell);
        ship->x = cellX + jitterX;
        ship->y = cellY + jitterY;
        AddShip(ship, design, record.orders);
        ship->x = cellX + jitterX;
        ship->y = cellY + jitterY;
        ship->SetAngle(record.angle);
        if (++col >= cols) {
            col = 0;
            cellX = firstX;
            cellY += cell;
        } else {
            cellX += cell;
        }
        if (addToScheduler)
            ShipUpdateScheduler::GetInstance().AddShip(ship);
    }
}

void SIM_Fleet::AddShip(SIM_Ship* ship, SIM_ShipDesign* design, const SIM_ShipOrders& orders)
{
    if (!ship)
        return;
    m_allShips.push_back(ship);
    ship->SetFleet(this);
    ship->BuildFromDesign(design, std::make_unique<SIM_ShipOrders>(orders));
    m_startingStrength += ship->startingHitPoints;
    m_currentStrength += ship->startingHitPoints;
    if (design)
        m_totalCost += design->GetCost();
}

void SIM_Fleet::FinishBuild()
{
    PrepareShips();
    for (SIM_FighterSquadron* squadron : m_squadrons) {
        QLM_ASSERT(!squadron->GetMembers().empty());
        if (squadron->GetMembers().empty())
            continue;
        SIM_Ship* leader = squadron->GetMembers().front();
        squadron->SetLeader(leader);
        const SIM_ShipOrders* orders = leader->GetOrders();
        if (orders && orders->HasOrder("STICKTOGETHER") && squadron->SetUpFormation()) {
            squadron->AssignSlots();
            squadron->PlaceMembers();
        }
    }
    if (!m_allShips.empty() && m_allShips.front()->race)
        m_race = m_allShips.front()->race;
}

void SIM_Fleet::PrepareShips()
{
    for (SIM_Ship* ship : m_allShips) {
        if (ship && ship->tacticalModule)
            ship->tacticalModule->RefreshOrders();
    }
}

void SIM_Fleet::UpdateClassPresence()
{
    unsigned char presence[3] = {0, 0, 0};
    for (const SIM_Ship* ship : m_liveShips) {
        if (ship->IsDead() || ship->state == SIM_Ship::OFF_FIELD || ship->state == SIM_Ship::RETREATED)
            continue;
        const int hullClass = ship->GetHullClass();
        if (hullClass >= 0 && hullClass < 3)
            presence[hullClass] = 1;
    }
    bool changed = false;
    for (int i = 0; i < 3; ++i) {
        if (presence[i] != m_classPresence[i])
            changed = true;
        m_classPresence[i] = presence[i];
    }
    if (changed)
        NotifyOpponentShips();
}

void SIM_Fleet::NotifyOpponentShips()
{
    QLM_ASSERT(m_opponent);
    if (!m_opponent)
        return;
    for (SIM_Ship* ship : m_opponent->m_liveShips)
        ship->UpdateClassTargets();
}

float SIM_Fleet::ComputeCurrentStrength() const
{
    float strength = 0.0f;
    for (const SIM_Ship* ship : m_allShips) {
        if (ship->state != SIM_Ship::DESTROYED)
            strength += ship->startingHitPoints;
    }
    return strength;
}

float SIM_Fleet::GetStrengthFraction() const
{
    return m_startingStrength > 0.0f ? m_currentStrength / m_startingStrength : 0.0f;
}

void SIM_Fleet::OnShipKilled()
{
    m_currentStrength = ComputeCurrentStrength();
    // A fleet that started with nothing has nothing left to fight with.
    m_beaten = (m_startingStrength <= 0.0f || m_currentStrength / m_startingStrength < kBeatenFraction) ? 1 : 0;
}

bool SIM_Fleet::HasOnlyFighters() const
{
    for (const SIM_Ship* ship : m_allShips) {
        if (ship->state != SIM_Ship::DESTROYED && ship->GetHullClass() != SIM_ShipHull::FIGHTER)
            return false;
    }
    return true;
}

SIM_Ship* SIM_Fleet::GetStrongestShip() const
{
    SIM_Ship* best = nullptr;
    for (SIM_Ship* ship : m_allShips) {
        if (!best || ship->startingHitPoints > best->startingHitPoints)
            best = ship;
    }
    return best;
}

void SIM_Fleet::AddLiveShip(SIM_Ship* ship)
{
    if (ship && std::find(m_liveShips.begin(), m_liveShips.end(), ship) == m_liveShips.end())
        m_liveShips.push_back(ship);
    SIM_ShipGrid::GetInstance().Invalidate();
}

void SIM_Fleet::RemoveLiveShip(SIM_Ship* ship)
{
    auto it = std::find(m_liveShips.begin(), m_liveShips.end(), ship);
    if (it != m_liveShips.end())
        m_liveShips.erase(it);
    SIM_ShipGrid::GetInstance().Forget(ship);
}
