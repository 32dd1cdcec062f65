#pragma once
#include <memory>
#include <string>
#include <vector>

#include "battle/AttachmentView.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/GUI_RenderObject.h"
#include "battle/ShipTurrets.h"
#include "battle/SupportBeamDraws.h"
#include "battle/VisualStep.h"
#include "battle/WeaponShotDraws.h"
#include "engine/CTexturedSprite.h"
#include "engine/SmartTexture.h"
#include "sim/SIM_Prefetch.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipVisual.h"

class GUI_Breakup;
class GUI_CamoflageShield;
class GUI_ConTrail;
class GUI_DamageSprite;
class GUI_ECMShock;
class GUI_EngineGlow;
class GUI_EngineGlowCollection;
class GUI_Hulk;
class GUI_PowerGlow;
class GUI_RepairBotSwarm;
class GUI_RunningLight;
class GUI_Shield;
class GUI_ShipEmmiter;
class GUI_SmartBombEffect;
class GUI_SplatManager;
class GUI_TractorBeamCollection;
class GUI_WarpEffect;
class QuadRunBatch;
class SIM_BeamWeaponModule;
class SIM_LimpetLauncherModule;
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
    static constexpr float kSoundMargin = 128.0f;
    static constexpr float kEngineSoundMargin = 300.0f;
    static constexpr float kFighterDroneShare = 0.03125f; // of the hull width
    static constexpr float kCruiserDroneShare = 0.00390625f;
    static constexpr float kBeamImpactSize = 4.0f;
    // A beam's grain repeats once per this x its grain scale (sixteen
    // widths: few pieces a beam); the blast where a shield stops a beam is
    // this many widths across.
    static constexpr float kGrainRepeatScale = 1024.0f;
    static constexpr float kBeamBlastWidths = 6.0f;
    static constexpr float kGrainWrap = 250.0f; // where a beam's grain offset wraps
    static constexpr float kHulkFadeMs = 250.0f;
    static constexpr float kDamageEffectMargin = 600.0f;
    // A ship this far out of view, plus its size and the way the particles
    // of its engine trails and smoke reach at full speed, brings its
    // attachments up to date only every kLazyFrames-th frame, covering the
    // frames between, unless a passing effect (an explosion, a glare) hangs
    // on it or one of its con trails may show: those it tests while within
    // their reach at full speed.
    static constexpr float kLazyMargin = 50.0f;
    static constexpr int kLazyFrames = VisualLag::kEvery;
    using TurretDraw = ShipTurrets::Turret;
    struct BeamDraw {
        SIM_BeamWeaponModule* beam = nullptr;
        CTexturedSprite sprite;
        CTexturedSprite grain; // only for a beam with grain
        CTexturedSprite blast; // where a shield stops it
    };

    explicit GUI_Ship(SIM_Ship* ship);
    ~GUI_Ship() override;

    // The battle screen makes every ship's visual through this from then on.
    static void InstallFactory();
    // The screen visual of a ship; null when it has none.
    static GUI_Ship* Of(const SIM_Ship* ship);
    static const std::vector<GUI_Ship*>& GetAll();
    // Some live visual has a cloak (and may draw as its shimmer).
    static bool AnyCamouflage();
    // The visuals of ships with a cloak, in the order they were made.
    static const std::vector<GUI_Ship*>& GetCloaked();

    void BuildAttachments() override;
    // Draws the ship by its state; the battle frame has run its update.
    void Draw() override;
    void DrawHull();
    // Offers the ship's engine to its drone (fighters the fighter drone, the
    // others the cruiser drone) by hull width; ships far off screen are not
    // heard.
    void UpdateEngineSound();
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
    void SetShieldEffect(bool on) override;
    void ShowArmourSpark(float x, float y) override;
    void ShowECMShock() override;
    void StopSound() override;
    void ShowSmartBomb(float strength) override;
    void ActivateTractorBeams() override;
    // A radiation burn at a ship-local point.
    void ShowRadiationSplat(float x, float y);

    // A random fully shown damage patch (repair bots); null when none.
    GUI_DamageSprite* PickDamageSprite();
    int GetDamageSpriteCount() const { return static_cast<int>(damageSprites.size()); }
    // The ship unrotated into a square image of side pixels (cloak, warp),
    // its top-left corner at (left, top) of the current target; drawn at
    // once, or collected in `batch` when one is given.
    void DrawIntoImage(float side, float left = 0.0f, float top = 0.0f, QuadRunBatch* batch = nullptr);
    // Changes whenever what DrawIntoImage draws may have changed.
    unsigned GetImageVersion() const { return imageVersion; }
    // The rest of what DrawIntoImage draws at a size, as a key (turning the
    // turrets by the time they waited first): equal keys and versions, equal
    // images.
    uint64_t TakeImageKey();
    // A cloak is on (drawn as the shimmering mesh of its image).
    bool IsCamouflaged() const;
    // The hull shows, uncloaked, and with it what lies beneath it (the
    // structural bands): in battle, while dying until its break-up takes
    // over, and while released hulks replace it. Never inside a carrier.
    bool ShowsHullUnderlays() const;
    // The arriving ship at warp progress p.
    void DrawWarping(float p);

    GUI_Shield* GetShield() const { return shield.get(); }
    const std::vector<std::unique_ptr<GUI_ShipEmmiter>>& GetShipEmmiters() const { return shipEmmiters; }
    const std::vector<std::unique_ptr<GUI_DamageSprite>>& GetDamageSprites() const { return damageSprites; }
    const std::vector<std::unique_ptr<GUI_EngineGlow>>& GetEngineGlows() const { return engineGlows; }
    GUI_EngineGlowCollection* GetEngineGlowCollection() const { return glowCollection.get(); }
    const std::vector<std::unique_ptr<GUI_ConTrail>>& GetConTrails() const { return conTrails; }
    const std::vector<std::unique_ptr<GUI_PowerGlow>>& GetPowerGlows() const { return powerGlows; }
    const std::vector<std::unique_ptr<GUI_RunningLight>>& GetRunningLights() const { return runningLights; }
    const std::vector<std::unique_ptr<GUI_Hulk>>& GetUnreleasedHulks() const { return hulks; }
    const std::vector<std::unique_ptr<GUI_RepairBotSwarm>>& GetRepairSwarms() const { return repairSwarms; }
    GUI_TractorBeamCollection* GetTractorBeams() const { return tractorBeams.get(); }
    GUI_SplatManager* GetSplats() const { return splats.get(); }
    GUI_CamoflageShield* GetCamouflage() const { return camouflage.get(); }
    GUI_WarpEffect* GetWarpEffect() const { return warp.get(); }
    GUI_Breakup* GetBreakup() const { return breakup.get(); }
    GUI_ECMShock* GetECMShock() const { return ecmShock.get(); }
    GUI_SmartBombEffect* GetSmartBomb() const { return smartBomb.get(); }
    // This frame's attachment update waits for a later one (out of view).
    bool AreChildrenDeferred() const { return childLag.IsWaiting(); }
    bool AreHulksReleased() const { return hulksReleased; }
    float GetHulkFade() const { return hulkFade; }
    const std::vector<TurretDraw>& GetTurretDraws() const { return turrets.GetTurrets(); }
    const std::vector<BeamDraw>& GetBeamDraws() const { return beamDraws; }
    const SupportBeamDraws& GetSupportBeams() const { return supportBeams; }
    const WeaponShotDraws& GetWeaponShots() const { return weaponShots; }
    // Battle time the turrets have waited to turn (they turn only where
    // they are drawn, and catch up by all of it).
    float GetTurretIdleMs() const { return turrets.GetIdleMs(); }
    const std::string& GetTextureName() const { return textureName; }
    const CTexturedSprite& GetHullSprite() const { return hullSprite; }
    float GetHoverRadiusSquared() const { return hoverRadiusSq; }
    // Starts loading what a draw of this ship reads, ahead of the draw.
    void PrefetchDraw() const
    {
        PrefetchObject(this, static_cast<size_t>(reinterpret_cast<const char*>(&hullSprite + 1) -
                                                 reinterpret_cast<const char*>(this)));
    }

    float screenX = 0.0f;
    float screenY = 0.0f;
    float pickRadius = 0.0f;

