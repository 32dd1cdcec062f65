#pragma once
#include "platform/IGraphicsDevice.h"

#include <string>

// A texture handle kept by name, so that it survives the engine dropping all
// textures: a handle the engine has invalidated resolves again on next use.
class SmartTexture {
public:
    SmartTexture();
    explicit SmartTexture(const std::string& name);
    SmartTexture(const SmartTexture& other);
    SmartTexture& operator=(const SmartTexture& other);
    virtual ~SmartTexture();

    // Stores the name and resolves it now (no texture when it is missing).
    void SetName(const std::string& name);
    const std::string& GetName() const { return m_name; }

    // Binds on stage 0; with no texture, unbinds stage 0.
    void Bind();
    TextureHandle GetHandle();

    // Engine side: resolve again by name, or drop the handle until next use.
    void Refresh();
    void Invalidate();
    void ForgetHandle(TextureHandle handle);

    static void RefreshAll();
    static void InvalidateAll();
    static void ForgetHandleEverywhere(TextureHandle handle);

private:
    void Resolve();

    std::string m_name;
    TextureHandle m_texture = 0;
    bool m_stale = false;
};
