#include "frontend/GUI_TitleBackdrop.h"

#include "engine/APP_ContentPackage.h"
#include "engine/D3DEngine.h"
#include "engine/GRect.h"

GUI_TitleBackdrop& GUI_TitleBackdrop::GetInstance()
{
    static GUI_TitleBackdrop instance;
    return instance;
}

std::string GUI_TitleBackdrop::ChooseTextureName(int screenWidth, bool campaign)
{
    std::string base = campaign ? "campaign_title_" : "titlescreen";
    return base + (screenWidth > 1024 ? "2048.bmp" : "1024.bmp");
}

GUI_TitleBackdrop::GUI_TitleBackdrop()
{
    int w = D3DEngine::GetInstance().GetScreenWidth();
    m_sprite.SetSize(ChooseWidth(w), 1024.0f);
    m_sprite.SetTextureFromString(ChooseTextureName(w, APP_ContentPackage::GetInstance().HasCampaign()));
}

void GUI_TitleBackdrop::Draw()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    int w = engine.GetScreenWidth(), h = engine.GetScreenHeight();
    engine.FillRect(GRect{0, 0, w, h}, 0xFF000000u);
    m_sprite.PlaceCentred(static_cast<float>(w / 2), static_cast<float>(h / 2));
    m_sprite.Draw();
}
