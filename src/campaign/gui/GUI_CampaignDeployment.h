#pragma once
#include "engine/GLifetime.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_OneOpen.h"

#include <memory>
#include <string>
#include <vector>

class GUI_ButtonText;
class GUI_CampaignDeploymentPicker;
class GUI_CampaignShipIcon;
class GUI_DeploymentIcon;
class OnlineJob;
class SIM_CampaignEncounter;
class SIM_CampaignFleet;
class SIM_DeployedFleet;
struct SIM_PendingBattle;

// The last step into a campaign battle: every ship of the fleets that fight
// is placed on the planet's battle map (each once, all of them before the
// fight button wakes), given group orders, and the battle starts with every
// ship's stored damage. The layout is kept per leading fleet for next time.
class GUI_CampaignDeployment : public GUI_Dialog, public GUI_OneOpen<GUI_CampaignDeployment> {
public:
    // The title is a tab this wide over the middle of the dialog's top.
    static constexpr int kTitleTabWidth = 300;
    static constexpr int kPickerWidth = 153;

    static GUI_CampaignDeployment* Open(SIM_PendingBattle* battle);
    // The square side of the map: min(width - 320, height - 61).
    static int MapSide(int screenWidth, int screenHeight);
    // "<save folder>/deployments/<leading fleet id>.txt".
    static std::string LastDeploymentPath(int fleetId);

    explicit GUI_CampaignDeployment(SIM_PendingBattle* battle);
    ~GUI_CampaignDeployment() override;

    bool OnLeftClick(float x, float y) override;
    bool OnRightClick(float x, float y) override;
    void OnKeyDown(int key) override;
    void OnWheelUp() override;
    void OnWheelDown() override;
    void Draw() override;
    bool IsModal() const override { return false; }

    void PlaceShip(GUI_CampaignShipIcon* icon);
    void PutIconBack(GUI_DeploymentIcon* icon);
    void UpdateFightButton();
    bool SaveLastDeployment();
    // Ships placed from the file.
    int LoadLastDeployment();
    // Starts the battle; false (told, nothing started) when it cannot. When
    // the leading fleet is due to be posted as a challenge the post goes
    // first, beside the frame behind the please-wait box, and the battle
    // starts once it is done or cancelled.
    bool Fight();
    bool IsUploading() const { return m_upload != nullptr; }
    // The campaign screen's frame: a finished upload taken in, then the battle.
    static void PollOpenUpload();

    GUI_ButtonText* GetFightButton() const { return m_fight; }
    GUI_CampaignDeploymentPicker* GetPicker() const { return m_picker; }
    SIM_DeployedFleet* GetPlayerFleet() const { return m_player.get(); }
    SIM_DeployedFleet* GetEnemyFleet() const { return m_enemy.get(); }
    // Null once the planet is gone (the dialog closes then).
    SIM_CampaignEncounter* GetEncounter() const { return m_encounter.Get(); }

private:
    // The title bar as a tab of kTitleTabWidth, centred on the dialog's top.
    void PlaceTitleTab();
    static void OnFight(std::intptr_t);
    static void OnShipTileClicked(GUI_CampaignShipIcon* icon);
    static void OnMapIconRemoved(GUI_DeploymentIcon* icon);
    GUI_DeploymentIcon* AddPlacedShip(GUI_CampaignShipIcon* tile, float mapX, float mapY);

    // The leading fleet's id names the layout file.
    SIM_CampaignFleet* LeadingFleet() const;
    bool CanFight() const;
    // False when nothing is to be posted (the battle may start at once).
    bool StartUpload();
    void PollUpload();
    bool StartBattle();

    // The dialog goes with its battle, its planet or any of its fleets.
    std::vector<GWatch<SIM_CampaignFleet>> m_fleets;
    GWatch<SIM_PendingBattle> m_battle;
    GWatch<SIM_CampaignEncounter> m_encounter;
    GUI_CampaignDeploymentPicker* m_picker = nullptr;
    std::unique_ptr<SIM_DeployedFleet> m_enemy;
    std::unique_ptr<SIM_DeployedFleet> m_player;
    GUI_ButtonText* m_fight = nullptr;
    bool m_enemyReady = false;
    std::string m_mystery[3];
    std::shared_ptr<OnlineJob> m_upload;
    int m_uploadLevel = -1;
    // Empty: holds the title while the dialog's frame is drawn without it.
    std::string m_tabTitle;
};
