#include "frontend/GUI_SupplyLimitEditor.h"

#include "frontend/GUI_MenuChrome.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "frontend/GUI_OptionsSlider.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CheckButton.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipModuleType.h"

#include <algorithm>

namespace {
void (*g_saved)() = nullptr;

// Filter boxes: 0..2 size classes (cruiser, frigate, fighter), 3..6 categories.
struct FilterBox {
    const char* key;
    int index;
    int x;
    int yFromBottom;
};
const FilterBox kFilterBoxes[7] = {
    {"SUPPLY_FILTER_FIGHTER", 2, 200, 100}, {"SUPPLY_FILTER_FRIGATE", 1, 200, 70},
    {"SUPPLY_FILTER_CRUISER", 0, 200, 40},  {"SUPPLY_FILTER_WEAPONS", 3, 450, 100},
    {"SUPPLY_FILTER_DEFENSES", 4, 450, 70}, {"SUPPLY_FILTER_ENGINES", 5, 650, 100},
    {"SUPPLY_FILTER_OTHER", 6, 650, 70},
};
} // namespace

// ---- one line ------------------------------------------------------------------

GUI_SupplyLimitEditorStrip::GUI_SupplyLimitEditorStrip(GUI_SupplyLimitRecord& record) : m_record(record)
{
    m_name = record.type ? GetString(record.type->GetGuiName().c_str()) : std::string();
    m_slider = new GUI_OptionsSlider("", 0.0f, nullptr);
    AddChild(m_slider);
    raisesOnClick = false;
    Refresh();
}

void GUI_SupplyLimitEditorStrip::Refresh()
{
    if (m_record.limit < 0) {
        m_valueText = GetString("SUPPLY_EDITOR_INFINITE");
        m_modeText = GetString("SUPPLY_MODE_UNLIMITED");
        m_slider->visible = false;
    } else {
        m_valueText = std::to_string(m_record.limit);
        m_modeText = GetString("SUPPLY_MODE_LIMITED");
        m_slider->visible = true;
        m_slider->value = std::min(1.0f, static_cast<float>(m_record.limit) / 100.0f);
    }
    m_sliderSet = m_slider->value;
}

GRect GUI_SupplyLimitEditorStrip::GetModeBox() const
{
    return GRect{right - 2 - 100, bottom - 18, right - 2 - 2, bottom - 2};
}

bool GUI_SupplyLimitEditorStrip::OnLeftClick(float x, float y)
{
    const GRect box = GetModeBox();
    if (x >= static_cast<float>(box.left) && x < static_cast<float>(box.right) && y >= static_cast<float>(box.top) &&
        y < static_cast<float>(box.bottom)) {
        m_record.limit = m_record.limit < 0 ? 0 : -1;
        Refresh();
        return true;
    }
    return GUI_WindowBase::OnLeftClick(x, y);
}

void GUI_SupplyLimitEditorStrip::FollowSlider()
{
    // Only a moved slider changes the limit: a stored limit above the
    // slider's 100 stays as it was read.
    if (m_record.limit < 0 || m_slider->value == m_sliderSet)
        return;
    m_sliderSet = m_slider->value;
    m_record.limit = static_cast<int>(std::clamp(m_slider->value, 0.0f, 1.0f) * 100.0f);
    m_valueText = std::to_string(m_record.limit);
}

void GUI_SupplyLimitEditorStrip::Draw()
{
    FollowSlider();
    D3DEngine& engine = D3DEngine::GetInstance();
    const GRect f{left + 4, top, right - 2, bottom};
    engine.DrawRectFrame(f, 0x80FFFFFFu);
    const GRect box = GetModeBox();
    engine.FillRect(box, 0x40FFFFFFu);
    const CInput& input = CInput::GetInstance();
    const float mx = input.GetMouseX(), my = input.GetMouseY();
    if (mx >= static_cast<float>(box.left) && mx < static_cast<float>(box.right) && my >= static_cast<float>(box.top) &&
        my < static_cast<float>(box.bottom))
        GUI_Cursor::GetInstance().SetHand();
    m_slider->SetRect(static_cast<float>(f.left + 10), static_cast<float>(f.bottom - 12),
                      static_cast<float>(f.right - 100), static_cast<float>(f.bottom - 2));
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_CENTRE, m_modeText, static_cast<float>(box.left), static_cast<float>(box.top - 2),
                 0xFFFFFFFFu, static_cast<float>(box.Width()));
    text.SetText(TEXT_ALIGN_LEFT, m_name, static_cast<float>(f.left + 10), static_cast<float>(top), 0xFFFFFFFFu, 0.0f);
    text.SetText(TEXT_ALIGN_RIGHT, m_valueText, static_cast<float>(f.right - 160), static_cast<float>(top), 0xFFFFFFFFu,
                 150.0f);
    DrawChildren();
}

// ---- the editor ----------------------------------------------------------------

void GUI_SupplyLimitEditor::Open(SIM_Scenario* scenario)
{
    CloseOpen();
    QLM_ASSERT(scenario != nullptr);
    if (scenario)
        SetOpen(new GUI_SupplyLimitEditor(scenario));
}

void GUI_SupplyLimitEditor::SetSavedCallback(void (*callback)())
{
    g_saved = callback;
}

