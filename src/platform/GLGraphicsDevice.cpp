#include "platform/GLGraphicsDevice.h"

#include "platform/DdsImage.h"
#include "platform/FillMeter.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

enum Attribute : GLuint { kPosition = 0, kColour = 1, kUV0 = 2, kUV1 = 3 };

constexpr size_t kInitialStreamBytes = 1024 * 1024;
// A frame that outgrows its buffer doubles it, up to this; past it (many
// draws with no present, as when images are made at load) the buffer is
// orphaned instead, so that memory stays bounded.
constexpr size_t kMaxStreamBytes = 16 * 1024 * 1024;
constexpr size_t kQuadsPerIndexedDraw = 16384; // 65536 vertices: the 16-bit index limit
constexpr std::streamoff kMaxShaderFileBytes = 1024 * 1024;

const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec4 aPosition;
layout(location = 1) in vec4 aColour;
layout(location = 2) in vec2 aUV0;
layout(location = 3) in vec2 aUV1;
uniform vec2 uTargetSize;
uniform float uFlipY;
out vec4 vColour;
out vec2 vUV0;
out vec2 vUV1;
flat out float vAdds;
void main()
{
    // Our pixel centres lie on whole numbers, GL's on halves.
    vec2 ndc = (aPosition.xy + 0.5) / uTargetSize * 2.0 - 1.0;
    gl_Position = vec4(ndc.x, ndc.y * uFlipY, 0.0, 1.0);
    vColour = aColour;
    vUV0 = aUV0;
    vUV1 = aUV1;
    vAdds = aPosition.z >= 0.5 ? 1.0 : 0.0;
}
)";

const char* kFragmentShader = R"(#version 330 core
in vec4 vColour;
in vec2 vUV0;
in vec2 vUV1;
flat in float vAdds;
uniform sampler2D uTex0;
uniform int uUseTexture;
uniform int uAlphaTest;
uniform int uFlatColour;
uniform int uPremultiply;
layout(location = 0, index = 0) out vec4 fragColour;
layout(location = 0, index = 1) out vec4 fragWeight;
void main()
{
    vec4 c = vColour;
    if (uUseTexture != 0) {
        vec4 t = texture(uTex0, vUV0);
        c *= uFlatColour != 0 ? vec4(1.0, 1.0, 1.0, t.a) : t;
    }
    // Alpha test "greater than zero" on 8-bit alpha.
    if (uAlphaTest != 0 && c.a < 0.5 / 255.0)
        discard;
    fragColour = c;
    fragWeight = vec4(0.0);
    if (uPremultiply != 0) {
        // Blended as (one, one minus the second output's alpha): the colour
        // and alpha the normal and additive blends would have added, and how
        // much of the target stays (all of it under an additive quad).
        fragColour = vec4(c.rgb * c.a, c.a * c.a);
        fragWeight = vec4(0.0, 0.0, 0.0, vAdds != 0.0 ? 0.0 : c.a);
    }
}
)";

bool ReadShaderFile(const std::string& path, std::string& out)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return false;
    std::streamoff size = in.tellg();
    if (size <= 0 || size > kMaxShaderFileBytes)
        return false;
    out.resize(size_t(size));
    in.seekg(0);
    return bool(in.read(out.data(), size));
}

GLuint Compile(GLenum stage, const std::string& source, std::string& error)
{
    GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok)
        return shader;
    char log[1024] = {};
    glGetShaderInfoLog(shader, sizeof(log) - 1, nullptr, log);
    error = std::string(stage == GL_VERTEX_SHADER ? "vertex" : "fragment") + " shader: " + log;
    glDeleteShader(shader);
    return 0;
}

GLenum GLPrimitive(PrimitiveType type)
{
    switch (type) {
    case PrimitiveType::TriangleList: return GL_TRIANGLES;
    case PrimitiveType::TriangleStrip: return GL_TRIANGLE_STRIP;
    case PrimitiveType::LineList: return GL_LINES;
    }
    return GL_TRIANGLES;
}

