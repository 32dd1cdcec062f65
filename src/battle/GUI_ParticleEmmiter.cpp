#include "battle/GUI_ParticleEmmiter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "battle/GUI_Map.h"
#include "battle/GUI_ParticleConfig.h"
#include "battle/VisualStep.h"
#include "battle/VisualRandom.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/Lanes4.h"
#include "engine/QuadRunBatch.h"
#include "engine/SinCosTables.h"

namespace {

constexpr float kDegToRad = 0.017453292519943295f;

std::vector<std::unique_ptr<GUI_ParticleEmmiter>>& ActiveList()
{
    static std::vector<std::unique_ptr<GUI_ParticleEmmiter>> list;
    return list;
}

std::vector<std::unique_ptr<GUI_ParticleEmmiter>>& SpareList()
{
    static std::vector<std::unique_ptr<GUI_ParticleEmmiter>> list;
    return list;
}

} // namespace

// `frames` frame steps of `step` at once: what every particle of the emitter
// shares, worked out once (the same products as per particle, so the same
// bits).
struct GUI_ParticleEmmiter::Leap {
    int frames;
    float step, ageStep, alphaStep, sizeStep;
    bool slowing;
    // With slowing, the distance in steps of the first speed (a geometric
    // sum: v, v r, v r^2 ...) and the speed's factor at the end.
    float sum = 0.0f, factor = 1.0f;
    Leap(const GUI_ParticleConfig& c, int frameCount, float frameStep)
        : frames(frameCount)
        , step(frameStep)
        , ageStep(12.0f * frameStep)
        , alphaStep(c.AlphaFalloff * frameStep)
        , sizeStep(c.SizeFalloff * frameStep)
        , slowing(c.SpeedFalloff != 0.0f)
    {
        if (!slowing)
            return;
        const float r = 1.0f - frameStep * c.SpeedFalloff;
        for (int k = 0; k < frameCount; ++k) {
            sum += factor;
            factor *= r;
        }
    }
    bool Moves() const { return frames >= 1 && step > 0.0f; }
};

GUI_ParticleEmmiter::GUI_ParticleEmmiter(const std::string& configName, float px, float py, float bx, float by)
    : x(px)
    , y(py)
    , biasX(bx)
    , biasY(by)
{
    config = FindParticleConfig(configName);
    if (!config)
        return; // inactive for good; the name was logged once
    if (config->Type == "BURN")
        blend = 1;
    else if (config->Type != "STANDARD")
        LOG_ERROR_ONCE("invalid particle type: " + config->Type + " in " + config->Name);
    Start();
}

GUI_ParticleEmmiter* GUI_ParticleEmmiter::Create(const std::string& configName, float px, float py, float bx,
                                                 float by)
{
    return new GUI_ParticleEmmiter(configName, px, py, bx, by);
}

void GUI_ParticleEmmiter::BlockFree::operator()(void* block) const
{
    ::operator delete(block, std::align_val_t{64});
}

void GUI_ParticleEmmiter::Reserve(int wanted)
{
    wanted = std::min(wanted, kMaxParticles);
    if (wanted <= capacity)
        return;
    int grown = capacity > 0 ? capacity : kFirstCapacity;
    while (grown < wanted)
        grown *= 2;
    grown = std::min(grown, kMaxParticles);
    // Fourteen arrays of four-byte fields, then the frames.
    constexpr size_t kWideArrays = 14;
    static_assert(kSlotBytes == kWideArrays * 4 + 1);
    const size_t n = static_cast<size_t>(grown), old = static_cast<size_t>(capacity);
    const size_t bytes = n * kSlotBytes;
    std::unique_ptr<unsigned char[], BlockFree> grownBlock(
        static_cast<unsigned char*>(::operator new(bytes, std::align_val_t{64})));
    // Free slots read as zero, as they always have.
    std::memset(grownBlock.get(), 0, bytes);
    unsigned char* const base = grownBlock.get();
    if (block) {
        for (size_t k = 0; k < kWideArrays; ++k)
            std::memcpy(base + k * n * 4, block.get() + k * old * 4, old * 4);
        std::memcpy(base + kWideArrays * n * 4, block.get() + kWideArrays * old * 4, old);
    }
    float** const floats[] = {&slots.x,     &slots.y,    &slots.vx,   &slots.vy,     &slots.age, &slots.alpha,
                              &slots.size,  &slots.angle, &slots.sine, &slots.cosine, &slots.spin};
    size_t k = 0;
    for (float** field : floats)
        *field = reinterpret_cast<float*>(base + k++ * n * 4);
    slots.screenX = reinterpret_cast<int*>(base + k++ * n * 4);
    slots.screenY = reinterpret_cast<int*>(base + k++ * n * 4);
    slots.alive = reinterpret_cast<int32_t*>(base + k++ * n * 4);
    slots.frame = base + k * n * 4;
    block = std::move(grownBlock);
    capacity = grown;
}

