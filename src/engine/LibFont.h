#pragma once
#include "engine/SmartTexture.h"

#include <array>
#include <string>
#include <vector>

// One bitmap font: a texture of 10 x 10 square glyph cells and the advance
// of each cell at the font's base size, read from its ".dat" file.
class LibFont {
public:
    static constexpr int kCells = 256;
    static constexpr int kGridSide = 10;
    static constexpr int kGridCells = kGridSide * kGridSide;
    static constexpr size_t kAdvanceFileSize = kCells * 4;

    struct KerningPair {
        unsigned char next;
        float adjustment;
    };

    LibFont();
    virtual ~LibFont() = default;
    LibFont(const LibFont&) = delete;
    LibFont& operator=(const LibFont&) = delete;

    // False when the advance file was missing or damaged (the font still
    // works with stand-in advances) or the texture is missing.
    bool Load(const std::string& datFile, const std::string& textureName, int baseSize, int cellSize);

    void AddKerning(unsigned char first, unsigned char next, float adjustment);
    float GetKerning(int cell, unsigned char next) const;

    const std::string& GetTextureName() const { return m_textureName; }
    int GetAdvance(int cell) const { return (cell >= 0 && cell < kCells) ? m_advances[cell] : 0; }
    int GetBaseSize() const { return m_baseSize; }
    int GetCellSize() const { return m_cellSize; }
    int GetSpacing() const { return m_spacing; }
    void SetSpacing(int spacing) { m_spacing = spacing; }
    int GetLineGap() const { return m_lineGap; }
    void SetLineGap(int gap) { m_lineGap = gap; }
    // Corner i: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
    float GetU(int cell, int corner) const { return m_u[cell & 255][corner & 3]; }
    float GetV(int cell, int corner) const { return m_v[cell & 255][corner & 3]; }
    SmartTexture& GetTexture() { return m_texture; }

private:
    bool ReadAdvances(const std::string& datFile);

    float m_u[kCells][4] = {};
    float m_v[kCells][4] = {};
    int m_advances[kCells] = {};
    std::string m_textureName;
    int m_spacing = 0;
    int m_lineGap = 0;
    int m_baseSize = 12;
    int m_cellSize = 16;
    SmartTexture m_texture;
    std::array<std::vector<KerningPair>, kCells> m_kerning;
};
