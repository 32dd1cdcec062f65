#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/CTexturedSprite.h"
#include "engine/D3DEngine.h"

class SIM_Ship;
class SIM_TargetedModule;
class QuadRunBatch;

// The beams of a ship's support and anti-missile modules: ECM beams on the
// missiles they hold, ECM shocks on their targets, shield support beams on
// the shields they feed, target painters on the ships they mark, point
// defence on the missiles it shoots and tractors on the ships they hold. Each goes from every turret of its
// module (or from the module itself) to what the module holds, additive,
// through the shared quad batch. Found once, with their textures, when the
// ship's visual is built; the frame only reads the modules.
class SupportBeamDraws {
public:
    enum class Kind : uint8_t { ECM_BEAM, ECM_SHOCK, SHIELD_SUPPORT, PAINTER, POINT_DEFENCE, TRACTOR };

    // World units.
    static constexpr float kPainterWidth = 3.0f;
    static constexpr float kTractorWidth = 16.0f;
    static constexpr float kMinWidth = 1.0f;
    // A painter's texture repeats every 128 units of its length, a shock's
    // every 256.
    static constexpr float kPainterRepeat = 0.0078125f;
    static constexpr float kShockRepeat = 1.0f / 256.0f;
    // A tractor's every 256, crawling along it once a second.
    static constexpr float kTractorRepeat = 1.0f / 256.0f;
    static constexpr uint8_t kPainterDimAlpha = 0x20;
    // A repeating beam is laid in pieces of one repeat each, so that every
    // piece reads inside its picture (and the picture's atlas tile); past
    // this many the repeats are stretched to fit.
    static constexpr int kMaxPieces = 32;

    // How one module's beams look this frame; `on` false when it shows none.
    struct Look {
        bool on = false;
        float endX = 0.0f, endY = 0.0f; // world
        float width = 0.0f;             // world units
        uint32_t colour = 0xFFFFFFFFu;  // ARGB, the same for every turret but a support beam's
        float v0 = 0.0f;                // the texture row at the module's end
        float repeat = 0.0f;            // texture repeats per world unit along it; 0: stretched once
    };

    struct Entry {
        Kind kind = Kind::ECM_BEAM;
        SIM_TargetedModule* module = nullptr;
        CTexturedSprite sprite;
    };

    // Finds the ship's modules that draw beams.
    void Build(const SIM_Ship& ship);
    bool IsEmpty() const { return entries.empty(); }
    // Some module shows its beam now: a few loads per module, so that the
    // many ships whose modules show none cost next to nothing a frame.
    bool AnyShowing() const;
    const std::vector<Entry>& GetEntries() const { return entries; }

    // The entry's module shows its beam now.
    static bool IsShowing(const Entry& entry);
    // What an entry's module shows now.
    static Look LookOf(const Entry& entry);
    // A shield support beam's turret i pulses by its own offset.
    static uint8_t SupportPulseAlpha(const SIM_TargetedModule& module, int turret);

    // Adds this frame's beams to the batch.
    void Draw(QuadRunBatch& batch);

    // One beam from (x1, y1) to (x2, y2) on the screen, `width` pixels wide,
    // texture rows from v0 to v0 + span (span 0: the whole picture once),
    // columns u0 to u1 across it. Quads wholly off the screen are left out.
    // Returns the quads added.
    static int AddBeam(QuadRunBatch& batch, TextureHandle texture, float x1, float y1, float x2, float y2, float width,
                       uint32_t colour, float v0, float span, float u0 = 0.0f, float u1 = 1.0f)
    {
        // Most beams a big battle draws are wholly off the screen: told
        // here, before a call.
        const D3DEngine& engine = D3DEngine::GetInstance();
        const float half = width * 0.5f;
        const auto sw = static_cast<float>(engine.GetScreenWidth()), sh = static_cast<float>(engine.GetScreenHeight());
        if (std::max(x1, x2) < -half || std::min(x1, x2) > sw + half || std::max(y1, y2) < -half ||
            std::min(y1, y2) > sh + half)
            return 0;
        return AddPieces(batch, texture, x1, y1, x2, y2, width, colour, v0, span, u0, u1);
    }

private:
    // AddBeam's pieces of a beam that may show.
    static int AddPieces(QuadRunBatch& batch, TextureHandle texture, float x1, float y1, float x2, float y2,
                         float width, uint32_t colour, float v0, float span, float u0, float u1);

    std::vector<Entry> entries;
};