void GUI_ParticleEmmiter::Start()
{
    steppedX = x;
    steppedY = y;
    elapsed = 0.0f;
    active = 1;
    highestSlot = 0;
    liveCount = 0;
    const int initial = std::clamp(config->InitialParticles, 0, kMaxParticles);
    Reserve(std::max(initial, kFirstCapacity));
    std::fill(slots.alive, slots.alive + capacity, 0);
    if (initial > 0) {
        const Turn turn = CurrentTurn();
        for (int i = 0; i < initial; ++i)
            SpawnParticle(i, turn);
    }
    firstFree = initial;
    spawnAccumulator = 0.0f;
}

void GUI_ParticleEmmiter::Restart(float px, float py, float bx, float by)
{
    x = px;
    y = py;
    biasX = bx;
    biasY = by;
    rateScale = 1.0f;
    alphaScale = 1.0f;
    if (!config)
        return;
    Start();
}

GUI_Particle GUI_ParticleEmmiter::GetParticle(int i) const
{
    GUI_Particle p;
    if (i < 0 || i >= capacity)
        return p;
    p.alive = static_cast<unsigned char>(slots.alive[i]);
    p.vx = slots.vx[i];
    p.vy = slots.vy[i];
    if (config) {
        p.alphaFalloff = config->AlphaFalloff;
        p.sizeFalloff = config->SizeFalloff;
        p.speedFalloff = config->SpeedFalloff;
    }
    p.spin = slots.spin[i];
    p.size = slots.size[i];
    p.alpha = slots.alpha[i];
    p.x = slots.x[i];
    p.y = slots.y[i];
    p.screenX = slots.screenX[i];
    p.screenY = slots.screenY[i];
    p.angle = slots.angle[i];
    p.sine = slots.sine[i];
    p.cosine = slots.cosine[i];
    p.age = slots.age[i];
    p.frame = slots.frame[i];
    return p;
}

GUI_ParticleEmmiter::Turn GUI_ParticleEmmiter::CurrentTurn()
{
    if (rotation == 0.0f)
        return Turn{false, 1.0f, 0.0f};
    // A ship flying straight turns its trail the same way frame after frame.
    if (!(rotation == turnRotation)) {
        turnRotation = rotation;
        lastTurn = Turn{true, std::cos(rotation * kDegToRad), std::sin(rotation * kDegToRad)};
    }
    return lastTurn;
}

void GUI_ParticleEmmiter::SpawnParticle(int slot, const Turn& turn)
{
    const GUI_ParticleConfig& c = *config;
    const float s = scale;
    slots.x[slot] = x + VisualRange(-c.XScatter * s, c.XScatter * s);
    slots.y[slot] = y + VisualRange(-c.YScatter * s, c.YScatter * s);
    slots.size[slot] = VisualRange(c.MinSize * s, c.MaxSize * s);
    slots.alpha[slot] = 1.0f;
    slots.age[slot] = 0.0f;
    slots.alive[slot] = 1;

    int frame = c.UVFrame;
    if (c.UVFrameSpan != 0)
        frame += VisualInt() & c.UVFrameSpan;
    // A frame past the sheet would sample a neighbour's picture or nothing.
    slots.frame[slot] = static_cast<unsigned char>(
        std::clamp(frame, 0, GUI_ParticleConfig::kSheetColumns * GUI_ParticleConfig::kSheetRows - 1));

    const float angle = VisualRange(0.0f, 360.0f);
    const float sine = std::sin(angle * kDegToRad);
    const float cosine = std::cos(angle * kDegToRad);
    slots.angle[slot] = angle;
    slots.sine[slot] = sine;
    slots.cosine[slot] = cosine;

    float vx, vy;
    if (c.IsAngled) {
        const float speed = VisualRange(c.MinXVelocity, c.MaxXVelocity);
        vx = speed * sine;
        vy = -speed * cosine;
    } else {
        vx = VisualRange(c.MinXVelocity, c.MaxXVelocity);
        vy = VisualRange(c.MinYVelocity, c.MaxYVelocity);
    }
    vx *= s;
    vy *= s;
    if (turn.turned) {
        const float tx = vx * turn.cosine - vy * turn.sine;
        vy = vx * turn.sine + vy * turn.cosine;
        vx = tx;
    }
    slots.spin[slot] =
        (c.MinSpinSpeed != 0.0f || c.MaxSpinSpeed != 0.0f) ? VisualRange(c.MinSpinSpeed, c.MaxSpinSpeed) : 0.0f;

    ++liveCount;
    highestSlot = std::max(highestSlot, slot);

    if (!c.IsAngled && (biasX != 0.0f || biasY != 0.0f)) {
        const float m = std::sqrt(vx * vx + vy * vy);
        vx += m * c.BiasScalar * biasX;
        vy += m * c.BiasScalar * biasY;
    }
    slots.vx[slot] = vx;
    slots.vy[slot] = vy;
}

// Inlined into the steps: most frames of most emitters make no particle,
// and the births' walk would have every call save and restore its registers.
[[gnu::always_inline]] inline int GUI_ParticleEmmiter::DueBirths(float ms)
{
    if (config->Lifetime > 0.0f) {
        elapsed += ms;
        if (elapsed >= config->Lifetime)
            return 0;
    }
    spawnAccumulator += ms;
    const int n = static_cast<int>(spawnAccumulator / 1000.0f * config->ParticlesPerSecond * rateScale);
    if (n <= 0)
        return 0;
    spawnAccumulator = 0.0f;
    return n;
}

