#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/QuadRunBatch.h"

// Small pieces the battle effects share: the shared quad batch opened for a
// step of the frame, turned quads, blast pushes and the fighters' per-layer
// lists.

// Opens the shared quad batch for one effect step unless the frame already
// has it open, and closes only what it opened.
class EffectBatchScope {
public:
    EffectBatchScope();
    ~EffectBatchScope();
    EffectBatchScope(const EffectBatchScope&) = delete;
    EffectBatchScope& operator=(const EffectBatchScope&) = delete;
    QuadRunBatch& Batch() { return batch; }

private:
    QuadRunBatch& batch;
    bool opened = false;
};

// Corners (top-left, top-right, bottom-left, bottom-right) of a quad of half
// sides hw, hh centred at (cx, cy) and turned by the sine and cosine s, c.
void PlaceTurnedQuad(ScreenVertex quad[4], float cx, float cy, float hw, float hh, float s, float c, uint32_t colour);

// White with alpha a (0..1, clamped).
uint32_t WhiteWithAlpha(float a);

// A blast of strength p at (bx, by) on a thing at (x, y): within the radius
// (squared) it is pushed straight away from the blast, harder the closer it
// is. False, and no push, beyond it.
bool BlastPush(float p, float strength, float radiusSq, float bx, float by, float x, float y, float& pushX,
               float& pushY);
// One step of a push's decay; false once it has died away.
bool DecayPush(float step, float& pushX, float& pushY);

// The fighters' effects (con trails, glows) filed by their ship's draw layer,
// 0 or 2, so that the battle frame draws each layer's in one sweep.
template <class T>
class LayerLists {
public:
    static std::vector<T*>& Of(int drawLayer)
    {
        // Never destroyed: a battle freed at exit still leaves these lists.
        static auto* const lists = new std::vector<T*>[2];
        return lists[drawLayer == 2 ? 1 : 0];
    }
    static void File(T* item, int drawLayer)
    {
        if (drawLayer == 0 || drawLayer == 2)
            Of(drawLayer).push_back(item);
    }
    static void Leave(T* item, int drawLayer)
    {
        if (drawLayer == 0 || drawLayer == 2) {
            auto& list = Of(drawLayer);
            list.erase(std::remove(list.begin(), list.end(), item), list.end());
        }
    }
};

// A list made once with room for n, never freed (effects outlive statics).
template <class T>
std::vector<T>* NewReservedList(size_t n)
{
    auto* list = new std::vector<T>();
    list->reserve(n);
    return list;
}
