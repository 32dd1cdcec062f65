#include "battle/hud/GUI_RatingPicker.h"

#include "app/GUI_Sounds.h"
#include "battle/GUI_BattleGUI.h"
#include "engine/D3DEngine.h"

GUI_RatingPicker::GUI_RatingPicker()
{
    m_full.SetName("star_full.dds");
    m_empty.SetName("star_empty.dds");
    for (BaseSprite& star : m_stars)
        star.SetSize(kStarSize, kStarSize);
    swallowsClicks = false;
    raisesOnClick = false;
}

void GUI_RatingPicker::PlaceStars()
{
    for (int i = 0; i < kStars; ++i)
        m_stars[i].PlaceCentred(static_cast<float>(left) + 18.0f + kStarSize * static_cast<float>(i),
                                static_cast<float>(top) + 18.0f);
}

bool GUI_RatingPicker::OnLeftClick(float x, float y)
{
    if (!visible)
        return false;
    PlaceStars();
    for (int i = 0; i < kStars; ++i) {
        if (m_stars[i].HitTest(x, y)) {
            rating = i + 1;
            if (GUI_Sounds* sounds = GUI_BattleGUI::GetInstance().GetSounds())
                sounds->PlayGuiSound(0);
            return true;
        }
    }
    return false;
}

void GUI_RatingPicker::Draw()
{
    if (!visible)
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.FillRect(GRect{left, top, right, bottom}, 0x20FFFFFFu);
    PlaceStars();
    for (int i = 0; i < kStars; ++i) {
        SmartTexture& texture = i + 1 <= rating ? m_full : m_empty;
        texture.Bind();
        m_stars[i].Draw();
    }
}
