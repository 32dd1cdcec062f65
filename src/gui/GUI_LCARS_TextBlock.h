#pragma once
#include "engine/GRandom.h"
#include "engine/GTimer.h"
#include "gui/GUI_WindowBase.h"
#include "platform/IGraphicsDevice.h"

#include <cstdint>
#include <vector>

class IClock;

// Background decoration: a block of alien glyphs that types itself out over
// eight seconds, then starts again with a fresh random layout. Its layouts
// come from a generator of its own: a block laid out while the player looks
// at a screen takes no number the game's rules draw.
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
    // blocks side by side do not type in step; blocks of different seeds
    // show different layouts.
    GUI_LCARS_TextBlock(float phase, int x, int y, int width, int height, const IClock* clock = nullptr,
                        uint64_t seed = 1);

    void Draw() override;
    void Layout();
    // Restarts the cycle on that clock, keeping the head start it was given.
    void SetClock(const IClock* clock);

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
    GRandom m_random;
    double m_headStartMs = 0.0;
    double m_phaseMs = 0.0;
    std::vector<ScreenVertex> m_vertices;
    std::vector<int32_t> m_columns;
    std::vector<int32_t> m_rows;
    int m_vertexCount = 0;
    int m_lastDrawn = 0;
};
