#pragma once
#include "platform/IGraphicsDevice.h"

// The fixed textures of the battle effects, resolved by name when a battle
// starts (and again by themselves after a device reset), so that drawing
// only ever reads a handle.
namespace EffectTextures {

enum Id {
    CONTRAILS,
    ENGINE_COLOURS,
    RUNNING_LIGHT,
    BREAKUP_ALPHA,
    DEBRIS,
    SMOKE,
    SHOCKWAVE,
    BLAST_GLARE,
    ESCAPE_POD,
    ESCAPE_POD_ENGINES,
    ARMOUR_GLOW,
    RADIATION,
    LIGHTNING,
    REPAIR_BOTS,
    TRACTOR_ALPHA,
    TRACTOR_COLOUR,
    ECM_SHOCK,
    SMART_BOMB_ALPHA,
    SMART_BOMB_COLOUR,
    COUNT
};

const char* Name(Id id);
TextureHandle Get(Id id);
// Looks every name up again (battle start).
void Refresh();

} // namespace EffectTextures
