#include "battle/GUI_Shield.h"

#include <algorithm>
#include <cmath>

#include "app/GUI_Sounds.h"
#include "battle/Explosions.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_Ship.h"
#include "battle/MaskedQuadBatch.h"
#include "gui/GUI_PreloadedTextures.h"
#include "battle/VisualRandom.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GeometryHelpers.h"
#include "engine/QuadRunBatch.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipVisual.h"

namespace {

constexpr float kDegToRad = 0.017453292519943295f;
constexpr const char* kArcTexture = "shield_blast2.dds";
constexpr const char* kScrollTexture = "shield_scroll.dds";

std::vector<GUI_Shield*>& ShieldList()
{
    // Never destroyed: shields freed with the battle at exit still leave it.
    static auto* list = new std::vector<GUI_Shield*>();
    return *list;
}

float FrameTime()
{
    return SIM_BattleClock::GetInstance().scaledFrameTime;
}

bool CanDraw()
{
    return D3DEngine::GetInstance().IsInitialised();
}

// Draws through the shared batch, opening it when the caller has not.
class BatchScope {
public:
    BatchScope()
        : batch(QuadRunBatch::Shared())
        , own(CanDraw() && !batch.IsOpen())
    {
        if (own) {
            const GUI_Map& map = GUI_Map::GetInstance();
            batch.Begin(map.GetScreenWidth(), map.GetScreenHeight());
        }
    }
    ~BatchScope()
    {
        if (own)
            batch.End();
    }
    BatchScope(const BatchScope&) = delete;
    BatchScope& operator=(const BatchScope&) = delete;
    QuadRunBatch& batch;

private:
    bool own;
};

void ToScreen(float wx, float wy, float& sx, float& sy)
{
    const GUI_Map& map = GUI_Map::GetInstance();
    sx = (wx - map.cameraX) * ZoomScale;
    sy = (wy - map.cameraY) * ZoomScale;
}

uint32_t White(int alpha)
{
    return (static_cast<uint32_t>(std::clamp(alpha, 0, 255)) << 24) | 0x00FFFFFFu;
}

} // namespace

// ---- impact sparks -----------------------------------------------------------

void GUI_ShieldImpact::Restart(float requestedSize, float x, float y)
{
    worldX = x;
    worldY = y;
    size = requestedSize * kSizeFactor;
    life = kLife;
    age = 0.0f;
    active = 1;
}

int GUI_ShieldImpact::AlphaByte() const
{
    const float p = age / life;
    const float f = std::clamp((p - 0.7f) / 0.3f, 0.0f, 1.0f);
    return static_cast<int>(255.0f * (1.0f - f));
}

bool GUI_ShieldImpact::Draw(float dt, TextureHandle texture)
{
    age += dt;
    if (age / life >= 1.0f) {
        active = 0;
        return false;
    }
    if (!CanDraw())
        return true;
    const float g = std::clamp(age / (0.25f * life), 0.0f, 1.0f);
    const float side = ZoomScale * size * g;
    float sx, sy;
    ToScreen(worldX, worldY, sx, sy);
    sprite.SetSize(side, side);
    sprite.PlaceCentred(sx, sy);
    if (!sprite.IsOnScreen())
        return false;
    sprite.SetColour(White(AlphaByte()));
    QuadRunBatch::Shared().Add(texture, true, sprite.m_vertices);
    return true;
}

// ---- collapse sparks -----------------------------------------------------------

void GUI_ShieldCollapseParticle::Update(float dt, TextureHandle texture)
{
    if (state == 0) {
        timer += dt;
        if (timer > delay) {
            state = 1;
            timer -= delay;
        }
        return;
    }
    if (state != 1)
        return;
    timer += dt;
    const float p = timer / kTravelMs;
    if (p > 1.0f) {
        state = 2;
        return;
    }
    if (!CanDraw())
        return;
    const float wx = startX - travelX * p, wy = startY - travelY * p;
    const float side = baseSize * (1.0f - p) * ZoomScale;
    float sx, sy;
    ToScreen(wx, wy, sx, sy);
    sprite.SetSize(side, side);
    sprite.PlaceCentred(sx, sy);
    if (!sprite.IsOnScreen())
        return;
    sprite.SetColour(White(static_cast<int>(p * 255.0f)));
    QuadRunBatch::Shared().Add(texture, true, sprite.m_vertices);
}

// ---- the shield --------------------------------------------------------------

