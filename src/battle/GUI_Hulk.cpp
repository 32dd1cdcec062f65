#include "battle/GUI_Hulk.h"

#include <algorithm>
#include <cmath>

#include "battle/EffectDrawing.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/VisualRandom.h"
#include "engine/GDebugLog.h"
#include "engine/GTokenizer.h"
#include "engine/QuadRunBatch.h"
#include "engine/TextHelpers.h"
#include "sim/SIM_HulkLine.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipHull.h"
#include "engine/GeometryHelpers.h"

namespace {

constexpr float kDegToRad = 0.017453292519943295f;
constexpr float kSheet = 512.0f;

std::vector<std::unique_ptr<GUI_Hulk>>& List()
{
    static auto* list = new std::vector<std::unique_ptr<GUI_Hulk>>();
    return *list;
}

// Hull kinds as the hulks read them: fighters leave one whole wreck.
int HulkKind(const SIM_ShipHull* hull)
{
    switch (hull->GetClass()) {
    case SIM_ShipHull::FIGHTER: return 2;
    case SIM_ShipHull::FRIGATE: return 1;
    default: return 0;
    }
}

} // namespace

const std::vector<std::unique_ptr<GUI_Hulk>>& GetHulks()
{
    return List();
}

// ---- emitters ----------------------------------------------------------------

GUI_HulkEmmiter::GUI_HulkEmmiter(GUI_Hulk* owner, const std::string& config, float ox, float oy)
    : hulk(owner), offsetX(ox), offsetY(oy)
{
    layer = 2;
    minZoom = VisualRange(0.8f, 2.0f);
    maxZoom = -1.0f;
    emitter.reset(GUI_ParticleEmmiter::Create(config, hulk->x, hulk->y, 0.0f, 0.0f));
}

GUI_HulkEmmiter::~GUI_HulkEmmiter()
{
    if (parent)
        parent->RemoveFromParent(this);
}

void GUI_HulkEmmiter::Draw()
{
    if (!UpdateLodAlpha())
        return;
    const float r = hulk->heading * kDegToRad;
    const float s = std::sin(r), c = std::cos(r);
    const float ox = offsetX * hulk->scale, oy = offsetY * hulk->scale;
    emitter->x = hulk->x + ox * c - oy * s;
    emitter->y = hulk->y + ox * s + oy * c;
    emitter->scale = hulk->scale;
    emitter->alphaScale = lodAlpha;
    emitter->Draw();
}

// ---- hulks -------------------------------------------------------------------

GUI_Hulk::GUI_Hulk(const std::string& name, float u0, float v0, float u1, float v1, float w, float h, float ox,
                   float oy, int hulkKind)
    : width(w), height(h), offsetX(ox), offsetY(oy), kind(hulkKind)
{
    layer = 2;
    minZoom = -1.0f;
    maxZoom = -1.0f;
    texture.SetName(name);
    quad[0] = {0, 0, 0, 1, 0xFFFFFFFFu, u0, v0};
    quad[1] = {0, 0, 0, 1, 0xFFFFFFFFu, u1, v0};
    quad[2] = {0, 0, 0, 1, 0xFFFFFFFFu, u0, v1};
    quad[3] = {0, 0, 0, 1, 0xFFFFFFFFu, u1, v1};
    const float pieceSize = std::max(w, h);
    pushStrength = pieceSize > 0.0f ? 4.0f / (pieceSize * 0.0625f) : 4.0f;
}

GUI_Hulk::~GUI_Hulk() = default;

void GUI_Hulk::AddEmitter(const std::string& config, float ox, float oy)
{
    auto emitter = std::make_unique<GUI_HulkEmmiter>(this, config, ox, oy);
    AddChild(emitter.get());
    emitters.push_back(std::move(emitter));
}

void GUI_Hulk::Release(const SIM_Ship* ship)
{
    age = 0.0f;
    releaseAge = 0.0f;
    released = 1;
    heading = ship->angle;
    ship->LocalToWorld(offsetX, offsetY, ship->sine, ship->cosine, x, y);
    float limit = 0.0125f;
    if (kind == 1) {
        limit = 0.025f;
    } else if (kind == 2) {
        limit = 0.05f;
        driftSpeed = ship->speed;
        driftSine = ship->sine;
        driftCosine = ship->cosine;
    }
    spin = VisualRange(limit * 0.5f, limit) * (VisualChance(0.5f) ? 1.0f : -1.0f);
}

float GUI_Hulk::Contrast() const
{
    return (1.0f - std::clamp(age / 10000.0f, 0.0f, 1.0f)) * 0.25f + 0.75f;
}

bool GUI_Hulk::TestPush(float p, float bx, float by)
{
    pushed = BlastPush(p, pushStrength, kPushRadiusSq, bx, by, x, y, pushX, pushY) ? 1 : 0;
    return pushed != 0;
}

