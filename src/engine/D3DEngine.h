#pragma once
#include "engine/GRect.h"
#include "platform/IGraphicsDevice.h"
#include "platform/IWindow.h"

#include <cstdio>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

class GTexture9;

// The drawing engine: owns the graphics device, the texture list and the
// render targets, opens and closes scenes and draws the screen-space
// primitives every screen uses. Blend and texture changes are cached so that
// only real changes reach the device.
class D3DEngine {
public:
    using DeviceFactory = std::function<std::unique_ptr<IGraphicsDevice>(int width, int height, bool windowed)>;
    using DisplayModeProvider = std::function<std::vector<DisplayMode>()>;

    // Asked for thousands of times a frame: once made, one load.
    static D3DEngine& GetInstance()
    {
        if (D3DEngine* engine = s_instance) [[likely]]
            return *engine;
        return Make();
    }

    // The shell registers how the real device is made (it needs the window);
    // Init(width, height, windowed) fails while there is none.
    void SetDeviceFactory(DeviceFactory factory) { m_factory = std::move(factory); }
    bool Init(int width, int height, bool windowed);
    // Takes a ready device (tests pass the headless one).
    bool Init(std::unique_ptr<IGraphicsDevice> device, bool windowed = true);
    bool IsInitialised() const { return m_device != nullptr; }
    IGraphicsDevice* GetDevice() const { return m_device.get(); }

    void CheckCaps();
    void SetDefaultRenderStates();

    // A screen that will replace every pixel of the back buffer asks for no
    // clear; the clear is then only pending, and ClearPendingBackBuffer does
    // it should the screen find it must draw over the back buffer after all.
    void ClearAndBeginScene(bool clear = true);
    void ClearPendingBackBuffer();
    bool IsBackBufferClearPending() const { return m_clearPending; }
    void EndScene();
    void Flip();
    bool IsSceneOpen() const { return m_sceneOpen; }
    // The next Flip saves the back buffer to this file first.
    void RequestScreenshot(const std::string& file);

    void SetAdditiveBlend();
    void SetNormalBlend();
    // Normal and additive quads in one state (the quad batch's runs).
    void SetPremultipliedBlend();
    bool IsAdditive() const { return m_additive == 1; }
    bool IsPremultiplied() const { return m_additive == 2; }
    // Sprites drawn meanwhile show only their shape, in their vertex colour.
    void SetFlatColour(bool on);
    // Stage 0 goes back to linear and clamped after any other sampling.
    void SetSampler(int stage, TextureFilter filter, TextureAddress address);
    // 0 goes back to the fixed pipeline.
    void UseEffect(EffectHandle effect);
    // Linear clamped sampling, no flat colour, no effect: the state every
    // run of the quad batch is drawn in, so only then may a quad join one.
    bool IsPlainState() const { return !m_flatColour && !m_effect && !m_plainSamplerOff; }
    // While on, texture and blend changes are only noted (the interface's
    // batch collects); ApplyState puts the noted ones on the device.
    void SetDeferStateChanges(bool on);
    void ApplyState();

    void SetTexture(TextureHandle texture);
    void SetTextureByName(const std::string& name);
    // Forgets the cached stage-0 texture so that the next bind is issued.
    void ClearTextureCache() { m_currentTexture = 0; }
    TextureHandle GetCurrentTexture() const { return m_currentTexture; }
    void SetViewport(int left, int top, int right, int bottom);

    void FillRect(const GRect& rect, uint32_t colour);
    void DrawRectFrame(const GRect& rect, uint32_t colour);
    void DrawLine(float x1, float y1, float x2, float y2, uint32_t colour);
    void DrawThickLine(float x1, float y1, float x2, float y2, float width, uint32_t colour);
    // Untextured quads (four corners each); they join the interface's runs.
    void FillQuads(const ScreenVertex* quads, size_t count);
    // With the set texture and blend, past any batch (after what it holds).
    void DrawPrimitives(PrimitiveType type, const ScreenVertex* vertices, size_t count);

    // Drops every texture, render target, effect and buffer; everything comes
    // back lazily on next use. Callable any number of times.
    bool Restore();
    void Release();
    void LogResult(const std::string& context);
    void DrawLog(const std::string& text);

