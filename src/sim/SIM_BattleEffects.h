#pragma once

class SIM_Ship;
class SIM_ShipModule;

// The visual hooks the simulation calls (muzzle blasts, impacts, flashes,
// arcs). The battle screen installs its implementation when a battle starts;
// without one (headless runner, tests) every hook is a no-op, so a hook can
// never change an outcome. Hooks only show things: they take no randomness
// from the combat tables and return nothing the simulation reads.
class SIM_BattleEffects {
public:
    virtual ~SIM_BattleEffects() = default;

    // Never null: the no-op set when no screen installed one.
    static SIM_BattleEffects& Get() { return current ? *current : NullEffects(); }
    // nullptr restores the no-op set.
    static void Set(SIM_BattleEffects* effects) { current = effects; }

    // Hooks are grouped by the modules that call them; each has an empty
    // default so a screen overrides only what it draws.

    // Guns: bullets, kinetic shells, lightning arcs, plasma torpedoes.
    // An impact ring on the ship's shield where a projectile was stopped.
    virtual void ProjectileShieldImpact(SIM_Ship* /*ship*/, float /*size*/, float /*x*/, float /*y*/) {}
    // A blast arc where a projectile went through the ship's shield.
    virtual void ProjectileShieldBlast(SIM_Ship* /*ship*/, float /*x*/, float /*y*/) {}
    // Moves the ship's latest floating damage text to the hit point.
    virtual void ProjectileHitPosition(SIM_Ship* /*ship*/, float /*x*/, float /*y*/) {}
    // An explosion of the given kind on the ship's visual at (x, y).
    virtual void PlasmaExplosion(SIM_Ship* /*ship*/, int /*kind*/, float /*x*/, float /*y*/) {}

    // Missiles, limpets, point defence, ECM, smart bombs
    // A missile shot down, burnt out or left without a target: smoke, flames, sparks.
    virtual void MissileExploded(float /*x*/, float /*y*/) {}
    // A missile met the target's shield bubble at (x, y); blast when it gets through.
    virtual void MissileHitShield(SIM_Ship* /*target*/, float /*x*/, float /*y*/, bool /*blast*/) {}
    // A smart bomb went off around the ship.
    virtual void SmartBombDetonated(SIM_Ship* /*ship*/, float /*radius*/) {}

    // Support, tractors, repair, carriers, retreat
    // Radiation burnt: the glow moves to (effectX, effectY) and the total
    // shows at (textX, textY), both in the ship's own frame.
    virtual void ShowRadiation(SIM_Ship* /*ship*/, float /*effectX*/, float /*effectY*/, float /*textX*/,
                               float /*textY*/, float /*total*/) {}
    // A repair module mends something this step: a repair bot may fly out.
    virtual void RepairBotAtWork(SIM_ShipModule* /*repairModule*/) {}
    // A docked fighter is whole again: its smoke and damage marks go.
    virtual void FighterRepaired(SIM_Ship* /*fighter*/) {}
    // A fighter leaves its carrier's bay: back to its normal look.
    virtual void FighterLaunched(SIM_Ship* /*fighter*/) {}
    // A shield support beam feeds the target's shield: the shield glows.
    virtual void ShieldFed(SIM_Ship* /*target*/) {}

private:
    static SIM_BattleEffects& NullEffects()
    {
        static SIM_BattleEffects none;
        return none;
    }
    static inline SIM_BattleEffects* current = nullptr;
};
