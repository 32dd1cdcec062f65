#pragma once
// A headless screen for effect tests: the recording device, an 800 x 600
// view whose top-left world corner and zoom a test chooses, and the battle
// clock stepped by hand.
#include <memory>

#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "engine/D3DEngine.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "sim/SIM_BattleClock.h"

class EffectTestView {
public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;

    EffectTestView()
    {
        auto device = std::make_unique<HeadlessGraphicsDevice>(kWidth, kHeight, true);
        m_device = device.get();
        D3DEngine::GetInstance().Init(std::move(device));
        GUI_Map::GetInstance().SetScreenSize(kWidth, kHeight);
        Look(0.0f, 0.0f, 1.0f);
        SIM_BattleClock::GetInstance().ResetForBattle();
    }
    ~EffectTestView()
    {
        Look(0.0f, 0.0f, 1.0f);
        GUI_Map::GetInstance().SetScreenSize(0, 0);
        SIM_BattleClock::GetInstance().ResetForBattle();
        D3DEngine::GetInstance().Release();
    }

    // The view's top-left world corner and pixels per world unit.
    static void Look(float left, float top, float zoom)
    {
        GUI_Map& map = GUI_Map::GetInstance();
        ZoomScale = zoom;
        map.zoom = zoom;
        map.cameraX = map.viewLeft = left;
        map.cameraY = map.viewTop = top;
        map.viewRight = left + kWidth / zoom;
        map.viewBottom = top + kHeight / zoom;
        CameraCentre[0] = left + kWidth * 0.5f / zoom;
        CameraCentre[1] = top + kHeight * 0.5f / zoom;
    }
    static void Step(float ms) { SIM_BattleClock::GetInstance().SetFrameTime(ms); }

    HeadlessGraphicsDevice& Device() { return *m_device; }

private:
    HeadlessGraphicsDevice* m_device = nullptr;
};
