#include "campaign/gui/GUI_CampaignRepairs.h"

#include "campaign/gui/GUI_CampaignRepairBlueprint.h"
#include "campaign/gui/GUI_CampaignRepairIcon.h"
#include "campaign/gui/GUI_CampaignRepairList.h"
#include "campaign/gui/GUI_CampaignRepairSounds.h"
#include "campaign/gui/GUI_RepairStatus.h"
#include "campaign/sim/SIM_CampaignDryDock.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/GRect.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_DialogLayout.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_IconButton.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_ShipDesign.h"

namespace {
GUI_IconButton* AddShipButton(GUI_WindowBase* owner, GUI_Callback callback, const char* texture, const char* lit,
                              const char* tooltip, int l, int t, int r, int b)
{
    auto* button = new GUI_IconButton(callback, 0, texture, lit);
    button->SetRect(static_cast<float>(l), static_cast<float>(t), static_cast<float>(r), static_cast<float>(b));
    button->SetTooltip(tooltip, 60);
    button->SetOwner(owner);
    owner->AddChildElement(button);
    owner->AddButton(button);
    return button;
}
} // namespace

void GUI_CampaignRepairs::CloseOpen()
{
    GUI_RepairIconRCMenu::Close();
    // The logs and the save get the visit now: the window may be deleted
    // after the fleets are gone.
    if (GUI_CampaignRepairs* open = GetOpen())
        open->m_dock->Close();
    GUI_OneOpen<GUI_CampaignRepairs>::CloseOpen();
}

GUI_CampaignRepairs* GUI_CampaignRepairs::Open(SIM_CampaignFleet* fleet)
{
    QLM_ASSERT(fleet);
    CloseOpen();
    // A fleet without damage has nothing to show.
    if (!fleet || SIM_CampaignDryDock::DamagedShips(fleet).empty())
        return nullptr;
    return new GUI_CampaignRepairs(fleet);
}

GUI_CampaignRepairs::GUI_CampaignRepairs(SIM_CampaignFleet* fleet)
    : GUI_Dialog(true), m_fleet(fleet), m_dock(std::make_unique<SIM_CampaignDryDock>(fleet))
{
    SetOpen(this);
    Follow(m_fleet);
    CentreDialog(*this, kWidth, kHeight);
    GUI_WindowManager::GetInstance().BringToFront(this);
    GUI_WindowManager::GetInstance().AddModal(this);
    SetTitleKey("GUI_CAMPAIGN_REPAIRS_TITLE");
    const int cl = clientLeft, ct = clientTop, cr = clientRight, cb = clientBottom;
    m_headerLeft = cl;
    m_headerTop = ct;
    m_headerRight = cl + 528;
    m_headerBottom = ct + 30;
    const int bpTop = m_headerBottom + 5, bpBottom = m_headerBottom + 533;
    m_blueprint = PlaceChild(new GUI_CampaignRepairBlueprint(), cl, bpTop, cl + 528, bpBottom);
    m_armourBar = PlaceChild(new GUI_RepairStatus(GUI_RepairStatus::ARMOUR), cl, bpBottom + 5, cl + 528, bpBottom + 25);
    m_hullBar = PlaceChild(new GUI_RepairStatus(GUI_RepairStatus::HULL), cl, bpBottom + 30, cl + 528, bpBottom + 50);
    const int listLeft = cl + 528 + 10, listTop = cb - 60 - 511, listBottom = cb - 60;
    m_list = PlaceChild(new GUI_CampaignRepairList(), listLeft, listTop, cr, listBottom);
    // Each arrow carries the key of what it does.
    m_previous = AddShipButton(this, OnPreviousShip, "gui_scrollleft.dds", "gui_scrollleft_h.dds",
                               "DRYDOCK_PREV_SHIP_TOOLTIP", m_headerLeft + 10, m_headerTop + 2, m_headerLeft + 40,
                               m_headerBottom - 2);
    m_next = AddShipButton(this, OnNextShip, "gui_scrollright.dds", "gui_scrollright_h.dds",
                           "DRYDOCK_NEXT_SHIP_TOOLTIP", m_headerRight - 40, m_headerTop + 2, m_headerRight - 10,
                           m_headerBottom - 2);
    m_repairAll = new GUI_ButtonText("CAMPAIGN_REPAIRALL", OnRepairAll, 0);
    m_repairAll->SetRect(static_cast<float>(listLeft), static_cast<float>(listBottom + 10), static_cast<float>(cr),
                         static_cast<float>(listBottom + 30));
    m_repairAll->SetTooltip("CAMPAIGN_REPAIRALL_TOOLTIP", 60);
    m_repairAll->SetOwner(this);
    AddChildElement(m_repairAll);
    AddButton(m_repairAll);
    m_previous->SetName("CampaignRepairsPrevious");
    m_next->SetName("CampaignRepairsNext");
    m_repairAll->SetName("CampaignRepairAll");

    QLM_ASSERT(m_dock->GetShipCount() > 0);
    if (m_dock->GetShipCount() > 0)
        ShowShip(m_dock->GetShip(0));
    UpdateShipButtons();
    m_sounds = std::make_unique<GUI_CampaignRepairSounds>();
    GUI_Tutorial::GetInstance().LaunchTutorial("CAMPAIGN_REPAIRS");
}

GUI_CampaignRepairs::~GUI_CampaignRepairs()
{
    m_sounds.reset();
    GUI_RepairIconRCMenu::Close();
    // The logs get their lines now, and the save with them.
    m_dock->Close();
    ForgetIfOpen(this);
}

