#pragma once
#include <string>

#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"

class GUI_StatPicker;
class GUI_Tooltip;

// One square of a statistics picker: a ship (or squadron) or a weapon
// type; a click flips whether it counts.
class GUI_StatPickerIcon : public GUI_WindowBase {
public:
    static constexpr int kSide = 60;

    static constexpr int kSheetFrames = 64;

    GUI_StatPickerIcon(GUI_StatPicker* owner, const void* object, const std::string& tooltip,
                       const std::string& picture, int frame = -1);
    ~GUI_StatPickerIcon() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void Update() override;

    const void* GetObject() const { return m_object; }
    bool IsSelected() const { return m_selected; }
    GUI_Tooltip* GetTooltip() const { return m_tooltip; }
    const std::string& GetPictureName() const { return m_picture.GetTextureName(); }

private:
    GUI_StatPicker* m_owner;
    GUI_Tooltip* m_tooltip = nullptr;
    CTexturedSprite m_selectedFrame;
    CTexturedSprite m_unselectedFrame;
    CTexturedSprite m_picture;
    const void* m_object;
    bool m_selected = true;
};
