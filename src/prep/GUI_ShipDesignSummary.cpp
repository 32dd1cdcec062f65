#include "prep/GUI_ShipDesignSummary.h"

#include "app/APP_SaveNotice.h"
#include "app/APP_UsageMetrics.h"
#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_SaveFileDialog.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_TitleBar.h"
#include "gui/GUI_WindowManager.h"
#include "prep/DesignerCommon.h"
#include "prep/GUI_DesignLoader.h"
#include "prep/GUI_DesignStats.h"
#include "prep/GUI_HullPicker.h"
#include "prep/GUI_ModulePicker.h"
#include "prep/GUI_ShipBlueprint.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "prep/GUI_ShipDesignSummaryStrip.h"
#include "prep/GUI_ShipSlot.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>

namespace {
GUI_ShipDesignSummary* g_summary = nullptr;
GUI_ShipDesignSummary::RefitOffer g_refitOffer = nullptr;
GUI_ShipDesignSummary::CampaignDesignLinks g_campaignLinks;

const char* const kFigureKeys[GUI_ShipDesignSummary::FIGURE_COUNT] = {
    "SHIP_DESIGN_TOTALCOST",     "SHIP_DESIGN_TOTALWEIGHT", "SHIP_DESIGN_POWERPRODUCED", "SHIP_DESIGN_POWERCONSUMED",
    "SHIP_DESIGN_CREWSUPPLIED", "SHIP_DESIGN_CREWUSED",    "SHIP_DESIGN_MAXIMUMSPEED",
};

std::string ShipsFolder()
{
    return APP_UserFolders::GetInstance().Get(APP_UserFolders::SHIPS);
}

long long Hundredths(float value)
{
    return static_cast<long long>(value * 100.0f);
}
} // namespace

GUI_ShipDesignSummary* GUI_ShipDesignSummary::GetOpen()
{
    return g_summary;
}

GUI_ShipDesignSummary* GUI_ShipDesignSummary::Create()
{
    delete g_summary;
    return new GUI_ShipDesignSummary();
}

GUI_ShipDesignSummary::GUI_ShipDesignSummary() : GUI_Dialog(false)
{
    g_summary = this;
    GUI_ShipDesignGUI& designer = GUI_ShipDesignGUI::GetInstance();
    SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    MoveTo(designer.GetOriginX() + 440.0f, designer.GetOriginY());
    GUI_WindowManager::GetInstance().BringToFront(this);
    SetTitleKey("SHIP_DESIGN_SUMMARY_TITLE");
    SetFrameTexture("border_depth.dds");
    SetClientRect();
    m_nameLabel = GetString("SHIP_DESIGN_DESIGNNAME");
    m_hullLabel = GetString("SHIP_DESIGN_HULLNAME");

    // Under the title bar the name across the panel; below it the hull and
    // the three buttons on the left, the seven figures on the right.
    const float cl = static_cast<float>(clientLeft);
    const float cr = static_cast<float>(clientRight);
    const float mid = (cl + cr) / 2.0f;
    const float y0 = static_cast<float>(top) + GUI_TitleBar::kBarHeight;
    m_name = new GUI_TextEditWindow("", 999);
    m_name->noLeadingUnderscore = true;
    m_name->SetRect(cl + 60.0f, y0, cr - 5.0f, y0 + 20.0f);
    AddChild(m_name);

    float y = y0 + 24.0f;
    for (int i = 0; i < FIGURE_COUNT; ++i) {
        m_strips[i] = new GUI_ShipDesignSummaryStrip(kFigureKeys[i]);
        m_strips[i]->SetRect(mid + 10.0f, y, cr - 5.0f, y + 18.0f);
        AddChild(m_strips[i]);
        y += 18.0f;
        if (i == WEIGHT || i == POWER_CONSUMED || i == CREW_USED)
            y += 2.0f;
    }
    m_changeHull = new GUI_ButtonText("SHIP_DESIGN_CHANGEHULL", ChangeHull, 0);
    m_changeHull->SetTooltip(GetString("SHIP_DESIGN_CHANGEHULL_TOOLTIP"), 60);
    m_changeHull->SetRect(cl, y0 + 50.0f, mid - 10.0f, y0 + 72.0f);
    m_load = new GUI_ButtonText("SHIP_DESIGN_LOAD", LoadPressed, 0);
    m_load->SetTooltip(GetString("SHIP_DESIGN_LOAD_TOOLTIP"), 60);
    m_load->SetRect(cl, y0 + 80.0f, mid - 10.0f, y0 + 102.0f);
    m_save = new GUI_ButtonText("SHIP_DESIGN_SAVE", SavePressed, 0);
    m_save->SetTooltip(GetString("SHIP_DESIGN_SAVE_TOOLTIP"), 60);
    m_save->SetRect(cl, y0 + 110.0f, mid - 10.0f, y0 + 132.0f);
    AddButton(m_changeHull);
    AddButton(m_load);
    AddButton(m_save);
    SetName("SHIPDESIGN_SUMMARY");
}

