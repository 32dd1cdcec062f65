#pragma once
#include "platform/IGraphicsDevice.h"

#include <string>

// One loaded texture or render target of the engine's texture list. It owns
// its device texture and gives it back when destroyed.
class GTexture9 {
public:
    GTexture9(IGraphicsDevice* device, TextureHandle handle, std::string name, bool renderTarget);
    virtual ~GTexture9();
    GTexture9(const GTexture9&) = delete;
    GTexture9& operator=(const GTexture9&) = delete;

    TextureHandle GetHandle() const { return m_handle; }
    const std::string& GetName() const { return m_name; }
    bool IsRenderTarget() const { return m_renderTarget; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    // Every texel fully opaque (known for plain BGRA pictures): drawn with
    // full vertex alpha, blending it changes nothing, so it may go without.
    bool IsOpaque() const { return m_opaque; }
    void SetOpaque(bool opaque) { m_opaque = opaque; }

private:
    IGraphicsDevice* m_device;
    TextureHandle m_handle;
    std::string m_name = "unknown";
    bool m_renderTarget;
    int m_width = 0;
    int m_height = 0;
    bool m_opaque = false;
};