void GUI_Hulk::Draw()
{
    drewLastFrame = false;
    const GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    const float ms = gui.scaledFrameTime, d = gui.frameStep;
    releaseAge += ms;
    if (!visible && releaseAge >= kFadeInMs)
        visible = 1;
    if (visible)
        age += ms;
    if (kind == 2) {
        driftSpeed = std::max(driftSpeed - driftSpeed * 0.01f * d, 0.0f);
        x += driftSpeed * d * driftSine;
        y -= driftSpeed * d * driftCosine;
    }
    if (pushed) {
        if (DecayPush(d, pushX, pushY)) {
            x += d * pushX;
            y += d * pushY;
        } else {
            pushed = 0;
        }
    }
    scale = 1.0f - 0.5f * std::clamp(age * 0.00002f, 0.0f, 1.0f);
    if (visible) {
        heading = FmodTurn(heading + spin * ms);
        if (heading < 0.0f)
            heading += 360.0f;
    }
    if (!visible)
        return;
    const GUI_Map& map = GUI_Map::GetInstance();
    const float hw = width * scale * ZoomScale * 0.5f, hh = height * scale * ZoomScale * 0.5f;
    const float sx = (x - map.cameraX) * ZoomScale, sy = (y - map.cameraY) * ZoomScale;
    const float reach = std::max(hw, hh) * 1.5f;
    const float sw = static_cast<float>(map.GetScreenWidth()), sh = static_cast<float>(map.GetScreenHeight());
    // Most wrecks lie out of view: turn the quad only for those in it.
    if (sx + reach >= 0.0f && sx - reach <= sw && sy + reach >= 0.0f && sy - reach <= sh) {
        const float r = heading * kDegToRad;
        // Darkening stands for the designed contrast shader: the same curve.
        const uint8_t grey = static_cast<uint8_t>(Contrast() * 255.0f);
        PlaceTurnedQuad(quad, sx, sy, hw, hh, std::sin(r), std::cos(r),
                        0xFF000000u | (uint32_t(grey) << 16) | (uint32_t(grey) << 8) | grey);
        QuadRunBatch::Shared().Add(texture.GetHandle(), false, quad);
        drewLastFrame = true;
    }
    if (minZoom == -1.0f || minZoom <= ZoomScale)
        DrawLayer(2);
}

std::vector<std::unique_ptr<GUI_Hulk>> BuildHulks(const SIM_Ship* ship)
{
    std::vector<std::unique_ptr<GUI_Hulk>> hulks;
    const SIM_ShipHull* hull = ship ? ship->GetHull() : nullptr;
    QLM_ASSERT(hull != nullptr);
    if (!hull || hull->GetHulkTexture().empty() || !GUI_BattleGUI::GetInstance().hulks)
        return hulks;
    const float w = ship->GetWidth(), h = ship->GetHeight();
    const int kind = HulkKind(hull);
    if (kind == 2) {
        const int cell = SheetCell(VisualFloat(), 16);
        const float u0 = static_cast<float>(cell % 4) * 0.25f, v0 = static_cast<float>(cell / 4) * 0.25f;
        hulks.push_back(
            std::make_unique<GUI_Hulk>(hull->GetHulkTexture(), u0, v0, u0 + 0.25f, v0 + 0.25f, w, h, 0.0f, 0.0f, 2));
        return hulks;
    }
    for (const std::string& line : hull->GetHulks()) {
        SIM_HulkLine piece;
        if (!SIM_HulkLine::Parse(line, piece))
            continue;
        const float x0 = piece.left, y0 = piece.top, x1 = piece.right, y1 = piece.bottom;
        if (!(x1 > x0) || !(y1 > y0))
            continue;
        const float pw = (x1 - x0) / kSheet * w, ph = (y1 - y0) / kSheet * h;
        const float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f;
        auto hulk = std::make_unique<GUI_Hulk>(hull->GetHulkTexture(), x0 / kSheet, y0 / kSheet, x1 / kSheet,
                                               y1 / kSheet, pw, ph, (cx / kSheet - 0.5f) * w,
                                               (cy / kSheet - 0.5f) * h, kind);
        for (const SIM_HulkLine::Emitter& e : piece.emitters)
            hulk->AddEmitter(e.config, (e.x - cx) / (x1 - x0) * pw, (e.y - cy) / (y1 - y0) * ph);
        hulks.push_back(std::move(hulk));
    }
    return hulks;
}

void ReleaseHulks(std::vector<std::unique_ptr<GUI_Hulk>>& hulks, const SIM_Ship* ship)
{
    auto& list = List();
    for (auto& hulk : hulks) {
        hulk->Release(ship);
        list.push_back(std::move(hulk));
    }
    hulks.clear();
}

void DrawHulks()
{
    auto& list = List();
    if (list.empty())
        return;
    EffectBatchScope scope;
    for (auto& hulk : list)
        if (hulk->drawFirst)
            hulk->Draw();
    for (auto& hulk : list)
        if (!hulk->drawFirst)
            hulk->Draw();
}

void ClearHulks()
{
    List().clear();
}

void PushHulks(float strength, float x, float y)
{
    for (auto& hulk : List())
        hulk->TestPush(strength, x, y);
}