PrimitiveType PrimitiveFor(GLenum mode)
{
    return mode == GL_TRIANGLE_STRIP ? PrimitiveType::TriangleStrip
                                     : mode == GL_LINES ? PrimitiveType::LineList : PrimitiveType::TriangleList;
}

size_t UsableVertices(PrimitiveType type, size_t count)
{
    switch (type) {
    case PrimitiveType::TriangleList: return count - count % 3;
    case PrimitiveType::TriangleStrip: return count >= 3 ? count : 0;
    case PrimitiveType::LineList: return count - count % 2;
    }
    return 0;
}

GLenum CompressedFormat(PixelFormat format)
{
    switch (format) {
    case PixelFormat::DXT1: return GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
    case PixelFormat::DXT3: return GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
    case PixelFormat::DXT5: return GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
    case PixelFormat::BGRA8: break;
    }
    return 0;
}

void ClearGLErrors()
{
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

} // namespace

std::unique_ptr<GLGraphicsDevice> GLGraphicsDevice::Create(int width, int height, std::string* error)
{
    return Create(width, height, Options{}, error);
}

std::unique_ptr<GLGraphicsDevice> GLGraphicsDevice::Create(int width, int height, const Options& options,
                                                           std::string* error)
{
    if (width <= 0 || height <= 0) {
        if (error)
            *error = "bad back buffer size";
        return nullptr;
    }
    std::unique_ptr<GLGraphicsDevice> device(new GLGraphicsDevice(width, height));
    if (!device->Init(options, error))
        return nullptr;
    return device;
}

GLGraphicsDevice::GLGraphicsDevice(int width, int height) : m_width(width), m_height(height)
{
    m_cache.Reset();
}

bool GLGraphicsDevice::Init(const Options& options, std::string* error)
{
    if (epoxy_gl_version() < 33) {
        if (error)
            *error = "OpenGL 3.3 is needed, the context offers " + std::to_string(epoxy_gl_version());
        return false;
    }
    ClearGLErrors();
    if (!BuildProgram(kVertexShader, kFragmentShader, m_fixed)) {
        if (error)
            *error = m_lastError;
        return false;
    }
    m_compressedUpload = options.compressedUpload && epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc");

    glGenVertexArrays(1, &m_vao);
    glBindVertexArray(m_vao);
    glGenBuffers(kStreamBuffers, m_vbos);
    for (int i = 0; i < kStreamBuffers; ++i) {
        glBindBuffer(GL_ARRAY_BUFFER, m_vbos[i]);
        m_vboCapacities[i] = kInitialStreamBytes;
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(kInitialStreamBytes), nullptr, GL_STREAM_DRAW);
    }

    // Quad corners come top-left, top-right, bottom-left, bottom-right.
    std::vector<uint16_t> indices(kQuadsPerIndexedDraw * 6);
    for (size_t q = 0; q < kQuadsPerIndexedDraw; ++q) {
        uint16_t v = uint16_t(q * 4);
        uint16_t* i = &indices[q * 6];
        i[0] = v;
        i[1] = uint16_t(v + 1);
        i[2] = uint16_t(v + 2);
        i[3] = uint16_t(v + 2);
        i[4] = uint16_t(v + 1);
        i[5] = uint16_t(v + 3);
    }
    glGenBuffers(1, &m_quadIndices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_quadIndices);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * 2), indices.data(), GL_STATIC_DRAW);

    glGenSamplers(GraphicsStateCache::kStages, m_samplers);
    for (int s = 0; s < GraphicsStateCache::kStages; ++s) {
        glBindSampler(GLuint(s), m_samplers[s]);
        ApplySampler(s);
    }

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_SCISSOR_TEST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glUseProgram(m_fixed.id);
    SetViewport(0, 0, m_width, m_height);

    if (GLenum e = glGetError(); e != GL_NO_ERROR) {
        m_lastError = "OpenGL error " + std::to_string(e) + " while starting the device";
        if (error)
            *error = m_lastError;
        return false;
    }
    return true;
}

