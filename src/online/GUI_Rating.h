#pragma once
#include "engine/BaseSprite.h"
#include "engine/SmartTexture.h"
#include "gui/GUI_WindowBase.h"

#include <string>

// Five stars showing an average rating of 0 to 5, the last one cut to its
// part; the tooltip gives the percentage. Display only. A screen with many
// ratings queues them and draws them together, one texture at a time.
class GUI_Rating : public GUI_WindowBase {
public:
    enum Kind { DIFFICULTY = 0, ENJOYMENT = 1 };
    static constexpr int kStars = 5;
    static constexpr float kStarSize = 12.0f;
    static constexpr uint32_t kBackground = 0x20FFFFFFu;

    explicit GUI_Rating(Kind kind);
    ~GUI_Rating() override;

    void SetValue(float rating);
    void Draw() override;
    // Draws every queued rating (backgrounds, empty stars, then the full
    // stars of each kind) and empties the queue.
    static void DrawQueued();
    static size_t GetQueuedCount();

    float GetFill(int star) const { return m_fill[star]; }
    const std::string& GetTooltipText() const { return m_tooltipText; }
    // Where star i's slot starts: the five 12-pixel slots are centred in the widget.
    float SlotLeft(int star) const;
    // The drawn part of star i: left edge, width and the texture's right u
    // (the star is cut on its right). Width 0 when it is not drawn.
    void FilledPart(int star, float& x, float& w, float& u) const;
    const std::string& GetFullTexture() const { return m_full.GetName(); }

    // When set, Draw only queues the widget for DrawQueued.
    bool queued = false;

private:
    void DrawBackground();
    void DrawEmptyStars();
    void DrawFullStars();

    Kind m_kind;
    float m_fill[kStars] = {0, 0, 0, 0, 0};
    SmartTexture m_full;
    SmartTexture m_empty;
    BaseSprite m_star;
    std::string m_tooltipText;
    class GUI_Tooltip* m_tooltip = nullptr;
};