GUI_ShipDesignSummary::~GUI_ShipDesignSummary()
{
    if (g_summary == this)
        g_summary = nullptr;
}

void GUI_ShipDesignSummary::ApplyName()
{
    SIM_ShipDesign* design = GUI_ShipDesignGUI::GetInstance().GetDesign();
    if (!design)
        return;
    const std::string name = m_name->GetText();
    design->SetGuiName(name);
    design->SetName(name);
}

void GUI_ShipDesignSummary::RecalculateDesign()
{
    SIM_ShipDesign* design = GUI_ShipDesignGUI::GetInstance().GetDesign();
    if (!design)
        return;
    if (g_summary)
        g_summary->ApplyName();
    if (GUI_ShipBlueprint* blueprint = GUI_ShipBlueprint::GetOpen()) {
        design->ClearModules();
        for (const GUI_ShipSlot* slot : blueprint->GetSlots()) {
            if (slot->GetModule())
                design->AddModule(slot->GetModule(), slot->GetIndex());
        }
    }
    design->CalculateTotals();
    if (g_summary)
        g_summary->ShowDesignTotals();
}

void GUI_ShipDesignSummary::ShowDesignTotals()
{
    const SIM_ShipDesign* design = GUI_ShipDesignGUI::GetInstance().GetDesign();
    if (!design)
        return;
    auto set = [this](int i, const std::string& value) {
        m_strips[i]->value = value;
        m_strips[i]->barShown = false;
        m_strips[i]->warning = false;
    };
    set(COST, StrFormat("%.2f", static_cast<double>(design->GetCost())));
    set(WEIGHT, StrFormat("%.2f", static_cast<double>(design->GetWeight())));
    set(SPEED, StrFormat("%.2f", static_cast<double>(design->GetSpeed())));
    const float produced = design->GetPowerProduced();
    const float consumed = design->GetPowerConsumed();
    set(POWER_PRODUCED, StrFormat("%.2f", static_cast<double>(produced)));
    set(POWER_CONSUMED, StrFormat("%.2f", static_cast<double>(consumed)));
    const int supplied = design->GetCrewSupply();
    const int used = design->GetCrewRequired();
    set(CREW_SUPPLIED, StrFormat("%d", supplied));
    set(CREW_USED, StrFormat("%d", used));

    const float powerMax = std::max(produced, consumed);
    const bool powerOver = Hundredths(consumed) > Hundredths(produced);
    for (int i : {POWER_PRODUCED, POWER_CONSUMED}) {
        const float v = i == POWER_PRODUCED ? produced : consumed;
        m_strips[i]->barShown = true;
        m_strips[i]->fraction = powerMax > 0.0f ? std::clamp(v / powerMax, 0.0f, 1.0f) : 0.0f;
        m_strips[i]->warning = powerOver;
    }
    const int crewMax = std::max(supplied, used);
    for (int i : {CREW_SUPPLIED, CREW_USED}) {
        const int v = i == CREW_SUPPLIED ? supplied : used;
        m_strips[i]->barShown = true;
        m_strips[i]->fraction = crewMax > 0 ? static_cast<float>(v) / static_cast<float>(crewMax) : 0.0f;
        m_strips[i]->warning = used > supplied;
    }
    m_hullName = design->GetHull() ? GetString(design->GetHull()->GetGuiName().c_str()) : std::string();
    if (m_name->GetText() != design->GetGuiName())
        m_name->SetText(design->GetGuiName());
    if (GUI_ModulePicker* picker = GUI_ModulePicker::GetOpen()) {
        if (design->GetHull() && picker->hullClass != design->GetHull()->GetClass()) {
            picker->hullClass = design->GetHull()->GetClass();
            picker->BuildModuleList();
        }
    }
    m_save->enabled = design->IsValid();
}

