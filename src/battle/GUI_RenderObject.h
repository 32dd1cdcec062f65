#pragma once
#include <vector>

// Base of the battle visuals that hang on a ship or on another visual: a draw
// layer in the parent, a zoom window with an alpha that fades with the zoom,
// and a list of children (not owned) drawn with it.
// The children sit in one array with their layers beside them: a layer's draw
// walks every ship's children each frame and touches only its own. A child's
// layer is read when it is added and by UpdateEmptyLayers.
class GUI_RenderObject {
public:
    GUI_RenderObject() = default;
    virtual ~GUI_RenderObject();
    GUI_RenderObject(const GUI_RenderObject&) = delete;
    GUI_RenderObject& operator=(const GUI_RenderObject&) = delete;

    virtual void Draw();
    void DrawLayer(int drawLayer);
    // False below the minimum zoom (alpha left alone); else the alpha follows
    // the zoom window, clamped to 0..1.
    bool UpdateLodAlpha();
    void AddChild(GUI_RenderObject* child);
    void RemoveFromParent(GUI_RenderObject* child);
    void UpdateEmptyLayers();

    const std::vector<GUI_RenderObject*>& GetChildren() const { return children; }
    GUI_RenderObject* GetParent() const { return parent; }
    bool IsLayerEmpty(int drawLayer) const { return ValidLayer(drawLayer) ? layerEmpty[drawLayer] != 0 : true; }

    int layer = 2;
    float minZoom = 0.0f; // -1: no minimum
    float maxZoom = 0.0f; // -1: no maximum
    float lodAlpha = 1.0f;

protected:
    static bool ValidLayer(int n) { return n >= 0 && n < 3; }

    GUI_RenderObject* parent = nullptr;
    std::vector<GUI_RenderObject*> children;
    unsigned char layerEmpty[3] = {1, 1, 1};

private:
    // Draws the children of one layer (-1: all), in the order they were
    // added. A child added meanwhile is drawn this time too; one removed
    // meanwhile leaves a hole that is closed once the walk is over.
    void DrawChildren(int drawLayer);
    void CloseHoles();

    std::vector<signed char> childLayers;
    int walking = 0;
    bool holes = false;
};

// A visual at a point of the battle map; depth below 1 moves less than the
// map (parallax).
class GUI_3DWorldObject {
public:
    void Project();

    float screenX = 0.0f;
    float screenY = 0.0f;
    float worldX = 0.0f;
    float worldY = 0.0f;
    float depth = 1.0f;
};
