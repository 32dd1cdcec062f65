#pragma once
#include "engine/CTexturedSprite.h"

#include <string>

// The full-screen title picture behind the main menu. The picture is picked
// once, for the screen width at start-up: wide screens get the 2048 x 1024
// picture, the rest the 1024 x 1024 one; a campaign package has its own.
class GUI_TitleBackdrop {
public:
    static GUI_TitleBackdrop& GetInstance();

    // What a screen of this width at start-up shows.
    static std::string ChooseTextureName(int screenWidth, bool campaign);
    static float ChooseWidth(int screenWidth) { return screenWidth > 1024 ? 2048.0f : 1024.0f; }

    // Black first; a picture larger than the screen is cut by its edges.
    void Draw();

    const std::string& GetTextureName() const { return m_sprite.GetTextureName(); }
    float GetWidth() const { return m_sprite.GetWidth(); }
    float GetHeight() const { return m_sprite.GetHeight(); }

private:
    GUI_TitleBackdrop();
    CTexturedSprite m_sprite;
};
