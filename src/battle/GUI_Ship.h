#pragma once
#include <memory>
#include <string>
#include <vector>

#include "battle/GUI_RenderObject.h"
#include "engine/CTexturedSprite.h"
#include "engine/SmartTexture.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipVisual.h"

class GUI_Shield;
class GUI_ShipEmmiter;
class SIM_BeamWeaponModule;
class SIM_Ship;
class SIM_TargetedModule;

// The visual of one battle ship: what the simulation's side of it (warp-in,
// destruction timeline, effect calls) shows on the battle screen. The battle
// screen installs the factory that makes one for every ship built; the ship
// factory has it read the hull once the modules exist, and the battle frame
// draws it through the draw lists. Everything it draws goes through the
// shared quad batch with textures resolved when the ship is built; a ship off
// the screen skips its drawing.
class GUI_Ship : public SIM_ShipVisual, public GUI_RenderObject {
public:
    static constexpr float kBlastGlareInterval = 1000.0f; // ms of battle time
    static constexpr float kBreakupFadeMs = 400.0f;
    static constexpr float kSoundMargin = 128.0f;
    static constexpr float kBeamImpactSize = 4.0f;

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

    // The battle screen makes every ship's visual through this from then on.
    static void InstallFactory();
    // The screen visual of a ship; null when it has none.
    static GUI_Ship* Of(const SIM_Ship* ship);
    static const std::vector<GUI_Ship*>& GetAll();

    void BuildAttachments() override;
    // Draws the ship by its state; the battle frame has run its update.
    void Draw() override;
    void DrawHull();
    void DrawTeamTint();
    bool IsMouseOver();
    void ApplyPendingLayer() override;
    void SetLayer(int newLayer) override;
    // The first of the ship's turret weapons with a turret under the mouse.
    SIM_TargetedModule* ModuleUnderMouse() const;
    float GetHullWidth() const { return spriteWidth; }
    void DeleteShipEmmiters() override;
    void DeleteDamageSprites() override;
    // A hit at one of the hull's damage locations (ship-local): explosions,
    // the impact sound, and the location's emitters and damage sprite when
    // its flags ask for them.
    void ShowHitEffects(const SIM_ShipHull::Target& location, float damage, float directionX,
                        float directionY) override;
    // A ship that enters already damaged (health 0..1) shows it at once.
    void ShowExistingDamage(float healthFraction) override;
    void AddDamageEmitters(const SIM_ShipHull::Target& location, float dx, float dy);
    void AddDamageSprite(const SIM_ShipHull::Target& location);
    void AddDamageSpriteOnce(const SIM_ShipHull::Target& location, float dx, float dy);
    void ShowShieldImpact(float x, float y) override;
    void ShowShieldCollapse() override;

    GUI_Shield* GetShield() const { return shield.get(); }
    const std::vector<std::unique_ptr<GUI_ShipEmmiter>>& GetShipEmmiters() const { return shipEmmiters; }
    // Locations that have a damage sprite (the sprites draw once they exist).
    const std::vector<const SIM_ShipHull::Target*>& GetDamageSpriteLocations() const { return damageSprites; }
    const std::vector<EngineGlow>& GetEngineGlows() const { return engineGlows; }
    const std::vector<TurretDraw>& GetTurretDraws() const { return turretDraws; }
    const std::vector<BeamDraw>& GetBeamDraws() const { return beamDraws; }
    const std::string& GetTextureName() const { return textureName; }
    const CTexturedSprite& GetHullSprite() const { return hullSprite; }
    float GetHoverRadiusSquared() const { return hoverRadiusSq; }

    float screenX = 0.0f;
    float screenY = 0.0f;
    float pickRadius = 0.0f;
    float blastGlareClock = 0.0f;

protected:
    void OnDestructionEvent(const DestructionEvent& event) override;
    void OnDestroyed() override;

private:
    void ParseEngineGlows();
    void BuildWeaponDraws();
    void DrawChildLayer(int drawLayer);
    void AddQuad(CTexturedSprite& sprite, bool additive);
    void LocalToWorld(float lx, float ly, float& wx, float& wy) const;
    void PlayImpactSound();
    void PlaySoundAtShip(const std::string& file);
    void PlaceHullSprite();
    void DrawEngineGlows();
    void DrawTurrets();
    void DrawBeams();
    void DrawDying();
    bool OverlapsAnotherShip() const;

    std::unique_ptr<GUI_Shield> shield;
    std::vector<std::unique_ptr<GUI_ShipEmmiter>> shipEmmiters;
    std::vector<const SIM_ShipHull::Target*> damageSprites;
    std::vector<EngineGlow> engineGlows;
    std::vector<TurretDraw> turretDraws;
    std::vector<BeamDraw> beamDraws;
    std::string textureName;
    SmartTexture damageTexture;
    CTexturedSprite hullSprite;
    float hoverRadiusSq = 0.0f;
    bool breakupFinished = false;
    unsigned hitCounter = 0;
    unsigned soundCounter = 0;
};
