#include "prep/GUI_ModuleIconRCMenu.h"

#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_ShipModuleType.h"

#include <algorithm>

GUI_ModuleIconRCMenu* GUI_ModuleIconRCMenu::Open(const SIM_ShipModuleType* type)
{
    if (GUI_RCMenuBase* menu = GUI_RCMenuBase::GetOpen()) {
        menu->visible = false;
        GUI_WindowManager::GetInstance().CloseWindow(menu);
    }
    QLM_ASSERT(type);
    return type ? new GUI_ModuleIconRCMenu(type) : nullptr;
}

GUI_ModuleIconRCMenu::GUI_ModuleIconRCMenu(const SIM_ShipModuleType* type) : m_type(type)
{
    const CInput& input = CInput::GetInstance();
    const D3DEngine& engine = D3DEngine::GetInstance();
    SetRect(0.0f, 0.0f, static_cast<float>(kWidth), static_cast<float>(kHeight));
    SetCaption(GetString(type->GetGuiName().c_str()));
    // A long name wraps: the box grows to hold it.
    LibText& text = LibText::GetInstance();
    const int h = std::max(kHeight, text.GetWrappedTextHeight(m_caption, kWidth - 16) + 16);
    float x = 0.0f, y = 0.0f;
    PlaceBesidePointer(input.GetMouseX(), input.GetMouseY(), engine.GetScreenWidth(), engine.GetScreenHeight(), kWidth,
                       h, x, y);
    SetRect(x, y, x + kWidth, y + static_cast<float>(h));
    GUI_WindowManager::GetInstance().BringToFront(this);
}
