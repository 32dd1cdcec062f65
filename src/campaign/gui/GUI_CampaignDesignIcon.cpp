#include "campaign/gui/GUI_CampaignDesignIcon.h"

#include "app/GUI_Sounds.h"
#include "app/Game.h"
#include "campaign/gui/GUI_CampaignUIMemory.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Tooltip.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

GUI_CampaignDesignIcon::GUI_CampaignDesignIcon(bool newDesign, SIM_ShipDesign* design, bool buildableHere)
    : m_design(design), m_buildable(buildableHere), m_newDesign(newDesign)
{
    if (m_newDesign) {
        m_picture.SetTexture("newshipbutton.dds");
        m_tooltip = std::make_unique<GUI_Tooltip>(GetString("NEWSHIPDESIGN_TOOLTIP"), 10);
        SetName("campaign_newdesign");
    } else if (m_design) {
        if (m_design->GetHull())
            m_picture.SetTexture(m_design->GetHull()->GetSprite());
        m_picture.SetAngle(90.0f);
        SetName("campaign_design_" + m_design->GetName());
    }
    m_frame.SetTexture("square_box.dds");
    m_hoverFrame.SetTexture("square_box_h.dds");
    m_refusedFrame.SetTexture("square_box_brown.dds");
    if (!m_newDesign)
        UpdateState();
}

GUI_CampaignDesignIcon::~GUI_CampaignDesignIcon() = default;

int GUI_CampaignDesignIcon::StateFor(float unitCost, int unitCrew, bool fighter, int quantity, int cash, int crew,
                                     bool buildableHere)
{
    int state = BUILDABLE;
    const float cost = fighter ? unitCost * static_cast<float>(quantity) : unitCost;
    if (static_cast<float>(cash) < cost)
        state = NO_CASH;
    const int needed = fighter ? quantity : unitCrew;
    if (crew < needed)
        state = NO_CREW;
    if (!buildableHere)
        state = WRONG_CLASS;
    return state;
}

void GUI_CampaignDesignIcon::UpdateState()
{
    QLM_ASSERT(m_design);
    if (!m_design)
        return;
    const SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    const bool fighter = m_design->GetHull() && m_design->GetHull()->GetClass() == 2;
    m_state = StateFor(m_design->GetCost(), m_design->GetCrewRequired(), fighter, GUI_Shipyard::GetBuildQuantity(),
                       progress.cash, progress.crew, m_buildable);
    m_refused = m_state != BUILDABLE;
    static const char* const reasons[4] = {"SHIPYARD_BUILDABLE_TOOLTIP", "SHIPYARD_NOCREW_TOOLTIP",
                                           "SHIPYARD_NOCASH_TOOLTIP", "SHIPYARD_WRONGCLASS_TOOLTIP"};
    m_tooltip = std::make_unique<GUI_Tooltip>(m_design->GetGuiName(), 10);
    m_tooltip->AddLine(GetString(reasons[m_state]));
}

bool GUI_CampaignDesignIcon::OnLeftClick(float x, float y)
{
    if (!Contains(x, y))
        return false;
    if (!m_newDesign) {
        if (m_design) {
            GUI_Shipyard::SelectDesignInOpen(m_design);
            GUI_Sounds::GetInstance().PlayGuiSound(5);
        }
        return true;
    }
    GUI_Sounds::GetInstance().PlayGuiSound(0);
    SaveCampaignUIMemory();
    GUI_Shipyard::RememberForReturn();
    GUI_ShipDesignGUI::OpenFrom(GUI_ShipDesignGUI::RETURN_CAMPAIGN);
    return true;
}

void GUI_CampaignDesignIcon::Update()
{
    GUI_WindowBase::Update();
    if (!IsMouseOver())
        return;
    GUI_Cursor::GetInstance().SetHand();
    if (m_tooltip) {
        const CInput& input = CInput::GetInstance();
        m_tooltip->SetAnchor(input.GetMouseX(), input.GetMouseY());
        m_tooltip->CheckShowTime();
    }
}

void GUI_CampaignDesignIcon::Draw()
{
    if (!visible)
        return;
    const float cx = static_cast<float>(left + right) / 2.0f;
    const float cy = static_cast<float>(top + bottom) / 2.0f;
    CTexturedSprite& frame = m_refused ? m_refusedFrame : (IsMouseOver() ? m_hoverFrame : m_frame);
    frame.SetSize(static_cast<float>(width), static_cast<float>(height));
    frame.PlaceCentred(cx, cy);
    frame.Draw();
    m_picture.SetSize(static_cast<float>(width - 12), static_cast<float>(height - 12));
    m_picture.SetColour(0xFFFFFFFFu);
    m_picture.PlaceCentred(cx, cy);
    // A hull shows as its white shape; the new-design picture as it is.
    D3DEngine& engine = D3DEngine::GetInstance();
    if (!m_newDesign)
        engine.SetFlatColour(true);
    m_picture.Draw();
    if (!m_newDesign)
        engine.SetFlatColour(false);
    if (m_tooltip && IsMouseOver())
        m_tooltip->Draw();
}
