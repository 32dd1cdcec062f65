#include "editors/GUI_HullEditor.h"

#include "app/Game.h"
#include "editors/GUI_DamageEditor.h"
#include "editors/GUI_EngineEditor.h"
#include "editors/GUI_ExplosionEditor.h"
#include "editors/GUI_HulkEditor.h"
#include "editors/GUI_LightEditor.h"
#include "editors/GUI_ModuleEditor.h"
#include "editors/HullFileRewriter.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_WindowManager.h"
#include "platform/KeyCodes.h"
#include "prep/GUI_HullPicker.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>

namespace {
const char* const kSelectorKeys[GUI_HullEditor::kSubEditorCount] = {
    "HULLEDITOR_HULKEMMITER", "HULLEDITOR_MODULES",     "HULLEDITOR_DAMAGE",
    "HULLEDITOR_EDITLIGHTS",  "HULLEDITOR_EDITENGINES", "HULLEDITOR_EXPLOSIONS",
};
const char* const kCaptions[GUI_HullEditor::kSubEditorCount] = {
    "Placing Hulk Emmiters", "Editing Modules", "Editing Damage", "Editing Lights", "Editing Engines", "Editing Explosions",
};
constexpr float kPictureCentreX = 456.0f;
constexpr float kPictureCentreY = 356.0f;
const char* const kDefaultHull = "Imperial Imperator Cruiser hull";

void GoToMainMenu(std::intptr_t)
{
    Game::GetInstance().SetMode(15);
}
void OpenPicker(std::intptr_t)
{
    GUI_HullPicker::Open(GUI_HullPicker::HULL_EDITOR, true);
}
void SaveHull(std::intptr_t)
{
    GUI_HullEditor::GetInstance().Save();
}
void ViewMode(std::intptr_t mode)
{
    GUI_HullEditor::GetInstance().SetViewMode(static_cast<int>(mode));
}
void Select(std::intptr_t index)
{
    GUI_HullEditor::GetInstance().SelectSubEditor(static_cast<int>(index));
}
} // namespace

GUI_HullEditor& GUI_HullEditor::GetInstance()
{
    static GUI_HullEditor instance;
    return instance;
}

GUI_HullEditor::~GUI_HullEditor() = default;

const char* GUI_HullEditor::SelectorKey(int index)
{
    return index >= 0 && index < kSubEditorCount ? kSelectorKeys[index] : "";
}

GUI_EditorBase* GUI_HullEditor::GetSubEditor(int index) const
{
    return index >= 0 && index < kSubEditorCount ? m_editors[index].get() : nullptr;
}

void GUI_HullEditor::Build()
{
    if (m_built)
        return;
    m_built = true;
    m_backdrop.SetTexture("menu_backdrop.jpg");
    const float h = static_cast<float>(D3DEngine::GetInstance().GetScreenHeight());
    auto add = [this](const char* key, GUI_Callback cb, std::intptr_t arg, float l, float t, float r, float b) {
        auto* button = new GUI_ButtonText(key, cb, arg);
        button->SetRect(l, t, r, b);
        m_buttons.AddButton(button);
    };
    add("CHOOSESCENARIO_MAINMENU", GoToMainMenu, 0, 32, h - 32, 232, h - 12);
    add("HULLEDITOR_LOADHULL", OpenPicker, 0, 32, 32, 232, 54);
    add("HULLEDITOR_SAVE", SaveHull, 0, 242, 32, 442, 54);
    m_editors[DAMAGE] = std::make_unique<GUI_DamageEditor>();
    m_editors[LIGHTS] = std::make_unique<GUI_LightEditor>();
    m_editors[MODULES] = std::make_unique<GUI_ModuleEditor>();
    m_editors[HULKS] = std::make_unique<GUI_HulkEditor>();
    m_editors[ENGINES] = std::make_unique<GUI_EngineEditor>();
    m_editors[EXPLOSIONS] = std::make_unique<GUI_ExplosionEditor>();
    add("HULLEDITOR_SPRITE", ViewMode, 0, 10, 200, 180, 220);
    add("HULLEDITOR_DAMAGE", ViewMode, 1, 10, 230, 180, 250);
    add("HULLEDITOR_HULK", ViewMode, 2, 10, 260, 180, 280);
    for (int i = 0; i < kSubEditorCount; ++i)
        add(kSelectorKeys[i], Select, i, 10, 350.0f + 30.0f * i, 180, 370.0f + 30.0f * i);
    for (CTexturedSprite& view : m_views)
        view.SetSize(512.0f, 512.0f);
    PickDefaultHull();
    SelectSubEditor(m_current);
}

