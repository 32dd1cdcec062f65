#include "prep/DesignerCommon.h"

#include "app/GUI_Sounds.h"
#include "engine/CTexturedSprite.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

#include <map>

namespace designer {

namespace {
int g_lastSound = -1;
std::map<int, int>& SoundCounts()
{
    static std::map<int, int> counts;
    return counts;
}
} // namespace

void PlaySound(int sound)
{
    g_lastSound = sound;
    ++SoundCounts()[sound];
    GUI_Sounds::GetInstance().PlayGuiSound(sound);
}

int GetLastSound()
{
    return g_lastSound;
}

int GetSoundCount(int sound)
{
    auto it = SoundCounts().find(sound);
    return it == SoundCounts().end() ? 0 : it->second;
}

void DrawPanelBackdrop(const GRect& r, float alpha)
{
    D3DEngine::GetInstance().FillRect(r, 0x60000000u);
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, 32.0f, alpha, static_cast<float>(r.left),
                       static_cast<float>(r.top), static_cast<float>(r.right), static_cast<float>(r.bottom));
}

void FillRect(int left, int top, int right, int bottom, uint32_t colour)
{
    D3DEngine::GetInstance().FillRect(GRect{left, top, right, bottom}, colour);
}

static void Put(int align, const std::string& text, float x, float y, uint32_t colour, float width,
                float size = 16.0f)
{
    LibText& lib = LibText::GetInstance();
    if (!lib.FindFont("zekton16.dds"))
        return;
    lib.SetFont("zekton16.dds", size);
    lib.SetText(align, text, x, y, colour, width);
    lib.Render();
}

void DrawText(const std::string& text, float x, float y, uint32_t colour, float size)
{
    Put(TEXT_ALIGN_LEFT, text, x, y, colour, 0.0f, size);
}

void DrawTextRight(const std::string& text, float right, float y, uint32_t colour)
{
    LibText& lib = LibText::GetInstance();
    if (!lib.FindFont("zekton16.dds"))
        return;
    lib.SetFont("zekton16.dds", 16.0f);
    Put(TEXT_ALIGN_LEFT, text, right - static_cast<float>(lib.GetTextWidth(text)), y, colour, 0.0f);
}

void DrawTextCentred(const std::string& text, float left, float width, float y, uint32_t colour)
{
    Put(TEXT_ALIGN_CENTRE, text, left, y, colour, width);
}

void SetModuleIcon(CTexturedSprite& sprite, const SIM_ShipModuleType* type, const SIM_ShipHull* hull)
{
    sprite.SetUV(0.0f, 0.0f, 1.0f, 1.0f);
    if (!type)
        return;
    if (type->GetIconName() == "turret") {
        const SIM_Race* race = SIM_Race::Find(hull ? hull->GetRaceName() : std::string("federation"), false);
        const SIM_Race::Turret* turret = race ? race->FindTurret(type->GetConfigString("turret_sprite")) : nullptr;
        if (turret) {
            sprite.SetTexture(turret->texture);
            sprite.SetFrame(turret->frame, 64);
            return;
        }
    }
    sprite.SetTexture(type->GetIconName());
}

std::string Text(const std::string& key)
{
    return GetString(key.c_str());
}

} // namespace designer
