#include "gui/GUI_PreloadedTextures.h"

#include "engine/D3DEngine.h"

namespace {
const char* const kNames[GUI_PreloadedTextures::kCount] = {
    "contrails.dds",          "escapepod.dds",      "escapepodengines.dds", "debris.dds",
    "shield_impact.dds",      "client_interlace.dds", "19px_highlight.dds", "19px_highlight_black.dds",
    "dialog_client.dds",      "smokeclouds.dds",    "runninglight.dds",     "shield_collapse.dds",
};
} // namespace

GUI_PreloadedTextures& GUI_PreloadedTextures::GetInstance()
{
    static GUI_PreloadedTextures instance;
    return instance;
}

const char* GUI_PreloadedTextures::GetTextureName(int index)
{
    if (index < 0 || index >= kCount)
        return "";
    return kNames[index];
}

GUI_PreloadedTextures::GUI_PreloadedTextures()
{
    // Kept by name only: each resolves on first use and after a device reset.
    for (int i = 0; i < kCount; ++i)
        m_textures[static_cast<size_t>(i)] = SmartTexture(kNames[i]);
}

SmartTexture* GUI_PreloadedTextures::Get(int index)
{
    if (index < 0 || index >= kCount)
        return nullptr;
    return &m_textures[static_cast<size_t>(index)];
}

void GUI_PreloadedTextures::Bind(int index)
{
    if (SmartTexture* texture = Get(index)) {
        texture->Bind();
        return;
    }
    D3DEngine::GetInstance().SetTexture(0);
}
