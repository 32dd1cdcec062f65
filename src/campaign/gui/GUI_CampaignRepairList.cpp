#include "campaign/gui/GUI_CampaignRepairList.h"

#include "battle/hud/ModulePicture.h"
#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/gui/CampaignScrolledRows.h"
#include "campaign/gui/GUI_CampaignRepairIcon.h"
#include "campaign/gui/GUI_CampaignRepairs.h"
#include "campaign/sim/GUI_DamageDescGenerator.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/GRect.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_ScrollingWindow.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipModuleType.h"

#include <algorithm>

GUI_CampaignRepairListItem::GUI_CampaignRepairListItem(SIM_CampaignModuleState* module, size_t entry)
    : m_module(module),
      m_entry(entry),
      m_cost(module->damage[entry].repairCost),
      m_type(SIM_ShipModuleType::Find(module->moduleTypeName)),
      m_icon(GUI_CampaignRepairIcon::FindForModule(module)),
      m_description(GUI_DamageDescGenerator::GetInstance().GetText(module->damage[entry].description)),
      m_costLabel(GetString("CAMPAIGN_REPAIR_COST"))
{
    QLM_ASSERT(m_type);
    m_pictureBack.SetTexture("square_box.dds");
    m_pictureBack.SetSize(52.0f, 52.0f);
    m_picture.SetSize(46.0f, 46.0f);
    const SIM_ShipDesign* design = module->ship ? module->ship->design : nullptr;
    if (m_type)
        ModulePicture::Find(*m_type, design ? design->GetHull() : nullptr).ApplyTo(m_picture);
    m_button = new GUI_ButtonText("", OnRepair, reinterpret_cast<std::intptr_t>(this));
    std::string label = StrFormat("%s ( %s CR)", GetString("CAMPAIGN_REPAIR_BUT"), FormatThousands(m_cost).c_str());
    if (label.size() > 255)
        label.resize(255);
    m_button->SetTextString(label);
    m_button->SetTooltip("CAMPAIGN_REPAIR_BUT_TOOLTIP");
    m_button->SetOwner(this);
    AddButton(m_button);
    AddChildElement(m_button);
}

void GUI_CampaignRepairListItem::SetRect(float l, float t, float r, float b)
{
    GUI_WindowBase::SetRect(l, t, r, b);
    // The button sits at the item's lower right.
    m_button->SetRect(r - 190.0f, b - 28.0f, r - 8.0f, b - 8.0f);
    RemoveChildElement(m_button);
    AddChildElement(m_button);
}

void GUI_CampaignRepairListItem::OnRepair(std::intptr_t item)
{
    auto* self = reinterpret_cast<GUI_CampaignRepairListItem*>(item);
    // The ship is shown again after this click has finished: this item goes then.
    if (GUI_CampaignRepairs* repairs = GUI_CampaignRepairs::GetOpen())
        if (self)
            repairs->RepairEntry(*self->m_module, self->m_entry);
}

void GUI_CampaignRepairListItem::Draw()
{
    if (!visible)
        return;
    const bool lit = IsMouseOver() || (m_icon && GUI_CampaignRepairIcon::GetHovered() == m_icon);
    DrawPreloadedFrame(GUI_PreloadedTextures::kHighlight, 8.0f, lit ? 0.2f : 0.1f, static_cast<float>(left),
                       static_cast<float>(top), static_cast<float>(right), static_cast<float>(bottom));
    if (lit && m_icon) {
        // Lines from the item to its module on the blueprint.
        D3DEngine& engine = D3DEngine::GetInstance();
        const float ix = static_cast<float>(m_icon->left + m_icon->right) * 0.5f;
        const float iy = static_cast<float>(m_icon->top + m_icon->bottom) * 0.5f;
        const float mid = static_cast<float>(top + bottom) * 0.5f;
        const float elbow = static_cast<float>(left) - 5.0f;
        for (int w = 0; w < 2; ++w) {
            const float o = static_cast<float>(w);
            engine.DrawLine(static_cast<float>(left), mid + o, elbow, mid + o, 0xC0FFFFFFu);
            engine.DrawLine(elbow + o, mid, elbow + o, iy, 0xC0FFFFFFu);
            engine.DrawLine(elbow, iy + o, ix, iy + o, 0xC0FFFFFFu);
        }
    }
    m_button->enabled = m_cost <= SIM_CampaignProgress::GetInstance().cash;
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const float x = static_cast<float>(left + 72);
    DrawStripEntry(m_picture, m_pictureBack, static_cast<float>(left + 36), x, top, bottom,
                   m_type ? GetString(m_type->GetGuiName().c_str()) : "", m_description, 0xFFC8C8C8u,
                   static_cast<float>(std::max(0, right - left - 80)));
    text.SetText(TEXT_ALIGN_LEFT, StrFormat("%s: %s CR", m_costLabel.c_str(), FormatThousands(m_cost).c_str()), x,
                 static_cast<float>(bottom - 26), 0xFFFFFFFFu, 0.0f);
    DrawButtons();
}

// The list

GUI_CampaignRepairList::GUI_CampaignRepairList() : m_noRepairs(GetString("CAMPAIGN_NOREPAIRSNEEDED"))
{
    m_scroll = new GUI_ScrollingWindow();
    AddChild(m_scroll);
    AddChildElement(m_scroll);
}

GUI_CampaignRepairList::~GUI_CampaignRepairList()
{
    DeleteItems();
}

void GUI_CampaignRepairList::DeleteItems()
{
    // An attached item leaves our children as it goes.
    for (GUI_CampaignRepairListItem* item : m_items)
        delete item;
    m_items.clear();
}

void GUI_CampaignRepairList::Rebuild(SIM_CampaignShip* ship)
{
    QLM_ASSERT(ship);
    DeleteItems();
    if (ship)
        for (const auto& module : ship->modules)
            for (size_t i = 0; i < module->damage.size(); ++i)
                m_items.push_back(new GUI_CampaignRepairListItem(module.get(), i));
    m_hasItems = !m_items.empty();
    // The same ship shown again after a repair keeps its place in the list,
    // as far down as its items still fill the list.
    const int fit = std::max(1, height / GUI_CampaignRepairListItem::kHeight);
    const int lowest = std::max(0, static_cast<int>(m_items.size()) - fit);
    m_scroll->position = ship == m_ship ? std::min(m_scroll->position, lowest) : 0;
    m_ship = ship;
    Layout();
}

void GUI_CampaignRepairList::Layout()
{
    m_scroll->SetRect(static_cast<float>(right - 20), static_cast<float>(top + 4), static_cast<float>(right - 2),
                      static_cast<float>(bottom - 4));
    RemoveChildElement(m_scroll);
    AddChildElement(m_scroll);
    m_shown = LayOutScrolledRows(*this, m_items, *m_scroll, left, top, m_scroll->left - 5, bottom,
                                 GUI_CampaignRepairListItem::kHeight);
    m_scroll->visible = m_shown > 0;
}

void GUI_CampaignRepairList::OnWheelUp()
{
    m_scroll->ScrollUp();
}

void GUI_CampaignRepairList::OnWheelDown()
{
    m_scroll->ScrollDown();
}

void GUI_CampaignRepairList::Draw()
{
    if (!visible)
        return;
    if (m_scroll->changed)
        Layout();
    DrawCampaignClientArea(m_interlace, left, top, right, bottom);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    if (!m_hasItems)
        text.SetText(0, m_noRepairs, static_cast<float>(left + 10), static_cast<float>(top + 10), 0xFFFFFFFFu,
                     static_cast<float>(right - left - 20));
}
