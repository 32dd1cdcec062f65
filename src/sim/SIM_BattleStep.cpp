#include "sim/SIM_BattleStep.h"

#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_CommsManager.h"
#include "sim/SIM_Prefetch.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipGrid.h"
#include "sim/SIM_ShipVisual.h"
#include "sim/ShipUpdateScheduler.h"
#include "sim/modules/SIM_GunProjectiles.h"
#include "sim/modules/SIM_MissileModule.h"

namespace {
void Notify(SIM_BattleStep::Observer* observer, SIM_BattleStep::Phase phase)
{
    if (observer)
        observer->OnPhase(phase);
}
} // namespace

void SIM_BattleStep::Step(float scaledMs)
{
    SIM_BattleClock::GetInstance().SetFrameTime(scaledMs);
    RunFrame(nullptr);
}

void SIM_BattleStep::RunFrame(Observer* observer)
{
    // Missiles fly before the world moves, where the screen draws them; their
    // flight never waits for the drawing.
    SIM_MissileModule::UpdateMissiles();
    Notify(observer, BEFORE_WORLD);
    ShipUpdateScheduler::GetInstance().UpdateWorld();
    // Nothing moves between the world step and the ships' own frames, so
    // their searches (a limpet's scan) use the grid the world step left.
    SIM_ShipGrid& grid = SIM_ShipGrid::GetInstance();
    grid.Resume();
    UpdateShips();
    grid.Close();
    UpdateProjectiles();
    Notify(observer, AFTER_SHIPS);
    Notify(observer, BEFORE_COMMS);
    SIM_CommsManager::GetInstance().Update();
    Notify(observer, BEFORE_BATTLE);
    SIM_Battle::GetInstance().Update();
}

void SIM_BattleStep::RunShipFrame(SIM_Ship* ship)
{
    if (!ship || ship->docked)
        return;
    SIM_ShipVisual* visual = ship->GetVisual();
    switch (ship->state) {
    case SIM_Ship::OFF_FIELD:
        if (visual)
            visual->UpdateWarpIn();
        break;
    case SIM_Ship::ACTIVE:
    case SIM_Ship::DYING:
    case SIM_Ship::DESTROYED:
        if (visual)
            ++visual->updatesFromDraw;
        ship->Update();
        break;
    default:
        break;
    }
}

void SIM_BattleStep::UpdateShips()
{
    // Survival waves join at the end of the list during the frame: the walk
    // goes by index and takes them in. Nothing leaves the list before the
    // next world step.
    // Ahead of the walk, staged: a ship's members three ships ahead, its
    // module list two ahead, its visual and first modules one ahead.
    const std::vector<SIM_Ship*>& live = GetLiveShips();
    for (size_t i = 0; i < live.size(); ++i) {
        if (i + 3 < live.size())
            PrefetchObject(live[i + 3], SIM_Ship::kFrameBytes);
        if (i + 2 < live.size())
            live[i + 2]->PrefetchModuleList();
        if (i + 1 < live.size())
            live[i + 1]->PrefetchUpdateParts();
        RunShipFrame(live[i]);
    }
}

void SIM_BattleStep::UpdateProjectiles()
{
    // ---- projectiles --------------------------------------------------------
    // Each weapon family's per-frame projectile update is called from here, in
    // this order, once per frame: bullets, kinetic shells, missiles, limpets,
    // plasma torpedoes, lightning arcs.
    SIM_GunProjectiles::UpdateAll();
    // ---- end of projectiles -------------------------------------------------
}
