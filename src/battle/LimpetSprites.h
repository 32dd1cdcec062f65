#pragma once
#include <vector>

#include "battle/BattleView.h"

class SIM_Limpet;
class SIM_LimpetLauncherModule;

// Limpets on the battle screen. Those in flight are drawn with their
// launcher's ship, as its modules' drawing (a glow behind them while they
// drift or chase, then the body); those stuck to a fighter with the fighter,
// over its shield. One sheet, "limpet_mine.dds": four body frames on its
// upper half, the glow at the start of its lower half. The simulation flies
// them; this only draws.
class LimpetSprites {
public:
    static constexpr float kGlowScale = 1.75f; // of the limpet's size
    static constexpr float kGlowBehind = 0.4f; // of the glow's side
    static constexpr int kBodyFrames = 4;
    // How far from its centre, in limpet sizes, anything of a limpet reaches:
    // the glow's far corner.
    static constexpr float kReach = kGlowScale * (kGlowBehind + 0.7072f);

    // Resolves the sheet; called when a ship with a launcher is built, so
    // that the battle's atlas takes it in.
    static void Load();
    // The launcher's limpets launching, drifting or chasing.
    [[gnu::noinline]] static void DrawFlying(const SIM_LimpetLauncherModule& launcher);
    // Limpets stuck to one ship.
    static void DrawStuck(const std::vector<SIM_Limpet*>& limpets);

    // A limpet's quads; false when nothing of it shows (no glow but while it
    // drifts or chases).
    static bool GlowQuad(const SIM_Limpet& limpet, const BattleView& view, ScreenVertex quad[4]);
    static bool BodyQuad(const SIM_Limpet& limpet, const BattleView& view, ScreenVertex quad[4]);
};
