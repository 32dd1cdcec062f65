#include "battle/ShipImage.h"

#include <algorithm>

#include "battle/GUI_Ship.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/QuadRunBatch.h"

float RenderShipImage(GUI_Ship& visual, float side)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    const TextureHandle target = engine.FindRenderTarget("rt_ship");
    QLM_ASSERT(target != 0);
    if (!device || !target)
        return 0.0f;
    // What the batch holds belongs to the picture behind, not to the image.
    QuadRunBatch& batch = QuadRunBatch::Shared();
    if (batch.IsOpen())
        batch.Flush();
    const TextureHandle previous = engine.GetRenderTargetHandle();
    if (!engine.SetRenderTargetHandle(target)) {
        LOG_ERROR_ONCE("SetRenderTarget failed: " + device->GetLastError());
        return 0.0f;
    }
    device->Clear(0x00000000u);
    const float r = std::min(side, 512.0f);
    visual.DrawIntoImage(r);
    // The turrets went into the shared batch: they belong to the image.
    if (batch.IsOpen())
        batch.Flush();
    engine.SetRenderTargetHandle(previous);
    return r;
}
