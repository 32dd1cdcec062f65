#include "battle/hud/ModulePicture.h"

#include "engine/CTexturedSprite.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

ModulePicture ModulePicture::Find(const SIM_ShipModuleType& type, const SIM_ShipHull* hull)
{
    ModulePicture picture;
    const char* icon = type.GetConfigString("icon");
    if (hull && icon && std::string(icon) == "turret") {
        const SIM_Race* race = SIM_Race::Find(hull->GetRaceName());
        const char* name = type.GetConfigString("turret_sprite");
        if (const SIM_Race::Turret* turret = race && name ? race->FindTurret(name) : nullptr) {
            picture.texture = turret->texture;
            picture.frame = turret->frame;
            return picture;
        }
    }
    picture.texture = type.GetIconForHull(hull);
    return picture;
}

void ModulePicture::ApplyTo(CTexturedSprite& sprite) const
{
    sprite.SetTexture(texture);
    if (frame >= 0)
        sprite.SetFrame(frame, kTurretSheetFrames);
}
