#include "battle/hud/GUI_StatPickerIcon.h"

#include "battle/hud/GUI_StatPicker.h"
#include "engine/CInput.h"
#include "gui/GUI_Tooltip.h"

namespace {
constexpr int kTooltipDelay = 60;
constexpr float kPictureInset = 6.0f;
} // namespace

GUI_StatPickerIcon::GUI_StatPickerIcon(GUI_StatPicker* owner, const void* object, const std::string& tooltip,
                                       const std::string& picture, int frame)
    : m_owner(owner), m_object(object)
{
    m_tooltip = new GUI_Tooltip(tooltip, kTooltipDelay);
    m_selectedFrame.SetTexture("square_box.dds");
    m_unselectedFrame.SetTexture("square_box_brown.dds");
    m_picture.SetTexture(picture);
    if (frame >= 0)
        m_picture.SetFrame(frame, kSheetFrames);
    raisesOnClick = false;
    swallowsClicks = false;
    SetSize(static_cast<float>(kSide), static_cast<float>(kSide));
}

GUI_StatPickerIcon::~GUI_StatPickerIcon()
{
    delete m_tooltip;
}

bool GUI_StatPickerIcon::OnLeftClick(float x, float y)
{
    if (!visible || !Contains(x, y))
        return false;
    m_selected = !m_selected;
    if (m_owner)
        m_owner->OnIconToggled(m_object, m_selected);
    return true;
}

void GUI_StatPickerIcon::Update()
{
    const CInput& input = CInput::GetInstance();
    if (m_tooltip && Contains(input.GetMouseX(), input.GetMouseY())) {
        m_tooltip->PlaceAtMouse();
        m_tooltip->CheckShowTime();
    }
    GUI_WindowBase::Update();
}

void GUI_StatPickerIcon::Draw()
{
    const float cx = static_cast<float>(left + right) / 2.0f;
    const float cy = static_cast<float>(top + bottom) / 2.0f;
    const auto w = static_cast<float>(width);
    CTexturedSprite& frame = m_selected ? m_selectedFrame : m_unselectedFrame;
    frame.SetSize(w, w);
    frame.PlaceCentred(cx, cy);
    frame.Draw();
    m_picture.SetSize(w - kPictureInset, w - kPictureInset);
    m_picture.PlaceCentred(cx, cy);
    m_picture.Draw();
    if (m_tooltip)
        m_tooltip->Draw();
}
