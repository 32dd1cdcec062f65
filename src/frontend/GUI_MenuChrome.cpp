#include "frontend/GUI_MenuChrome.h"

#include "app/GUI_Sounds.h"
#include "app/Game.h"
#include "gui/GUIButtonList.h"
#include "gui/GUI_ButtonBase.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_PreloadedTextures.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_ShipModuleType.h"

GUI_MenuChrome::GUI_MenuChrome(float backdropV)
{
    m_backdrop.SetTexture("menu_backdrop.jpg");
    m_backdrop.SetUV(0.0f, 0.0f, 1.0f, backdropV);
    m_bar.SetTexture("box_background.jpg");
    m_bar.SetUV(0.0f, 0.0f, 1.0f, kBarV);
}

void GUI_MenuChrome::LayOut(int w, int h)
{
    m_backdrop.SetSize(static_cast<float>(w), static_cast<float>(h));
    m_backdrop.PlaceCentred(static_cast<float>(w / 2), static_cast<float>(h / 2));
    m_bar.SetSize(static_cast<float>(w), kBarHeight);
    m_bar.PlaceCentred(static_cast<float>(w) * 0.5f, static_cast<float>(h - 22));
}

void GUI_MenuChrome::DrawPanel(CTexturedSprite& boxSprite, const GRect& r)
{
    const float w = static_cast<float>(r.Width()), h = static_cast<float>(r.Height());
    boxSprite.SetSize(w, h);
    boxSprite.SetUV(0.0f, 0.0f, w / 1024.0f, h / 1024.0f);
    boxSprite.PlaceCentred(static_cast<float>(r.left) + w * 0.5f, static_cast<float>(r.top) + h * 0.5f);
    boxSprite.Draw();
    DrawNamedFrame("border_depth.dds", 32.0f, 1.0f, static_cast<float>(r.left), static_cast<float>(r.top),
                   static_cast<float>(r.right), static_cast<float>(r.bottom));
}

void GUI_MenuChrome::DrawClientArea(const GUI_Dialog& d, GUI_Interlace& interlace, float cornerSize)
{
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, cornerSize, 1.0f, static_cast<float>(d.clientLeft),
                       static_cast<float>(d.clientTop), static_cast<float>(d.clientRight),
                       static_cast<float>(d.clientBottom));
    interlace.Draw(GRect{d.clientLeft, d.clientTop, d.clientRight, d.clientBottom});
}

bool GUI_MenuChrome::UpdateWindowsThenButtons(GUIButtonList& buttons)
{
    GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
    windows.UpdateWindows();
    if (windows.IsModalOpen()) {
        for (GUI_ButtonBase* b : buttons.GetButtons())
            b->hover = 0;
        return false;
    }
    // Not the virtual Update: a screen that is also a button list calls this
    // from its own Update.
    buttons.GUIButtonList::Update();
    return true;
}

void GUI_MenuChrome::SetModuleIcon(CTexturedSprite& sprite, const SIM_ShipModuleType& type)
{
    if (type.GetIconName() == "turret") {
        const SIM_Race* race = SIM_Race::Find(SIM_Options::GetInstance().GetRaceName(), false);
        if (!race)
            race = SIM_Race::Find(SIM_Race::kDefaultRace, false);
        const char* turretName = type.GetConfigString("turret_sprite");
        if (const SIM_Race::Turret* turret = race ? race->FindTurret(turretName ? turretName : "") : nullptr) {
            sprite.SetTexture(turret->texture);
            sprite.SetFrame(turret->frame, 64);
            return;
        }
    }
    sprite.SetTexture(type.GetIconName());
    sprite.SetUV(0.0f, 0.0f, 1.0f, 1.0f);
}

void GUI_MenuChrome::PlaceBackButton(GUI_ButtonBase& button, int h)
{
    button.SetRect(32.0f, static_cast<float>(h - 32), 232.0f, static_cast<float>(h - 12));
}

void GUI_MenuChrome::GoToMainMenu(std::intptr_t)
{
    Game::GetInstance().SetMode(15);
}

namespace {
int g_soundCounts[GUI_Sounds::kInterfaceSoundCount] = {};
} // namespace

void GUI_MenuChrome::PlaySound(int index)
{
    if (index >= 0 && index < GUI_Sounds::kInterfaceSoundCount)
        ++g_soundCounts[index];
    GUI_Sounds::GetInstance().PlayGuiSound(index);
}

int GUI_MenuChrome::GetSoundCount(int index)
{
    return index >= 0 && index < GUI_Sounds::kInterfaceSoundCount ? g_soundCounts[index] : 0;
}