[[gnu::always_inline]] inline void GUI_ParticleEmmiter::SpawnContinuous(float ms)
{
    if (const int n = DueBirths(ms))
        SpawnBatch(n, 0, 0.0f);
}

void GUI_ParticleEmmiter::SpawnBatch(int n, int laterFrames, float step)
{
    if (laterFrames > 0) {
        // The frames after the births', the same for all of them.
        const Leap leap(*config, laterFrames, step);
        if (leap.Moves())
            return SpawnRun(n, &leap);
    }
    SpawnRun(n, nullptr);
}

[[gnu::always_inline]] inline void GUI_ParticleEmmiter::SpawnRun(int n, const Leap* leap)
{
    const Turn turn = CurrentTurn();
    // Each particle takes the lowest free slot, searched from the first
    // that can be free rather than through every live particle.
    int slot = firstFree;
    for (int k = 0; k < n; ++k) {
        while (slot < capacity && slots.alive[slot])
            ++slot;
        if (slot >= capacity)
            Reserve(slot + 1); // every slot taken: the block doubles
        firstFree = slot;
        if (slot >= capacity)
            return; // full: the rest are not made
        SpawnParticle(slot, turn);
        if (leap && !StepParticle(slot, *leap))
            --liveCount;
    }
}

void GUI_ParticleEmmiter::EndCheck()
{
    if (liveCount < 1 && config->Lifetime >= 0.0f) {
        active = 0;
        highestSlot = 0;
    }
}

GUI_ParticleEmmiter::View GUI_ParticleEmmiter::View::Current()
{
    const GUI_Map& map = GUI_Map::GetInstance();
    return View{map.cameraX, map.cameraY, ZoomScale, static_cast<float>(map.GetScreenWidth()),
                static_cast<float>(map.GetScreenHeight())};
}

namespace {

// The tail of each corner's vertex of each cell of the 8 x 4 sheet, as
// four floats stored whole: {colour, u, v, -} for the first three corners
// (the colour's bits ORed into the zero), {rhw, colour, u, v} for the last,
// so that no store reaches past the quad.
struct alignas(16) CellTails {
    float corner[4][4];
};
constexpr std::array<CellTails, 32> MakeSheetCells()
{
    std::array<CellTails, 32> cells{};
    for (int frame = 0; frame < 32; ++frame) {
        const int row = frame / GUI_ParticleConfig::kSheetColumns;
        const int column = frame - GUI_ParticleConfig::kSheetColumns * row;
        const float u0 = static_cast<float>(column) * 0.125f, u1 = u0 + 0.125f;
        const float v0 = static_cast<float>(row) * 0.25f, v1 = v0 + 0.25f;
        cells[static_cast<size_t>(frame)] = CellTails{{{0.0f, u0, v0, 0.0f},
                                                       {0.0f, u1, v0, 0.0f},
                                                       {0.0f, u0, v1, 0.0f},
                                                       {1.0f, 0.0f, u1, v1}}};
    }
    return cells;
}
constexpr std::array<CellTails, 32> kSheetCells = MakeSheetCells();
static_assert(GUI_ParticleConfig::kSheetColumns * GUI_ParticleConfig::kSheetRows == 32);
static_assert(offsetof(ScreenVertex, colour) == 16 && offsetof(ScreenVertex, u) == 20 &&
              offsetof(ScreenVertex, v) == 24 && sizeof(ScreenVertex) == 28);

} // namespace

// What every quad of an emitter's frame shares, in four lanes.
struct GUI_ParticleEmmiter::QuadShade {
    Floats4 zoom, alphaScale;
};

