#pragma once
#include <memory>
#include <string>
#include <vector>

#include "battle/GUI_RenderObject.h"
#include "engine/CTexturedSprite.h"
#include "engine/SmartTexture.h"
#include "sim/SIM_ShipHull.h"

class GUI_Shield;
class GUI_ShipEmmiter;
class SIM_BeamWeaponModule;
class SIM_Ship;
class SIM_TargetedModule;

// The visual of one battle ship. The ship's constructor makes it, the ship
// factory has it read the hull once the modules exist, and the battle frame
// draws it through the draw lists; its draw also runs the ship's per-frame
// update, chosen by the ship's state. A dying ship plays the hull's timed
// destruction, whose last event takes the ship out of the battle. Everything
// it draws goes through the shared quad batch with textures resolved when
// the ship is built; a ship off the screen skips its drawing, never its update.
class GUI_Ship : public GUI_RenderObject {
public:
    // Explosion type started by a destruction line that begins the break-up.
    static constexpr int kStartBreakup = 10;
    // Type given to lines whose explosion name is unknown.
    static constexpr int kDefaultExplosion = 4;
    static constexpr float kBlastGlareInterval = 1000.0f; // ms of battle time
    static constexpr float kBreakupFadeMs = 400.0f;
    static constexpr float kSoundMargin = 128.0f;
    static constexpr float kBeamImpactSize = 4.0f;

    struct DestructionEvent {
        int type = kDefaultExplosion;
        float x = 0.0f;
        float y = 0.0f;
        float time = 0.0f;
        unsigned char done = 0;
    };

    // An engine nozzle from the hull, drawn as a glow behind the hull.
    struct EngineGlow {
        float x = 0.0f; // ship-local, world units
        float y = 0.0f;
        float width = 0.0f;
        float length = 0.0f;
        std::string texture;
        CTexturedSprite sprite; // resolved once; comes back by itself after a device reset
    };
    // A turret-mounted weapon with its turret picture, found at build.
    struct TurretDraw {
        SIM_TargetedModule* weapon = nullptr;
        CTexturedSprite sprite;
        float size = 0.0f; // world units
    };
    struct BeamDraw {
        SIM_BeamWeaponModule* beam = nullptr;
        CTexturedSprite sprite;
    };

    explicit GUI_Ship(SIM_Ship* ship);
    ~GUI_Ship() override;

    static const std::vector<GUI_Ship*>& GetAll();

    // Reads what the visual needs from the ship's hull; once the modules exist.
    void BuildAttachments();
    // Draws the ship by its state and runs its per-frame update.
    void Draw() override;
    void DrawHull();
    void DrawTeamTint();
    bool IsMouseOver();
    // The first of the ship's turret weapons with a turret under the mouse.
    SIM_TargetedModule* ModuleUnderMouse() const;
    float GetHullWidth() const { return spriteWidth; }
    // Advances the destruction clock by the frame's battle time and fires due
    // events; the last one kills the ship.
    void UpdateDestruction();
    void ApplyPendingLayer();
    void SetLayer(int newLayer);
    void StartWarpEffect();
    void ArmWarpOut();
    void ActivateTractorBeams();
    void DeleteShipEmmiters();
    void DeleteDamageSprites();
    int CountDamageLocations() const;
    // A hit at one of the hull's damage locations (ship-local): explosions,
    // the impact sound, and the location's emitters and damage sprite when
    // its flags ask for them.
    void ShowHitEffects(const SIM_ShipHull::Target& location, float damage, float directionX, float directionY);
    // A ship that enters already damaged (health 0..1) shows it at once.
    void ShowExistingDamage(float healthFraction);
    void AddDamageEmitters(const SIM_ShipHull::Target& location, float dx, float dy);
    void AddDamageSprite(const SIM_ShipHull::Target& location);
    void AddDamageSpriteOnce(const SIM_ShipHull::Target& location, float dx, float dy);
    void ShowHullDamage(float x, float y, float damage);
    void ShowArmourSpark(float x, float y);
    // The floating damage text of a hit.
    void ShowDamageText(float amount);
    void ShowShieldImpact(float x, float y);
    void ShowShieldCollapse();
    void SetShieldEffect(bool on);
    void ShowECMShock();
    void StopSound();
    void ShowSmartBomb(float strength);

