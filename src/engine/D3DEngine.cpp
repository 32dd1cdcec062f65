#include "engine/D3DEngine.h"

#include "engine/CTexturedSprite.h"
#include "engine/Effect.h"
#include "engine/GDebugLog.h"
#include "engine/GFileList.h"
#include "engine/GSafeFile.h"
#include "engine/GTexture9.h"
#include "engine/GVertexBuffer.h"
#include "engine/QuadRunBatch.h"
#include "engine/SmartTexture.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "engine/TextureAtlas.h"
#include "engine/VisibleBoxes.h"
#include "platform/DdsImage.h"
#include "platform/ImageEncode.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>

namespace {

constexpr const char* kScreenshotSource = "rt_offscreen2";
constexpr int kMaxFolderDepth = 16; // guards against symlink loops

ScreenVertex MakeVertex(float x, float y, uint32_t colour)
{
    return ScreenVertex{x, y, 0.0f, 1.0f, colour, 0.0f, 0.0f};
}

double NowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

std::string LowerExtension(const std::string& name)
{
    size_t dot = name.find_last_of('.');
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

// A name is a file name, never a path into another folder.
bool IsPlainFileName(const std::string& name)
{
    return !name.empty() && name.find('/') == std::string::npos && name.find('\\') == std::string::npos &&
           name != "." && name != "..";
}

void AddFolderTree(std::vector<std::string>& folders, const std::string& folder, int depth)
{
    folders.push_back(folder);
    if (depth >= kMaxFolderDepth)
        return;
    GFileList subs(false);
    subs.FindFolders(folder + "/*");
    for (const std::string& sub : subs.names) {
        if (sub.empty() || sub[0] == '.')
            continue;
        AddFolderTree(folders, folder + "/" + sub, depth + 1);
    }
}
} // namespace

D3DEngine& D3DEngine::Make()
{
    static D3DEngine instance;
    s_instance = &instance;
    return instance;
}

D3DEngine::~D3DEngine()
{
    // Other singletons may already be gone here: only our own resources.
    m_textures.clear();
    m_device.reset();
    if (m_drawLog)
        fclose(m_drawLog);
}

bool D3DEngine::Init(int width, int height, bool windowed)
{
    if (!m_factory)
        return false;
    LOG_DEBUG("Initialising 3D Engine");
    std::unique_ptr<IGraphicsDevice> device = m_factory(width, height, windowed);
    if (!device) {
        LOG_ERROR("CreateDevice failed again");
        return false;
    }
    return Init(std::move(device), windowed);
}

bool D3DEngine::Init(std::unique_ptr<IGraphicsDevice> device, bool windowed)
{
    if (!device)
        return false;
    if (m_device)
        Release();
    m_device = std::move(device);
    LOG_DEBUG(StrFormat("About to Create 3D Device with width: %d and height : %d", m_device->GetBackBufferWidth(),
                        m_device->GetBackBufferHeight()));
    CheckCaps();
    m_screenWidth = m_device->GetBackBufferWidth();
    m_screenHeight = m_device->GetBackBufferHeight();
    m_sceneOpen = false;
    m_windowed = windowed;
    SetDefaultRenderStates();
    LOG_DEBUG("Finished initialising 3D Engine");
    return true;
}

void D3DEngine::CheckCaps()
{
    LOG_DEBUG("Checking For Shader Support");
    m_shaders = m_device && m_device->SupportsShaders();
    LOG_DEBUG(m_shaders ? "hal_caps.PixelShaderVersion >= D3DPS_VERSION(2, 0)"
                        : "hal_caps.PixelShaderVersion < D3DPS_VERSION(2, 0)");
}

void D3DEngine::SetDefaultRenderStates()
{
    if (!m_device)
        return;
    m_device->SetAlphaTest(true);
    m_device->SetFlatColour(false);
    m_flatColour = false;
    m_device->SetTexture(0, 0);
    m_currentTexture = 0;
    m_device->SetSampler(0, TextureFilter::Linear, TextureAddress::Clamp);
    m_plainSamplerOff = false;
    m_device->SetSampler(1, TextureFilter::Linear, TextureAddress::Clamp);
    m_device->SetAlphaBlend(true);
    m_device->SetBlendMode(BlendMode::Normal);
    m_additive = 0;
}

void D3DEngine::ClearAndBeginScene(bool clear)
{
    if (!m_device) {
        LogResult("Begin Scene");
        return;
    }
    m_sceneOpen = true;
    // The flag and the device must agree, or a frame that ended additive would
    // draw the next one additive while the flag claims normal.
    m_additive = 0;
    m_device->SetBlendMode(BlendMode::Normal);
    m_clearPending = !clear;
    if (clear)
        m_device->Clear(0xFF000000u);
}

void D3DEngine::ClearPendingBackBuffer()
{
    if (!m_clearPending || !m_device)
        return;
    m_clearPending = false;
    m_device->Clear(0xFF000000u);
}

void D3DEngine::EndScene()
{
    if (m_frameTiming) {
        double now = NowMs();
        if (now > m_lastEndMs)
            m_fps = static_cast<float>(1000.0 / (now - m_lastEndMs));
        m_lastEndMs = now;
    }
    if (!m_sceneOpen)
        LogResult("End Scene");
    m_sceneOpen = false;
    m_clearPending = false;
}

void D3DEngine::Flip()
{
    if (!m_device) {
        LogResult("Flip");
        return;
    }
    if (m_screenshotPending) {
        m_screenshotPending = false;
        SaveScreenshot(m_screenshotFile);
    }
    m_device->Present();
}

void D3DEngine::RequestScreenshot(const std::string& file)
{
    m_screenshotFile = file;
    m_screenshotPending = true;
}

void D3DEngine::SetAdditiveBlend()
{
    if (m_additive == 1 || !m_device)
        return;
    if (!m_deferState)
        m_device->SetBlendMode(BlendMode::Additive);
    m_additive = 1;
}

void D3DEngine::SetPremultipliedBlend()
{
    if (m_additive == 2 || !m_device)
        return;
    if (!m_deferState)
        m_device->SetBlendMode(BlendMode::Premultiplied);
    m_additive = 2;
}

void D3DEngine::SetNormalBlend()
{
    if (m_additive == 0 || !m_device)
        return;
    if (!m_deferState)
        m_device->SetBlendMode(BlendMode::Normal);
    m_additive = 0;
}

void D3DEngine::SetFlatColour(bool on)
{
    if (!m_device)
        return;
    QuadRunBatch::BeforeDirectDraw();
    m_device->SetFlatColour(on);
    m_flatColour = on;
}

void D3DEngine::SetSampler(int stage, TextureFilter filter, TextureAddress address)
{
    if (!m_device)
        return;
    QuadRunBatch::BeforeDirectDraw();
    m_device->SetSampler(stage, filter, address);
    if (stage == 0)
        m_plainSamplerOff = filter != TextureFilter::Linear || address != TextureAddress::Clamp;
}

void D3DEngine::UseEffect(EffectHandle effect)
{
    if (!m_device)
        return;
    QuadRunBatch::BeforeDirectDraw();
    m_device->SetEffect(effect);
    m_effect = effect;
}

void D3DEngine::SetDeferStateChanges(bool on)
{
    m_deferState = on;
    if (!on)
        ApplyState();
}

void D3DEngine::ApplyState()
{
    // The device skips what it already has.
    if (!m_device)
        return;
    m_device->SetTexture(0, m_currentTexture);
    m_device->SetBlendMode(m_additive == 2   ? BlendMode::Premultiplied
                           : m_additive == 1 ? BlendMode::Additive
                                             : BlendMode::Normal);
}

void D3DEngine::SetTexture(TextureHandle texture)
{
    if (!m_device || texture == m_currentTexture)
        return;
    if (!m_deferState)
        m_device->SetTexture(0, texture);
    m_currentTexture = texture;
}

void D3DEngine::SetTextureByName(const std::string& name)
{
    TextureHandle t = FindTexture(name);
    if (!t)
        LOG_ERROR_ONCE(StrFormat("Failed to locate texture: %s", name.c_str()));
    SetTexture(t);
}

void D3DEngine::SetViewport(int left, int top, int right, int bottom)
{
    if (!m_device)
        return;
    QuadRunBatch::BeforeDirectDraw();
    m_device->SetViewport(left, top, right, bottom);
}

void D3DEngine::DrawUntextured(PrimitiveType type, const ScreenVertex* v, size_t count)
{
    if (!m_device)
        return;
    QuadRunBatch& batch = QuadRunBatch::Shared();
    // Filled rectangles and outlines join the interface's runs.
    if (batch.TakesDirectQuads() && IsPlainState()) {
        if (type == PrimitiveType::TriangleStrip && count == 4) {
            batch.Add(0, IsAdditive(), v);
            return;
        }
        if (type == PrimitiveType::LineList) {
            for (size_t i = 0; i + 2 <= count; i += 2)
                batch.AddLine(IsAdditive(), v + i);
            return;
        }
    }
    SetTexture(0);
    DrawPrimitives(type, v, count);
}

void D3DEngine::FillQuads(const ScreenVertex* quads, size_t count)
{
    if (!m_device || count < 4)
        return;
    QuadRunBatch& batch = QuadRunBatch::Shared();
    if (batch.TakesDirectQuads() && IsPlainState()) {
        batch.AddFilled(IsAdditive(), quads, count);
        return;
    }
    SetTexture(0);
    QuadRunBatch::BeforeDirectDraw();
    m_device->DrawQuads(quads, count - count % 4);
}

void D3DEngine::DrawPrimitives(PrimitiveType type, const ScreenVertex* vertices, size_t count)
{
    if (!m_device)
        return;
    QuadRunBatch::BeforeDirectDraw();
    m_device->DrawPrimitives(type, vertices, count);
}

void D3DEngine::FillRect(const GRect& rect, uint32_t colour)
{
    float l = static_cast<float>(rect.left) - 0.5f, t = static_cast<float>(rect.top) - 0.5f;
    float r = static_cast<float>(rect.right) - 0.5f, b = static_cast<float>(rect.bottom) - 0.5f;
    const ScreenVertex v[4] = {MakeVertex(l, t, colour), MakeVertex(r, t, colour), MakeVertex(l, b, colour),
                               MakeVertex(r, b, colour)};
    DrawUntextured(PrimitiveType::TriangleStrip, v, 4);
}

void D3DEngine::DrawRectFrame(const GRect& rect, uint32_t colour)
{
    float l = static_cast<float>(rect.left) - 0.5f, t = static_cast<float>(rect.top) - 0.5f;
    float r = static_cast<float>(rect.right) - 0.5f, b = static_cast<float>(rect.bottom) - 0.5f;
    const ScreenVertex v[8] = {MakeVertex(l, t, colour), MakeVertex(r, t, colour), MakeVertex(r, t, colour),
                               MakeVertex(r, b, colour), MakeVertex(r, b, colour), MakeVertex(l, b, colour),
                               MakeVertex(l, b, colour), MakeVertex(l, t, colour)};
    DrawUntextured(PrimitiveType::LineList, v, 8);
}

void D3DEngine::DrawLine(float x1, float y1, float x2, float y2, uint32_t colour)
{
    const ScreenVertex v[2] = {MakeVertex(x1, y1, colour), MakeVertex(x2, y2, colour)};
    DrawUntextured(PrimitiveType::LineList, v, 2);
}

void D3DEngine::DrawThickLine(float x1, float y1, float x2, float y2, float width, uint32_t colour)
{
    float dx = x2 - x1, dy = y2 - y1;
    float len = std::sqrt(dx * dx + dy * dy);
    if (!(len > 0.0f) || !(width > 0.0f))
        return; // no direction to widen along
    float nx = -dy / len * width * 0.5f, ny = dx / len * width * 0.5f;
    const ScreenVertex v[4] = {MakeVertex(x1 + nx, y1 + ny, colour), MakeVertex(x1 - nx, y1 - ny, colour),
                               MakeVertex(x2 + nx, y2 + ny, colour), MakeVertex(x2 - nx, y2 - ny, colour)};
    DrawUntextured(PrimitiveType::TriangleStrip, v, 4);
}

void D3DEngine::ReleaseResources()
{
    TextureAtlas::Shared().Release();
    m_textures.clear();
    ForgetTexturedSprites();
    SmartTexture::InvalidateAll();
    GVertexBuffer::ReleaseAll();
    Effect::ReleaseAll();
    m_effect = 0;
    m_currentTexture = 0;
}

bool D3DEngine::Restore()
{
    ReleaseResources();
    LOG_DEBUG("D3DEngine Restore called");
    if (!m_device) {
        LogResult("Restore");
        return false;
    }
    m_device->SetRenderTarget(0);
    m_renderTarget = 0;
    m_screenWidth = m_device->GetBackBufferWidth();
    m_screenHeight = m_device->GetBackBufferHeight();
    m_sceneOpen = false;
    LOG_DEBUG("D3DEngine Restore worked ok");
    SetDefaultRenderStates();
    // The atlas's pages went with every other texture: its pictures load again now.
    TextureAtlas::Shared().Rebuild();
    return true;
}

void D3DEngine::Release()
{
    LOG_DEBUG("releasing D3D engine");
    ReleaseResources();
    TextureAtlas::Shared().Clear();
    m_device.reset();
    m_sceneOpen = false;
    m_screenshotPending = false;
    // The next start may log to another folder: the draw log follows it there.
    if (m_drawLog) {
        fclose(m_drawLog);
        m_drawLog = nullptr;
    }
    m_drawLogRefused = false;
    LOG_DEBUG("D3D released");
}

void D3DEngine::LogResult(const std::string& context)
{
    std::string reason = m_device ? m_device->GetLastError() : std::string("no graphics device");
    LOG_ERROR_ONCE(reason.empty() ? context : context + ": " + reason);
}

void D3DEngine::DrawLog(const std::string& text)
{
    if (!m_drawLog && !m_drawLogRefused) {
        std::string folder = GDebugLog::GetInstance().GetFolder();
        if (!folder.empty()) {
            std::error_code ec;
            std::filesystem::create_directories(folder + "/debug", ec);
            m_drawLog = OpenLogFile(folder + "/debug/drawdebug.txt", false, &m_drawLogRefused);
        }
    }
    if (m_drawLog) {
        fprintf(m_drawLog, "%s\n", EscapeControlCharacters(text).c_str());
        fflush(m_drawLog);
    }
    LOG_DEBUG(text);
}

void D3DEngine::EnumDisplayModes()
{
    m_displayModes.clear();
    if (m_modeProvider)
        m_displayModes = m_modeProvider();
}

void D3DEngine::LoadTextureFolder(const std::string& folder)
{
    AddFolderTree(m_folders, folder, 0);
}

GTexture9* D3DEngine::FindLoaded(const std::string& name) const
{
    for (const auto& t : m_textures)
        if (t->GetName() == name)
            return t.get();
    return nullptr;
}

TextureHandle D3DEngine::FindTexture(const std::string& name)
{
    if (GTexture9* t = FindLoaded(name))
        return t->GetHandle();
    // Without a device (a headless battle, a tool) nothing is drawn, so a
    // texture is neither loaded nor missed.
    if (!m_device)
        return 0;
    if (!LoadTextureByName(name))
        return 0;
    GTexture9* t = FindLoaded(name);
    return t ? t->GetHandle() : 0;
}

bool D3DEngine::LoadTextureByName(const std::string& name)
{
    if (name.empty()) {
        LOG_ERROR("Attempt to create blank texture");
        return false;
    }
    for (const std::string& folder : m_folders)
        if (FindFileInFolder(folder, name))
            return true;
    LOG_ERROR(StrFormat("Failed to create texture: %s ", name.c_str()));
    return false;
}

bool D3DEngine::FindFileInFolder(const std::string& folder, const std::string& name)
{
    if (!IsPlainFileName(name))
        return false;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(folder + "/" + name, ec))
        return false;
    LoadTextureFile(folder, name);
    return true;
}

