#pragma once
#include <cstdint>
#include <string>

class GUI_Encounter;

// The name under a planet in a small box, green for the player's worlds and
// red for the rest; it fades out between zoom 5 and 15.
class GUI_PlanetName {
public:
    static constexpr int kFullAlpha = 190;
    static constexpr int kDimmedMaxAlpha = 16;

    explicit GUI_PlanetName(const GUI_Encounter& view);

    void Draw();
    static int AlphaAt(float zoom, bool selectable);
    const std::string& GetText() const { return m_text; }

private:
    const GUI_Encounter& m_view;
    std::string m_text;
    int m_width = 0;
};