    // The explosion type of a hull line's name; kDefaultExplosion (logged)
    // for a name no type has.
    static int FindExplosionType(const std::string& typeName);

    SIM_Ship* GetShip() const { return ship; }
    GUI_Shield* GetShield() const { return shield.get(); }
    const std::vector<std::unique_ptr<GUI_ShipEmmiter>>& GetShipEmmiters() const { return shipEmmiters; }
    // Locations that have a damage sprite (the sprites draw once they exist).
    const std::vector<const SIM_ShipHull::Target*>& GetDamageSpriteLocations() const { return damageSprites; }
    const std::vector<DestructionEvent>& GetDestructionEvents() const { return destructionEvents; }
    const std::vector<EngineGlow>& GetEngineGlows() const { return engineGlows; }
    const std::vector<TurretDraw>& GetTurretDraws() const { return turretDraws; }
    const std::vector<BeamDraw>& GetBeamDraws() const { return beamDraws; }
    bool IsBreakupStarted() const { return breakupStarted; }
    bool IsWarpEffectRunning() const { return warpEffectRunning; }
    bool IsWarpOutArmed() const { return warpOutArmed; }
    bool IsShieldEffectOn() const { return shieldEffectOn; }
    bool IsKilled() const { return killed; }
    const std::string& GetTextureName() const { return textureName; }
    const CTexturedSprite& GetHullSprite() const { return hullSprite; }
    float GetHoverRadiusSquared() const { return hoverRadiusSq; }

    float screenX = 0.0f;
    float screenY = 0.0f;
    float pickRadius = 0.0f;
    float destructionClock = 0.0f;
    float blastGlareClock = 0.0f;
    int damageMarksShown = 0;
    float fade = 1.0f;
    float docking = 0.0f;
    int currentLayer = 1;
    int pendingLayer = 1;
    int homeLayer = 1;
    // Counters in place of the effects, so the simulation's calls can be seen.
    int hitEffectCount = 0;
    int shieldImpactCount = 0;
    int armourSparkCount = 0;
    int shieldCollapseCount = 0;
    int emitterCount = 0;
    int firedExplosionCount = 0;
    int damageTextCount = 0;
    int updatesFromDraw = 0;

private:
    void ParseDestructionLines();
    void ParseEngineGlows();
    void BuildWeaponDraws();
    void DrawChildLayer(int drawLayer);
    void AddQuad(CTexturedSprite& sprite, bool additive);
    void FireDestructionEvent(const DestructionEvent& event);
    bool AllEventsDone() const;
    void FinishDestruction();
    void LocalToWorld(float lx, float ly, float& wx, float& wy) const;
    void PlayImpactSound();
    void PlaySoundAtShip(const std::string& file);
    void PlaceHullSprite();
    void DrawEngineGlows();
    void DrawTurrets();
    void DrawBeams();
    void DrawDying();
    bool OverlapsAnotherShip() const;

    SIM_Ship* ship = nullptr;
    std::unique_ptr<GUI_Shield> shield;
    std::vector<std::unique_ptr<GUI_ShipEmmiter>> shipEmmiters;
    std::vector<const SIM_ShipHull::Target*> damageSprites;
    std::vector<DestructionEvent> destructionEvents;
    std::vector<EngineGlow> engineGlows;
    std::vector<TurretDraw> turretDraws;
    std::vector<BeamDraw> beamDraws;
    std::string textureName;
    SmartTexture damageTexture;
    CTexturedSprite hullSprite;
    float spriteWidth = 0.0f;
    float spriteHeight = 0.0f;
    float hoverRadiusSq = 0.0f;
    bool breakupStarted = false;
    bool breakupFinished = false;
    float breakupTime = 0.0f;
    bool warpEffectRunning = false;
    bool warpOutArmed = false;
    bool shieldEffectOn = false;
    bool killed = false;
    float warpTime = 0.0f;
    float warpDelay = 0.0f;
    float warpDuration = 0.0f;
};
