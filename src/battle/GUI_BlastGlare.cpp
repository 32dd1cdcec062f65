#include "battle/GUI_BlastGlare.h"

#include <algorithm>
#include <cmath>

#include "battle/CameraShake.h"
#include "battle/EffectDrawing.h"
#include "battle/EffectTextures.h"
#include "battle/GUI_AsteroidField.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_DebrisPool.h"
#include "battle/GUI_Hulk.h"
#include "battle/GUI_Map.h"
#include "battle/VisualStep.h"
#include "engine/QuadRunBatch.h"

namespace {

std::vector<GUI_BlastGlare*>& List()
{
    static auto* list = NewReservedList<GUI_BlastGlare*>(64);
    return *list;
}

} // namespace

const std::vector<GUI_BlastGlare*>& GetBlastGlares()
{
    return List();
}

float GUI_BlastGlare::ShakeStrength(float s, float px, float py)
{
    const GUI_Map& map = GUI_Map::GetInstance();
    if (!map.HasScreen() || map.IsOffScreen(px, py, 128.0f))
        return 0.0f;
    const float sx = (px - map.cameraX) * ZoomScale, sy = (py - map.cameraY) * ZoomScale;
    const float w = static_cast<float>(map.GetScreenWidth());
    const float h = static_cast<float>(map.GetScreenHeight());
    const float d = std::sqrt((sx - w * 0.5f) * (sx - w * 0.5f) + (sy - h * 0.5f) * (sy - h * 0.5f));
    const float fall = d <= 400.0f ? 0.0f : std::clamp((d - 400.0f) / 400.0f, 0.0f, 1.0f);
    return std::clamp(std::clamp(ZoomScale * 0.25f, 0.0f, 1.0f) * std::clamp(s / 64.0f, 0.0f, 1.0f) - fall, 0.0f,
                      1.0f) *
           (1024.0f / w);
}

GUI_BlastGlare::GUI_BlastGlare(float s, float px, float py)
    : x(px), y(py), size(s * 3.0f)
{
    layer = 2;
    maxZoom = -1.0f;
    minZoom = -1.0f;
    List().push_back(this);
    const float k = ShakeStrength(s, px, py);
    if (k > 0.1f)
        CameraShake::GetInstance().Start(k);
    if (s > 32.0f) {
        const float p = std::clamp(s / 256.0f, 0.0f, 1.0f);
        GUI_AsteroidField::GetInstance().ApplyBlast(p, px, py, GUI_BattleGUI::GetInstance().frameHoldSpare);
        GetDebrisPools().first.Shock(p, px, py);
        GetDebrisPools().second.Shock(p, px, py);
        PushHulks(p, px, py);
    }
    flickerLevel = 1.0f;
}

GUI_BlastGlare::~GUI_BlastGlare()
{
    if (parent)
        parent->RemoveFromParent(this);
    auto& list = List();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void GUI_BlastGlare::Draw()
{
    const float ms = VisualStep::Current().ms;
    elapsed += ms;
    flickerTimer += ms;
    if (flickerTimer > kFlickerMs) {
        flickerTimer = std::fmod(flickerTimer, kFlickerMs);
        flickerFlag ^= 1;
        flickerLevel = flickerFlag ? 1.0f : 0.9f;
    }
    const float t = elapsed / lifetime;
    if (t >= 1.0f) {
        alive = 0;
        return;
    }
    const float grow = std::clamp(elapsed / (lifetime * 0.25f), 0.0f, 1.0f);
    const GUI_Map& map = GUI_Map::GetInstance();
    flash.SetSize(size * grow * ZoomScale);
    const float fade = std::clamp((t - 0.7f) / 0.3f, 0.0f, 1.0f);
    lastAlpha = static_cast<int>((255.0f - fade * 255.0f) * flickerLevel);
    flash.SetAlpha(static_cast<uint8_t>(std::clamp(lastAlpha, 0, 255)));
    flash.Place((x - map.cameraX) * ZoomScale, (y - map.cameraY) * ZoomScale);
    const TextureHandle texture = EffectTextures::Get(EffectTextures::BLAST_GLARE);
    for (int i = 0; i < 4; ++i)
        if (flash.GetQuarter(i).IsOnScreen())
            QuadRunBatch::Shared().Add(texture, true, flash.GetQuarter(i).m_vertices);
}

GUI_BlastGlare* SpawnBlastGlare(float size, float x, float y, GUI_RenderObject* parent)
{
    auto* glare = new GUI_BlastGlare(size, x, y);
    if (parent)
        parent->AddChild(glare);
    else
        glare->alive = 0;
    return glare;
}

void PurgeBlastGlares()
{
    auto& list = List();
    for (size_t i = 0; i < list.size();) {
        GUI_BlastGlare* glare = list[i];
        // A glare whose ship visual is gone is never drawn again.
        if (!glare->alive || !glare->GetParent())
            delete glare; // leaves the list
        else
            ++i;
    }
}

void ClearBlastGlares()
{
    auto& list = List();
    while (!list.empty())
        delete list.back();
}
