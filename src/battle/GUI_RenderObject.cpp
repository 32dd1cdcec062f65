#include "battle/GUI_RenderObject.h"

#include "battle/GUI_Map.h"

GUI_RenderObject::~GUI_RenderObject()
{
    if (parent)
        parent->RemoveFromParent(this);
    // Children outlive us: they only forget who held them.
    for (GUI_RenderObject* child : children)
        child->parent = nullptr;
    children.clear();
}

void GUI_RenderObject::Draw()
{
    if (minZoom != -1.0f && minZoom > ZoomScale)
        return;
    for (GUI_RenderObject* child : children)
        child->Draw();
}

void GUI_RenderObject::DrawLayer(int drawLayer)
{
    if (!ValidLayer(drawLayer) || layerEmpty[drawLayer])
        return;
    for (GUI_RenderObject* child : children) {
        if (child->layer == drawLayer)
            child->Draw();
    }
}

bool GUI_RenderObject::UpdateLodAlpha()
{
    if (minZoom > ZoomScale)
        return false;
    float alpha;
    if (maxZoom == -1.0f || ZoomScale <= maxZoom - 1.0f)
        alpha = ZoomScale - minZoom;
    else
        alpha = 1.0f - (ZoomScale - (maxZoom - 1.0f));
    lodAlpha = alpha < 0.0f ? 0.0f : (alpha > 1.0f ? 1.0f : alpha);
    return true;
}

void GUI_RenderObject::AddChild(GUI_RenderObject* child)
{
    if (!child || child == this)
        return;
    if (child->parent)
        child->parent->RemoveFromParent(child);
    children.push_back(child);
    child->parent = this;
    UpdateEmptyLayers();
}

void GUI_RenderObject::RemoveFromParent(GUI_RenderObject* child)
{
    if (!child)
        return;
    children.remove(child);
    if (child->parent == this)
        child->parent = nullptr;
    UpdateEmptyLayers();
}

void GUI_RenderObject::UpdateEmptyLayers()
{
    layerEmpty[0] = layerEmpty[1] = layerEmpty[2] = 1;
    for (const GUI_RenderObject* child : children) {
        if (ValidLayer(child->layer))
            layerEmpty[child->layer] = 0;
    }
}

void GUI_3DWorldObject::Project()
{
    const GUI_Map& map = GUI_Map::GetInstance();
    const float halfW = static_cast<float>(map.GetScreenWidth() / 2);
    const float halfH = static_cast<float>(map.GetScreenHeight() / 2);
    screenX = halfW - ZoomScale * (CameraCentre[0] - worldX) * depth;
    screenY = halfH - (CameraCentre[1] - worldY) * depth * ZoomScale;
}