bool D3DEngine::ReadTextureFile(const std::string& path, TextureData& data, std::string* error) const
{
    return LowerExtension(path) == ".dds"
               ? ReadDdsFile(path, data, error)
               : ReadImageFile(path, data, error, m_device ? m_device->GetMaxTextureSide() : kMaxImageSide);
}

bool D3DEngine::ReadTextureData(const std::string& name, TextureData& data) const
{
    // The same search as loading by name, so the file read is the one loaded.
    if (!IsPlainFileName(name))
        return false;
    for (const std::string& folder : m_folders) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(folder + "/" + name, ec))
            return ReadTextureFile(folder + "/" + name, data, nullptr);
    }
    return false;
}

std::vector<std::string> D3DEngine::GetLoadedTextureNames() const
{
    std::vector<std::string> names;
    for (const auto& t : m_textures)
        if (!t->IsRenderTarget())
            names.push_back(t->GetName());
    return names;
}

bool D3DEngine::LoadTextureFile(const std::string& folder, const std::string& name)
{
    std::string path = folder + "/" + name;
    TextureData data;
    std::string error;
    bool read = ReadTextureFile(path, data, &error);
    TextureHandle handle = (read && m_device) ? m_device->CreateTexture(data) : 0;
    if (!handle) {
        if (error.empty() && m_device)
            error = m_device->GetLastError();
        // The error line keeps its fixed form; the reason goes to the debug log.
        LOG_ERROR(StrFormat("Error creating texture:[%s]", path.c_str()));
        LOG_DEBUG(error);
        return false;
    }
    m_textures.push_back(std::make_unique<GTexture9>(m_device.get(), handle, name, false));
    // Compressed pictures would have to be decoded: they count as neither
    // opaque nor trimmable.
    m_textures.back()->SetOpaque(VisibleBoxes::Shared().Note(handle, data).opaque);
    return true;
}