GLGraphicsDevice::~GLGraphicsDevice()
{
    for (auto& [handle, t] : m_textures) {
        glDeleteFramebuffers(1, &t.fbo);
        glDeleteTextures(1, &t.tex);
    }
    for (auto& [handle, p] : m_effects)
        glDeleteProgram(p.id);
    glDeleteProgram(m_fixed.id);
    glDeleteSamplers(GraphicsStateCache::kStages, m_samplers);
    glDeleteBuffers(1, &m_quadIndices);
    for (void*& fence : m_fences)
        if (fence)
            glDeleteSync(static_cast<GLsync>(fence));
    glDeleteBuffers(kStreamBuffers, m_vbos);
    glDeleteVertexArrays(1, &m_vao);
}

int GLGraphicsDevice::GetMaxTextureSide() const
{
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side > 0 ? std::min<int>(side, kMaxTextureSide) : kMaxTextureSide;
}

std::string GLGraphicsDevice::GetRendererName() const
{
    const GLubyte* name = glGetString(GL_RENDERER);
    return name ? reinterpret_cast<const char*>(name) : "";
}

bool GLGraphicsDevice::BuildProgram(const std::string& vertex, const std::string& fragment, Program& out)
{
    std::string error;
    GLuint vs = Compile(GL_VERTEX_SHADER, vertex, error);
    GLuint fs = vs ? Compile(GL_FRAGMENT_SHADER, fragment, error) : 0;
    if (!vs || !fs) {
        glDeleteShader(vs);
        m_lastError = error;
        return false;
    }
    GLuint prog = glCreateProgram();
    glAttachShader(prog, vs);
    glAttachShader(prog, fs);
    // Effect vertex stages need not give locations themselves.
    glBindAttribLocation(prog, kPosition, "aPosition");
    glBindAttribLocation(prog, kColour, "aColour");
    glBindAttribLocation(prog, kUV0, "aUV0");
    glBindAttribLocation(prog, kUV1, "aUV1");
    glLinkProgram(prog);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(prog, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetProgramInfoLog(prog, sizeof(log) - 1, nullptr, log);
        m_lastError = std::string("link: ") + log;
        glDeleteProgram(prog);
        return false;
    }
    out = Program{};
    out.id = prog;
    out.targetSize = glGetUniformLocation(prog, "uTargetSize");
    out.flipY = glGetUniformLocation(prog, "uFlipY");
    out.tex0 = glGetUniformLocation(prog, "uTex0");
    out.tex1 = glGetUniformLocation(prog, "uTex1");
    out.useTexture = glGetUniformLocation(prog, "uUseTexture");
    out.alphaTest = glGetUniformLocation(prog, "uAlphaTest");
    out.flatColour = glGetUniformLocation(prog, "uFlatColour");
    out.premultiply = glGetUniformLocation(prog, "uPremultiply");
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    glUseProgram(prog);
    if (out.tex0 >= 0)
        glUniform1i(out.tex0, 0);
    if (out.tex1 >= 0)
        glUniform1i(out.tex1, 1);
    glUseProgram(GLuint(current));
    return true;
}

const GLGraphicsDevice::Texture* GLGraphicsDevice::FindTexture(TextureHandle texture) const
{
    auto it = m_textures.find(texture);
    return it == m_textures.end() ? nullptr : &it->second;
}

bool GLGraphicsDevice::TargetSize(TextureHandle target, int& width, int& height) const
{
    if (target == 0) {
        width = m_width;
        height = m_height;
        return true;
    }
    const Texture* t = FindTexture(target);
    if (!t || !t->renderTarget)
        return false;
    width = t->width;
    height = t->height;
    return true;
}

void GLGraphicsDevice::ResizeBackBuffer(int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    m_cache.Touched(0);
    m_width = width;
    m_height = height;
    if (m_cache.Target() == 0)
        SetViewport(0, 0, width, height);
}

