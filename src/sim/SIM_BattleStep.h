#pragma once

class SIM_Ship;

// The one way a battle frame runs, for the battle screen and the headless
// runner alike, so that a seed and a list of frame times give the same battle
// in both: the world step (movement, the scheduler's thinks, removals), then
// every ship's frame update in live-ship order, then the projectiles, then the
// comms and the battle's own update (clock, samples, end check).
//
// The caller sets the frame's battle time on the battle clock first. The
// screen draws between the phases through the observer; drawing never feeds
// back into the simulation.
class SIM_BattleStep {
public:
    enum Phase {
        BEFORE_WORLD,  // the screen draws its back layers
        AFTER_SHIPS,   // ships and projectiles have moved: the screen draws them
        BEFORE_COMMS,
        BEFORE_BATTLE,
    };

    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void OnPhase(Phase phase) = 0;
    };

    // One frame at the battle time already on the clock.
    static void RunFrame(Observer* observer = nullptr);
    // Sets scaledMs of battle time on the clock, then runs the frame.
    static void Step(float scaledMs);

    // A ship's part of the frame: an off-field ship waits out its warp-in, a
    // ship on the field (or dying) runs its modules' frame update. A docked
    // fighter sits in its carrier and does neither.
    static void RunShipFrame(SIM_Ship* ship);
    static void UpdateShips();
    // Bullets, shells, missiles, limpets and torpedoes of every weapon.
    static void UpdateProjectiles();
};
