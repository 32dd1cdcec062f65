#include "engine/LibFont.h"

#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GSafeFile.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"

#include <algorithm>

LibFont::LibFont()
{
    AddKerning('f', 'o', -1.0f);
    AddKerning('f', 'e', -1.0f);
    AddKerning('f', 'a', -1.0f);
    AddKerning('f', 'f', -2.0f);
    AddKerning('f', 'u', -1.0f);
    AddKerning('o', 'w', -1.0f);
}

bool LibFont::ReadAdvances(const std::string& datFile)
{
    std::string bytes;
    bool ok = ReadWholeFile(datFile, bytes);
    if (!ok)
        LOG_ERROR(StrFormat("Font advance file missing: %s", datFile.c_str()));
    else if (bytes.size() != kAdvanceFileSize)
        LOG_ERROR(StrFormat("Font advance file has %zu bytes, not %zu: %s", bytes.size(), kAdvanceFileSize,
                            datFile.c_str()));
    size_t whole = std::min(bytes.size(), kAdvanceFileSize) / 4;
    // Missing entries get a readable stand-in; absurd ones are held to a few cells.
    const int fallback = std::max(1, m_baseSize / 2);
    for (size_t i = 0; i < static_cast<size_t>(kCells); ++i) {
        if (i >= whole) {
            m_advances[i] = fallback;
            continue;
        }
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + i * 4;
        int32_t v = static_cast<int32_t>(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                                         (uint32_t(p[3]) << 24));
        m_advances[i] = std::clamp<int32_t>(v, 0, m_cellSize * 4);
    }
    return ok && bytes.size() == kAdvanceFileSize;
}

bool LibFont::Load(const std::string& datFile, const std::string& textureName, int baseSize, int cellSize)
{
    m_baseSize = std::max(1, baseSize);
    m_cellSize = std::max(1, cellSize);
    m_textureName = textureName;
    bool ok = ReadAdvances(datFile);

    D3DEngine& engine = D3DEngine::GetInstance();
    int w = 0, h = 0;
    if (!engine.FindTexture(textureName) || !engine.GetTextureSize(textureName, w, h) || w <= 0 || h <= 0) {
        LOG_ERROR(StrFormat("Font texture missing: %s", textureName.c_str()));
        w = h = m_cellSize * kGridSide;
        ok = false;
    }
    const float du = static_cast<float>(m_cellSize) / static_cast<float>(w);
    const float dv = static_cast<float>(m_cellSize) / static_cast<float>(h);
    for (int r = 0; r < kGridSide; ++r) {
        for (int c = 0; c < kGridSide; ++c) {
            int cell = r * kGridSide + c;
            float u0 = c * du, u1 = (c + 1) * du, v0 = r * dv, v1 = (r + 1) * dv;
            const float us[4] = {u0, u1, u0, u1}, vs[4] = {v0, v0, v1, v1};
            for (int k = 0; k < 4; ++k) {
                m_u[cell][k] = us[k];
                m_v[cell][k] = vs[k];
            }
        }
    }
    m_texture.SetName(textureName);
    return ok;
}

void LibFont::AddKerning(unsigned char first, unsigned char next, float adjustment)
{
    m_kerning[LibText::GlyphIndex(first)].push_back(KerningPair{next, adjustment});
}

float LibFont::GetKerning(int cell, unsigned char next) const
{
    if (cell < 0 || cell >= kCells)
        return 0.0f;
    for (const KerningPair& k : m_kerning[cell])
        if (k.next == next)
            return k.adjustment;
    return 0.0f;
}