GUI_Shield::GUI_Shield(SIM_Ship* owner)
    : ship(owner)
{
    QLM_ASSERT(ship != nullptr);
    ShieldList().push_back(this);
    if (!ship)
        return;
    radius = SIM_ShipVisual::ShieldBubbleRadius(ship->GetWidth(), ship->GetHeight());
    const SIM_Race* race = ship->race;
    bubbleTexture.SetName(race && !race->GetShield().empty() ? race->GetShield() : "shield_blue.dds");
    arcTexture.SetName(kArcTexture);
    scrollTexture.SetName(kScrollTexture);

    // One spark per world unit of hull width, at most 256, evenly round the ring.
    sparkCount = static_cast<int>(std::clamp(ship->GetWidth() / 256.0f, 0.0f, 1.0f) * 256.0f);
    const int frame = race ? race->GetShieldCollapseUV() : 0;
    const float step = sparkCount > 0 ? 360.0f / static_cast<float>(sparkCount) : 0.0f;
    for (int i = 0; i < sparkCount; ++i) {
        GUI_ShieldCollapseParticle& spark = sparks[i];
        const float r = VisualFloat();
        const float angle = static_cast<float>(i) * step + (r - 0.5f) * step;
        spark.delay = 500.0f * VisualFloat();
        spark.baseSize = 5.0f + 5.0f * VisualFloat();
        spark.sprite.SetFrame(std::clamp(frame, 0, 3), 4);
        sparkOffsetX[i] = radius * std::sin(angle * kDegToRad);
        sparkOffsetY[i] = -radius * std::cos(angle * kDegToRad);
        spark.travelX = sparkOffsetX[i];
        spark.travelY = sparkOffsetY[i];
    }
}