void GLGraphicsDevice::UploadLevel(const TextureData& data, int level, int width, int height)
{
    const std::vector<uint8_t>& bytes = data.levels[size_t(level)];
    if (data.format == PixelFormat::BGRA8) {
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, bytes.data());
    } else if (m_compressedUpload) {
        glCompressedTexImage2D(GL_TEXTURE_2D, level, CompressedFormat(data.format), width, height, 0,
                               GLsizei(bytes.size()), bytes.data());
    } else {
        std::vector<uint8_t> rgba;
        DecodeToRGBA(data, level, rgba);
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    }
}

TextureHandle GLGraphicsDevice::CreateTexture(const TextureData& data)
{
    if (!ValidateTextureData(data, &m_lastError))
        return 0;
    ClearGLErrors();
    Texture t;
    t.width = data.width;
    t.height = data.height;
    glGenTextures(1, &t.tex);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, t.tex);
    // Only the levels the file holds: the sampler's mip filter needs a complete chain.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(data.levels.size()) - 1);
    int w = data.width, h = data.height;
    for (size_t level = 0; level < data.levels.size(); ++level) {
        UploadLevel(data, int(level), w, h);
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
    }
    GLenum e = glGetError();
    TextureHandle bound = m_cache.Texture(0);
    glBindTexture(GL_TEXTURE_2D, bound ? FindTexture(bound)->tex : 0);
    if (e != GL_NO_ERROR) {
        m_lastError = "texture upload failed with OpenGL error " + std::to_string(e);
        glDeleteTextures(1, &t.tex);
        return 0;
    }
    TextureHandle handle = m_nextTexture++;
    m_textures[handle] = t;
    ++m_cache.Stats().texturesCreated;
    return handle;
}

TextureHandle GLGraphicsDevice::CreateRenderTarget(int width, int height)
{
    if (width <= 0 || height <= 0 || width > kMaxTextureSide || height > kMaxTextureSide) {
        m_lastError = "bad render target size " + std::to_string(width) + "x" + std::to_string(height);
        return 0;
    }
    ClearGLErrors();
    Texture t;
    t.width = width;
    t.height = height;
    t.renderTarget = true;
    glGenTextures(1, &t.tex);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, t.tex);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    TextureHandle bound = m_cache.Texture(0);
    glBindTexture(GL_TEXTURE_2D, bound ? FindTexture(bound)->tex : 0);

    glGenFramebuffers(1, &t.fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, t.fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t.tex, 0);
    bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (complete) {
        // A new target starts transparent black rather than with stale memory.
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
    }
    const Texture* current = FindTexture(m_cache.Target());
    glBindFramebuffer(GL_FRAMEBUFFER, current ? current->fbo : 0);
    GLenum e = glGetError();
    if (!complete || e != GL_NO_ERROR) {
        m_lastError = "render target creation failed";
        glDeleteFramebuffers(1, &t.fbo);
        glDeleteTextures(1, &t.tex);
        return 0;
    }
    TextureHandle handle = m_nextTexture++;
    m_textures[handle] = t;
    ++m_cache.Stats().texturesCreated;
    return handle;
}

void GLGraphicsDevice::DestroyTexture(TextureHandle texture)
{
    auto it = m_textures.find(texture);
    if (it == m_textures.end())
        return;
    if (m_cache.Target() == texture)
        SetRenderTarget(0);
    for (int s = 0; s < GraphicsStateCache::kStages; ++s)
        if (m_cache.Texture(s) == texture)
            SetTexture(s, 0);
    m_cache.Forget(texture);
    glDeleteFramebuffers(1, &it->second.fbo);
    glDeleteTextures(1, &it->second.tex);
    m_textures.erase(it);
    ++m_cache.Stats().texturesDestroyed;
}

bool GLGraphicsDevice::GetTextureSize(TextureHandle texture, int& width, int& height) const
{
    const Texture* t = FindTexture(texture);
    if (!t)
        return false;
    width = t->width;
    height = t->height;
    return true;
}

