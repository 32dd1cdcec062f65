#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

// Base of the battle visuals that hang on a ship or on another visual: a draw
// layer in the parent, a zoom window with an alpha that fades with the zoom,
// and a list of children (not owned) drawn with it.
// The children sit in one array with their layers and kinds beside them, and
// each child links to the next of its layer: a layer's draw walks every ship's
// children each frame and steps only over its own. A child's layer and kind
// are read when it is added and by UpdateEmptyLayers; with the kind at hand a
// walk can pass over a child that has nothing to do without loading it.
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

    // Attachments a ship's own walk draws without a virtual call.
    enum class Kind : unsigned char { OTHER, CON_TRAIL, POWER_GLOW, RUNNING_LIGHT };
    Kind kind = Kind::OTHER;

protected:
    // Here rather than with the children: a draw reads it with the kind,
    // and it fills the gap before the layer.
    unsigned char layerEmpty[3] = {1, 1, 1};

public:
    int layer = 2;
    float minZoom = 0.0f; // -1: no minimum
    float maxZoom = 0.0f; // -1: no maximum
    float lodAlpha = 1.0f;

protected:
    static bool ValidLayer(int n) { return n >= 0 && n < 3; }
    // Hands the children of one layer (-1: all) to visit, in the order they
    // were added, with their kinds when visit takes two arguments. A child
    // added meanwhile is visited this time too; one removed meanwhile leaves
    // a hole that is closed once the walk is over.
    template <class Visit>
    void WalkChildren(int drawLayer, Visit&& visit)
    {
        WalkChildren(drawLayer, visit, [](const GUI_RenderObject* next, Kind) { __builtin_prefetch(next); });
    }
    // The same, with ahead(child, kind) told of the layer's next child
    // before each visit, so that it can start loading what the visit will
    // read (children lie apart on the heap).
    template <class Visit, class Ahead>
    void WalkChildren(int drawLayer, Visit&& visit, Ahead&& ahead)
    {
        const auto call = [&visit](GUI_RenderObject* child, Kind childKind) {
            if constexpr (std::is_invocable_v<Visit&, GUI_RenderObject*, Kind>)
                visit(child, childKind);
            else
                visit(child);
        };
        ++walking;
        std::size_t i = 0;
        if (drawLayer >= 0) {
            // Along the links while they hold; children added, removed or
            // moved to another layer meanwhile relink them, and the rest of
            // the walk reads the layers themselves.
            // Every change of the lists relinks them: while the links hold,
            // the lists are as they were when the walk began.
            const unsigned linked = links;
            GUI_RenderObject* const* const kids = children.data();
            const Kind* const kinds = childKinds.data();
            const std::uint32_t* const next = nextInLayer.data();
            const std::size_t count = children.size();
            for (i = firstInLayer[drawLayer]; i < count; i = next[i]) {
                if (const std::uint32_t after = next[i]; after < count && kids[after])
                    ahead(kids[after], kinds[after]);
                if (GUI_RenderObject* child = kids[i]) {
                    call(child, kinds[i]);
                    if (links != linked) {
                        ++i;
                        break;
                    }
                }
            }
        }
        for (; i < children.size(); ++i) {
            if (drawLayer >= 0 && childLayers[i] != drawLayer)
                continue;
            if (GUI_RenderObject* child = children[i])
                call(child, childKinds[i]);
        }
        if (--walking == 0 && holes)
            CloseHoles();
    }

    GUI_RenderObject* parent = nullptr;
    std::vector<GUI_RenderObject*> children;

private:
    void DrawChildren(int drawLayer) { WalkChildren(drawLayer, [](GUI_RenderObject* child) { child->Draw(); }); }
    void CloseHoles();
    void Relink();

    static constexpr std::uint32_t kNoChild = 0xFFFFFFFFu;
    std::vector<signed char> childLayers;
    std::vector<Kind> childKinds;
    // Per layer the first child and per child the next of its layer;
    // kNoChild ends a chain.
    std::uint32_t firstInLayer[3] = {kNoChild, kNoChild, kNoChild};
    std::vector<std::uint32_t> nextInLayer;
    unsigned links = 0; // changes with every relink
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
