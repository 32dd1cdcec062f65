#pragma once
#include "gui/GUI_Dialog.h"

#include <cstdint>
#include <string>

class GUI_ButtonText;
class GUI_ShipDesignSummaryStrip;
class GUI_TextEditWindow;
class SIM_ShipDesign;

// The designer's top panel: the name, the hull, seven figures with budget
// bars and the change-hull, load and save buttons. It rebuilds the design
// from the blueprint after every change and owns the road from a typed name
// to a design file.
class GUI_ShipDesignSummary : public GUI_Dialog {
public:
    static constexpr int kWidth = 584;
    static constexpr int kHeight = 206;
    enum Figure { COST = 0, WEIGHT, POWER_PRODUCED, POWER_CONSUMED, CREW_SUPPLIED, CREW_USED, SPEED, FIGURE_COUNT };

    static GUI_ShipDesignSummary* GetOpen();
    static GUI_ShipDesignSummary* Create();
    ~GUI_ShipDesignSummary() override;

    void Draw() override;
    bool IsModal() const override { return false; }

    static void RecalculateDesign();
    void ShowDesignTotals();
    void ApplyName();
    static void SavePressed(std::intptr_t);
    static void SaveConfirmed(std::intptr_t);
    // Asked with the name about to be written, before anything is; true when
    // it took the save over (the campaign saves a design in use as a new
    // version).
    using RefitOffer = bool (*)(const std::string& designName);
    static void SetRefitOffer(RefitOffer offer);
    // The campaign's fleets hold the designs their ships are built to. A
    // design saved from the campaign is read anew for them: they let go of
    // the old one before the designs are read again and take up the new
    // ones afterwards (installed by the campaign screen).
    struct CampaignDesignLinks {
        void (*release)(const std::string& designName) = nullptr;
        void (*refresh)() = nullptr;
    };
    static void SetCampaignDesignLinks(CampaignDesignLinks links);
    static void OpenSaveDesignDialog();
    // True when a design that came with the game (not one of the player's
    // files) has this display name or the name it gives (any case).
    static bool IsNameOfGamesOwnDesign(const std::string& shown);
    static void SaveDesignAs(const std::string& typed);
    // The refit's OK: the design written under the version name it proposed,
    // without asking it again.
    static void SaveRefitVersion(const std::string& name);
    // Asks the refit offer about the design name typed (made safe); true when
    // its dialog opened and the save is its business now.
    static bool OfferRefitFor(const std::string& typed);
    static void OpenLoadDesignDialog();
    static void LoadDesignByFileName(const std::string& fileName);
    static void ChangeHull(std::intptr_t);

    GUI_TextEditWindow* GetNameField() const { return m_name; }
    GUI_ButtonText* GetSaveButton() const { return m_save; }
    GUI_ButtonText* GetLoadButton() const { return m_load; }
    GUI_ButtonText* GetChangeHullButton() const { return m_changeHull; }
    GUI_ShipDesignSummaryStrip* GetStrip(int figure) const { return m_strips[figure]; }
    const std::string& GetHullName() const { return m_hullName; }

private:
    GUI_ShipDesignSummary();
    static void LoadPressed(std::intptr_t);
    // Writes the designer's design under the name and shows what was written.
    static void WriteDesign(const std::string& typed);

    GUI_TextEditWindow* m_name = nullptr;
    GUI_ButtonText* m_changeHull = nullptr;
    GUI_ButtonText* m_load = nullptr;
    GUI_ButtonText* m_save = nullptr;
    GUI_ShipDesignSummaryStrip* m_strips[FIGURE_COUNT] = {};
    std::string m_nameLabel;
    std::string m_hullLabel;
    std::string m_hullName;
};