bool D3DEngine::IsTextureOpaque(const std::string& name) const
{
    const GTexture9* t = FindLoaded(name);
    return t && t->IsOpaque();
}

bool D3DEngine::GetTextureSize(const std::string& name, int& width, int& height)
{
    GTexture9* t = FindLoaded(name);
    if (!t)
        return false;
    width = t->GetWidth();
    height = t->GetHeight();
    return true;
}

TextureHandle D3DEngine::CreateRenderTarget(int width, int height, const std::string& name)
{
    LOG_DEBUG(StrFormat("Initialising Render target of %d X %d %s", width, height, name.c_str()));
    if (!m_device || width <= 0 || height <= 0) {
        LOG_ERROR(StrFormat("Error creating texture:[%s]", name.c_str()));
        return 0;
    }
    // Re-creating a target under its name replaces it, so lookups never find the old one.
    for (auto it = m_textures.begin(); it != m_textures.end(); ++it) {
        if ((*it)->GetName() == name) {
            TextureHandle old = (*it)->GetHandle();
            m_textures.erase(it);
            SmartTexture::ForgetHandleEverywhere(old);
            CTexturedSprite::ForgetHandleEverywhere(old);
            if (m_currentTexture == old)
                m_currentTexture = 0;
            break;
        }
    }
    TextureHandle handle = m_device->CreateRenderTarget(width, height);
    if (!handle) {
        LOG_ERROR(StrFormat("Error creating texture:[%s]", name.c_str()));
        LOG_DEBUG(m_device->GetLastError());
        return 0;
    }
    m_textures.push_back(std::make_unique<GTexture9>(m_device.get(), handle, name, true));
    return handle;
}