void GLGraphicsDevice::Clear(uint32_t argb)
{
    int w = 0, h = 0;
    TargetSize(m_cache.Target(), w, h);
    const FillMeter::Clip clip = FillMeter::ClipOf(m_viewport, w, h);
    if (!m_cache.CountClear(argb, clip))
        return;
    glClearColor(float((argb >> 16) & 0xFF) / 255.0f, float((argb >> 8) & 0xFF) / 255.0f,
                 float(argb & 0xFF) / 255.0f, float(argb >> 24) / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT); // within the viewport, through the scissor
    QueueFill(clip.Area());
}

void GLGraphicsDevice::Present()
{
    m_cache.Touched(0);
    ++m_cache.Stats().presents;
    m_queuedPixels = 0.0; // the present hands everything over
    if (m_present)
        m_present();
    AdvanceStreamBuffer();
}

void GLGraphicsDevice::AdvanceStreamBuffer()
{
    m_fences[m_stream] = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    m_stream = (m_stream + 1) % kStreamBuffers;
    m_vboOffset = 0;
    if (GLsync fence = static_cast<GLsync>(m_fences[m_stream])) {
        // Drawn frames ago: almost always done. A second at most, so that a
        // lost context cannot hang the game.
        glClientWaitSync(fence, GL_SYNC_FLUSH_COMMANDS_BIT, 1000000000ull);
        glDeleteSync(fence);
        m_fences[m_stream] = nullptr;
    }
}

bool GLGraphicsDevice::SetRenderTarget(TextureHandle target)
{
    int w = 0, h = 0;
    if (!TargetSize(target, w, h)) {
        m_lastError = "not a render target: " + std::to_string(target);
        return false;
    }
    if (!m_cache.SetRenderTarget(target))
        return true;
    const Texture* t = FindTexture(target);
    glBindFramebuffer(GL_FRAMEBUFFER, t ? t->fbo : 0);
    m_queuedPixels = 0.0; // so does a switch
    SetViewport(0, 0, w, h);
    return true;
}

void GLGraphicsDevice::SetViewport(int left, int top, int right, int bottom)
{
    m_viewport[0] = left;
    m_viewport[1] = top;
    m_viewport[2] = std::max(left, right);
    m_viewport[3] = std::max(top, bottom);
    ApplyViewport();
}

void GLGraphicsDevice::ApplyViewport()
{
    int tw = 0, th = 0;
    TargetSize(m_cache.Target(), tw, th);
    // Positions map to the whole target; the game's viewport only clips.
    glViewport(0, 0, tw, th);
    int w = m_viewport[2] - m_viewport[0], h = m_viewport[3] - m_viewport[1];
    int y = m_cache.Target() == 0 ? th - m_viewport[3] : m_viewport[1];
    glScissor(m_viewport[0], y, w, h);
}

void GLGraphicsDevice::SetTexture(int stage, TextureHandle texture)
{
    const Texture* t = FindTexture(texture);
    if (!t)
        texture = 0; // a stale handle binds nothing
    if (!m_cache.SetTexture(stage, texture))
        return;
    glActiveTexture(GLenum(GL_TEXTURE0 + stage));
    glBindTexture(GL_TEXTURE_2D, t ? t->tex : 0);
    glActiveTexture(GL_TEXTURE0);
}

void GLGraphicsDevice::SetBlendMode(BlendMode mode)
{
    if (!m_cache.SetBlendMode(mode))
        return;
    if (mode == BlendMode::Premultiplied)
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC1_ALPHA);
    else
        glBlendFunc(GL_SRC_ALPHA, mode == BlendMode::Additive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
}

void GLGraphicsDevice::SetAlphaBlend(bool on)
{
    if (m_cache.SetAlphaBlend(on))
        on ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
}

void GLGraphicsDevice::SetFlatColour(bool on)
{
    m_cache.SetFlatColour(on); // a shader uniform, applied at the next draw
}

void GLGraphicsDevice::SetAlphaTest(bool on)
{
    m_cache.SetAlphaTest(on); // a shader uniform, applied at the next draw
}

