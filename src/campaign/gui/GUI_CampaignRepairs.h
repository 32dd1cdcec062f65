#pragma once
#include "engine/GLifetime.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <cstddef>
#include <memory>
#include <string>

class GUI_ButtonText;
class GUI_CampaignRepairBlueprint;
class GUI_CampaignRepairList;
class GUI_CampaignRepairSounds;
class GUI_IconButton;
class GUI_RepairStatus;
class SIM_CampaignDryDock;
class SIM_CampaignFleet;
class SIM_CampaignShip;
struct SIM_CampaignModuleState;

// The repair yard (dry dock): the damaged ships of one fleet, one at a time,
// with the hull as a blueprint, hull and armour gauges and every recorded
// damage with its price. One damage, one module or the whole ship is repaired
// for cash; what each ship cost goes into its log when the dialog closes.
class GUI_CampaignRepairs : public GUI_Dialog, public GUI_OneOpen<GUI_CampaignRepairs> {
public:
    static constexpr int kWidth = 1000;
    static constexpr int kHeight = 680;

    // Null, and nothing opens, when no ship of the fleet is damaged.
    static GUI_CampaignRepairs* Open(SIM_CampaignFleet* fleet);
    static void CloseOpen();

    ~GUI_CampaignRepairs() override;
    void Draw() override;
    void Update() override;
    // The fleet went: the visit still goes into the logs of its ships.
    void OnSubjectGone() override;

    void ShowShip(SIM_CampaignShip* ship);
    void UpdateRepairAll();
    void UpdateShipButtons();

    // The repairs of the list's buttons and the icons' menu; the ship is
    // shown again before the next frame is drawn.
    void RepairEntry(SIM_CampaignModuleState& module, size_t entry);
    void RepairModule(SIM_CampaignModuleState& module);

    SIM_CampaignShip* GetShownShip() const { return m_shown.Get(); }
    size_t GetPosition() const { return m_position; }
    SIM_CampaignFleet* GetFleet() const { return m_fleet.Get(); }
    SIM_CampaignDryDock& GetDock() { return *m_dock; }
    GUI_ButtonText* GetRepairAllButton() const { return m_repairAll; }
    GUI_IconButton* GetPreviousButton() const { return m_previous; }
    GUI_IconButton* GetNextButton() const { return m_next; }
    GUI_CampaignRepairBlueprint* GetBlueprint() const { return m_blueprint; }
    GUI_CampaignRepairList* GetList() const { return m_list; }
    GUI_RepairStatus* GetHullBar() const { return m_hullBar; }
    GUI_RepairStatus* GetArmourBar() const { return m_armourBar; }
    const std::string& GetHeaderText() const { return m_header; }
    GUI_Interlace& GetHeaderLines() { return m_interlace; }

private:
    explicit GUI_CampaignRepairs(SIM_CampaignFleet* fleet);
    static void OnPreviousShip(std::intptr_t);
    static void OnNextShip(std::intptr_t);
    static void OnRepairAll(std::intptr_t);
    void AfterRepair();

    GWatch<SIM_CampaignFleet> m_fleet;
    std::unique_ptr<SIM_CampaignDryDock> m_dock;
    size_t m_position = 0;
    GWatch<SIM_CampaignShip> m_shown;
    bool m_showAgain = false;
    int m_headerLeft = 0, m_headerTop = 0, m_headerRight = 0, m_headerBottom = 0;
    std::string m_header;
    GUI_CampaignRepairBlueprint* m_blueprint = nullptr;
    GUI_RepairStatus* m_armourBar = nullptr;
    GUI_RepairStatus* m_hullBar = nullptr;
    GUI_CampaignRepairList* m_list = nullptr;
    GUI_IconButton* m_previous = nullptr;
    GUI_IconButton* m_next = nullptr;
    GUI_ButtonText* m_repairAll = nullptr;
    std::unique_ptr<GUI_CampaignRepairSounds> m_sounds;
    GUI_Interlace m_interlace;
};
