#pragma once
#include "app/GUI_GameModeBase.h"
#include "engine/CTexturedSprite.h"
#include "gui/GUIButtonList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class GUI_ButtonText;
class SIM_ShipDesign;
class SIM_ShipHull;

// The ship designer screen: a hull, one module type per slot and a name,
// saved as a design file in the player's ships folder. Its panels (summary,
// blueprint, module picker, module details, design stats) live from Enter to
// Leave. The design being edited is always a private working copy that no
// global list knows about.
class GUI_ShipDesignGUI : public GUI_GameModeBase, public GUIButtonList {
public:
    enum ReturnMode { RETURN_MAIN_MENU = 0, RETURN_DEPLOYMENT = 1, RETURN_CAMPAIGN = 2 };
    static constexpr int kModeId = 1;
    static constexpr float kLayoutWidth = 1024.0f;
    static constexpr float kShortLayoutHeight = 768.0f;
    static constexpr float kTallLayoutHeight = 908.0f;
    static constexpr int kTallScreen = 1024;

    static GUI_ShipDesignGUI& GetInstance();

    // The entry points: sets where the exit button leads and switches to the
    // designer. From the deployment screen the written temporary deployment
    // is named so that it can be reloaded and then deleted on the way back.
    static void OpenFrom(int returnMode, const std::string& tempDeploymentPath = std::string());
    // Runs on the way back to the deployment, after that screen's Enter has
    // read the temporary deployment and before the file is deleted. The game
    // sets none; tests watch the hand-back through it.
    using DeploymentReload = std::function<void(const std::string& path)>;
    static void SetDeploymentReload(DeploymentReload reload);

    void Render() override;
    void OnKeyDown(int code) override;
    void Update() override {}
    // The element's click (x, y) stays reachable beside the mode's own.
    using GUIButtonList::OnLeftClick;
    void OnLeftClick() override;
    void OnRightClick() override;
    void Enter() override;
    void Leave() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    // Shows a private copy of the design (cloned from memory; read from its
    // file only when the loaded design has lost its hull).
    void LoadDesign(const SIM_ShipDesign* design);
    void StartFromHull(SIM_ShipHull* hull);
    void RequestLeave();
    LeaveQuestion GetLeaveQuestion() const override;
    void LeaveShipDesigner();
    void ReloadDesignerEffect();

    SIM_ShipDesign* GetDesign() const { return m_design.get(); }
    int GetReturnMode() const { return m_returnMode; }
    // The deployment screen's fleet, kept in a file while the designer is
    // open from it; empty otherwise.
    const std::string& GetTempDeploymentPath() const { return m_tempDeploymentPath; }
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }
    bool IsTallScreen() const { return m_tall; }
    float GetOriginX() const { return m_originX; }
    float GetOriginY() const { return m_originY; }
    float GetScreenWidth() const { return m_screenW; }
    float GetScreenHeight() const { return m_screenH; }
    GUI_ButtonText* GetExitButton() const { return m_exitButton; }

    int enterCount = 0;
    int leaveCount = 0;

private:
    GUI_ShipDesignGUI();
    static void OnExit(std::intptr_t);
    static void OnLeaveConfirmed(std::intptr_t);
    void ChooseStartDesign();

    GUI_ButtonText* m_exitButton = nullptr;
    std::unique_ptr<SIM_ShipDesign> m_design;
    float m_originX = 0.0f;
    float m_originY = 0.0f;
    CTexturedSprite m_backdrop;
    CTexturedSprite m_layoutBox;
    CTexturedSprite m_bottomStrip;
    float m_screenW = 0.0f;
    float m_screenH = 0.0f;
    int m_returnMode = RETURN_MAIN_MENU;
    bool m_modified = false;
    bool m_tall = false;
    bool m_entered = false;
    std::string m_tempDeploymentPath;
};