    void SetDisplayModeProvider(DisplayModeProvider provider) { m_modeProvider = std::move(provider); }
    void EnumDisplayModes();
    const std::vector<DisplayMode>& GetDisplayModes() const { return m_displayModes; }

    int GetScreenWidth() const { return m_screenWidth; }
    int GetScreenHeight() const { return m_screenHeight; }
    bool HasShaders() const { return m_shaders; }
    bool IsWindowed() const { return m_windowed; }
    void SetFrameTiming(bool on) { m_frameTiming = on; }
    float GetFramesPerSecond() const { return m_fps; }

    // Textures by exact name, loaded lazily from the registered folders.
    void LoadTextureFolder(const std::string& folder);
    const std::vector<std::string>& GetTextureFolders() const { return m_folders; }
    void ClearTextureFolders() { m_folders.clear(); }
    TextureHandle FindTexture(const std::string& name);
    TextureHandle FindTextureByString(const std::string& name) { return FindTexture(name); }
    bool LoadTextureByName(const std::string& name);
    bool FindFileInFolder(const std::string& folder, const std::string& name);
    bool LoadTextureFile(const std::string& folder, const std::string& name);
    // The pixels of the file loading `name` reads, read again (the texture atlas).
    bool ReadTextureData(const std::string& name, TextureData& data) const;
    // Loaded pictures (render targets left out), in load order.
    std::vector<std::string> GetLoadedTextureNames() const;
    // Size of a loaded texture; false when it is not in the list.
    bool GetTextureSize(const std::string& name, int& width, int& height);
    // A loaded picture whose every texel is opaque (see GTexture9::IsOpaque).
    bool IsTextureOpaque(const std::string& name) const;
    size_t GetTextureCount() const { return m_textures.size(); }

    TextureHandle CreateRenderTarget(int width, int height, const std::string& name);
    // Searches loaded textures only: a render target is never read from disk.
    TextureHandle FindRenderTarget(const std::string& name) const;
    // "" selects the back buffer.
    bool SetRenderTarget(const std::string& name);
    // The target set through this engine (0: the back buffer), so that a
    // pass drawing into its own target can put the previous one back.
    TextureHandle GetRenderTargetHandle() const { return m_renderTarget; }
    bool SetRenderTargetHandle(TextureHandle target);

    bool SaveTextureToFile(const std::string& file, const GRect* sourceRect = nullptr);
    bool SaveScreenshot(const std::string& file);

    void RefreshSmartTextures();
    void ForgetTexturedSprites();
    void RefreshTexturedSprites();

private:
    D3DEngine() = default;
    ~D3DEngine();
    D3DEngine(const D3DEngine&) = delete;
    D3DEngine& operator=(const D3DEngine&) = delete;

    GTexture9* FindLoaded(const std::string& name) const;
    bool ReadTextureFile(const std::string& path, TextureData& data, std::string* error) const;
    void ReleaseResources();
    void DrawUntextured(PrimitiveType type, const ScreenVertex* v, size_t count);

    std::unique_ptr<IGraphicsDevice> m_device;
    DeviceFactory m_factory;
    DisplayModeProvider m_modeProvider;
    std::vector<DisplayMode> m_displayModes;
    std::list<std::unique_ptr<GTexture9>> m_textures;
    std::vector<std::string> m_folders;

    bool m_sceneOpen = false;
    bool m_clearPending = false;
    bool m_windowed = true;
    bool m_shaders = false;
    int m_additive = 0; // the blend last set: 0 normal, 1 additive, 2 premultiplied
    TextureHandle m_currentTexture = 0;
    bool m_deferState = false;
    bool m_flatColour = false;
    bool m_plainSamplerOff = false;
    EffectHandle m_effect = 0;
    TextureHandle m_renderTarget = 0;
    int m_screenWidth = 0;
    int m_screenHeight = 0;

    bool m_frameTiming = false;
    double m_lastEndMs = 0.0;
    float m_fps = 0.0f;

    bool m_screenshotPending = false;
    std::string m_screenshotFile;
    FILE* m_drawLog = nullptr;
    bool m_drawLogRefused = false; // a link or a FIFO at its name: not asked again this run

    static D3DEngine& Make();
    inline static D3DEngine* s_instance = nullptr;
};