// Inlined into the walk: a call per block costs as much as its quads.
[[gnu::always_inline]] inline int GUI_ParticleEmmiter::BuildQuads(int i, unsigned shown, float step,
                                                                   const QuadShade& shade, ScreenVertex* q)
{
    // Only a particle on the screen turns.
    for (unsigned turning = shown & Bits4(Load4(slots.spin + i) != Splat4(0.0f)); turning != 0;
         turning &= turning - 1) {
        const int k = i + __builtin_ctz(turning);
        float angle = slots.angle[k] + step * slots.spin[k];
        // fmod leaves an angle inside a turn as it is.
        if (!(angle < 360.0f && angle > -360.0f))
            angle = std::fmod(angle, 360.0f);
        if (angle < 0.0f)
            angle += 360.0f;
        slots.angle[k] = angle;
        LookupSinCos(static_cast<int>(angle), slots.sine[k], slots.cosine[k]);
    }
    // What each quad of the four slots needs, four at once, each lane with
    // the operations one quad alone would do.
    const Floats4 zero = Splat4(0.0f), one = Splat4(1.0f), fadeIn = Splat4(kFadeInMs);
    const Floats4 age = Load4(slots.age + i), alpha = Load4(slots.alpha + i), size = Load4(slots.size + i);
    const Ints4 young = age < fadeIn;
    const Floats4 ratio = age / fadeIn;
    const Floats4 a = Select4(young, alpha * ratio, alpha), z = Select4(young, size * ratio, size);
    const Floats4 half = z * shade.zoom;
    const Floats4 c = half * Load4(slots.cosine + i), s = half * Load4(slots.sine + i);
    // White with the alpha clamped to 0..1, its byte rounded half away from
    // zero: a value in 0..255 less its whole part is exact, so the rounding
    // is the whole part plus one from a half up.
    const Floats4 lit = shade.alphaScale * a;
    const Floats4 scaled = Select4(lit < zero, zero, Select4(one < lit, one, lit)) * Splat4(255.0f);
    const Ints4 whole = __builtin_convertvector(scaled, Ints4);
    const Ints4 roundsUp = (scaled - __builtin_convertvector(whole, Floats4)) >= Splat4(0.5f);
    alignas(16) int32_t colours[4];
    Store4(colours, ((whole - roundsUp) << 24) | 0x00FFFFFF);
    // The corners top-left, top-right, bottom-left, bottom-right at
    // (sx + (-c + s), sy + (-s - c)), (sx + (c + s), sy + (-c + s)),
    // (sx + (-c - s), sy + (c - s)), (sx + (c - s), sy + (s + c)): a flipped
    // sign is exact and a - b is a + (-b), so the sums are the same bits.
    constexpr int32_t kSign = INT32_MIN;
    const Floats4 negC = reinterpret_cast<Floats4>(reinterpret_cast<Ints4>(c) ^ kSign);
    const Floats4 negS = reinterpret_cast<Floats4>(reinterpret_cast<Ints4>(s) ^ kSign);
    const Floats4 plusPlus = c + s, minusPlus = negC + s, minusMinus = negC + negS, plusMinus = c + negS;
    const Floats4 sx = __builtin_convertvector(Load4(slots.screenX + i), Floats4);
    const Floats4 sy = __builtin_convertvector(Load4(slots.screenY + i), Floats4);
    const Floats4 x[4] = {sx + minusPlus, sx + plusPlus, sx + minusMinus, sx + plusMinus};
    const Floats4 y[4] = {sy + minusMinus, sy + minusPlus, sy + plusMinus, sy + plusPlus};
    // Each corner's {x, y} of the four slots side by side, eight floats a
    // corner.
    alignas(16) float places[4 * 8];
    for (int corner = 0; corner < 4; ++corner) {
        Store4(places + 8 * corner, __builtin_shufflevector(x[corner], y[corner], 0, 4, 1, 5));
        Store4(places + 8 * corner + 4, __builtin_shufflevector(x[corner], y[corner], 2, 6, 3, 7));
    }
    auto* out = reinterpret_cast<unsigned char*>(q);
    int built = 0;
    for (unsigned bits = shown; bits != 0; bits &= bits - 1) {
        const int lane = __builtin_ctz(bits);
        const CellTails& cell = kSheetCells[slots.frame[i + lane]];
        const Ints4 tint = {colours[lane], 0, 0, 0};
        const Ints4 lastTint = __builtin_shufflevector(tint, tint, 1, 0, 1, 1);
        const float* place = places + 2 * lane;
        auto head = [place](int corner) {
            // {x, y} read as one, then z 0 and rhw 1.
#if defined(__SSE2__)
            const auto* pair = reinterpret_cast<const __m128i*>(place + 8 * corner);
            const auto xy = reinterpret_cast<Ints4>(_mm_loadl_epi64(pair));
#else
            Ints4 xy{};
            std::memcpy(&xy, place + 8 * corner, 2 * sizeof(float));
#endif
            return reinterpret_cast<Floats4>(xy | Ints4{0, 0, 0, 0x3F800000});
        };
        auto tail = [&cell](int corner, Ints4 with) {
            return reinterpret_cast<Floats4>(reinterpret_cast<Ints4>(Load4(cell.corner[corner])) | with);
        };
        // Each vertex's head {x, y, z, rhw} and tail in order: a tail's
        // fourth float lands on the next head, which is stored after it.
        Store4(out + 0, head(0));
        Store4(out + 16, tail(0, tint));
        Store4(out + 28, head(1));
        Store4(out + 44, tail(1, tint));
        Store4(out + 56, head(2));
        Store4(out + 72, tail(2, tint));
        Store4(out + 84, head(3));
        Store4(out + 96, tail(3, lastTint));
        out += 4 * sizeof(ScreenVertex);
        ++built;
    }
    return built;
}

