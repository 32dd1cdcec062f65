#include "gui/GUI_Dialog.h"

#include "engine/CInput.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_CloseButton.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_WindowManager.h"

namespace {
constexpr float kBackgroundTexels = 1024.0f;
const char* const kDefaultFrame = "border_depth.dds";
constexpr float kClientTextCorner = 16.0f;
constexpr float kClientFontSize = 16.0f;
} // namespace

GUI_Dialog::GUI_Dialog(bool withCloseButton)
{
    m_background.SetTexture("box_background.jpg");
    if (withCloseButton) {
        m_closeButton = new GUI_CloseButton();
        AddButton(m_closeButton);
    }
    GUI_WindowManager::GetInstance().AddWindow(this);
}

GUI_Dialog::~GUI_Dialog() = default;

void GUI_Dialog::SetTitle(const std::string& text)
{
    m_title = text;
    PlaceTitleBar();
    if (m_titleBar.width > 0)
        m_titleBar.SetText(text);
}

void GUI_Dialog::SetTitleKey(const char* key)
{
    SetTitle(GetString(key ? key : ""));
}

void GUI_Dialog::SetTitleKeyString(const std::string& key)
{
    SetTitle(GetString(key.c_str()));
}

void GUI_Dialog::SetClientRect()
{
    clientLeft = static_cast<int>(static_cast<float>(left) + sideMargin);
    clientTop = static_cast<int>(static_cast<float>(top) + topMargin);
    clientRight = static_cast<int>(static_cast<float>(right) - sideMargin);
    clientBottom = static_cast<int>(static_cast<float>(bottom) - bottomMargin);
}

void GUI_Dialog::PlaceTitleBar()
{
    const int oldWidth = m_titleBar.width;
    m_titleBar.SetRect(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
                       static_cast<float>(top) + GUI_TitleBar::kBarHeight);
    // A title set before the dialog had its size is fitted once it has one.
    if (!m_title.empty() && m_titleBar.width > 0 && m_titleBar.width != oldWidth)
        m_titleBar.SetText(m_title);
}

void GUI_Dialog::SetRect(float l, float t, float r, float b)
{
    GUI_WindowBase::SetRect(l, t, r, b);
    PlaceTitleBar();
}

void GUI_Dialog::Centre()
{
    GUI_WindowBase::Centre();
    PlaceChildElements();
    PlaceTitleBar();
}

void GUI_Dialog::MoveTo(float x, float y)
{
    GUI_WindowBase::MoveTo(x, y);
    PlaceTitleBar();
}

void GUI_Dialog::StartDrag()
{
    // Only the title strip is a handle, and only when there is a title.
    if (m_title.empty())
        return;
    PlaceTitleBar();
    const CInput& input = CInput::GetInstance();
    if (m_titleBar.Contains(input.GetMouseX(), input.GetMouseY()))
        GUI_WindowBase::StartDrag();
}

void GUI_Dialog::DrawTitleBar()
{
    m_titleBar.Draw();
}

void GUI_Dialog::DrawClientText(GUI_Interlace& interlace, const std::string& text)
{
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, kClientTextCorner, 1.0f, static_cast<float>(clientLeft),
                       static_cast<float>(clientTop), static_cast<float>(clientRight),
                       static_cast<float>(clientBottom));
    interlace.Draw(GRect{clientLeft, clientTop, clientRight, clientBottom});
    LibText& lib = LibText::GetInstance();
    lib.SetFont("zekton16.dds", kClientFontSize);
    lib.SetText(TEXT_ALIGN_LEFT, lib.GetWrappedText(text, clientRight - clientLeft - 20),
                static_cast<float>(clientLeft) + 10.0f, static_cast<float>(clientTop), 0xFFFFFFFFu, 0.0f);
    lib.Render(-1);
}

void GUI_Dialog::Draw()
{
    if (m_closeButton) {
        m_closeButton->SetRect(static_cast<float>(right - kCloseButtonInset - kCloseButtonSize),
                               static_cast<float>(top + kCloseButtonInset), static_cast<float>(right - kCloseButtonInset),
                               static_cast<float>(top + kCloseButtonInset + kCloseButtonSize));
    }
    SetClientRect();
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    std::string frame = m_frameTexture;
    if (frame.empty()) {
        m_background.SetSize(w, h);
        m_background.SetUV(0.0f, 0.0f, w / kBackgroundTexels, h / kBackgroundTexels);
        m_background.SetColour(0xFFFFFFFFu);
        m_background.PlaceCentred(static_cast<float>(left) + w / 2.0f, static_cast<float>(top) + h / 2.0f);
        m_background.Draw();
        frame = kDefaultFrame;
    }
    DrawNamedFrame(frame, kCornerSize, 1.0f, static_cast<float>(left), static_cast<float>(top),
                   static_cast<float>(right), static_cast<float>(bottom));
    if (!m_title.empty()) {
        PlaceTitleBar();
        DrawTitleBar();
    }
    if (drawButtons)
        DrawButtons();
}

GUI_ScrollingWindow* GUI_Dialog::AddClientScrollBar()
{
    return PlaceChild(new GUI_ScrollingWindow(), clientRight - 20, clientTop + 5, clientRight - 5, clientBottom - 5);
}
