#pragma once
#include "app/GUI_GameModeBase.h"
#include "engine/CTexturedSprite.h"
#include "gui/GUIButtonList.h"

#include <array>
#include <memory>
#include <string>

class GUI_EditorBase;
class SIM_ShipHull;

// The hull editor screen (mode 8, reached with "-editor"): one hull at a fixed
// scale with six sub-editors for its effect anchors and slots, and a save that
// rewrites their sections of the hull's own file, keeping everything else.
class GUI_HullEditor : public GUI_GameModeBase {
public:
    enum SubEditor { HULKS = 0, MODULES = 1, DAMAGE = 2, LIGHTS = 3, ENGINES = 4, EXPLOSIONS = 5, kSubEditorCount = 6 };

    static GUI_HullEditor& GetInstance();
    ~GUI_HullEditor() override;

    void Render() override;
    void Update() override;
    void OnKeyDown(int code) override;
    void OnLeftClick() override;
    void OnRightClick() override;
    void Enter() override;
    void Leave() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    bool SetHull(SIM_ShipHull* hull);
    // The hull whose file this is, as the hull list loaded it.
    bool EditHull(const std::string& path);
    void SelectSubEditor(int index);
    void SetViewMode(int mode) { m_viewMode = mode; }
    // Rewrites the current hull's file; false (file untouched) when it fails.
    bool Save();
    // The whole new text of the hull file, from its current text.
    std::string BuildSavedText(const std::string& source) const;

    SIM_ShipHull* GetHull() const { return m_hull; }
    GUI_EditorBase* GetSubEditor(int index) const;
    int GetSubEditorIndex() const { return m_current; }
    int GetViewMode() const { return m_viewMode; }
    float GetHullScale() const { return m_scale; }
    GUIButtonList& GetButtons() { return m_buttons; }
    static const char* SelectorKey(int index);

private:
    GUI_HullEditor() = default;
    void Build();
    void ShowPanels(bool shown);
    void PickDefaultHull();

    bool m_built = false;
    SIM_ShipHull* m_hull = nullptr;
    int m_viewMode = 0;
    int m_current = 0;
    float m_scale = 1.0f;
    std::array<std::unique_ptr<GUI_EditorBase>, kSubEditorCount> m_editors;
    std::array<CTexturedSprite, 3> m_views;
    CTexturedSprite m_backdrop;
    GUIButtonList m_buttons;
    std::string m_status;
};