template <bool kSlowing, bool kDraw>
GUI_ParticleEmmiter::Stepped GUI_ParticleEmmiter::StepSlots(int count, const Leap& pace, const View& view,
                                                            unsigned char* shows)
{
    // Four slots at a time, without branches: free slots step along, which
    // does no harm as a birth writes every field, and a particle dying now
    // moves on where nothing reads it.
    const Floats4 ageStep = Splat4(pace.ageStep), alphaStep = Splat4(pace.alphaStep);
    const Floats4 sizeStep = Splat4(pace.sizeStep), step = Splat4(pace.step), factor = Splat4(pace.factor);
    const Floats4 fadeIn = Splat4(kFadeInMs), minSize = Splat4(kMinSize), zero = Splat4(0.0f);
    // The screen test of a quad, as each particle would make it: the
    // screen point truncated to whole pixels, the quad's half side faded in.
    const Floats4 cameraX = Splat4(view.cameraX), cameraY = Splat4(view.cameraY), zoom = Splat4(view.zoom);
    const Floats4 width = Splat4(view.width), height = Splat4(view.height);
    // The arrays never overlap: each field's loads need not wait for the
    // others' stores.
    float* __restrict const ageOf = slots.age;
    float* __restrict const alphaOf = slots.alpha;
    float* __restrict const sizeOf = slots.size;
    float* __restrict const vxOf = slots.vx;
    float* __restrict const vyOf = slots.vy;
    float* __restrict const xOf = slots.x;
    float* __restrict const yOf = slots.y;
    int32_t* __restrict const aliveOf = slots.alive;
    int* __restrict const screenXOf = slots.screenX;
    int* __restrict const screenYOf = slots.screenY;
    Ints4 live{}, died{};
    for (int i = 0; i < count; i += 4) {
        const Floats4 age = Load4(ageOf + i) + ageStep;
        const Ints4 fading = age > fadeIn;
        const Floats4 alpha0 = Load4(alphaOf + i), size0 = Load4(sizeOf + i);
        const Floats4 alpha = Select4(fading, alpha0 - alphaStep, alpha0);
        const Floats4 size = Select4(fading, size0 - sizeStep, size0);
        const Ints4 dies = fading & ((alpha <= zero) | (size < minSize));
        Store4(ageOf + i, age);
        Store4(alphaOf + i, alpha);
        Store4(sizeOf + i, size);
        const Floats4 vx = Load4(vxOf + i), vy = Load4(vyOf + i);
        const Floats4 x = Load4(xOf + i) + vx * step, y = Load4(yOf + i) + vy * step;
        Store4(xOf + i, x);
        Store4(yOf + i, y);
        const Ints4 alive = Load4(aliveOf + i);
        died |= alive & dies;
        const Ints4 after = alive & ~dies;
        if constexpr (kDraw) {
            const Ints4 lit = -after;
            if (Bits4(lit)) {
                const Ints4 screenX = __builtin_convertvector((x - cameraX) * zoom, Ints4);
                const Ints4 screenY = __builtin_convertvector((y - cameraY) * zoom, Ints4);
                Store4(screenXOf + i, (screenX & lit) | (Load4(screenXOf + i) & ~lit));
                Store4(screenYOf + i, (screenY & lit) | (Load4(screenYOf + i) & ~lit));
                const Floats4 half = Select4(age < fadeIn, size * (age / fadeIn), size) * zoom;
                const Floats4 sx = __builtin_convertvector(screenX, Floats4);
                const Floats4 sy = __builtin_convertvector(screenY, Floats4);
                const Ints4 off = (sx < -half) | (sx > width + half) | (sy < -half) | (sy > height + half);
                shows[i / 4] = static_cast<unsigned char>(Bits4(lit & ~off));
            } else {
                shows[i / 4] = 0;
            }
        }
        if constexpr (kSlowing) {
            // A free slot's speed is zeroed rather than slowed frame after
            // frame into the denormals, which are slow to multiply.
            Store4(vxOf + i, Select4(-after, vx * factor, zero));
            Store4(vyOf + i, Select4(-after, vy * factor, zero));
        }
        live += after;
        Store4(aliveOf + i, after);
    }
    return Stepped{Sum4(live), Bits4(-died) != 0};
}

template <bool kDraw>
void GUI_ParticleEmmiter::AdvanceSlots(float step)
{
    QuadRunBatch* batch = nullptr;
    bool ownBatch = false;
    TextureHandle texture = 0;
    View view{};
    if constexpr (kDraw) {
        batch = &QuadRunBatch::Shared();
        ownBatch = !batch->IsOpen();
        texture = config->texture.GetHandle();
        view = View::Current();
        if (ownBatch)
            batch->Begin(static_cast<int>(view.width), static_cast<int>(view.height));
    }
    const Leap pace(*config, 1, step);
    const int top = highestSlot;
    // Whole blocks of four; every slot above the highest is free.
    const int count = std::min((top + 4) & ~3, capacity);
    unsigned char shows[kMaxParticles / 4];
    const Stepped stepped = pace.slowing ? StepSlots<true, kDraw>(count, pace, view, shows)
                                         : StepSlots<false, kDraw>(count, pace, view, shows);
    liveCount = stepped.live;
    if (stepped.anyDied) {
        // Every slot below firstFree held a live particle, so the first
        // free one below it is the lowest that died.
        const int below = std::min(firstFree, count);
        for (int i = 0; i < below; ++i) {
            if (!slots.alive[i]) {
                firstFree = i;
                break;
            }
        }
    }
    // Slots above the last live particle are all free: later walks stop
    // there instead of reading every slot ever used.
    int lastLive = top;
    while (lastLive >= 0 && !slots.alive[lastLive])
        --lastLive;
    highestSlot = std::max(lastLive, 0);
    if constexpr (kDraw) {
        // The quads go to the batch in slot order a run at a time, staged as
        // one by one but with the texture looked up once per run.
        constexpr int kRun = 64;
        ScreenVertex quads[kRun * 4];
        int built = 0;
        const bool additive = blend == 1;
        const QuadShade shade{Splat4(view.zoom), Splat4(alphaScale)};
        for (int block = 0; block < count / 4; ++block) {
            const unsigned shown = shows[block];
            if (shown == 0)
                continue;
            if (built > kRun - 4) {
                batch->AddQuads(texture, additive, quads, static_cast<size_t>(built));
                built = 0;
            }
            built += BuildQuads(4 * block, shown, step, shade, quads + 4 * built);
        }
        if (built > 0)
            batch->AddQuads(texture, additive, quads, static_cast<size_t>(built));
        if (ownBatch)
            batch->End(); // one flush for the whole emitter
    }
}