TextureHandle D3DEngine::FindRenderTarget(const std::string& name) const
{
    GTexture9* t = FindLoaded(name);
    return (t && t->IsRenderTarget()) ? t->GetHandle() : 0;
}

bool D3DEngine::SetRenderTarget(const std::string& name)
{
    if (!m_device)
        return false;
    TextureHandle target = 0;
    if (!name.empty()) {
        target = FindRenderTarget(name);
        if (!target) {
            LOG_ERROR_ONCE(StrFormat("Failed to locate texture: %s", name.c_str()));
            return false;
        }
    }
    return SetRenderTargetHandle(target);
}

bool D3DEngine::SetRenderTargetHandle(TextureHandle target)
{
    if (!m_device)
        return false;
    QuadRunBatch::BeforeDirectDraw();
    if (!m_device->SetRenderTarget(target))
        return false;
    m_renderTarget = target;
    return true;
}

bool D3DEngine::SaveTextureToFile(const std::string& file, const GRect* sourceRect)
{
    GTexture9* t = FindLoaded(kScreenshotSource);
    if (!t || !t->IsRenderTarget() || !m_device) {
        LOG_ERROR("Failed to find image texture for saving");
        return false;
    }
    QuadRunBatch::BeforeDirectDraw();
    GRect r{0, 0, t->GetWidth(), t->GetHeight()};
    if (sourceRect) {
        r.left = std::clamp(sourceRect->left, 0, t->GetWidth());
        r.top = std::clamp(sourceRect->top, 0, t->GetHeight());
        r.right = std::clamp(sourceRect->right, r.left, t->GetWidth());
        r.bottom = std::clamp(sourceRect->bottom, r.top, t->GetHeight());
    }
    std::vector<uint8_t> rgba;
    std::string bytes;
    bool encoded = r.Width() > 0 && r.Height() > 0 &&
                   m_device->ReadPixels(t->GetHandle(), r.left, r.top, r.Width(), r.Height(), rgba) &&
                   EncodeImage(ImageFileType::Jpeg, r.Width(), r.Height(), rgba, bytes, 90);
    if (!encoded || !WriteFileAtomically(file, bytes)) {
        LOG_ERROR("Error saving image");
        return false;
    }
    return true;
}

bool D3DEngine::SaveScreenshot(const std::string& file)
{
    QuadRunBatch::BeforeDirectDraw();
    std::vector<uint8_t> rgba;
    int w = m_device ? m_device->GetBackBufferWidth() : 0;
    int h = m_device ? m_device->GetBackBufferHeight() : 0;
    if (!m_device || !m_device->ReadPixels(0, 0, 0, w, h, rgba)) {
        LOG_ERROR("Error getting backbuffer");
        return false;
    }
    std::string bytes;
    if (!EncodeImage(ImageFileType::Bmp, w, h, rgba, bytes) || !WriteFileAtomically(file, bytes)) {
        LOG_ERROR("Error saving screenshot");
        return false;
    }
    return true;
}

void D3DEngine::RefreshSmartTextures()
{
    SmartTexture::RefreshAll();
}

void D3DEngine::ForgetTexturedSprites()
{
    LOG_DEBUG("forgetting textured sprites");
    CTexturedSprite::ForgetAll();
}

void D3DEngine::RefreshTexturedSprites()
{
    LOG_DEBUG("refreshing textured sprites");
    CTexturedSprite::RefreshAll();
}
