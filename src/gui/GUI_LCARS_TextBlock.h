#pragma once
#include "engine/GTimer.h"
#include "gui/GUI_WindowBase.h"
#include "platform/IGraphicsDevice.h"

#include <cstdint>
#include <vector>

class IClock;

// Background decoration: a block of alien glyphs that types itself out over
// eight seconds, then starts again with a fresh random layout.
class GUI_LCARS_TextBlock : public GUI_WindowBase {
public:
    static constexpr double kCycleMs = 8000.0;
    static constexpr int kGlyphSlots = 1000;
    static constexpr int kLines = 33;
    static constexpr int kPitch = 10;
    static constexpr float kHalfGlyph = 4.0f;
    static constexpr int kAtlasColumns = 5;
    static constexpr int kAtlasRows = 10;
    static constexpr float kBlankChance = 0.125f;
    static constexpr uint32_t kColour = 0x2080FF80u; // faint pale green
    static constexpr const char* kTexture = "alien_alphabet.dds";

    // phase (0..1) is how far into its first cycle the block starts, so that
    // blocks side by side do not type in step.
    GUI_LCARS_TextBlock(float phase, int x, int y, int width, int height, const IClock* clock = nullptr);

    void Draw() override;
    void Layout();

    int GetVertexCount() const { return m_vertexCount; }
    const std::vector<ScreenVertex>& GetVertices() const { return m_vertices; }
    int GetGlyphColumn(int slot) const;
    int GetGlyphRow(int slot) const;
    // Vertices handed to the batch by the last draw.
    int GetLastDrawnCount() const { return m_lastDrawn; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

private:
    double Elapsed() const { return m_timer.GetTotalMs() + m_headStartMs; }

    int m_x;
    int m_y;
    int m_width;
    int m_height;
    GTimer m_timer;
    double m_headStartMs = 0.0;
    std::vector<ScreenVertex> m_vertices;
    std::vector<int32_t> m_columns;
    std::vector<int32_t> m_rows;
    int m_vertexCount = 0;
    int m_lastDrawn = 0;
};