void GUI_HullEditor::PickDefaultHull()
{
    // Content without that hull still opens on one, and says nothing of it:
    // the fallback is the rule, not a fault.
    SIM_ShipHull* hull = SIM_ShipHull::Find(kDefaultHull, false);
    if (!hull && !SIM_ShipHull::GetList().empty())
        hull = SIM_ShipHull::GetList().front();
    m_hull = nullptr;
    if (hull)
        SetHull(hull);
}

bool GUI_HullEditor::SetHull(SIM_ShipHull* hull)
{
    QLM_ASSERT(hull != nullptr);
    if (!hull)
        return false;
    m_hull = hull;
    m_views[0].SetTexture(hull->GetSprite());
    m_views[1].SetTexture(hull->GetDamageTexture());
    m_views[2].SetTexture(hull->GetHulkTexture());
    m_scale = hull->GetWidth() > 0.0f ? 512.0f / hull->GetWidth() : 1.0f;
    m_viewMode = 0;
    m_status.clear();
    for (auto& editor : m_editors) {
        if (editor)
            editor->ReadSection(*hull);
    }
    // The caption and the panel shown always agree.
    SelectSubEditor(0);
    return true;
}

bool GUI_HullEditor::EditHull(const std::string& path)
{
    GIniFile config;
    config.Load("config", path.c_str());
    const std::string name = config.GetString("name");
    SIM_ShipHull* hull = SIM_ShipHull::Find(name);
    QLM_ASSERT(hull != nullptr);
    return hull ? SetHull(hull) : false;
}

void GUI_HullEditor::SelectSubEditor(int index)
{
    if (index < 0 || index >= kSubEditorCount)
        return;
    m_current = index;
    for (int i = 0; i < kSubEditorCount; ++i) {
        if (m_editors[i])
            m_editors[i]->visible = i == index;
    }
}

std::string GUI_HullEditor::BuildSavedText(const std::string& source) const
{
    std::vector<HullFileRewriter::Section> sections;
    for (const auto& editor : m_editors) {
        if (!editor)
            continue;
        HullFileRewriter::Section s;
        s.name = editor->SectionName();
        editor->WriteSection(s.text);
        s.hasItems = editor->HasItems();
        sections.push_back(std::move(s));
    }
    return HullFileRewriter::Rewrite(source, sections);
}

bool GUI_HullEditor::Save()
{
    if (!m_hull)
        return false;
    const std::string path = m_hull->GetFileName();
    std::string source;
    if (!ReadWholeFile(path, source)) {
        LOG_ERROR(StrFormat("Hull file [%s] could not be read; not saved", path.c_str()));
        m_status = "Not saved";
        return false;
    }
    // Written beside the old file and renamed over it: the hull file is never
    // missing, whatever fails.
    std::string reason;
    if (!WriteFileAtomically(path, BuildSavedText(source), &reason)) {
        LOG_ERROR(StrFormat("Hull file [%s] not saved: %s", path.c_str(), reason.c_str()));
        m_status = "Not saved";
        return false;
    }
    LOG_DEBUG(StrFormat("Hull file [%s] saved", path.c_str()));
    m_status = "Saved";
    return true;
}

void GUI_HullEditor::ShowPanels(bool shown)
{
    GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
    for (auto& editor : m_editors) {
        if (!editor)
            continue;
        if (shown) {
            if (!editor->IsInTopLevelList())
                windows.AddWindow(editor.get());
        } else if (editor->IsInTopLevelList()) {
            windows.RemoveWindow(editor.get());
        }
    }
}

