#include "editors/GUI_EditorOptions.h"

#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "frontend/GUI_OptionsSlider.h"
#include "gui/GUI_CheckButton.h"
#include "sim/SIM_Scenario.h"

#include <algorithm>
#include <cstdio>

namespace {
GUI_EditorOptions* g_open = nullptr;

std::string Number(int value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    return buffer;
}
} // namespace

int GUI_EditorOptions::CostAt(float p)
{
    const int cost = kMinCost + static_cast<int>(static_cast<float>(kMaxCost - kMinCost) * p);
    // Whole thousands only.
    return cost / 1000 * 1000;
}

int GUI_EditorOptions::PilotsAt(float p)
{
    return kMinPilots + static_cast<int>(static_cast<float>(kMaxPilots - kMinPilots) * p);
}

int GUI_EditorOptions::SizeAt(float p)
{
    return kMinSize + static_cast<int>(static_cast<float>(kMaxSize - kMinSize) * p);
}

float GUI_EditorOptions::CostPosition(int cost)
{
    return std::clamp(static_cast<float>(cost - kMinCost) / static_cast<float>(kMaxCost - kMinCost), 0.0f, 1.0f);
}

float GUI_EditorOptions::PilotsPosition(int pilots)
{
    return std::clamp(static_cast<float>(pilots) / static_cast<float>(kMaxPilots), 0.0f, 1.0f);
}

float GUI_EditorOptions::SizePosition(float size)
{
    return std::clamp((size - static_cast<float>(kMinSize)) / static_cast<float>(kMaxSize - kMinSize), 0.0f, 1.0f);
}

GUI_EditorOptions::GUI_EditorOptions(SIM_Scenario* scenario) : m_scenario(scenario)
{
    g_open = this;
    const int cost = scenario ? scenario->GetFleetCostLimit() : 0;
    const int pilots = scenario ? scenario->GetPilotLimit() : 0;
    const float size = scenario ? scenario->GetMapSizeX() : 0.0f;
    m_costSlider = new GUI_OptionsSlider("SCENARIO_EDITOR_COSTS", CostPosition(cost), OnSlider);
    m_pilotsSlider = new GUI_OptionsSlider("SCENARIO_EDITOR_PILOTS", PilotsPosition(pilots), OnSlider);
    m_sizeSlider = new GUI_OptionsSlider("SCENARIO_EDITOR_SIZE", SizePosition(size), OnSlider);
    AddChild(m_costSlider);
    AddChild(m_pilotsSlider);
    AddChild(m_sizeSlider);
    m_stars = new GUI_CheckButton("SCENARIO_EDITOR_STARS", OnStars, 0);
    m_stars->ticked = scenario && scenario->HasStarfield();
    AddButton(m_stars);
    m_title = GetString("SCENARIO_EDITOR_OPTIONS");
    UpdateValues();
}

GUI_EditorOptions::~GUI_EditorOptions()
{
    if (g_open == this)
        g_open = nullptr;
}

GUI_EditorOptions* GUI_EditorOptions::GetOpen()
{
    return g_open;
}

bool GUI_EditorOptions::HasStars() const
{
    return m_stars->ticked;
}

void GUI_EditorOptions::OnSlider(std::intptr_t)
{
    if (g_open)
        g_open->UpdateValues();
}

void GUI_EditorOptions::OnStars(std::intptr_t)
{
    // The box ticks itself; the callback is there for the click sound.
}

void GUI_EditorOptions::UpdateValues()
{
    const int pilots = PilotsAt(m_pilotsSlider->value);
    const int cost = CostAt(m_costSlider->value);
    const int size = SizeAt(m_sizeSlider->value);
    // Called every frame: the texts are made again only when a value moved.
    if (!m_costText.empty() && pilots == m_pilots && cost == m_cost && size == m_size)
        return;
    m_pilots = pilots;
    m_cost = cost;
    m_size = size;
    m_costText = Number(m_cost);
    m_pilotsText = Number(m_pilots);
    m_sizeText = Number(m_size);
}

void GUI_EditorOptions::Layout()
{
    const float l = static_cast<float>(left), t = static_cast<float>(top);
    const float r = static_cast<float>(right);
    m_costSlider->SetRect(l + 10, t + 30, r - 10, t + 75);
    m_pilotsSlider->SetRect(l + 10, t + 87, r - 10, t + 132);
    m_sizeSlider->SetRect(l + 10, t + 144, r - 10, t + 189);
    m_stars->SetRect(l, t + 201, r, t + 241);
    UpdateValues();
}

void GUI_EditorOptions::Draw()
{
    // A slider dragged this frame shows its value at once.
    UpdateValues();
    D3DEngine::GetInstance().DrawRectFrame(GRect{left, top, right, bottom}, 0x40FFFFFFu);
    DrawChildren();
    DrawButtons();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 20.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_title, static_cast<float>(left + 10), static_cast<float>(top), 0xFFFFFFFFu, 0.0f);
    text.Render(-1);
    text.SetFont("zekton16.dds", 16.0f);
    // Right-aligned over each slider, clear of its label.
    const float x = static_cast<float>(right - 130);
    text.SetText(TEXT_ALIGN_RIGHT, m_costText, x, static_cast<float>(top + 30), 0xFFFFFFFFu, 110.0f);
    text.SetText(TEXT_ALIGN_RIGHT, m_pilotsText, x, static_cast<float>(top + 90), 0xFFFFFFFFu, 110.0f);
    text.SetText(TEXT_ALIGN_RIGHT, m_sizeText, x, static_cast<float>(top + 150), 0xFFFFFFFFu, 110.0f);
    text.Render(-1);
}