void GUI_ShipDesignSummary::ChangeHull(std::intptr_t)
{
    GUI_HullPicker::Open(GUI_HullPicker::DESIGNER,
                         GUI_ShipDesignGUI::GetInstance().GetReturnMode() == GUI_ShipDesignGUI::RETURN_MAIN_MENU);
}

void GUI_ShipDesignSummary::LoadPressed(std::intptr_t)
{
    OpenLoadDesignDialog();
}

void GUI_ShipDesignSummary::SavePressed(std::intptr_t)
{
    const GUI_ShipBlueprint* blueprint = GUI_ShipBlueprint::GetOpen();
    if (blueprint && blueprint->HasEmptySlot())
        AskYesNo("EMPTY_SLOTS_CONFIRM_TEXT", "EMPTY_SLOTS_CONFIRM_TITLE", SaveConfirmed, false);
    else
        SaveConfirmed(0);
}

void GUI_ShipDesignSummary::SetRefitOffer(RefitOffer offer)
{
    g_refitOffer = offer;
}

void GUI_ShipDesignSummary::SetCampaignDesignLinks(CampaignDesignLinks links)
{
    g_campaignLinks = links;
}

void GUI_ShipDesignSummary::SaveConfirmed(std::intptr_t)
{
    APP_UsageMetrics::GetInstance().SetEventFlag("savedesign");
    // A design a saved campaign builds from is offered its new version at
    // once, before any file name or overwrite question.
    if (g_summary)
        g_summary->ApplyName();
    if (OfferRefitFor(g_summary ? g_summary->m_name->GetText() : std::string()))
        return;
    OpenSaveDesignDialog();
}

bool GUI_ShipDesignSummary::OfferRefitFor(const std::string& typed)
{
    return g_refitOffer && GUI_ShipDesignGUI::GetInstance().GetDesign() && !TrimWhitespace(typed).empty() &&
           g_refitOffer(SIM_ShipDesign::SanitiseDesignName(typed));
}

bool GUI_ShipDesignSummary::IsNameOfGamesOwnDesign(const std::string& shown)
{
    const std::string name = ToLowerString(shown);
    const std::string folder = ShipsFolder();
    for (const SIM_ShipDesign* design : SIM_ShipDesign::GetList())
        if (!SIM_ShipDesign::IsInsideFolder(design->GetFileName(), folder) &&
            (design->GetName() == name || ToLowerString(design->GetGuiName()) == name))
            return true;
    return false;
}

void GUI_ShipDesignSummary::OpenSaveDesignDialog()
{
    if (g_summary)
        g_summary->ApplyName();
    const SIM_ShipDesign* design = GUI_ShipDesignGUI::GetInstance().GetDesign();
    GUI_SaveFileDialog* dialog =
        ShowSaveFileDialog(ShipsFolder() + "/", ".txt", "SHIPDESIGN_SAVEDESIGN", SaveDesignAs,
                           design ? design->GetGuiName() : std::string());
    // The overwrite question must look at the file that will really be written.
    dialog->SetFileNameMapper(
        [](const std::string& name) { return ToLowerString(SIM_ShipDesign::SanitiseDesignName(name)); });
    // The game's own designs cannot be replaced, and a second design of
    // their name would stand beside them in the pickers and deployments.
    dialog->SetNameCheck([](const std::string& name) -> GUI_SaveFileDialog::Refusal {
        if (IsNameOfGamesOwnDesign(SIM_ShipDesign::SanitiseDesignName(name)))
            return {"DESIGN_NAME_TAKEN_TEXT", "DESIGN_NAME_TAKEN_TITLE"};
        // A name a saved campaign builds from gets the refit, not the
        // overwrite question: the file is never replaced.
        if (OfferRefitFor(name)) {
            if (GUI_SaveFileDialog* open = GUI_SaveFileDialog::GetOpen()) {
                open->visible = false;
                GUI_WindowManager::GetInstance().CloseWindow(open);
            }
            GUI_SaveFileDialog::Refusal taken;
            taken.takenOver = true;
            return taken;
        }
        return {};
    });
    if (dialog->GetTextField())
        dialog->GetTextField()->noLeadingUnderscore = true;
}

