#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <typeinfo>
#include <vector>

// Where each text of a frame went, for the checks that every text fits its
// box and keeps off its neighbours. None is installed in the game: the text
// renderer and the element scopes look for one and find nothing, so a frame
// pays one test of a pointer per text and per element drawn.
class TextLayoutRecorder {
public:
    // One line of a laid-out text: from its first glyph's pen to its last
    // glyph's advance across, and the font's em box down (the line advance
    // without the gap). The glyphs are text[first, last); the last one's pen
    // is at lastX, so a check can measure the glyphs' own pictures.
    struct Line {
        float left = 0.0f;
        float top = 0.0f;
        float right = 0.0f;
        float bottom = 0.0f;
        size_t first = 0;
        size_t last = 0;
        float lastX = 0.0f;
    };
    struct Text {
        const std::string* text = nullptr;
        const std::string* font = nullptr; // the font's texture name
        int alignment = 0;
        float x = 0.0f;
        float y = 0.0f;
        float boxWidth = 0.0f; // the width the caller gave (0: none)
        float size = 0.0f;
        uint32_t colour = 0;
        std::vector<Line> lines; // blank lines left out
    };
    // What is being drawn while its scope is open: an element's rectangle
    // and kind. A top-level element starts a layer of its own (a window over
    // the screen, the tooltips over everything). Texts that follow things in
    // a world (ship names, damage figures) are in a layer marked as such:
    // they go where their ships go, over each other and off the screen.
    struct Box {
        const void* owner = nullptr;
        const std::type_info* kind = nullptr;
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        bool topLevel = false;
        bool world = false;
    };

    virtual ~TextLayoutRecorder() = default;
    // Texts are laid out for the recorder only while it wants them (a check
    // of one frame); the cuts below it hears all the time.
    bool WantsTexts() const { return m_wantsTexts; }
    virtual void OnText(const Text& text) = 0;
    // A text shortened to fit (and shown as `shown`, its end replaced by
    // "..."), whenever that is done: windows fit their texts when they open.
    virtual void OnCut(const std::string& original, const std::string& shown) = 0;
    virtual void OnEnterBox(const Box& box) = 0;
    virtual void OnLeaveBox() = 0;

    static TextLayoutRecorder* Active() { return s_active; }
    // Tests only; null turns recording off.
    static void Install(TextLayoutRecorder* recorder) { s_active = recorder; }

    // Tells the recorder, if any, that what is drawn until the scope closes
    // belongs to the element.
    class Scope {
    public:
        // An element that draws beyond its rectangle (a button's skin is
        // taller than where it takes clicks) names the box its texts have
        // through GetTextBox.
        template <typename T>
        Scope(const T& element, bool topLevel = false)
        {
            if (TextLayoutRecorder* r = s_active) {
                if constexpr (requires { element.GetTextBox(); }) {
                    const auto box = element.GetTextBox();
                    Enter(r, &element, typeid(element), box.left, box.top, box.right, box.bottom, topLevel);
                } else {
                    Enter(r, &element, typeid(element), element.left, element.top, element.right, element.bottom,
                          topLevel);
                }
            }
        }
        // A layer with no element of its own (the tooltips; world is set for
        // texts that follow things in a world).
        Scope(const std::type_info& kind, int left, int top, int right, int bottom, bool world = false)
        {
            if (TextLayoutRecorder* r = s_active)
                Enter(r, nullptr, kind, left, top, right, bottom, true, world);
        }
        ~Scope()
        {
            if (m_recorder)
                m_recorder->OnLeaveBox();
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        void Enter(TextLayoutRecorder* r, const void* owner, const std::type_info& kind, int l, int t, int rt, int b,
                   bool topLevel, bool world = false);

        TextLayoutRecorder* m_recorder = nullptr;
    };

protected:
    bool m_wantsTexts = false;

private:
    static inline TextLayoutRecorder* s_active = nullptr;
};
