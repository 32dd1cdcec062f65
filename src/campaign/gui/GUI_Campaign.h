#pragma once
#include "app/GUI_GameModeBase.h"
#include "engine/Effect.h"
#include "gui/GUIButtonList.h"

#include <memory>
#include <string>

class SIM_Campaign;
class GUI_CampaignHooks;

// The campaign screen (mode 14): it owns the campaign definition while a
// campaign is open, builds the map on entry, routes keys, clicks and the
// wheel to the campaign windows, and takes them down on leaving.
class GUI_Campaign : public GUI_GameModeBase {
public:
    static constexpr int kModeId = 14;
    static constexpr int kMainMenu = 15;
    static constexpr size_t kMaxNameLength = 32;

    static GUI_Campaign& GetInstance();

    void Render() override;
    void OnKeyDown(int code) override;
    void Update() override;
    void OnLeftClick() override;
    void OnRightClick() override;
    void Enter() override;
    void Leave() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    SIM_Campaign* GetDefinition() const { return m_definition.get(); }
    // Builds the shipped campaign's definition (replacing an open one).
    void LoadCampaignDefinition();
    // Lets go of the campaign: the model first, then the definition.
    void CloseCampaign();
    // At exit, before the content goes: the open campaign, if the screen was
    // ever built.
    static void CloseAtExit();

    // A saved campaign by its folder name: false (reported) when it cannot be
    // read. Fleets its load kept out of play are told in one message.
    static bool OpenCampaign(const std::string& name);
    // What the player reads about a save refused: the file and why.
    static std::string LoadRefusedText(const std::string& path, const std::string& reason);
    // What that message says: each waiting fleet with why and its file; empty
    // when every fleet was taken.
    static std::string WaitingFleetsText();
    // The save folder and first "progress.txt" of a new campaign; false
    // (reported) when the name is refused or the files cannot be written.
    static bool CreateCampaignSave(const std::string& name);
    // A name the player may give a campaign: it becomes a folder name as it is.
    static bool IsAcceptableName(const std::string& name);
    // The folder of a campaign save, or empty for a refused name.
    static std::string SaveFolderFor(const std::string& name);
    // True only for a folder directly inside the campaign saves' folder (no
    // link, no way out): the one kind of folder a campaign may delete.
    static bool IsCampaignFolder(const std::string& folder);
    // A design saved from the designer: the player's fleets let go of it
    // before it is read again, then every fleet takes up its designs anew.
    static void ReleaseCampaignFleetDesign(const std::string& designName);
    static void RefreshCampaignFleetDesigns();
    static void AskQuit();
    static void QuitCampaignToMenu(std::intptr_t = 0);
    // The screen wipe over the campaign's windows (a new turn).
    static void StartTransition();

private:
    GUI_Campaign();
    ~GUI_Campaign() override;
    static void TellWaitingFleets();

    std::unique_ptr<SIM_Campaign> m_definition;
    std::unique_ptr<GUI_CampaignHooks> m_hooks;
    GUIButtonList m_buttons;
    Effect m_planetEffect;
};

// The cash of the player's factories and the crew of their academies per turn.
float GetCampaignIncomePerTurn();
int GetCampaignCrewPerTurn();
