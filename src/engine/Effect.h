#pragma once
#include "platform/IGraphicsDevice.h"

#include <string>

// A shader effect loaded from a file. It is used only when the device has
// shaders, and it reloads by itself after the engine released all effects.
class Effect {
public:
    Effect();
    virtual ~Effect();
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    bool Load(const std::string& fileName);
    // Makes the effect current; false (and nothing set) without shaders.
    bool Begin();
    void End();
    void SetFloat(const char* name, float value);
    void Release();

    bool IsLoaded() const { return m_handle != 0; }
    // Drawn with blending off, the effect writes every pixel of its quad:
    // our own vertex stage places it and the fragment stage never discards.
    bool CoversItsQuad() const { return m_handle != 0 && m_coversQuad; }
    const std::string& GetFileName() const { return m_fileName; }

    static void ReleaseAll();

private:
    bool EnsureLoaded();

    std::string m_fileName;
    EffectHandle m_handle = 0;
    bool m_failed = false;
    bool m_coversQuad = false;
};
