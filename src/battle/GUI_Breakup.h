#pragma once
#include <vector>

#include "engine/CTexturedSprite.h"

class SIM_Ship;

// A big ship's sprite cracked into a grid of square pieces (about 16 world
// units each) that follow the ship for up to 250 ms, then break off one by
// one, drift away turning, shrink and fade. Each piece is cut by a cell of
// the "breakup_alpha.dds" mask so that its edges are ragged.
class GUI_Breakup {
public:
    enum State { IDLE = 0, BREAKING = 1, FINISHED = 2 };

    struct Piece {
        float x = 0.0f, y = 0.0f;
        float heading = 0.0f;
        float spin = 0.0f;
        float vx = 0.0f, vy = 0.0f;
        float alpha = 1.0f;
        float offsetX = 0.0f, offsetY = 0.0f;
        float baseWidth = 0.0f, baseHeight = 0.0f;
        float width = 0.0f, height = 0.0f;
        float breakDelay = 0.0f;
        float fadeElapsed = 0.0f;
        float fadeTime = 0.0f;
        bool released = false;
        float u0 = 0, v0 = 0, u1 = 0, v1 = 0; // cell of the hull sprite
        float mu0 = 0, mv0 = 0;               // cell of the mask sheet
    };

    // texture: the hull sprite's texture name; width, height: the sprite's size.
    GUI_Breakup(SIM_Ship* ship, const std::string& texture, float width, float height);
    virtual ~GUI_Breakup() = default;

    void Start();
    void Update(float ms, float step);
    void Draw();

    int GetState() const { return state; }
    int GetGridSize() const { return grid; }
    const std::vector<Piece>& GetPieces() const { return pieces; }
    float GetElapsed() const { return elapsed; }

private:
    std::vector<Piece> pieces;
    float elapsed = 0.0f;
    SIM_Ship* ship = nullptr;
    int state = IDLE;
    int grid = 0;
    CTexturedSprite hull;
};