void GUI_HullEditor::Enter()
{
    Build();
    // The hull list may have been freed and loaded again since the last visit.
    const auto& hulls = SIM_ShipHull::GetList();
    if (!m_hull || std::find(hulls.begin(), hulls.end(), m_hull) == hulls.end())
        PickDefaultHull();
    ShowPanels(true);
    SelectSubEditor(m_current);
    D3DEngine& engine = D3DEngine::GetInstance();
    m_backdrop.SetSize(static_cast<float>(engine.GetScreenWidth()), static_cast<float>(engine.GetScreenHeight()));
    for (CTexturedSprite& view : m_views)
        view.PlaceCentred(kPictureCentreX, kPictureCentreY);
}

void GUI_HullEditor::Leave()
{
    // The panels are ours: no other screen shows them.
    ShowPanels(false);
    keyboardFocus = nullptr;
}

void GUI_HullEditor::Update()
{
    GUI_WindowManager::GetInstance().UpdateWindows();
    if (!GUI_WindowManager::GetInstance().IsModalOpen())
        m_buttons.Update();
    else
        m_buttons.ClearHover();
}

void GUI_HullEditor::Render()
{
    Build();
    D3DEngine& engine = D3DEngine::GetInstance();
    m_backdrop.PlaceCentred(engine.GetScreenWidth() * 0.5f, engine.GetScreenHeight() * 0.5f);
    m_backdrop.Draw();
    LibText& text = LibText::GetInstance();
    if (text.FindFont("cwfont20.dds")) {
        text.SetFont("cwfont20.dds", 20.0f);
        text.SetText(TEXT_ALIGN_CENTRE, kCaptions[m_current], 200.0f, 70.0f, 0xFFFFFFFFu, 512.0f);
        if (!m_status.empty())
            text.SetText(TEXT_ALIGN_LEFT, m_status, 452.0f, 32.0f, 0xFFFFFFFFu, 0.0f);
        text.Render();
    }
    m_buttons.DrawButtons();
    const GRect grown{192, 92, 720, 720};
    engine.FillRect(grown, 0xFF200000u);
    GUI_EditorBase* current = m_editors[m_current].get();
    // Engine glows lie under the hull; everything else over it.
    if (current && m_current == ENGINES)
        current->DrawItems();
    if (m_hull) {
        m_views[m_viewMode].PlaceCentred(kPictureCentreX, kPictureCentreY);
        m_views[m_viewMode].Draw();
    }
    engine.DrawRectFrame(grown, 0xFFFFFFFFu);
    if (current && m_current != ENGINES)
        current->DrawItems();
}

void GUI_HullEditor::OnKeyDown(int code)
{
    if (keyboardFocus) {
        keyboardFocus->OnKeyDown(code);
        return;
    }
    if (GUI_EditorBase* current = GetSubEditor(m_current))
        current->OnEditorKey(code);
    if (code == KEY_ESCAPE) {
        if (!GUI_WindowManager::GetInstance().CloseTopModal())
            Game::GetInstance().SetMode(15);
    }
}

void GUI_HullEditor::OnLeftClick()
{
    if (GUI_WindowManager::GetInstance().DispatchClick())
        return;
    if (GUI_WindowManager::GetInstance().IsModalOpen())
        return;
    if (m_buttons.ClickButtons())
        return;
    const CInput& input = CInput::GetInstance();
    if (GUI_EditorBase* current = GetSubEditor(m_current))
        current->OnViewLeftClick(input.GetMouseX(), input.GetMouseY());
}

void GUI_HullEditor::OnRightClick()
{
    if (GUI_WindowManager::GetInstance().DispatchRightClick())
        return;
    const CInput& input = CInput::GetInstance();
    if (GUI_EditorBase* current = GetSubEditor(m_current))
        current->OnViewRightClick(input.GetMouseX(), input.GetMouseY());
}

void GUI_HullEditor::OnWheelUp()
{
    GUI_WindowManager::GetInstance().DispatchWheelUp();
}

void GUI_HullEditor::OnWheelDown()
{
    GUI_WindowManager::GetInstance().DispatchWheelDown();
}
