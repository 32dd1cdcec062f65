#pragma once
#include "engine/GVertexBuffer.h"
#include "engine/LibFont.h"
#include "engine/LibTextChunk.h"
#include "platform/IGraphicsDevice.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class TextLayoutRecorder;

enum TextAlignment { TEXT_ALIGN_LEFT = 0, TEXT_ALIGN_RIGHT = 1, TEXT_ALIGN_CENTRE = 2 };

// The text renderer: picks a font and size, measures and wraps texts, lays
// them out into chunks and stages their glyph quads for one batched draw.
class LibText {
public:
    static constexpr size_t kMaxVertices = 4000;
    static constexpr size_t kMaxChunkChars = 2048;
    static constexpr float kTabStop = 80.0f;

    static LibText& GetInstance();

    void Init();
    bool IsInitialised() const { return m_initialised; }
    // Drops every font and staged glyph.
    void Shutdown();

    LibFont* CreateFont(const std::string& datFile, const std::string& textureName, int baseSize, int cellSize);
    // The game's two interface fonts with their spacing.
    void CreateGameFonts();
    LibFont* FindFont(const std::string& textureName) const;
    void SetFont(const std::string& textureName, float size);
    LibFont* GetCurrentFont() const { return m_font; }
    float GetSize() const { return m_size; }
    void SetFixedWidth(bool on) { m_fixedWidth = on; }

    static int GlyphIndex(unsigned char c);
    float GetCharWidth(unsigned char c) const;
    int GetTextWidth(const std::string& text) const;
    int MeasureText(const std::string& text, float size);
    // Wrapped at blanks and line ends; a word wider than a line is broken,
    // a path after a slash where one fits.
    void WrapText(const std::string& text, int width, std::string& out) const;
    std::string GetWrappedText(const std::string& text, int width) const;
    int GetWrappedTextHeight(const std::string& text, int width) const;
    // A text fitted to a box: wrapped at blanks and line ends only, into at
    // most maxLines lines of width pixels. A word wider than a line, and the
    // last line of a text that goes on, end in "..." within the width.
    // Without a font the text comes back as it is.
    std::string FitText(const std::string& text, int width, int maxLines) const;
    // The largest whole size from maxSize down to minSize at which the text
    // is at most width pixels wide in the current font (minSize when none
    // is); the font is left at that size.
    float SizeToFit(const std::string& text, int width, float maxSize, float minSize);
    // One line of a column: the text shrunk as SizeToFit does and, if it is
    // still too wide at minSize, cut with "..."; returns the size to draw it at.
    float FitLine(std::string& text, int width, float maxSize, float minSize);

    void SetText(int alignment, const std::string& text, float x, float y, uint32_t colour, float boxWidth);
    void Render(int maxChars = -1);

    const std::vector<LibTextChunk>& GetChunks() const { return m_chunks; }
    size_t GetStagedVertexCount() const { return m_count; }
    const ScreenVertex* GetStagedVertices() const { return m_vertices.data(); }

private:
    LibText() = default;
    LibText(const LibText&) = delete;
    LibText& operator=(const LibText&) = delete;

    // Advance of the character at text[i] including its kerning with text[i + 1].
    float Advance(const std::string& text, size_t i) const;
    float LineWidth(const std::string& text, size_t begin, size_t end) const;
    // A glyph's quad, `side` pixels square.
    void StageGlyph(int cell, float x, float y, float side, uint32_t colour);
    // Hands the recorder the lines of a text as SetText lays them out.
    void Record(TextLayoutRecorder& recorder, int alignment, const std::string& text, float x, float y,
                uint32_t colour, float boxWidth) const;

    std::vector<std::unique_ptr<LibFont>> m_fonts;
    LibFont* m_font = nullptr;
    std::string m_fontName;
    float m_size = 12.0f;
    bool m_fixedWidth = false;
    std::array<ScreenVertex, kMaxVertices> m_vertices{};
    size_t m_count = 0;
    std::vector<LibTextChunk> m_chunks;
    GVertexBuffer m_buffer;
    bool m_initialised = false;
};