void GLGraphicsDevice::SetSampler(int stage, TextureFilter filter, TextureAddress address)
{
    if (m_cache.SetSampler(stage, {filter, address}))
        ApplySampler(stage);
}

void GLGraphicsDevice::ApplySampler(int stage)
{
    GraphicsStateCache::Sampler s = m_cache.SamplerState(stage);
    GLuint id = m_samplers[stage];
    bool linear = s.filter == TextureFilter::Linear;
    glSamplerParameteri(id, GL_TEXTURE_MIN_FILTER, linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR);
    glSamplerParameteri(id, GL_TEXTURE_MAG_FILTER, linear ? GL_LINEAR : GL_NEAREST);
    GLint wrap = s.address == TextureAddress::Wrap ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glSamplerParameteri(id, GL_TEXTURE_WRAP_S, wrap);
    glSamplerParameteri(id, GL_TEXTURE_WRAP_T, wrap);
}

void GLGraphicsDevice::UseCurrentProgram()
{
    auto it = m_effects.find(m_cache.Effect());
    const Program& p = it == m_effects.end() ? m_fixed : it->second;
    glUseProgram(p.id);
    int tw = 0, th = 0;
    TargetSize(m_cache.Target(), tw, th);
    if (p.targetSize >= 0)
        glUniform2f(p.targetSize, float(tw), float(th));
    if (p.flipY >= 0) // the back buffer's rows run bottom-up, render targets' top-down
        glUniform1f(p.flipY, m_cache.Target() == 0 ? -1.0f : 1.0f);
    if (p.useTexture >= 0)
        glUniform1i(p.useTexture, m_cache.Texture(0) != 0 ? 1 : 0);
    if (p.alphaTest >= 0)
        glUniform1i(p.alphaTest, m_cache.AlphaTest() ? 1 : 0);
    if (p.flatColour >= 0)
        glUniform1i(p.flatColour, m_cache.FlatColour() ? 1 : 0);
    if (p.premultiply >= 0) // with blending off a quad writes its plain colour
        glUniform1i(p.premultiply, m_cache.Blend() == BlendMode::Premultiplied && m_cache.AlphaBlend() ? 1 : 0);
}

void GLGraphicsDevice::SetVertexLayout(size_t stride, size_t offset, bool twoTextures)
{
    auto at = [offset](size_t field) { return reinterpret_cast<const void*>(offset + field); };
    GLsizei s = GLsizei(stride);
    glEnableVertexAttribArray(kPosition);
    glVertexAttribPointer(kPosition, 4, GL_FLOAT, GL_FALSE, s, at(0));
    glEnableVertexAttribArray(kColour);
    glVertexAttribPointer(kColour, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, s, at(16));
    glEnableVertexAttribArray(kUV0);
    glVertexAttribPointer(kUV0, 2, GL_FLOAT, GL_FALSE, s, at(20));
    if (twoTextures) {
        glEnableVertexAttribArray(kUV1);
        glVertexAttribPointer(kUV1, 2, GL_FLOAT, GL_FALSE, s, at(28));
    } else {
        glDisableVertexAttribArray(kUV1);
        glVertexAttrib2f(kUV1, 0.0f, 0.0f);
    }
}

