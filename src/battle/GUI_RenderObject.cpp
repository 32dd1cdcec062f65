#include "battle/GUI_RenderObject.h"

#include "battle/GUI_Map.h"

GUI_RenderObject::~GUI_RenderObject()
{
    if (parent)
        parent->RemoveFromParent(this);
    // Children outlive us: they only forget who held them.
    for (GUI_RenderObject* child : children)
        if (child)
            child->parent = nullptr;
    children.clear();
    childLayers.clear();
    childKinds.clear();
    nextInLayer.clear();
}

void GUI_RenderObject::Draw()
{
    if (minZoom != -1.0f && minZoom > ZoomScale)
        return;
    DrawChildren(-1);
}

void GUI_RenderObject::DrawLayer(int drawLayer)
{
    if (!ValidLayer(drawLayer) || layerEmpty[drawLayer])
        return;
    DrawChildren(drawLayer);
}

void GUI_RenderObject::CloseHoles()
{
    size_t kept = 0;
    for (size_t i = 0; i < children.size(); ++i) {
        if (!children[i])
            continue;
        children[kept] = children[i];
        childLayers[kept] = childLayers[i];
        childKinds[kept] = childKinds[i];
        ++kept;
    }
    children.resize(kept);
    childLayers.resize(kept);
    childKinds.resize(kept);
    holes = false;
    Relink();
}

void GUI_RenderObject::Relink()
{
    ++links;
    nextInLayer.assign(children.size(), kNoChild);
    std::uint32_t last[3] = {kNoChild, kNoChild, kNoChild};
    firstInLayer[0] = firstInLayer[1] = firstInLayer[2] = kNoChild;
    for (std::size_t i = 0; i < children.size(); ++i) {
        const int l = childLayers[i];
        if (!ValidLayer(l) || !children[i])
            continue;
        const auto index = static_cast<std::uint32_t>(i);
        if (last[l] == kNoChild)
            firstInLayer[l] = index;
        else
            nextInLayer[last[l]] = index;
        last[l] = index;
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
    childLayers.push_back(static_cast<signed char>(ValidLayer(child->layer) ? child->layer : -1));
    childKinds.push_back(child->kind);
    child->parent = this;
    UpdateEmptyLayers();
}

void GUI_RenderObject::RemoveFromParent(GUI_RenderObject* child)
{
    if (!child)
        return;
    for (size_t i = 0; i < children.size(); ++i) {
        if (children[i] != child)
            continue;
        if (walking > 0) {
            children[i] = nullptr;
            childLayers[i] = -1;
            holes = true;
        } else {
            children.erase(children.begin() + static_cast<std::ptrdiff_t>(i));
            childLayers.erase(childLayers.begin() + static_cast<std::ptrdiff_t>(i));
            childKinds.erase(childKinds.begin() + static_cast<std::ptrdiff_t>(i));
            --i;
        }
    }
    if (child->parent == this)
        child->parent = nullptr;
    UpdateEmptyLayers();
}

void GUI_RenderObject::UpdateEmptyLayers()
{
    layerEmpty[0] = layerEmpty[1] = layerEmpty[2] = 1;
    for (size_t i = 0; i < children.size(); ++i) {
        const GUI_RenderObject* child = children[i];
        if (!child)
            continue;
        childLayers[i] = static_cast<signed char>(ValidLayer(child->layer) ? child->layer : -1);
        childKinds[i] = child->kind;
        if (ValidLayer(child->layer))
            layerEmpty[child->layer] = 0;
    }
    Relink();
}

void GUI_3DWorldObject::Project()
{
    const GUI_Map& map = GUI_Map::GetInstance();
    const float halfW = static_cast<float>(map.GetScreenWidth() / 2);
    const float halfH = static_cast<float>(map.GetScreenHeight() / 2);
    screenX = halfW - ZoomScale * (CameraCentre[0] - worldX) * depth;
    screenY = halfH - (CameraCentre[1] - worldY) * depth * ZoomScale;
}
