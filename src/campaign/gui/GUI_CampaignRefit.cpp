#include "campaign/gui/GUI_CampaignRefit.h"

#include "campaign/gui/CampaignPanelDrawing.h"

#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GHashTable.h"
#include "engine/GSafeFile.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_WindowManager.h"
#include "prep/GUI_ShipDesignSummary.h"
#include "sim/SIM_SavedDesignUse.h"
#include "sim/SIM_ShipDesign.h"

#include <set>

namespace {
bool DesignExists(const std::string& name)
{
    for (const SIM_ShipDesign* d : SIM_ShipDesign::GetList())
        if (ToLowerString(d->GetName()) == name)
            return true;
    return false;
}

// The campaigns' saved files, each unreadable one named once a run however
// often the designer saves: one refused when read has been named already.
SIM_SavedDesignUse::Scan ScanCampaigns(const std::string& campaignsFolder)
{
    static std::set<std::string> told;
    SIM_SavedDesignUse::Scan scan = SIM_SavedDesignUse::ScanBelow(campaignsFolder);
    for (const std::string& path : scan.unreadable)
        if (!GSafeFile::WasRefusedWhenRead(path) && told.insert(path).second)
            LOG_ERROR("Saved campaign file could not be read, its designs are not known: " + path);
    return scan;
}
} // namespace

bool GUI_CampaignRefit::IsDesignInUse(const std::string& designName, const std::string& campaignsFolder)
{
    return ScanCampaigns(campaignsFolder).Names(designName);
}

std::string GUI_CampaignRefit::NextVersionName(const std::string& designName,
                                               const std::function<bool(const std::string&)>& taken)
{
    // The player's capitals stay; only the look-ups go by lower case.
    std::string base = TrimWhitespace(designName);
    const size_t mk = ToLowerString(base).find("_mk");
    if (mk != std::string::npos)
        base = base.substr(0, mk);
    for (int n = 1; n < 100000; ++n) {
        const std::string candidate = StrFormat("%s_MK%d", base.c_str(), n);
        if (!taken(ToLowerString(candidate)))
            return candidate;
    }
    return base + "_MK";
}

bool GUI_CampaignRefit::OfferRefit(const std::string& designName)
{
    const std::string folder = APP_UserFolders::GetInstance().Get(APP_UserFolders::CAMPAIGN_PROGRESS);
    const SIM_SavedDesignUse::Scan scan = ScanCampaigns(folder);
    if (!scan.Names(designName))
        return false;
    // Neither a design here nor ships of a saved campaign may have the new
    // name already: OK writes it without asking again.
    const std::string ships = APP_UserFolders::GetInstance().Get(APP_UserFolders::SHIPS);
    const std::string newName = NextVersionName(designName, [&](const std::string& candidate) {
        return DesignExists(candidate) || scan.names.count(candidate) > 0 ||
               FileExists(SIM_ShipDesign::PlayerDesignFilePath(ships, candidate));
    });
    CloseOpen();
    new GUI_CampaignRefit(designName, newName);
    return true;
}

GUI_CampaignRefit::GUI_CampaignRefit(const std::string& oldName, const std::string& newName)
    : GUI_Dialog(true), m_oldName(oldName), m_newName(newName)
{
    SetOpen(this);
    topMargin = 40.0f;
    bottomMargin = 36.0f;
    SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    Centre();
    SetClientRect();
    m_ok = AddPanelButton(this, "CAMPAIGN_REFIT_OK", OnOK, 0, clientLeft, bottom - 29, clientRight, bottom - 9);
    m_message = GetString("CAMPAIGN_REFIT_TEXT");
    ReplaceSubstring(m_message, "<OLDNAME>", m_oldName);
    ReplaceSubstring(m_message, "<NEWNAME>", m_newName);
    GUI_WindowManager::GetInstance().BringToFront(this);
    GUI_WindowManager::GetInstance().AddModal(this);
    SetTitleKey("CAMPAIGN_REFIT_TITLE");
}

GUI_CampaignRefit::~GUI_CampaignRefit()
{
    ForgetIfOpen(this);
}

void GUI_CampaignRefit::OnOK(std::intptr_t)
{
    const GUI_CampaignRefit* open = GetOpen();
    if (!open)
        return;
    const std::string name = open->m_newName;
    CloseOpen();
    GUI_ShipDesignSummary::SaveRefitVersion(name);
}

void GUI_CampaignRefit::Draw()
{
    if (!visible)
        return;
    drawButtons = false;
    GUI_Dialog::Draw();
    DrawCampaignClientArea(m_interlace, clientLeft, clientTop, clientRight, clientBottom);
    DrawButtons();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const int width = clientRight - clientLeft - 20;
    text.SetText(0, text.GetWrappedText(m_message, width), static_cast<float>(clientLeft + 10),
                 static_cast<float>(clientTop + 10), 0xFFFFFFFFu, static_cast<float>(width));
    text.Render();
}