void GLGraphicsDevice::Draw(GLenum mode, const void* vertices, size_t stride, size_t count, bool twoTextures,
                            bool quads)
{
    size_t bytes = count * stride;
    glBindVertexArray(m_vao);
    glBindBuffer(GL_ARRAY_BUFFER, m_vbos[m_stream]);
    size_t& capacity = m_vboCapacities[m_stream];
    if (m_vboOffset + bytes > capacity) {
        // New storage: the draws already made from the old keep theirs.
        if (bytes > capacity || capacity < kMaxStreamBytes)
            capacity = std::max(bytes, std::min(capacity * 2, kMaxStreamBytes));
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(capacity), nullptr, GL_STREAM_DRAW);
        m_vboOffset = 0;
    }
    size_t offset = m_vboOffset;
    glBufferSubData(GL_ARRAY_BUFFER, GLintptr(offset), GLsizeiptr(bytes), vertices);
    m_vboOffset = (offset + bytes + 15) & ~size_t(15);

    UseCurrentProgram();
    m_cache.TouchedCurrent();
    GraphicsStats& stats = m_cache.Stats();
    stats.verticesDrawn += int(count);
    int tw = 0, th = 0;
    TargetSize(m_cache.Target(), tw, th);
    const FillMeter::Clip clip = FillMeter::ClipOf(m_viewport, tw, th);
    const auto* screen = static_cast<const ScreenVertex*>(vertices);
    if (m_cache.CountsFill())
        stats.pixelsFilled += FillMeter::Covered(quads ? PrimitiveType::TriangleList : PrimitiveFor(mode),
                                                 quads, screen, stride, count, clip);
    if (!quads) {
        SetVertexLayout(stride, offset, twoTextures);
        glDrawArrays(mode, 0, GLsizei(count));
        ++stats.drawCalls;
    } else {
        size_t quadCount = count / 4;
        for (size_t first = 0; first < quadCount; first += kQuadsPerIndexedDraw) {
            size_t n = std::min(kQuadsPerIndexedDraw, quadCount - first);
            SetVertexLayout(stride, offset + first * 4 * stride, twoTextures);
            glDrawElements(GL_TRIANGLES, GLsizei(n * 6), GL_UNSIGNED_SHORT, nullptr);
            ++stats.drawCalls;
        }
    }
    if (mode != GL_LINES)
        QueueFill(FillMeter::Bound(quads, screen, stride, count, clip));
}

// A software rasteriser (llvmpipe) starts shading only when the queued
// draws are handed over: at a target switch, a read or the present. With a
// whole frame queued first, our thread and the rasteriser's threads would
// take turns; handing over every screen and a half of pixels lets them
// overlap.
void GLGraphicsDevice::QueueFill(double pixels)
{
    m_queuedPixels += pixels;
    if (m_queuedPixels < kFlushShareOfScreen * double(m_width) * double(m_height))
        return;
    glFlush();
    ++m_cache.Stats().flushes;
    m_queuedPixels = 0.0;
}

void GLGraphicsDevice::DrawPrimitives(PrimitiveType type, const ScreenVertex* vertices, size_t count)
{
    size_t n = vertices ? UsableVertices(type, count) : 0;
    if (n > 0)
        Draw(GLPrimitive(type), vertices, sizeof(ScreenVertex), n, false, false);
}

void GLGraphicsDevice::DrawQuads(const ScreenVertex* vertices, size_t count)
{
    size_t n = vertices ? count - count % 4 : 0;
    if (n > 0)
        Draw(GL_TRIANGLES, vertices, sizeof(ScreenVertex), n, false, true);
}

void GLGraphicsDevice::DrawPrimitives2(PrimitiveType type, const ScreenVertex2* vertices, size_t count)
{
    size_t n = vertices ? UsableVertices(type, count) : 0;
    if (n > 0)
        Draw(GLPrimitive(type), vertices, sizeof(ScreenVertex2), n, true, false);
}

EffectHandle GLGraphicsDevice::LoadEffect(const std::string& path)
{
    std::string fragment, vertex;
    if (!ReadShaderFile(path + ".frag", fragment)) {
        m_lastError = "cannot read effect " + path + ".frag";
        return 0;
    }
    if (!ReadShaderFile(path + ".vert", vertex))
        vertex = kVertexShader;
    Program p;
    if (!BuildProgram(vertex, fragment, p)) {
        m_lastError = path + ": " + m_lastError;
        return 0;
    }
    EffectHandle handle = m_nextEffect++;
    m_effects[handle] = std::move(p);
    return handle;
}

void GLGraphicsDevice::DestroyEffect(EffectHandle effect)
{
    auto it = m_effects.find(effect);
    if (it == m_effects.end())
        return;
    m_cache.ForgetEffect(effect);
    glUseProgram(m_fixed.id);
    glDeleteProgram(it->second.id);
    m_effects.erase(it);
}

