#include "battle/CloakImages.h"

#include <algorithm>
#include <cmath>

#include "battle/GUI_CamoflageShield.h"
#include "battle/GUI_Ship.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/TextureAtlas.h"
#include "sim/SIM_Ship.h"

CloakImages& CloakImages::GetInstance()
{
    static CloakImages images;
    return images;
}

void CloakImages::Prepare(const std::vector<SIM_Ship*>& ships)
{
    tiles.clear();
    // Most battles have no cloak at all: no walk over every ship then.
    if (!GUI_Ship::AnyCamouflage())
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    const TextureHandle target = engine.FindRenderTarget("rt_cloak");
    if (!device || !target)
        return;
    int x = 0, y = 0, shelf = 0, usedWidth = 0;
    for (SIM_Ship* ship : ships) {
        auto* visual = static_cast<GUI_Ship*>(ship->GetVisual());
        const bool drawn = ship->state == SIM_Ship::ACTIVE || ship->state == SIM_Ship::DYING ||
                           ship->state == SIM_Ship::DESTROYED;
        if (!drawn || ship->docked || !visual || !visual->GetCamouflage() || !visual->IsCamouflaged())
            continue;
        float side = 0.0f;
        if (!visual->GetCamouflage()->Place(side))
            continue;
        // At full size "rt_ship" clamps the image's far edge: that one stays there.
        const float r = std::min(side, kMaxImage);
        if (!(r > 0.0f) || r >= kMaxImage)
            continue;
        const int w = static_cast<int>(std::ceil(r)) + 2 * kBorder;
        if (x + w > kSide) {
            y += shelf;
            x = shelf = 0;
        }
        if (y + w > kSide)
            break;
        tiles.push_back({visual, target, x + kBorder, y + kBorder, r, visual->GetImageVersion()});
        x += w;
        shelf = std::max(shelf, w);
        usedWidth = std::max(usedWidth, x);
    }
    if (tiles.empty())
        return;
    const TextureHandle previous = engine.GetRenderTargetHandle();
    if (!engine.SetRenderTargetHandle(target)) {
        LOG_ERROR_ONCE("SetRenderTarget failed: " + device->GetLastError());
        tiles.clear();
        return;
    }
    device->Clear(0x00000000u);
    // The tiles do not overlap: the images go out in a run or two.
    imageBatch.Begin(kSide, kSide);
    for (const Tile& tile : tiles)
        tile.visual->DrawIntoImage(tile.side, static_cast<float>(tile.x), static_cast<float>(tile.y), &imageBatch);
    imageBatch.End();
    engine.SetRenderTargetHandle(previous);
    // On the atlas page the meshes share runs with their neighbours' hulls
    // instead of alternating textures with them wherever they overlap.
    TextureAtlas::Shared().CopyTarget(target, usedWidth, std::min(y + shelf, kSide));
}

void CloakImages::Forget()
{
    tiles.clear();
    TextureAtlas::Shared().ForgetTarget();
}

const CloakImages::Tile* CloakImages::Find(const GUI_Ship& visual, float side) const
{
    const float r = std::min(side, kMaxImage);
    for (const Tile& tile : tiles)
        if (tile.visual == &visual)
            return tile.side == r && tile.version == visual.GetImageVersion() ? &tile : nullptr;
    return nullptr;
}
