#pragma once
#include "engine/QuadRunBatch.h"
#include "platform/IGraphicsDevice.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class GUI_Ship;

// The images of a ship layer's cloaked ships, drawn before the layer into
// tiles of one shared target ("rt_cloak"), so that their meshes join the
// layer's quad runs instead of each ship switching targets mid-layer. Each
// tile keeps a cleared border, so the mesh reads around its image what it
// read around the image in "rt_ship". A ship without a tile (no target, the
// target full, an image of 512 pixels, or an image changed since) draws its
// own image as before. The staged block is then copied onto the texture
// atlas's page, from where the meshes are drawn. Images lying where they lay
// last time, unchanged, are not drawn again: most frames only a few change
// (a turret turns, a patch comes), and only those tiles are redrawn.
class CloakImages {
public:
    static constexpr int kSide = 1024;  // of "rt_cloak"
    static constexpr int kBorder = 2;   // cleared pixels around each image
    static constexpr float kMaxImage = 512.0f;

    struct Tile {
        GUI_Ship* visual = nullptr;
        TextureHandle target = 0;
        int x = 0; // the image's top-left pixel on the target
        int y = 0;
        float side = 0.0f;
        unsigned version = 0;
        uint64_t turrets = 0; // how the turrets lay (ShipTurrets::LevelKey)
    };

    static CloakImages& GetInstance();

    // Before a layer is drawn: the images of the cloaked ships on the screen
    // in that draw list (GUI_ShipDrawLists).
    void Prepare(int list);
    // After the layer: the tiles are no longer valid.
    void Forget();
    // A battle starts or ends: nothing drawn before is reused.
    void Reset();
    // The ship's tile for an image of `side` pixels, while still what the
    // ship would draw; null otherwise.
    const Tile* Find(const GUI_Ship& visual, float side) const;
    const std::vector<Tile>& GetTiles() const { return tiles; }

private:
    // Draws the given tiles' images into the target (cleared where they lie).
    void DrawTiles(TextureHandle target, const std::vector<size_t>& which, bool clearAll);

    std::vector<Tile> tiles; // kept between frames so that drawing does not allocate
    QuadRunBatch imageBatch;
    // What the target and the atlas region hold from the last drawing.
    std::vector<Tile> drawn;
    TextureHandle drawnTarget = 0;
    uint64_t drawnCopies = 0;
    int drawnWidth = 0, drawnHeight = 0;
    std::vector<size_t> redraw;
};
