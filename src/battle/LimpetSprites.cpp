#include "battle/LimpetSprites.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "battle/GUI_Map.h"
#include "engine/QuadRunBatch.h"
#include "engine/SmartTexture.h"
#include "sim/modules/SIM_Limpet.h"
#include "sim/modules/SIM_LimpetLauncherModule.h"

namespace {

struct Turn {
    float sine, cosine;
};

// The limpet's heading: the simulation's own sine and cosine while they are
// those of its angle (a launch keeps its direction's), else worked out.
Turn TurnOf(const SIM_Limpet& limpet)
{
    if (limpet.trigAngleBits == std::bit_cast<uint32_t>(limpet.angle))
        return {limpet.sine, limpet.cosine};
    if (limpet.state == SIM_Limpet::LAUNCHING)
        return {limpet.launchSin, limpet.launchCos};
    const float a = limpet.angle * BattleView::kDegToRad;
    return {std::sin(a), std::cos(a)};
}

bool Glows(const SIM_Limpet& limpet)
{
    return limpet.state == SIM_Limpet::DRIFTING || limpet.state == SIM_Limpet::CHASING;
}

bool PlaceGlow(const SIM_Limpet& limpet, Turn turn, const BattleView& view, ScreenVertex quad[4])
{
    if (!Glows(limpet))
        return false;
    static const float kGlowCell[4] = {0.0f, 1.0f / LimpetSprites::kBodyFrames, 0.5f, 1.0f};
    const float side = LimpetSprites::kGlowScale * limpet.limpetSize * view.zoom;
    const float back = LimpetSprites::kGlowBehind * side;
    PlaceHeadingQuad(view.ScreenX(limpet.x) - turn.sine * back, view.ScreenY(limpet.y) + turn.cosine * back, side,
                     side, turn.sine, turn.cosine, kGlowCell, 0xFFFFFFFFu, quad);
    return true;
}

void PlaceBody(const SIM_Limpet& limpet, Turn turn, const BattleView& view, ScreenVertex quad[4])
{
    const float frame = static_cast<float>(std::clamp(limpet.animationFrame, 0, LimpetSprites::kBodyFrames - 1));
    const float cell[4] = {frame / LimpetSprites::kBodyFrames, (frame + 1.0f) / LimpetSprites::kBodyFrames, 0.0f,
                           0.5f};
    const float side = limpet.limpetSize * view.zoom;
    PlaceHeadingQuad(view.ScreenX(limpet.x), view.ScreenY(limpet.y), side, side, turn.sine, turn.cosine, cell,
                     0xFFFFFFFFu, quad);
}

SmartTexture& Sheet()
{
    static SmartTexture sheet;
    return sheet;
}

// A limpet whose reach lies wholly outside the view shows nothing; one
// within it is drawn without a test of its quads (nearly all of them show).
bool Misses(const SIM_Limpet& limpet, const GUI_Map& map)
{
    const float reach = LimpetSprites::kReach * limpet.limpetSize;
    return map.IsOffScreen(limpet.x, limpet.y, reach);
}

void DrawOne(const SIM_Limpet& limpet, const BattleView& view, TextureHandle texture)
{
    const Turn turn = TurnOf(limpet);
    QuadRunBatch& batch = QuadRunBatch::Shared();
    ScreenVertex quad[4];
    if (PlaceGlow(limpet, turn, view, quad))
        batch.Add(texture, true, quad);
    PlaceBody(limpet, turn, view, quad);
    batch.Add(texture, false, quad);
}

} // namespace

void LimpetSprites::Load()
{
    SmartTexture& sheet = Sheet();
    if (sheet.GetName().empty())
        sheet.SetName("limpet_mine.dds");
}

bool LimpetSprites::GlowQuad(const SIM_Limpet& limpet, const BattleView& view, ScreenVertex quad[4])
{
    return PlaceGlow(limpet, TurnOf(limpet), view, quad) && view.Shows(quad);
}

bool LimpetSprites::BodyQuad(const SIM_Limpet& limpet, const BattleView& view, ScreenVertex quad[4])
{
    if (limpet.state == SIM_Limpet::FREE)
        return false;
    PlaceBody(limpet, TurnOf(limpet), view, quad);
    return view.Shows(quad);
}

void LimpetSprites::DrawFlying(const SIM_LimpetLauncherModule& launcher)
{
    const GUI_Map& map = GUI_Map::GetInstance();
    BattleView view;
    TextureHandle texture = 0;
    for (const auto& owned : launcher.limpets) {
        const SIM_Limpet& limpet = *owned;
        const int state = limpet.state;
        if (state < SIM_Limpet::LAUNCHING || state > SIM_Limpet::CHASING || Misses(limpet, map))
            continue;
        if (!texture) {
            view = BattleView::FromCamera();
            texture = Sheet().GetHandle();
        }
        DrawOne(limpet, view, texture);
    }
}

void LimpetSprites::DrawStuck(const std::vector<SIM_Limpet*>& limpets)
{
    const GUI_Map& map = GUI_Map::GetInstance();
    for (const SIM_Limpet* limpet : limpets)
        if (limpet->state == SIM_Limpet::STUCK && !Misses(*limpet, map))
            DrawOne(*limpet, BattleView::FromCamera(), Sheet().GetHandle());
}