void GUI_CampaignRepairs::OnSubjectGone()
{
    GUI_RepairIconRCMenu::Close();
    m_dock->Close();
}

void GUI_CampaignRepairs::ShowShip(SIM_CampaignShip* ship)
{
    QLM_ASSERT(ship);
    if (!ship)
        return;
    m_shown = GWatch<SIM_CampaignShip>(ship);
    m_showAgain = false;
    m_blueprint->ShowShip(ship);
    m_list->Rebuild(ship);
    m_hullBar->SetValue(ship->integrity);
    m_armourBar->SetValue(ship->armourIntegrity);
    std::string header =
        StrFormat("%s (%s)", ship->name.c_str(), ship->design ? ship->design->GetGuiName().c_str() : "");
    if (header.size() > 2047)
        header.resize(2047);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    m_header = text.GetWrappedText(header, m_headerRight - m_headerLeft);
    UpdateRepairAll();
}

void GUI_CampaignRepairs::UpdateRepairAll()
{
    const SIM_CampaignShip* shown = GetShownShip();
    const int total = shown ? SIM_CampaignDryDock::RepairAllCost(*shown) : 0;
    if (total > 0 && total <= SIM_CampaignProgress::GetInstance().cash) {
        m_repairAll->enabled = true;
        m_repairAll->SetTextString(
            StrFormat("%s (%s CR)", GetString("CAMPAIGN_REPAIRALL"), FormatThousands(total).c_str()));
    } else {
        m_repairAll->enabled = false;
        m_repairAll->SetTextKey("CAMPAIGN_REPAIRALL");
    }
}

void GUI_CampaignRepairs::UpdateShipButtons()
{
    const size_t count = m_dock->GetShipCount();
    m_previous->enabled = m_position > 0;
    m_next->enabled = m_position + 1 < count;
}

void GUI_CampaignRepairs::OnPreviousShip(std::intptr_t)
{
    GUI_CampaignRepairs* self = GetOpen();
    if (!self || self->m_position == 0)
        return;
    --self->m_position;
    if (SIM_CampaignShip* ship = self->m_dock->GetShip(self->m_position))
        self->ShowShip(ship);
    self->UpdateShipButtons();
}

void GUI_CampaignRepairs::OnNextShip(std::intptr_t)
{
    GUI_CampaignRepairs* self = GetOpen();
    if (!self || self->m_position + 1 >= self->m_dock->GetShipCount())
        return;
    ++self->m_position;
    if (SIM_CampaignShip* ship = self->m_dock->GetShip(self->m_position))
        self->ShowShip(ship);
    self->UpdateShipButtons();
}

void GUI_CampaignRepairs::OnRepairAll(std::intptr_t)
{
    GUI_CampaignRepairs* self = GetOpen();
    SIM_CampaignShip* shown = self ? self->GetShownShip() : nullptr;
    QLM_ASSERT(shown);
    if (!shown)
        return;
    if (self->m_dock->RepairAll(*shown) > 0)
        GUI_CampaignRepairSounds::PlayWeld();
    self->ShowShip(shown);
}

void GUI_CampaignRepairs::RepairEntry(SIM_CampaignModuleState& module, size_t entry)
{
    SIM_CampaignShip* shown = GetShownShip();
    if (shown && module.ship == shown && m_dock->RepairEntry(*shown, module, entry))
        AfterRepair();
}

void GUI_CampaignRepairs::RepairModule(SIM_CampaignModuleState& module)
{
    SIM_CampaignShip* shown = GetShownShip();
    if (shown && module.ship == shown && m_dock->RepairModule(*shown, module))
        AfterRepair();
}

void GUI_CampaignRepairs::AfterRepair()
{
    GUI_CampaignRepairSounds::PlayWeld();
    // The list item or icon whose click brought us here is still running:
    // the ship is shown again at the next update.
    m_showAgain = true;
    if (const SIM_CampaignShip* shown = GetShownShip()) {
        m_hullBar->SetValue(shown->integrity);
        m_armourBar->SetValue(shown->armourIntegrity);
    }
    UpdateRepairAll();
}

void GUI_CampaignRepairs::Update()
{
    if (m_showAgain && GetShownShip())
        ShowShip(GetShownShip());
    GUI_CampaignRepairIcon::ClearHovered();
    GUI_Dialog::Update();
}

void GUI_CampaignRepairs::Draw()
{
    if (!visible)
        return;
    if (m_showAgain && GetShownShip())
        ShowShip(GetShownShip());
    if (m_sounds)
        m_sounds->Update();
    drawButtons = false;
    GUI_Dialog::Draw();
    // The header moves with a dragged dialog.
    m_headerLeft = clientLeft;
    m_headerTop = clientTop;
    m_headerRight = clientLeft + 528;
    m_headerBottom = clientTop + 30;
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, 8.0f, 1.0f, static_cast<float>(m_headerLeft),
                       static_cast<float>(m_headerTop), static_cast<float>(m_headerRight),
                       static_cast<float>(m_headerBottom));
    m_interlace.DrawOver(GRect{m_headerLeft, m_headerTop, m_headerRight, m_headerBottom});
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_CENTRE, m_header, static_cast<float>(m_headerLeft), static_cast<float>(m_headerTop + 6),
                 0xFFFFFFFFu, static_cast<float>(m_headerRight - m_headerLeft));
    DrawChildren();
    DrawButtons();
    text.Render();
}