void GLGraphicsDevice::SetEffect(EffectHandle effect)
{
    if (effect != 0 && m_effects.count(effect) == 0)
        effect = 0;
    m_cache.SetEffect(effect); // the program is chosen at each draw
}

void GLGraphicsDevice::SetEffectFloat(EffectHandle effect, const char* name, float value)
{
    auto it = m_effects.find(effect);
    if (it == m_effects.end() || !name)
        return;
    Program& p = it->second;
    auto loc = p.floats.find(name);
    if (loc == p.floats.end())
        loc = p.floats.emplace(name, glGetUniformLocation(p.id, name)).first;
    if (loc->second < 0)
        return;
    glUseProgram(p.id);
    glUniform1f(loc->second, value);
}

bool GLGraphicsDevice::ReadPixels(TextureHandle target, int x, int y, int width, int height,
                                  std::vector<uint8_t>& rgba)
{
    int tw = 0, th = 0;
    if (!TargetSize(target, tw, th) || x < 0 || y < 0 || width <= 0 || height <= 0 || width > tw - x ||
        height > th - y) {
        m_lastError = "read outside the target";
        return false;
    }
    const Texture* t = FindTexture(target);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, t ? t->fbo : 0);
    rgba.assign(size_t(width) * size_t(height) * 4, 0);
    int glY = target == 0 ? th - y - height : y;
    glReadPixels(x, glY, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const Texture* current = FindTexture(m_cache.Target());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, current ? current->fbo : 0);
    if (target == 0) { // the back buffer reads bottom row first
        size_t row = size_t(width) * 4;
        std::vector<uint8_t> tmp(row);
        for (int r = 0; r < height / 2; ++r) {
            uint8_t* a = &rgba[size_t(r) * row];
            uint8_t* b = &rgba[size_t(height - 1 - r) * row];
            std::memcpy(tmp.data(), a, row);
            std::memcpy(a, b, row);
            std::memcpy(b, tmp.data(), row);
        }
    }
    return glGetError() == GL_NO_ERROR;
}

bool GLGraphicsDevice::CopyTargetRegion(TextureHandle source, int x, int y, int width, int height,
                                        TextureHandle dest, int destX, int destY)
{
    const Texture* from = FindTexture(source);
    const Texture* to = FindTexture(dest);
    if (!from || !from->renderTarget || !to || !BlockInside(x, y, width, height, from->width, from->height) ||
        !BlockInside(destX, destY, width, height, to->width, to->height)) {
        m_lastError = "bad region copy";
        return false;
    }
    ClearGLErrors();
    // A target's rows are stored top-down like a picture's: row for row.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from->fbo);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, to->tex);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, destX, destY, x, y, width, height);
    m_cache.Touched(dest);
    const Texture* bound = FindTexture(m_cache.Texture(0));
    glBindTexture(GL_TEXTURE_2D, bound ? bound->tex : 0);
    const Texture* current = FindTexture(m_cache.Target());
    glBindFramebuffer(GL_FRAMEBUFFER, current ? current->fbo : 0);
    const GLenum e = glGetError();
    if (e != GL_NO_ERROR) {
        m_lastError = "region copy failed with OpenGL error " + std::to_string(e);
        return false;
    }
    return true;
}

bool GLGraphicsDevice::CopyBackBufferTo(TextureHandle target)
{
    const Texture* t = FindTexture(target);
    if (!t || !t->renderTarget) {
        m_lastError = "copy target is not a render target";
        return false;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, t->fbo);
    glDisable(GL_SCISSOR_TEST);
    // Flipped, so that the target holds the top row first.
    glBlitFramebuffer(0, 0, m_width, m_height, 0, t->height, t->width, 0, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    m_cache.Touched(target);
    glEnable(GL_SCISSOR_TEST);
    const Texture* current = FindTexture(m_cache.Target());
    glBindFramebuffer(GL_FRAMEBUFFER, current ? current->fbo : 0);
    return glGetError() == GL_NO_ERROR;
}
