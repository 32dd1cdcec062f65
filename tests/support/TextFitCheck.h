#pragma once
// Every text of one frame of the running game, laid out by the renderer and
// measured by the ink of its font's own glyph pictures (the generated font
// textures), held against the box each was given,
// the element drawing it and the screen, and against the other texts of its
// layer. A text fails when it reaches past any of those by more than a pixel
// or shares rows of pixels with another text of the same window (or of the
// screen beneath the windows) closer than a few pixels across, so that the
// two read as one; lines stacked as a paragraph's are may touch. A text
// drawn again one or two pixels off itself (a shadow) is no neighbour of its
// own. A text shown cut short (ending in "...") fails too: the game's own
// content fits whole; only a player's or a server's texts may be cut. So
// does a text drawn too small to read (shrunk to fit).
#include "engine/TextLayoutRecorder.h"

#include <map>
#include <string>
#include <vector>

class TextFitCheck final : public TextLayoutRecorder {
public:
    // How far a text's ink may stray past its box (antialiasing, rounding).
    static constexpr float kSlack = 1.0f;
    // The smallest size a text is drawn at that still reads.
    static constexpr float kSmallestSize = 11.0f;
    // The least room between two texts' ink side by side: less reads as one
    // run of text (a blank of the interface font at size 12 is 3 pixels).
    static constexpr float kGap = 3.0f;

    struct Element {
        std::string kind;
        int left = 0, top = 0, right = 0, bottom = 0;
    };
    struct Recorded {
        std::string text;
        std::string font;
        Text laid;             // its text and font pointers are not kept;
                               // its lines are the glyphs' ink
        Element inside;        // the innermost element drawing it (or the screen)
        std::string elements;  // the element kinds from the layer's down, for messages
        int layer = 0;         // 0 the screen; each top-level window and tooltip one more
        bool world = false;    // follows things in a world: not held to a place
    };

    // Installed from construction to destruction: cuts are heard all the
    // time, texts are laid out for it only while a frame is checked.
    TextFitCheck();
    ~TextFitCheck() override;
    TextFitCheck(const TextFitCheck&) = delete;
    TextFitCheck& operator=(const TextFitCheck&) = delete;

    // Draws one frame of the started game and returns what does not fit,
    // one line per fault, each naming `where`.
    std::vector<std::string> CheckFrame(const std::string& where);
    // The texts of the last frame checked.
    const std::vector<Recorded>& Texts() const { return m_texts; }
    // The first recorded text that contains `part` (null when none).
    const Recorded* Find(const std::string& part) const;

    // The faults of texts already recorded, for a screen width and height.
    std::vector<std::string> Faults(const std::string& where, int screenWidth, int screenHeight) const;
    void Clear();

    void OnText(const Text& text) override;
    void OnCut(const std::string& original, const std::string& shown) override;
    void OnEnterBox(const Box& box) override;
    void OnLeaveBox() override;

private:
    struct Open {
        Element element;
        int layer;
        bool world;
    };
    // The lines' em boxes narrowed to the ink of their glyphs.
    void MeasureInk(Recorded& r);

    std::vector<Open> m_open;
    std::vector<Recorded> m_texts;
    std::map<std::string, std::string> m_cuts; // shown -> original
    int m_layers = 0;
};

// Adds a test failure for each fault of one frame of the started game.
void ExpectTextsFit(TextFitCheck& check, const std::string& where);