GUI_SupplyLimitEditor::GUI_SupplyLimitEditor(SIM_Scenario* scenario) : GUI_Dialog(true), m_scenario(scenario)
{
    SetSize(1000.0f, 650.0f);
    Centre();
    // Save stands 10 pixels in from the dialog's left and bottom edges: the
    // client box reaches past it, and the controls are drawn over the box,
    // not under its panel.
    sideMargin = 8.0f;
    bottomMargin = 8.0f;
    drawButtons = false;
    SetClientRect();
    m_scroll = new GUI_ScrollingWindow();
    m_scroll->SetRect(static_cast<float>(clientRight - 20), static_cast<float>(clientTop + 4),
                      static_cast<float>(clientRight - 4), static_cast<float>(clientBottom - 110));
    AddChild(m_scroll);
    for (const SIM_ShipModuleType* type : SIM_ShipModuleType::GetList())
        m_records.push_back({type, scenario->GetSupplyLimit(type->GetName())});
    SetTitleKey("SUPPLY_LIMIT_EDITOR_TITLE");
    m_save = new GUI_ButtonText("SUPPLY_LIMIT_SAVE", OnSave, 0);
    AddButton(m_save);
    m_save->SetRect(static_cast<float>(left + 10), static_cast<float>(bottom - 30), static_cast<float>(left + 160),
                    static_cast<float>(bottom - 10));
    for (int i = 0; i < 7; ++i) {
        const FilterBox& fb = kFilterBoxes[i];
        auto* box = new GUI_CheckButton(fb.key, OnFilter, fb.index);
        box->ticked = true;
        const float x = static_cast<float>(left + fb.x), y = static_cast<float>(bottom - fb.yFromBottom);
        box->SetRect(x, y, x + 180.0f, y + 30.0f);
        AddButton(box);
        m_filterBoxes[fb.index] = box;
    }
    GUI_WindowManager::GetInstance().AddModal(this);
    BuildStrips();
}

GUI_SupplyLimitEditor::~GUI_SupplyLimitEditor()
{
    ForgetIfOpen(this);
}

void GUI_SupplyLimitEditor::SetFilter(int index, bool on)
{
    if (index < 0 || index >= 7)
        return;
    m_filters[index] = on;
    m_filterBoxes[index]->ticked = on;
    BuildStrips();
}

void GUI_SupplyLimitEditor::OnFilter(std::intptr_t index)
{
    GUI_SupplyLimitEditor* open = GetOpen();
    if (open && index >= 0 && index < 7)
        open->SetFilter(static_cast<int>(index), !open->m_filters[index]);
}

void GUI_SupplyLimitEditor::BuildStrips()
{
    for (GUI_SupplyLimitEditorStrip* s : m_strips) {
        RemoveChild(s);
        delete s;
    }
    m_strips.clear();
    const int w = (clientRight - clientLeft - 22) / 3;
    const int skip = m_scroll->position * 3;
    const int bottomLimit = clientBottom - 110 - 45;
    int y = clientTop + 4, matching = 0, column = 0, visibleRows = 1;
    for (GUI_SupplyLimitRecord& record : m_records) {
        const int size = std::clamp(record.type->GetSize(), 0, 2);
        const int category = 3 + std::clamp(record.type->GetCategory(), 0, 3);
        if (!m_filters[size] || !m_filters[category])
            continue;
        const int i = matching++;
        if (i < skip || y >= bottomLimit)
            continue;
        auto* strip = new GUI_SupplyLimitEditorStrip(record);
        const int x0 = clientLeft + column * w;
        const int x1 = column == 2 ? clientRight - 22 : clientLeft + (column + 1) * w;
        strip->SetRect(static_cast<float>(x0), static_cast<float>(y), static_cast<float>(x1), static_cast<float>(y + 41));
        AddChild(strip);
        m_strips.push_back(strip);
        if (++column == 3) {
            column = 0;
            y += 45;
            if (y < bottomLimit)
                ++visibleRows;
        }
    }
    const int rows = (matching + 2) / 3;
    m_scroll->contentSize = static_cast<float>(rows);
    m_scroll->visibleSize = static_cast<float>(visibleRows);
    m_scroll->maximum = std::max(0, rows - visibleRows);
}

void GUI_SupplyLimitEditor::Save()
{
    // Limits of module types that are not loaded now were set by someone
    // else's content: they stay, ahead of the ones edited here.
    std::vector<SIM_Scenario::SupplyLimit> kept;
    for (const SIM_Scenario::SupplyLimit& entry : m_scenario->GetSupplyLimits())
        if (!SIM_ShipModuleType::Find(entry.moduleType, false))
            kept.push_back(entry);
    m_scenario->ClearSupplyLimits();
    for (const SIM_Scenario::SupplyLimit& entry : kept)
        m_scenario->SetSupplyLimit(entry.moduleType, entry.limit);
    for (const GUI_SupplyLimitRecord& record : m_records)
        if (record.limit != -1)
            m_scenario->SetSupplyLimit(record.type->GetName(), record.limit);
    if (g_saved)
        g_saved();
    visible = false;
    ForgetIfOpen(this);
    GUI_WindowManager::GetInstance().CloseWindow(this);
}

void GUI_SupplyLimitEditor::OnSave(std::intptr_t)
{
    if (GUI_SupplyLimitEditor* open = GetOpen())
        open->Save();
}

void GUI_SupplyLimitEditor::Draw()
{
    if (m_scroll->changed) {
        m_scroll->changed = false;
        BuildStrips();
    }
    GUI_Dialog::Draw();
    GUI_MenuChrome::DrawClientArea(*this, m_interlace, 16.0f);
    DrawButtons();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    text.Render(-1);
}
