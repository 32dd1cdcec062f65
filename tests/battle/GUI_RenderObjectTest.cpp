#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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

// Draws once and then, the first time, changes its parent's children.
class ChangingObject : public CountingObject {
public:
    ChangingObject(GUI_RenderObject& owner, GUI_RenderObject* toRemove, GUI_RenderObject* toAdd)
        : CountingObject(2), owner(owner), toRemove(toRemove), toAdd(toAdd)
    {
    }
    void Draw() override
    {
        CountingObject::Draw();
        if (toRemove)
            owner.RemoveFromParent(std::exchange(toRemove, nullptr));
        if (toAdd)
            owner.AddChild(std::exchange(toAdd, nullptr));
    }
    GUI_RenderObject& owner;
    GUI_RenderObject* toRemove;
    GUI_RenderObject* toAdd;
};

TEST(GUI_RenderObject, ChildrenChangedDuringADrawAreDrawnAsTheyStandThen)
{
    GUI_RenderObject parent;
    CountingObject before(2), removed(2), added(2), under(0), last(2);
    ChangingObject changer(parent, &removed, &added);
    parent.AddChild(&before);
    parent.AddChild(&changer);
    parent.AddChild(&removed);
    parent.AddChild(&under);
    parent.AddChild(&last);
    parent.DrawLayer(2);
    EXPECT_EQ(before.draws, 1);
    EXPECT_EQ(changer.draws, 1);
    EXPECT_EQ(removed.draws, 0); // taken out before its turn
    EXPECT_EQ(last.draws, 1);    // not skipped by the removal
    EXPECT_EQ(added.draws, 1);   // added at the end, drawn in the same walk
    EXPECT_EQ(under.draws, 0);
    EXPECT_EQ(removed.GetParent(), nullptr);
    const std::vector<GUI_RenderObject*> expected = {&before, &changer, &under, &last, &added};
    EXPECT_EQ(parent.GetChildren(), expected);

    // A child removed while another layer draws leaves no hole either.
    ChangingObject remover(parent, &under, nullptr);
    remover.layer = 0;
    parent.AddChild(&remover);
    parent.DrawLayer(0);
    EXPECT_EQ(under.draws, 1);
    EXPECT_EQ(remover.draws, 1);
    EXPECT_FALSE(parent.IsLayerEmpty(0));
    const std::vector<GUI_RenderObject*> after = {&before, &changer, &last, &added, &remover};
    EXPECT_EQ(parent.GetChildren(), after);
}

// Notes its name in a shared log when drawn; may move two other children to
// other layers the first time.
class LoggingObject : public GUI_RenderObject {
public:
    LoggingObject(std::vector<char>& log, char name, int drawLayer) : log(log), name(name) { layer = drawLayer; }
    void Draw() override
    {
        log.push_back(name);
        if (!moveIn && !moveOut)
            return;
        std::exchange(moveIn, nullptr)->layer = layer;
        std::exchange(moveOut, nullptr)->layer = 1;
        GetParent()->UpdateEmptyLayers();
    }
    std::vector<char>& log;
    char name;
    GUI_RenderObject* moveIn = nullptr;
    GUI_RenderObject* moveOut = nullptr;
};

TEST(GUI_RenderObject, ALayerDrawsItsChildrenInTheOrderAddedAsTheirLayersStandWhenReached)
{
    std::vector<char> log;
    GUI_RenderObject parent;
    LoggingObject a(log, 'a', 0), b(log, 'b', 2), c(log, 'c', 0), d(log, 'd', 2), e(log, 'e', 1), f(log, 'f', 2);
    for (GUI_RenderObject* child : {&a, &b, &c, &d, &e, &f})
        parent.AddChild(child);
    const auto draw = [&](int drawLayer) {
        log.clear();
        parent.DrawLayer(drawLayer);
        return std::string(log.begin(), log.end());
    };
    EXPECT_EQ(draw(2), "bdf");
    EXPECT_EQ(draw(0), "ac");
    c.layer = 2; // read again only when asked
    EXPECT_EQ(draw(2), "bdf");
    parent.UpdateEmptyLayers();
    EXPECT_EQ(draw(2), "bcdf");
    EXPECT_EQ(draw(0), "a");
    parent.RemoveFromParent(&b);
    EXPECT_EQ(draw(2), "cdf");
    parent.AddChild(&b);
    EXPECT_EQ(draw(2), "cdfb");

    // While layer 2 draws, c brings e in after it and takes f out.
    c.moveIn = &e;
    c.moveOut = &f;
    EXPECT_EQ(draw(2), "cdeb");
    EXPECT_EQ(draw(1), "f");
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