GUI_Shield::~GUI_Shield()
{
    auto& list = ShieldList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

const std::vector<GUI_Shield*>& GUI_Shield::GetAll()
{
    return ShieldList();
}

float GUI_Shield::AngleApart(float a, float b)
{
    float d = std::fmod(std::fabs(a - b), 360.0f);
    return d > 180.0f ? 360.0f - d : d;
}

void GUI_Shield::Flash()
{
    // A bubble that is down would show the flash when it came back up.
    if (!up)
        return;
    flashing = 1;
    flashTimer = 0.0f;
}

void GUI_Shield::AddBlast(float x, float y)
{
    if (!ship)
        return;
    const float a = AngleBetweenPoints(ship->x, ship->y, x, y);
    for (BlastArc& arc : arcs) {
        if (arc.active && AngleApart(arc.angle, a) <= kArcMergeDegrees) {
            arc.age = 0.0f;
            return;
        }
    }
    for (BlastArc& arc : arcs) {
        if (!arc.active) {
            arc.angle = a;
            arc.age = 0.0f;
            arc.active = 1;
            return;
        }
    }
}

void GUI_Shield::AddImpact(float size, float x, float y)
{
    for (auto& slot : impacts) {
        if (slot && slot->active)
            continue;
        if (slot)
            slot->Restart(size, x, y);
        else
            slot = std::make_unique<GUI_ShieldImpact>(size, x, y);
        impactsShowing = 1;
        SpawnExplosion(Explosions::kShieldImpact, GUI_Ship::Of(ship), x, y, 0.0f, 0.0f);
        return;
    }
}

void GUI_Shield::SetUp(bool on)
{
    up = on && collapseState == INTACT ? 1 : 0;
    if (!up)
        flashing = 0;
}

void GUI_Shield::Collapse()
{
    up = 0;
    if (collapseState == INTACT) {
        collapseTimer = 0.0f;
        collapseState = COLLAPSING;
        for (int i = 0; i < sparkCount; ++i) {
            sparks[i].startX = ship->x + sparkOffsetX[i];
            sparks[i].startY = ship->y + sparkOffsetY[i];
        }
    }
    PlayFailSound();
}

void GUI_Shield::PlayFailSound()
{
    if (!ship || GUI_Map::GetInstance().IsOffScreen(ship->x, ship->y, kSoundMargin))
        return;
    ++failSoundsPlayed;
    if (GUI_Sounds* sounds = GUI_BattleGUI::GetInstance().GetSounds())
        sounds->PlayBattleSound(kFailSound, GUI_Sounds::BANK_SHIELDS, 1.0f, 64.0f, ship->x, ship->y);
}

void GUI_Shield::ShipScreenPoint(float& sx, float& sy) const
{
    ToScreen(ship->x, ship->y, sx, sy);
}

void GUI_Shield::Draw()
{
    if (!ship)
        return;
    const float dt = FrameTime();
    if (collapseState == INTACT)
        DrawIntact(dt);
    else if (collapseState == COLLAPSING)
        DrawCollapse(dt);
}

void GUI_Shield::DrawBubble(float sizeFactor, float t)
{
    if (!CanDraw())
        return;
    float sx, sy;
    ShipScreenPoint(sx, sy);
    bubble.SetSize(ZoomScale * 2.0f * radius * sizeFactor);
    bubble.SetAngle(std::atan2(ship->sine, ship->cosine) / kDegToRad);
    bubble.SetAlpha(static_cast<uint8_t>((1.0f - t) * 64.0f));
    bubble.Place(sx, sy);
    const TextureHandle texture = bubbleTexture.GetHandle();
    for (int i = 0; i < 4; ++i)
        QuadRunBatch::Shared().Add(texture, true, bubble.GetQuarter(i).m_vertices);
}

void GUI_Shield::DrawArcs(float dt)
{
    float sx, sy;
    ShipScreenPoint(sx, sy);
    const float side = ZoomScale * 2.0f * radius;
    const bool drawing = CanDraw();
    const TextureHandle blast = drawing ? arcTexture.GetHandle() : 0;
    const TextureHandle scroll = drawing ? scrollTexture.GetHandle() : 0;
    bool began = false;
    for (BlastArc& arc : arcs) {
        if (!arc.active)
            continue;
        arc.age += dt;
        const float p = std::clamp(arc.age / kArcMs, 0.0f, 1.0f);
        if (p >= 1.0f) {
            arc.active = 0;
            continue;
        }
        if (!drawing)
            continue;
        arc.sprite.SetSize(side, side);
        arc.sprite.SetAngle(arc.angle);
        arc.sprite.PlaceCentred(sx, sy);
        if (!arc.sprite.IsOnScreen())
            continue;
        if (!began) {
            MaskedQuadBatch::Shared().Begin(MaskedQuadBatch::ColourFromStage0, false);
            began = true;
        }
        ScreenVertex2 quad[4];
        float v0, v1;
        ArcSweepWindow(p, v0, v1);
        SetMaskedCorners(quad, arc.sprite.m_vertices, ArcAlphaByte(p), 0.0f, v0, 1.0f, v1);
        MaskedQuadBatch::Shared().Add(blast, scroll, quad);
    }
    if (began)
        MaskedQuadBatch::Shared().End();
}

void GUI_Shield::ArcSweepWindow(float p, float& v0, float& v1)
{
    // The bands of the scroll picture run outward through the arc as it
    // ages; the window stays inside the picture, which is not repeated.
    v0 = kSweepTravel * (1.0f - p);
    v1 = v0 + (1.0f - kSweepTravel);
}

uint8_t GUI_Shield::ArcAlphaByte(float p)
{
    return static_cast<uint8_t>(std::clamp(1.0f - p, 0.0f, 1.0f) * 255.0f);
}

void GUI_Shield::ImpactSweep(float dt)
{
    const TextureHandle texture =
        CanDraw() ? GUI_PreloadedTextures::GetInstance().Get(GUI_PreloadedTextures::kShieldImpact)->GetHandle() : 0;
    bool drew = false;
    bool live = false;
    for (auto& impact : impacts) {
        if (!impact || !impact->active)
            continue;
        drew = impact->Draw(dt, texture) || drew;
        live = live || impact->active;
    }
    impactsShowing = (drew || live) ? 1 : 0;
}

void GUI_Shield::DrawIntact(float dt)
{
    BatchScope scope;
    bool arcsDrawn = false;
    if (flashing && up) {
        flashTimer += dt;
        const float t = std::clamp(flashTimer / kFlashMs, 0.0f, 1.0f);
        if (t >= 1.0f) {
            flashing = 0;
        } else {
            DrawBubble(1.0f, t);
            if (GUI_BattleGUI::GetInstance().shadersOn) {
                DrawArcs(dt);
                arcsDrawn = true;
            }
        }
    }
    // Arcs age even while none shows, so an old one never comes back.
    if (!arcsDrawn) {
        for (BlastArc& arc : arcs)
            if (arc.active && (arc.age += dt) >= kArcMs)
                arc.active = 0;
    }
    if (impactsShowing)
        ImpactSweep(dt);
}

void GUI_Shield::DrawCollapse(float dt)
{
    collapseTimer += dt;
    if (collapseTimer > kCollapseMs) {
        collapseState = COLLAPSED;
        return;
    }
    const float t = std::clamp(collapseTimer / kCollapseMs, 0.0f, 1.0f);
    BatchScope scope;
    DrawBubble(1.0f - t, t);
    const TextureHandle texture =
        CanDraw() ? GUI_PreloadedTextures::GetInstance().Get(GUI_PreloadedTextures::kShieldCollapse)->GetHandle() : 0;
    for (int i = 0; i < sparkCount; ++i)
        sparks[i].Update(dt, texture);
}
