#include <gtest/gtest.h>

#include "battle/GUI_Map.h"
#include "battle/GUI_RenderObject.h"

namespace {

class CountingObject : public GUI_RenderObject {
public:
    explicit CountingObject(int drawLayer) { layer = drawLayer; }
    void Draw() override { ++draws; }
    int draws = 0;
};

struct ZoomGuard {
    ~ZoomGuard() { ZoomScale = 1.0f; }
};

TEST(GUI_RenderObject, LodAlphaFadesInAboveTheMinimumAndOutBelowTheMaximum)
{
    ZoomGuard guard;
    GUI_RenderObject object;
    object.minZoom = 2.0f;
    object.maxZoom = 5.0f;
    ZoomScale = 2.5f;
    EXPECT_TRUE(object.UpdateLodAlpha());
    EXPECT_FLOAT_EQ(object.lodAlpha, 0.5f);
    ZoomScale = 3.5f;
    EXPECT_TRUE(object.UpdateLodAlpha());
    EXPECT_FLOAT_EQ(object.lodAlpha, 1.0f);
    ZoomScale = 4.5f;
    EXPECT_TRUE(object.UpdateLodAlpha());
    EXPECT_FLOAT_EQ(object.lodAlpha, 0.5f);
    ZoomScale = 1.9f;
    EXPECT_FALSE(object.UpdateLodAlpha());
    EXPECT_FLOAT_EQ(object.lodAlpha, 0.5f); // left alone
    object.minZoom = -1.0f;
    object.maxZoom = -1.0f;
    ZoomScale = 0.5f;
    EXPECT_TRUE(object.UpdateLodAlpha());
    EXPECT_FLOAT_EQ(object.lodAlpha, 1.0f);
}

TEST(GUI_RenderObject, LayersDrawOnlyTheirChildrenAndTrackEmptiness)
{
    GUI_RenderObject parent;
    CountingObject under(0), over(2), alsoOver(2);
    parent.AddChild(&under);
    parent.AddChild(&over);
    parent.AddChild(&alsoOver);
    EXPECT_FALSE(parent.IsLayerEmpty(0));
    EXPECT_TRUE(parent.IsLayerEmpty(1));
    parent.DrawLayer(1);
    parent.DrawLayer(2);
    EXPECT_EQ(under.draws, 0);
    EXPECT_EQ(over.draws, 1);
    EXPECT_EQ(alsoOver.draws, 1);
    parent.DrawLayer(7); // no such layer: nothing
    parent.Draw();
    EXPECT_EQ(under.draws, 1);
    EXPECT_EQ(over.draws, 2);

    parent.RemoveFromParent(&under);
    EXPECT_TRUE(parent.IsLayerEmpty(0));
    EXPECT_EQ(under.GetParent(), nullptr);
}

TEST(GUI_RenderObject, AChildLeavesItsParentWhenDestroyedAndOutlivesIt)
{
    auto parent = std::make_unique<GUI_RenderObject>();
    CountingObject kept(1);
    {
        CountingObject gone(1);
        parent->AddChild(&gone);
        parent->AddChild(&kept);
        EXPECT_EQ(parent->GetChildren().size(), 2u);
    }
    EXPECT_EQ(parent->GetChildren().size(), 1u);
    EXPECT_FALSE(parent->IsLayerEmpty(1));
    parent.reset();
    EXPECT_EQ(kept.GetParent(), nullptr);
}

TEST(GUI_RenderObject, BelowTheMinimumZoomNothingDraws)
{
    ZoomGuard guard;
    GUI_RenderObject parent;
    CountingObject child(2);
    parent.AddChild(&child);
    parent.minZoom = 2.0f;
    ZoomScale = 1.5f;
    parent.Draw();
    EXPECT_EQ(child.draws, 0);
    ZoomScale = 2.0f;
    parent.Draw();
    EXPECT_EQ(child.draws, 1);
}

} // namespace
