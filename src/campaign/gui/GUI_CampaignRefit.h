#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <functional>
#include <string>

class GUI_ButtonText;

// Ships of a campaign name their designs, so saving over a design a saved
// campaign uses would change ships already built. The designer asks here
// first; a design in use is saved as its next version ("<base>_MK<n>", a
// name no design and no saved campaign has) when OK is pressed, and the old
// one stays as it was. Both are named as the player wrote them.
class GUI_CampaignRefit : public GUI_Dialog, public GUI_OneOpen<GUI_CampaignRefit> {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 200;

    // True when the dialog opened (the designer then skips its own save
    // dialog). The name is the design's as the player sees it.
    static bool OfferRefit(const std::string& designName);

    // Whether a saved file of any campaign below the folder names the design
    // as its whole "design = X" value, letters in any case. A file that
    // cannot be read names no design: it is logged once a run, and a design
    // is still saved (deleting one counts it as a use, SIM_SavedDesignUse).
    static bool IsDesignInUse(const std::string& designName, const std::string& campaignsFolder);
    // "<base>_MK<n>", the first n from 1 whose lower-case name taken refuses;
    // the base is the name, in its own capitals, before any "_mk" in any case.
    static std::string NextVersionName(const std::string& designName,
                                       const std::function<bool(const std::string&)>& taken);

    GUI_CampaignRefit(const std::string& oldName, const std::string& newName);
    ~GUI_CampaignRefit() override;
    void Draw() override;

    const std::string& GetNewName() const { return m_newName; }
    const std::string& GetMessage() const { return m_message; }
    GUI_ButtonText* GetOkButton() const { return m_ok; }

private:
    static void OnOK(std::intptr_t);

    GUI_ButtonText* m_ok = nullptr;
    std::string m_message;
    std::string m_oldName;
    std::string m_newName;
    GUI_Interlace m_interlace;
};
