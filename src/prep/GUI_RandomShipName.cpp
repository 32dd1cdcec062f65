#include "prep/GUI_RandomShipName.h"

#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_DialogLayout.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_WindowManager.h"
#include "prep/GUI_DeploymentDetails.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_ShipNameList.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_ShipNameGenerator.h"

#include <algorithm>

namespace {
constexpr int kLineStep = 28;
constexpr int kRowHeight = 25;
} // namespace

std::string GUI_RandomShipName::SanitiseName(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '[' || c == '=')
            continue;
        out += c;
        if (out.size() >= static_cast<size_t>(kMaxNameLength))
            break;
    }
    return out;
}

GUI_RandomShipName::GUI_RandomShipName(GUI_DeploymentIcon* icon) : GUI_Dialog(true), m_icon(icon)
{
    SetOpen(this);
    Follow(m_icon);
    CentreDialog(*this, kWidth, kHeight);
    SetTitleKey("CHOOSE_RANDOM_SHIP_NAME_TITLE");
    SetClientRect();
    drawButtons = false;
    m_scroll = new GUI_ScrollingWindow();
    m_scroll->SetRect(static_cast<float>(clientRight - 24), static_cast<float>(clientTop + 10),
                      static_cast<float>(clientRight - 4), static_cast<float>(clientBottom - 54));
    AddChild(m_scroll);
    const std::string current = icon && icon->GetShip() ? icon->GetShip()->name : std::string();
    m_nameAtOpening = current;
    m_field = new GUI_TextEditWindow(current, kMaxNameLength);
    m_field->SetRect(static_cast<float>(clientLeft + 10), static_cast<float>(clientBottom - 48),
                     static_cast<float>(clientRight - 10), static_cast<float>(clientBottom - 28));
    m_field->onEnter = OnEnter;
    AddChild(m_field);
    m_random = new GUI_ButtonText("RANDOM_SHIP_NAME", OnRandom, 0);
    m_random->SetRect(static_cast<float>(clientLeft + 10), static_cast<float>(clientBottom - 24),
                      static_cast<float>(clientRight - 10), static_cast<float>(clientBottom - 4));
    AddButton(m_random);
    BuildRows();
    GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
    windows.BringToFront(this);
    windows.AddModal(this);
    // Opened to type a name: the keys go to the field without a click first,
    // and the first one typed replaces the old name.
    m_field->BeginEditing();
    m_field->SelectAll();
}

GUI_RandomShipName::~GUI_RandomShipName()
{
    ForgetIfOpen(this);
}

void GUI_RandomShipName::BuildRows()
{
    const std::string selectedName = m_selected ? m_selected->GetListName() : std::string();
    for (GUI_ShipNameList* row : m_rows) {
        RemoveChild(row);
        delete row;
    }
    m_rows.clear();
    m_selected = nullptr;
    const auto& lists = SIM_ShipNameGenerator::GetInstance().GetLists();
    const int centre = (left + right) / 2;
    const size_t first = static_cast<size_t>(std::max(0, m_scroll->position)) * 2;
    int y = clientTop + 10;
    int linesShown = 0;
    for (size_t i = first; i < lists.size() && y <= clientBottom - 52; i += 2, y += kLineStep) {
        ++linesShown;
        for (size_t k = i; k < std::min(i + 2, lists.size()); ++k) {
            auto* row = new GUI_ShipNameList(lists[k].name, this);
            const bool leftColumn = k == i;
            row->SetRect(static_cast<float>(leftColumn ? clientLeft + 10 : centre - 10), static_cast<float>(y),
                         static_cast<float>(leftColumn ? centre - 20 : clientRight - 30),
                         static_cast<float>(y + kRowHeight));
            AddChild(row);
            m_rows.push_back(row);
            if (lists[k].name == selectedName)
                m_selected = row;
        }
    }
    if (!m_selected && !m_rows.empty() && selectedName.empty())
        m_selected = m_rows.front();
    int capacity = 0;
    for (int lineY = clientTop + 10; lineY <= clientBottom - 52; lineY += kLineStep)
        ++capacity;
    const int linesNeeded = static_cast<int>((lists.size() + 1) / 2);
    m_scroll->maximum = std::max(0, linesNeeded - capacity);
    m_scroll->contentSize = static_cast<float>(linesNeeded);
    m_scroll->visibleSize = static_cast<float>(std::max(1, linesShown));
    m_scroll->changed = false;
    m_builtPosition = m_scroll->position;
}

void GUI_RandomShipName::ApplyName(const std::string& text)
{
    GUI_DeploymentIcon* icon = GetIcon();
    SIM_DeployedShip* ship = icon ? icon->GetShip() : nullptr;
    if (!ship)
        return;
    std::string name = SanitiseName(text);
    if (name.find_first_not_of(' ') == std::string::npos)
        name = m_nameAtOpening;
    if (name == ship->name)
        return;
    ship->name = name;
    if (GUI_DeploymentDetails::GetShown() == ship)
        GUI_DeploymentDetails::Refresh();
    icon->BuildTooltip();
}

void GUI_RandomShipName::PickRandomName()
{
    if (!m_selected)
        return;
    const std::string name = SIM_ShipNameGenerator::GetInstance().PickName(m_selected->GetListName());
    m_field->SetText(SanitiseName(name));
    ApplyName(name);
}

void GUI_RandomShipName::OnRandom(std::intptr_t)
{
    if (GUI_RandomShipName* open = GetOpen())
        open->PickRandomName();
}

void GUI_RandomShipName::OnEnter(std::intptr_t)
{
    if (GUI_RandomShipName* open = GetOpen()) {
        open->ApplyName(open->m_field->GetText());
        CloseOpen();
    }
}

void GUI_RandomShipName::Update()
{
    GUI_WindowBase::Update();
    if (m_scroll->position != m_builtPosition)
        BuildRows();
    ApplyName(m_field->GetText());
}

void GUI_RandomShipName::Draw()
{
    if (!visible)
        return;
    GUI_Dialog::Draw();
    DrawClientPanel(*this);
    DrawButtons();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    text.Render(-1);
}

void OpenShipNameDialog(GUI_DeploymentIcon* icon)
{
    GUI_RandomShipName::CloseOpen();
    if (icon)
        new GUI_RandomShipName(icon);
}
