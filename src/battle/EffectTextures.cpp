#include "battle/EffectTextures.h"

#include <memory>

#include "engine/SmartTexture.h"

namespace EffectTextures {

namespace {

const char* const kNames[COUNT] = {
    "contrails.dds",      "engine_colors.dds",     "runninglight.dds",   "breakup_alpha.dds",
    "debris.dds",         "smokeclouds.dds",       "shockwave2.dds",     "blastglare.dds",
    "escapepod.dds",      "escapepodengines.dds",  "armourglow.dds",     "radiation.dds",
    "lightning.dds",      "repairbots.dds",        "structural_tractor_beam_alpha.dds",
    "structural_tractor_beam_color.dds",           "ecmshock.dds",       "smartbomb_alpha.dds",
    "smartbomb_texture.dds",
};

SmartTexture* Table()
{
    // Never destroyed: textures are dropped by the engine at exit first.
    static SmartTexture* table = new SmartTexture[COUNT];
    return table;
}

} // namespace

const char* Name(Id id)
{
    return id >= 0 && id < COUNT ? kNames[id] : "";
}

TextureHandle Get(Id id)
{
    return id >= 0 && id < COUNT ? Table()[id].GetHandle() : 0;
}

void Refresh()
{
    SmartTexture* table = Table();
    for (int i = 0; i < COUNT; ++i)
        table[i].SetName(kNames[i]);
}

} // namespace EffectTextures
