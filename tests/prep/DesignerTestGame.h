#pragma once
// The whole program started headless on a desktop of a given size, with the
// designer driven as a player would: the mouse moves, presses and lets go
// through the window, and a frame runs after each step.
#include "app/Game.h"
#include "engine/CInput.h"
#include "gui/GUI_BaseElement.h"
#include "platform/HeadlessWindow.h"
#include "prep/GUI_ModulePicker.h"
#include "prep/GUI_ModulePickerIcon.h"
#include "prep/GUI_ShipBlueprint.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "prep/GUI_ShipSlot.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "support/NoLessons.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class DesignerTestGame {
public:
    DesignerTestGame(int width, int height)
    {
        m_cwd = std::make_unique<ScopedChdir>(QLM_GAME_DIR);
        GameStartOptions options;
        options.userDir = m_user.Path();
        options.headless = true;
        options.desktopWidth = width;
        options.desktopHeight = height;
        options.seed = 5;
        started = Game::GetInstance().Init(options);
        if (started)
            DropAllLessons();
        window = dynamic_cast<HeadlessWindow*>(Game::GetInstance().GetWindow());
    }
    ~DesignerTestGame()
    {
        Game::GetInstance().Shutdown();
        Game::GetInstance().ResetForTests();
        m_cwd.reset();
    }

    void Frames(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            window->PumpEvents();
            Game::GetInstance().Frame();
        }
    }
    void MoveMouse(float x, float y)
    {
        window->InjectMouseMove(static_cast<int>(x), static_cast<int>(y));
        Frames();
    }
    void Button(bool down)
    {
        window->InjectMouseButton(MouseButton::Left, down);
        Frames();
    }
    void RightClick(float x, float y)
    {
        MoveMouse(x, y);
        window->InjectMouseButton(MouseButton::Right, true);
        window->InjectMouseButton(MouseButton::Right, false);
        Frames();
    }
    void Click(float x, float y)
    {
        MoveMouse(x, y);
        Button(true);
        Button(false);
    }
    void ClickOn(const GUI_BaseElement& e) { Click((e.left + e.right) / 2.0f, (e.top + e.bottom) / 2.0f); }
    // Presses at (fromX, fromY), moves in steps to (toX, toY) and lets go.
    void Drag(float fromX, float fromY, float toX, float toY)
    {
        MoveMouse(fromX, fromY);
        Button(true);
        for (int step = 1; step <= 4; ++step)
            MoveMouse(fromX + (toX - fromX) * static_cast<float>(step) / 4.0f,
                      fromY + (toY - fromY) * static_cast<float>(step) / 4.0f);
        Button(false);
        Frames();
    }

    // Opens the designer from the main menu on an empty design of a hull.
    void OpenOnHull(const std::string& hullName)
    {
        Game::GetInstance().SetMode(15);
        GUI_ShipDesignGUI::OpenFrom(GUI_ShipDesignGUI::RETURN_MAIN_MENU);
        GUI_ShipDesignGUI::GetInstance().StartFromHull(SIM_ShipHull::Find(hullName));
        GUI_ShipDesignGUI::GetInstance().SetModified(false);
        Frames(2);
    }
    // The picker icon of a type on the All tab (the grid is scrolled to it).
    const GUI_ModulePickerIcon* Icon(const std::string& typeName)
    {
        GUI_ModulePicker* picker = GUI_ModulePicker::GetOpen();
        GUI_ModulePicker::OnTab(GUI_ModulePicker::ALL); // back to the first row
        Frames();
        for (int page = 0; page < 10; ++page) {
            for (const GUI_ModulePickerIcon* icon : picker->GetIcons())
                if (icon->GetModuleType()->GetName() == typeName)
                    return icon;
            picker->OnWheelDown();
            Frames();
        }
        return nullptr;
    }
    // Drags a type from the picker, grabbed at the icon's centre, and lets go
    // with the pointer at (x, y): the dragged icon's centre is the pointer.
    void DragFromPicker(const std::string& typeName, float x, float y)
    {
        const GUI_ModulePickerIcon* icon = Icon(typeName);
        ASSERT_NE(icon, nullptr) << typeName;
        Drag((icon->left + icon->right) / 2.0f, (icon->top + icon->bottom) / 2.0f, x, y);
    }
    GUI_ShipSlot* Slot(int index) const { return GUI_ShipBlueprint::GetOpen()->FindSlot(index); }
    std::string TypeIn(int index) const
    {
        const GUI_ShipSlot* slot = Slot(index);
        return slot && slot->GetModule() ? slot->GetModule()->GetName() : std::string();
    }
    void DropOnSlot(const std::string& typeName, int index)
    {
        DragFromPicker(typeName, Slot(index)->GetCentreX(), Slot(index)->GetCentreY());
    }

    TempDir& User() { return m_user; }
    bool started = false;
    HeadlessWindow* window = nullptr;

private:
    TempDir m_user;
    std::unique_ptr<ScopedChdir> m_cwd;
};
