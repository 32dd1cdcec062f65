#include "battle/AttachmentView.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_RunningLight.h"
#include "engine/D3DEngine.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"

float AttachmentView::Outside(float sx, float sy)
{
    // A point at no number keeps every sprite's own test.
    if (!std::isfinite(sx) || !std::isfinite(sy))
        return std::numeric_limits<float>::lowest();
    const D3DEngine& engine = D3DEngine::GetInstance();
    const float sw = static_cast<float>(engine.GetScreenWidth()), sh = static_cast<float>(engine.GetScreenHeight());
    return std::max(std::max(-sx, sx - sw), std::max(-sy, sy - sh));
}

const AttachmentView::Frame* AttachmentView::openFrame = nullptr;

AttachmentView::Frame AttachmentView::Frame::Read()
{
    Frame f;
    const GUI_Map& map = GUI_Map::GetInstance();
    f.zoom = ZoomScale;
    f.cameraX = map.cameraX;
    f.cameraY = map.cameraY;
    f.mapScreenWidth = static_cast<float>(map.GetScreenWidth());
    f.mapScreenHeight = static_cast<float>(map.GetScreenHeight());
    const D3DEngine& engine = D3DEngine::GetInstance();
    f.screenWidth = static_cast<float>(engine.GetScreenWidth());
    f.screenHeight = static_cast<float>(engine.GetScreenHeight());
    const GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    f.contrails = gui.contrails != 0;
    f.runningLights = gui.runningLights != 0;
    constexpr float margin = GUI_RunningLight::kCullMargin;
    f.lightsLeft = map.viewLeft - margin;
    f.lightsRight = map.viewRight + margin;
    f.lightsTop = map.viewTop - margin;
    f.lightsBottom = map.viewBottom + margin;
    return f;
}

AttachmentView::FrameScope::FrameScope()
    : frame(Frame::Read()), outer(openFrame)
{
    openFrame = &frame;
}

AttachmentView::FrameScope::~FrameScope()
{
    openFrame = outer;
}

AttachmentView AttachmentView::Of(const SIM_Ship* ship, const VisualStep& step)
{
    AttachmentView view;
    view.Take(ship, step);
    return view;
}

void AttachmentView::Take(const SIM_Ship* ship, const VisualStep& step)
{
    if (openFrame) {
        Take(ship, step, *openFrame);
        return;
    }
    const Frame frame = Frame::Read();
    Take(ship, step, frame);
}

void AttachmentView::Take(const SIM_Ship* s, const VisualStep& st, const Frame& frame)
{
    ship = s;
    step = st;
    zoom = frame.zoom;
    cameraX = frame.cameraX;
    cameraY = frame.cameraY;
    mapScreenWidth = frame.mapScreenWidth;
    mapScreenHeight = frame.mapScreenHeight;
    outside = 0.0f;
    trailsOn = glowsOn = lightsOn = uncloaked = false;
    headingSine = 0.0f;
    headingCosine = 1.0f;
    if (!s)
        return;
    // As Outside works it out, with the frame's screen.
    const float sx = (s->x - cameraX) * zoom, sy = (s->y - cameraY) * zoom;
    if (!std::isfinite(sx) || !std::isfinite(sy))
        outside = std::numeric_limits<float>::lowest();
    else
        outside = std::max(std::max(-sx, sx - frame.screenWidth), std::max(-sy, sy - frame.screenHeight));
    uncloaked = true;
    for (const SIM_CamoflageShieldModule* cloak : s->GetCloaks())
        if (cloak && cloak->GetCloakState() != SIM_CamoflageShieldModule::VISIBLE)
            uncloaked = false;
    trailsOn = frame.contrails && s->state != SIM_Ship::OFF_FIELD;
    glowsOn = s->state == SIM_Ship::ACTIVE && uncloaked;
    // The map's IsOffScreen with the lights' margin.
    lightsOn = frame.runningLights && !s->IsDead() && s->state != SIM_Ship::OFF_FIELD &&
               s->state != SIM_Ship::RETREATED &&
               !(s->x < frame.lightsLeft || s->x > frame.lightsRight || s->y < frame.lightsTop ||
                 s->y > frame.lightsBottom);
    if (lightsOn) {
        // The ship keeps the same sine and cosine while its heading holds.
        if (std::bit_cast<uint32_t>(s->angle) == s->trigAngleBits) {
            headingSine = s->sine;
            headingCosine = s->cosine;
        } else {
            const float turn = s->angle * (3.14159265358979f / 180.0f);
            headingSine = std::sin(turn);
            headingCosine = std::cos(turn);
        }
    }
}