// Inlined into Step, which every emitter's frame goes through.
[[gnu::always_inline]] inline void GUI_ParticleEmmiter::Move(float ms, float step, bool draw)
{
    if (!active || !config)
        return;
    if (draw)
        AdvanceSlots<true>(step);
    else
        AdvanceSlots<false>(step);
    SpawnContinuous(ms);
    EndCheck();
    steppedX = x;
    steppedY = y;
}

void GUI_ParticleEmmiter::Advance(float ms, float step, bool draw)
{
    Move(ms, step, draw);
}

// The first of the frames ahead (1 on) at which a particle of this age,
// aged ageStep a frame, is past the fade-in.
[[gnu::always_inline]] inline int GUI_ParticleEmmiter::FirstFadingFrame(float age, float ageStep)
{
    int firstFading = 1;
    if (!(age + ageStep > kFadeInMs)) {
        firstFading = static_cast<int>((kFadeInMs - age) / ageStep) + 1;
        while (firstFading > 1 && age + ageStep * static_cast<float>(firstFading - 1) > kFadeInMs)
            --firstFading;
        while (!(age + ageStep * static_cast<float>(firstFading) > kFadeInMs))
            ++firstFading;
    }
    return firstFading;
}

// Inlined into the catch-up walk: a call per particle costs a fifth of it.
[[gnu::always_inline]] inline bool GUI_ParticleEmmiter::StepParticle(int i, const Leap& leap)
{
    // Each frame: age, then (past the fade-in) fade and shrink, die at the
    // limits, move, slow. Fading and shrinking are linear, so a particle
    // dies within the frames exactly when it is past a limit at the first or
    // the last fading frame.
    const float ageStep = leap.ageStep;
    const float age = slots.age[i];
    const int firstFading = FirstFadingFrame(age, ageStep);
    slots.age[i] = age + ageStep * static_cast<float>(leap.frames);
    const int fading = leap.frames - firstFading + 1;
    if (fading > 0) {
        const float alpha1 = slots.alpha[i] - leap.alphaStep, size1 = slots.size[i] - leap.sizeStep;
        const float alpha = slots.alpha[i] - leap.alphaStep * static_cast<float>(fading);
        const float size = slots.size[i] - leap.sizeStep * static_cast<float>(fading);
        slots.alpha[i] = alpha;
        slots.size[i] = size;
        if (alpha1 <= 0.0f || size1 < kMinSize || alpha <= 0.0f || size < kMinSize) {
            slots.alive[i] = 0;
            return false;
        }
    }
    const float vx = slots.vx[i], vy = slots.vy[i];
    if (leap.slowing) {
        slots.x[i] += vx * leap.step * leap.sum;
        slots.y[i] += vy * leap.step * leap.sum;
        slots.vx[i] = vx * leap.factor;
        slots.vy[i] = vy * leap.factor;
    } else {
        const float frames = static_cast<float>(leap.frames);
        slots.x[i] += vx * leap.step * frames;
        slots.y[i] += vy * leap.step * frames;
    }
    return true;
}