void GUI_ShipDesignSummary::SaveDesignAs(const std::string& typed)
{
    // A design a saved campaign builds from is saved as a new version
    // instead: asked for the name about to be written, whatever the name
    // field says.
    if (OfferRefitFor(typed))
        return;
    WriteDesign(typed);
}

void GUI_ShipDesignSummary::SaveRefitVersion(const std::string& name)
{
    WriteDesign(name);
}

void GUI_ShipDesignSummary::WriteDesign(const std::string& typed)
{
    GUI_ShipDesignGUI& designer = GUI_ShipDesignGUI::GetInstance();
    SIM_ShipDesign* design = designer.GetDesign();
    if (!design)
        return;
    const std::string shown = SIM_ShipDesign::SanitiseDesignName(typed);
    const std::string path = SIM_ShipDesign::PlayerDesignFilePath(ShipsFolder(), shown);
    design->SetGuiName(shown);
    design->SetName(ToLowerString(shown));
    design->SetFileName(path);
    if (g_summary)
        g_summary->m_name->SetText(shown);
    if (!design->Write(path)) {
        // Nothing was saved: keep the player's work as it is, and say so.
        designer::PlaySound(designer::kSoundError);
        APP_SaveNotice::GetInstance().MarkReported();
        ShowMessage(GetString("DESIGN_SAVE_FAILED_TEXT"), "DESIGN_SAVE_FAILED_TITLE");
        return;
    }
    designer.SetModified(false);
    // Entered from the campaign, its fleets take up what was saved. They let
    // go of the design only once the file reads back, so that none is left
    // without one.
    const bool relink = designer.GetReturnMode() == GUI_ShipDesignGUI::RETURN_CAMPAIGN &&
                        g_campaignLinks.release && g_campaignLinks.refresh &&
                        SIM_ShipDesign::ReadWorkingCopy(path) != nullptr;
    if (relink)
        g_campaignLinks.release(design->GetName());
    SIM_ShipDesign::FreeLoaded();
    SIM_ShipDesign::LoadAll();
    if (relink)
        g_campaignLinks.refresh();
    const SIM_ShipDesign* saved = SIM_ShipDesign::FindByFileName(path);
    QLM_ASSERT(saved != nullptr);
    if (saved && saved->IsInUse()) {
        // Ships on hand keep the design as it was read, so the listed one is
        // not read again; the designer shows what the file now holds.
        std::unique_ptr<SIM_ShipDesign> written = SIM_ShipDesign::ReadWorkingCopy(path);
        written->SetPlayerFlag(true);
        designer.LoadDesign(written.get());
    } else if (saved) {
        designer.LoadDesign(saved);
    }
}

void GUI_ShipDesignSummary::OpenLoadDesignDialog()
{
    GUI_DesignLoader::Open({"data/sampleships/*.txt", ShipsFolder() + "/*.txt"});
}

void GUI_ShipDesignSummary::LoadDesignByFileName(const std::string& fileName)
{
    const SIM_ShipDesign* design = SIM_ShipDesign::FindByFileName(fileName);
    if (!design) {
        designer::PlaySound(designer::kSoundError);
        ShowMessage(GetString("DESIGN_NOTLOADED_TEXT"), "DESIGN_NOTLOADED_TITLE");
        return;
    }
    GUI_ShipDesignGUI::GetInstance().LoadDesign(design);
}

void GUI_ShipDesignSummary::Draw()
{
    if (!visible)
        return;
    for (const GUI_ShipDesignSummaryStrip* strip : m_strips)
        designer::FillRect(strip->left, strip->top, strip->right, strip->bottom, 0x33FFFFFFu);
    GUI_Dialog::Draw();
    const float y0 = static_cast<float>(m_name->top);
    designer::DrawText(m_nameLabel, static_cast<float>(clientLeft), y0 - 3.0f);
    designer::DrawText(m_hullLabel, static_cast<float>(clientLeft), y0 + 21.0f);
    designer::DrawText(m_hullName, static_cast<float>(m_name->left + 8), y0 + 21.0f, 0xFF8FF2FFu);
    DrawChildren();
}
