#include "editors/GUI_EditorBase.h"

#include "engine/D3DEngine.h"
#include "engine/GIniFile.h"
#include "engine/LibText.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_WindowManager.h"

GUI_EditorBase::GUI_EditorBase()
{
    SetRect(kPanelLeft, kPanelTop, kPanelLeft + 300.0f, kPanelTop + 512.0f);
    GUI_WindowManager::GetInstance().AddWindow(this);
    GUI_WindowManager::GetInstance().BringToFront(this);
}

void GUI_EditorBase::Draw()
{
    if (!visible)
        return;
    D3DEngine::GetInstance().FillRect(GRect{left, top, right, bottom}, 0xC0101820u);
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, 32.0f, 1.0f, static_cast<float>(left),
                       static_cast<float>(top), static_cast<float>(right), static_cast<float>(bottom));
    static GUI_Interlace interlace;
    interlace.Draw(GRect{left, top, right, bottom});
    DrawButtons();
    DrawChildren();
}

bool GUI_EditorBase::OnViewLeftClick(float, float)
{
    return false;
}

bool GUI_EditorBase::OnViewRightClick(float, float)
{
    return false;
}

void GUI_EditorBase::OnEditorKey(int) {}

GUI_ButtonText* GUI_EditorBase::AddPanelButton(const char* key, GUI_Callback callback, float l, float t, float r,
                                               float b)
{
    auto* button = new GUI_ButtonText(key, callback, reinterpret_cast<std::intptr_t>(this));
    button->SetRect(static_cast<float>(left) + l, static_cast<float>(top) + t, static_cast<float>(left) + r,
                    static_cast<float>(top) + b);
    AddButton(button);
    return button;
}

void GUI_EditorBase::DrawLabel(const std::string& text, float x, float y, float size) const
{
    LibText& lib = LibText::GetInstance();
    if (!lib.FindFont("zekton16.dds"))
        return;
    lib.SetFont("zekton16.dds", size);
    lib.SetText(TEXT_ALIGN_LEFT, text, x, y, 0xFFFFFFFFu, 0.0f);
    lib.Render();
}

std::vector<std::string> GUI_EditorBase::ReadRawValues(const std::string& fileName, const char* section)
{
    std::vector<std::string> values;
    GIniFile ini;
    ini.Load(section, fileName.c_str());
    for (size_t i = 0; i < ini.GetEntryCount(); ++i) {
        if (!ini.GetValueAt(i).empty())
            values.push_back(ini.GetValueAt(i));
    }
    return values;
}

std::vector<std::string> GUI_EditorBase::SplitFields(const std::string& value, char separator)
{
    return SplitTrimmedFields(value, separator);
}

float GUI_EditorBase::ToFloat(const std::string& field)
{
    return ParseLeadingFloat(field.c_str());
}

bool GUI_EditorBase::InView(float x, float y)
{
    return x >= kViewLeft && x < kViewRight && y >= kViewTop && y < kViewBottom;
}