template <bool kSlowing>
void GUI_ParticleEmmiter::LeapSlots(const Leap& leap)
{
    // Four slots at a time, each lane doing StepParticle's operations; a
    // block where a particle's first fading frame needs the nudging loops
    // (rare) goes one slot at a time. In a leap of a few frames (a trail
    // out of view catching up) the fading frames are counted instead: frame
    // f fades when age + f steps is past the fade-in, and so do the frames
    // after it, so the count is the frames from the first fading one on.
    constexpr int kCounted = 4;
    const bool counted = leap.frames <= kCounted;
    Floats4 ageSteps[kCounted];
    for (int f = 0; f < kCounted; ++f)
        ageSteps[f] = Splat4(leap.ageStep * static_cast<float>(f + 1));
    const int top = highestSlot;
    const int count = std::min((top + 4) & ~3, capacity);
    const Ints4 tops = Ints4{top, top, top, top}, ones = Ints4{1, 1, 1, 1};
    const Ints4 frames = Ints4{leap.frames, leap.frames, leap.frames, leap.frames};
    const Floats4 ageLeap = Splat4(leap.ageStep * static_cast<float>(leap.frames)), ageStep = Splat4(leap.ageStep);
    const Floats4 alphaStep = Splat4(leap.alphaStep), sizeStep = Splat4(leap.sizeStep);
    const Floats4 step = Splat4(leap.step);
    const Floats4 distance = Splat4(kSlowing ? leap.sum : static_cast<float>(leap.frames));
    const Floats4 factor = Splat4(leap.factor);
    const Floats4 fadeIn = Splat4(kFadeInMs), minSize = Splat4(kMinSize), zero = Splat4(0.0f);
    const Ints4 fours = Ints4{4, 4, 4, 4};
    Ints4 live{};
    int lowestFreed = firstFree;
    // The slots' numbers, i to i + 3, carried along.
    Ints4 index = Ints4{0, 1, 2, 3} - fours;
    for (int i = 0; i < count; i += 4) {
        index += fours;
        const Ints4 alive = (Load4(slots.alive + i) != 0) & (index <= tops);
        if (!Bits4(alive))
            continue;
        const Floats4 age = Load4(slots.age + i);
        Ints4 fadingFrames{};
        if (counted) {
            for (int f = 0; f < leap.frames; ++f)
                fadingFrames -= age + ageSteps[f] > fadeIn;
        } else {
            // The first frame past the fade-in, 1 for all but the young.
            const Ints4 young = alive & ~(age + ageStep > fadeIn);
            Ints4 firstFading = ones;
            if (Bits4(young)) {
                const Ints4 guess = __builtin_convertvector((fadeIn - age) / ageStep, Ints4) + ones;
                const Ints4 early = (guess > ones) &
                                    (age + ageStep * __builtin_convertvector(guess - ones, Floats4) > fadeIn);
                const Ints4 late = ~(age + ageStep * __builtin_convertvector(guess, Floats4) > fadeIn);
                if (Bits4(young & (early | late))) {
                    for (int k = i; k < i + 4 && k <= top; ++k) {
                        if (!slots.alive[k])
                            continue;
                        if (StepParticle(k, leap))
                            live[0] += 1;
                        else
                            lowestFreed = std::min(lowestFreed, k);
                    }
                    continue;
                }
                firstFading = (guess & young) | (ones & ~young);
            }
            fadingFrames = frames - firstFading + ones;
        }
        Store4(slots.age + i, Select4(alive, age + ageLeap, age));
        const Ints4 fades = alive & (fadingFrames > Ints4{});
        const Floats4 fading = __builtin_convertvector(fadingFrames, Floats4);
        const Floats4 alpha0 = Load4(slots.alpha + i), size0 = Load4(slots.size + i);
        const Floats4 alpha = alpha0 - alphaStep * fading, size = size0 - sizeStep * fading;
        Store4(slots.alpha + i, Select4(fades, alpha, alpha0));
        Store4(slots.size + i, Select4(fades, size, size0));
        const Ints4 dies = fades & ((alpha0 - alphaStep <= zero) | (size0 - sizeStep < minSize) | (alpha <= zero) |
                                    (size < minSize));
        const Ints4 stays = alive & ~dies;
        Store4(slots.alive + i, Load4(slots.alive + i) & ~dies);
        const Floats4 vx = Load4(slots.vx + i), vy = Load4(slots.vy + i);
        const Floats4 x = Load4(slots.x + i), y = Load4(slots.y + i);
        Store4(slots.x + i, Select4(stays, x + vx * step * distance, x));
        Store4(slots.y + i, Select4(stays, y + vy * step * distance, y));
        if constexpr (kSlowing) {
            Store4(slots.vx + i, Select4(stays, vx * factor, vx));
            Store4(slots.vy + i, Select4(stays, vy * factor, vy));
        }
        live -= stays;
        if (const unsigned died = Bits4(dies))
            lowestFreed = std::min(lowestFreed, i + __builtin_ctz(died));
    }
    liveCount = Sum4(live);
    firstFree = lowestFreed;
}

GUI_ParticleEmmiter::Reach GUI_ParticleEmmiter::GetReach() const
{
    Reach reach;
    const GUI_ParticleConfig* c = config;
    if (!c || !(c->AlphaFalloff > 0.0f)) {
        reach.known = false;
        return reach;
    }
    reach.lifeSteps = kFadeInMs / 12.0f + 1.0f / c->AlphaFalloff;
    // 1.5 times the fastest axis covers a diagonal; a bias adds its share
    // of the speed.
    const float bias = c->IsAngled ? 0.0f : std::fabs(c->BiasScalar) * std::sqrt(biasX * biasX + biasY * biasY);
    reach.drift = std::max({std::fabs(c->MinXVelocity), std::fabs(c->MaxXVelocity), std::fabs(c->MinYVelocity),
                            std::fabs(c->MaxYVelocity)}) *
                  1.5f * scale * (1.0f + bias);
    reach.size = c->MaxSize * scale + std::max(-c->SizeFalloff, 0.0f) * reach.lifeSteps;
    reach.scatter = std::max(c->XScatter, c->YScatter) * scale;
    return reach;
}

