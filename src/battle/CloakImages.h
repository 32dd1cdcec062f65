#pragma once
#include "engine/QuadRunBatch.h"
#include "platform/IGraphicsDevice.h"

#include <vector>

class GUI_Ship;
class SIM_Ship;

// The images of a ship layer's cloaked ships, drawn before the layer into
// tiles of one shared target ("rt_cloak"), so that their meshes join the
// layer's quad runs instead of each ship switching targets mid-layer. Each
// tile keeps a cleared border, so the mesh reads around its image what it
// read around the image in "rt_ship". A ship without a tile (no target, the
// target full, an image of 512 pixels, or an image changed since) draws its
// own image as before. The staged block is then copied onto the texture
// atlas's page, from where the meshes are drawn.
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
    };

    static CloakImages& GetInstance();

    // Before a layer is drawn: the images of its cloaked ships on the screen.
    void Prepare(const std::vector<SIM_Ship*>& ships);
    // After the layer: the tiles are no longer valid.
    void Forget();
    // The ship's tile for an image of `side` pixels, while still what the
    // ship would draw; null otherwise.
    const Tile* Find(const GUI_Ship& visual, float side) const;
    const std::vector<Tile>& GetTiles() const { return tiles; }

private:
    std::vector<Tile> tiles; // kept between frames so that drawing does not allocate
    QuadRunBatch imageBatch;
};