protected:
    void OnDestructionEvent(const DestructionEvent& event) override;
    void OnDestroyed() override;
    void OnBreakupStarted() override;

private:
    void ParseEngineGlows();
    void BuildEffects(const SIM_ShipHull* hull);
    // DrawHull's part for a hull whose quad is placed on the screen.
    void DrawHullOnScreen(bool camouflaged);
    void DrawDamageSprites();
    void DrawDamageSpriteEffects();
    void BuildWeaponDraws();
    // Decides whether this frame's attachment update, of dt ms, runs or waits.
    void PlanChildUpdate(float dt);
    float LazyMargin() const;
    float TrailMargin() const;
    // Some con trail's points may lie on the screen.
    bool TrailsMayShow() const;
    // Its particle children's reach, after every change of them.
    void NoteParticleReach();
    // Children that are not the ship's own attachments: passing effects.
    bool HasPassingEffects() const;
    // Notes which kinds of its own attachments each layer holds; after
    // every change of them.
    void NoteOwnKinds();
    // Nothing in the layer would draw or step in a walk under the view.
    bool LayerIsIdle(int drawLayer, const AttachmentView& view) const;
    void DrawChildLayer(int drawLayer);
    // DrawChildLayer's walk of a layer that has children and does not wait.
    void WalkChildLayer(int drawLayer);
    void AddQuad(CTexturedSprite& sprite, bool additive);
    void LocalToWorld(float lx, float ly, float& wx, float& wy) const;
    void PlayImpactSound();
    void PlaySoundAtShip(const std::string& file);
    // False, with the quad left unplaced, when asked to spare a hull that
    // cannot touch the screen.
    bool PlaceHullSprite(bool unlessFar = false);
    void DrawBeams();
    [[gnu::noinline]] void DrawFlyingLimpets();
    [[gnu::noinline]] void DrawStuckLimpets();
    void DrawDying();
    bool OverlapsAnotherShip() const;

    // Every frame's draw reads these, on the screen or off it: they lie
    // together so that a ship's draw touches few cache lines (see
    // PrefetchDraw). The rest, read only by ships in view or by rarer
    // events, follows the hull sprite.
    // The attachments' update: what it covers, and whether it waits.
    VisualLag childLag;
    float trailReachMs = 0.0f; // the longest con trail's life
    GUI_ParticleEmmiter::Reach particleReach;
    bool hullDrawnThisFrame = false;
    bool inDraw = false;
    bool childViewTaken = false;
    // Per child layer: a light of it may still say it drew (a walk with the
    // lights on came after the last walk that turned them off).
    bool lightsMayShow[3] = {true, true, true};
    // Per child layer, the kinds of the ship's own attachments in it.
    static constexpr unsigned char kOtherKinds = 1, kTrailKind = 2, kGlowKind = 4, kLightKind = 8;
    unsigned char ownKinds[3] = {kOtherKinds, kOtherKinds, kOtherKinds};
    bool hasLimpetLaunchers = false;
    bool hasShotWeapons = false; // lightning guns or plasma launchers
    bool limpetsMayStick = false; // a fighter: only fighters are hunted
    // How many children the ship adds itself (HasPassingEffects).
    size_t ownChildren = 0;
    float hoverRadiusSq = 0.0f;
    std::unique_ptr<GUI_Shield> shield;
    std::vector<std::unique_ptr<GUI_ShipEmmiter>> shipEmmiters;
    std::vector<std::unique_ptr<GUI_DamageSprite>> damageSprites;
    std::vector<std::unique_ptr<GUI_EngineGlow>> engineGlows;
    std::unique_ptr<GUI_EngineGlowCollection> glowCollection;
    std::vector<std::unique_ptr<GUI_ConTrail>> conTrails;
    std::vector<std::unique_ptr<GUI_PowerGlow>> powerGlows;
    std::vector<std::unique_ptr<GUI_RunningLight>> runningLights;
    std::unique_ptr<GUI_SplatManager> splats;
    std::unique_ptr<GUI_CamoflageShield> camouflage;
    std::vector<std::unique_ptr<GUI_RepairBotSwarm>> repairSwarms;
    std::unique_ptr<GUI_ECMShock> ecmShock;
    std::unique_ptr<GUI_SmartBombEffect> smartBomb;
    std::vector<BeamDraw> beamDraws;
    // What the attachments read, taken once per Draw for all its walks.
    AttachmentView childView;
    CTexturedSprite hullSprite;

    std::unique_ptr<GUI_TractorBeamCollection> tractorBeams;
    std::unique_ptr<GUI_WarpEffect> warp;
    std::unique_ptr<GUI_Breakup> breakup;
    std::vector<std::unique_ptr<GUI_Hulk>> hulks;
    bool hulksReleased = false;
    float hulkFade = 0.0f;
    float hulkFadeTime = 0.0f;
    ShipTurrets turrets;
    SupportBeamDraws supportBeams;
    WeaponShotDraws weaponShots;
    // Read only for a ship with launchers (hasLimpetLaunchers) while some limpet is out.
    std::vector<SIM_LimpetLauncherModule*> limpetLaunchers;
    std::string textureName;
    SmartTexture damageTexture;
    unsigned hitCounter = 0;
    unsigned soundCounter = 0;
    unsigned imageVersion = 0;
};