void GUI_ParticleEmmiter::Reach::Cover(const Reach& other)
{
    known = known && other.known;
    lifeSteps = std::max(lifeSteps, other.lifeSteps);
    drift = std::max(drift, other.drift);
    size = std::max(size, other.size);
    scatter = std::max(scatter, other.scatter);
}

int GUI_ParticleEmmiter::FramesToOutlive(float step) const
{
    // A birth has alpha 1 and age 0; StepParticle's sums for it, so that a
    // birth counted gone is one it would have killed.
    const float ageStep = 12.0f * step, alphaStep = config->AlphaFalloff * step;
    if (!(alphaStep > 0.0f))
        return std::numeric_limits<int>::max();
    const int firstFading = FirstFadingFrame(0.0f, ageStep);
    // The fading frames that take its alpha to 0.
    int fading = 1;
    if (!(1.0f - alphaStep <= 0.0f)) {
        fading = static_cast<int>(std::min(1.0f / alphaStep, 1e8f));
        while (fading > 1 && 1.0f - alphaStep * static_cast<float>(fading - 1) <= 0.0f)
            --fading;
        while (!(1.0f - alphaStep * static_cast<float>(fading) <= 0.0f))
            ++fading;
    }
    return fading + firstFading - 1;
}

int GUI_ParticleEmmiter::DrawsPerBirth() const
{
    // As SpawnParticle draws: place, size, frame, angle, speed and spin.
    const GUI_ParticleConfig& c = *config;
    return 3 + (c.UVFrameSpan != 0 ? 1 : 0) + 1 + (c.IsAngled ? 1 : 2) +
           ((c.MinSpinSpeed != 0.0f || c.MaxSpinSpeed != 0.0f) ? 1 : 0);
}

void GUI_ParticleEmmiter::CatchUp(int frames, float ms)
{
    if (!active || !config || frames < 1)
        return;
    const float step = ms / 12.0f;
    const Leap leap(*config, frames, step);
    if (leap.Moves()) {
        if (leap.slowing)
            LeapSlots<true>(leap);
        else
            LeapSlots<false>(leap);
    } else {
        liveCount = static_cast<int>(std::count(slots.alive, slots.alive + highestSlot + 1, 1));
    }
    // The emitter moved in a line from its last step to here; frame j's
    // particles are born at j / (frames + 1) of the way (the current frame,
    // stepped after this, is the last).
    const float endX = x, endY = y;
    const float span = static_cast<float>(frames + 1);
    const int gone = step > 0.0f ? FramesToOutlive(step) : std::numeric_limits<int>::max();
    for (int j = 1; j <= frames; ++j) {
        const int n = DueBirths(ms);
        if (n == 0)
            continue; // where it was then matters only to births
        if (frames - j >= gone) {
            // Dead before the catch-up ends: only their random numbers are
            // drawn, so that later births match those of stepped frames. A
            // full block would have made none of them.
            if (liveCount < kMaxParticles)
                VisualGenerator().Discard(static_cast<unsigned>(n) * DrawsPerBirth());
            continue;
        }
        const float t = static_cast<float>(j) / span;
        x = steppedX + (endX - steppedX) * t;
        y = steppedY + (endY - steppedY) * t;
        SpawnBatch(n, frames - j, step);
    }
    x = endX;
    y = endY;
    EndCheck();
    steppedX = x;
    steppedY = y;
}

void GUI_ParticleEmmiter::Step(bool draw)
{
    const VisualStep span = VisualStep::Current();
    if (span.frames > 1)
        CatchUp(span.frames - 1, span.EarlierFrameMs());
    Move(span.lastMs, span.lastMs / 12.0f, draw);
}

void GUI_ParticleEmmiter::Update()
{
    Step(false);
}

void GUI_ParticleEmmiter::Draw()
{
    Step(D3DEngine::GetInstance().IsInitialised());
}

// ---- free-standing effects --------------------------------------------------

void SpawnParticleEmmiter(const std::string& configName, float px, float py, float bx, float by)
{
    auto& spare = SpareList();
    for (auto it = spare.begin(); it != spare.end(); ++it) {
        const GUI_ParticleConfig* config = (*it)->GetConfig();
        if (config && config->Name == configName) {
            (*it)->Restart(px, py, bx, by);
            ActiveList().push_back(std::move(*it));
            spare.erase(it);
            return;
        }
    }
    ActiveList().push_back(std::make_unique<GUI_ParticleEmmiter>(configName, px, py, bx, by));
}

void DrawParticleEmmiters()
{
    auto& active = ActiveList();
    for (auto& emitter : active)
        emitter->Draw();
    auto& spare = SpareList();
    for (auto it = active.begin(); it != active.end();) {
        if (!(*it)->IsActive()) {
            spare.push_back(std::move(*it));
            it = active.erase(it);
        } else {
            ++it;
        }
    }
}

void ClearParticleEmmiters()
{
    ActiveList().clear();
    SpareList().clear();
}

int CountActiveParticleEmmiters()
{
    return static_cast<int>(ActiveList().size());
}

int CountSpareParticleEmmiters()
{
    return static_cast<int>(SpareList().size());
}
