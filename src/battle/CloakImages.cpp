#include "battle/CloakImages.h"

#include <algorithm>
#include <cmath>

#include "battle/GUI_CamoflageShield.h"
#include "battle/GUI_Ship.h"
#include "battle/GUI_ShipDrawLists.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/TextureAtlas.h"
#include "sim/SIM_Ship.h"

CloakImages& CloakImages::GetInstance()
{
    static CloakImages images;
    return images;
}

void CloakImages::Prepare(int list)
{
    tiles.clear();
    // Most battles have no cloak at all.
    if (!GUI_Ship::AnyCamouflage())
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    const TextureHandle target = engine.FindRenderTarget("rt_cloak");
    if (!device || !target)
        return;
    int x = 0, y = 0, shelf = 0, usedWidth = 0;
    // Only the ships with a cloak are looked at, not every ship of the list.
    for (GUI_Ship* visual : GUI_Ship::GetCloaked()) {
        const SIM_Ship* ship = visual->GetShip();
        if (!ship || GUI_ShipDrawLists::ListForLayer(visual->currentLayer) != list)
            continue;
        const bool drawnNow = ship->state == SIM_Ship::ACTIVE || ship->state == SIM_Ship::DYING ||
                              ship->state == SIM_Ship::DESTROYED;
        if (!drawnNow || ship->docked || !visual->IsCamouflaged())
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
        tiles.push_back({visual, target, x + kBorder, y + kBorder, r, visual->GetImageVersion(),
                         visual->TakeImageKey()});
        x += w;
        shelf = std::max(shelf, w);
        usedWidth = std::max(usedWidth, x);
    }
    if (tiles.empty())
        return;
    const int usedHeight = std::min(y + shelf, kSide);
    TextureAtlas& atlas = TextureAtlas::Shared();
    // The same images in the same places as last drawn, and nothing copied
    // over the atlas region since: only the images that changed are drawn.
    bool sameLayout = target == drawnTarget && atlas.GetRegionCopies() == drawnCopies &&
                      tiles.size() == drawn.size() && usedWidth == drawnWidth && usedHeight == drawnHeight;
    redraw.clear();
    for (size_t i = 0; sameLayout && i < tiles.size(); ++i) {
        const Tile& now = tiles[i];
        const Tile& was = drawn[i];
        sameLayout = now.visual == was.visual && now.x == was.x && now.y == was.y && now.side == was.side;
        if (now.version != was.version || now.turrets != was.turrets)
            redraw.push_back(i);
    }
    if (sameLayout && redraw.empty()) {
        if (!atlas.MapTarget(target, usedWidth, usedHeight))
            drawnTarget = 0;
        return;
    }
    if (!sameLayout) {
        redraw.clear();
        for (size_t i = 0; i < tiles.size(); ++i)
            redraw.push_back(i);
    }
    DrawTiles(target, redraw, !sameLayout);
    if (tiles.empty()) // the target could not be drawn into
        return;
    // On the atlas page the meshes share runs with their neighbours' hulls
    // instead of alternating textures with them wherever they overlap.
    atlas.CopyTarget(target, usedWidth, usedHeight);
    drawn = tiles;
    drawnTarget = target;
    drawnCopies = atlas.GetRegionCopies();
    drawnWidth = usedWidth;
    drawnHeight = usedHeight;
}

void CloakImages::DrawTiles(TextureHandle target, const std::vector<size_t>& which, bool clearAll)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    const TextureHandle previous = engine.GetRenderTargetHandle();
    if (!engine.SetRenderTargetHandle(target)) {
        LOG_ERROR_ONCE("SetRenderTarget failed: " + device->GetLastError());
        tiles.clear();
        drawnTarget = 0;
        return;
    }
    if (clearAll) {
        device->Clear(0x00000000u);
    } else {
        // Each image's tile with its border, and nothing else.
        for (size_t i : which) {
            const Tile& tile = tiles[i];
            const int w = static_cast<int>(std::ceil(tile.side)) + 2 * kBorder;
            engine.SetViewport(tile.x - kBorder, tile.y - kBorder, tile.x - kBorder + w, tile.y - kBorder + w);
            device->Clear(0x00000000u);
        }
        engine.SetViewport(0, 0, kSide, kSide);
    }
    // The tiles do not overlap: the images go out in a run or two.
    imageBatch.Begin(kSide, kSide);
    for (size_t i : which) {
        const Tile& tile = tiles[i];
        tile.visual->DrawIntoImage(tile.side, static_cast<float>(tile.x), static_cast<float>(tile.y), &imageBatch);
    }
    imageBatch.End();
    engine.SetRenderTargetHandle(previous);
}

void CloakImages::Forget()
{
    tiles.clear();
    TextureAtlas::Shared().ForgetTarget();
}

void CloakImages::Reset()
{
    Forget();
    drawn.clear();
    drawnTarget = 0;
}

const CloakImages::Tile* CloakImages::Find(const GUI_Ship& visual, float side) const
{
    const float r = std::min(side, kMaxImage);
    for (const Tile& tile : tiles)
        if (tile.visual == &visual)
            return tile.side == r && tile.version == visual.GetImageVersion() ? &tile : nullptr;
    return nullptr;
}
