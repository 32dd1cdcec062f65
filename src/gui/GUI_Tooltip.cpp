#include "gui/GUI_Tooltip.h"

#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "engine/TextLayoutRecorder.h"
#include "gui/GUI_FrameDrawing.h"

#include <algorithm>

namespace {

std::vector<GUI_Tooltip*>& Queue()
{
    static auto* queue = new std::vector<GUI_Tooltip*>();
    return *queue;
}

constexpr float kFontSize = 16.0f;
constexpr float kFrameCorner = 12.0f;

} // namespace

GUI_Tooltip::GUI_Tooltip(const std::string& text, int delay) : m_delay(delay)
{
    m_lines.push_back(text);
    width = 10;
    SetRect(0.0f, 0.0f, 1.0f, 1.0f);
    width = 10;
}

GUI_Tooltip::~GUI_Tooltip()
{
    auto& queue = Queue();
    queue.erase(std::remove(queue.begin(), queue.end(), this), queue.end());
}

void GUI_Tooltip::Draw()
{
    auto& queue = Queue();
    if (std::find(queue.begin(), queue.end(), this) == queue.end())
        queue.push_back(this);
}

size_t GUI_Tooltip::GetQueuedCount()
{
    return Queue().size();
}

void GUI_Tooltip::DrawQueued()
{
    // Drawing never destroys a tooltip, but walk a copy all the same.
    const std::vector<GUI_Tooltip*> queue = Queue();
    Queue().clear();
    for (GUI_Tooltip* tooltip : queue) {
        if (tooltip->DrawIfShown())
            break;
    }
    LibText::GetInstance().Render(-1);
}

void GUI_Tooltip::AddLine(const std::string& text)
{
    m_lines.push_back(text);
    m_laidOut = false;
}

void GUI_Tooltip::SetText(const std::string& text)
{
    m_lines.assign(1, text);
    m_laidOut = false;
}

void GUI_Tooltip::CheckShowTime()
{
    if (CInput::GetInstance().GetStationaryCount() > m_delay)
        visibility = 1.0f;
}

void GUI_Tooltip::Layout()
{
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", kFontSize);
    int widest = 0;
    int h = 4;
    for (const std::string& line : m_lines) {
        widest = std::max(widest, text.GetTextWidth(line) + 6);
        h += text.GetWrappedTextHeight(line, kMaxWidth);
    }
    const int w = std::min(widest, kMaxWidth);
    const D3DEngine& engine = D3DEngine::GetInstance();
    anchorX = std::max(0.0f, std::min(anchorX, static_cast<float>(engine.GetScreenWidth() - w)));
    anchorY = std::max(0.0f, std::min(anchorY, static_cast<float>(engine.GetScreenHeight() - h)));
    SetRect(anchorX, anchorY, anchorX + static_cast<float>(w), anchorY + static_cast<float>(h));
    m_laidOut = true;
}

void GUI_Tooltip::PlaceAtMouse()
{
    const CInput& input = CInput::GetInstance();
    const D3DEngine& engine = D3DEngine::GetInstance();
    const float mx = input.GetMouseX();
    const float my = input.GetMouseY();
    float x = mx + 30.0f;
    if (mx + static_cast<float>(width) > static_cast<float>(engine.GetScreenWidth() - 40))
        x = mx - static_cast<float>(width);
    float y = my;
    if (my + static_cast<float>(height) > static_cast<float>(engine.GetScreenHeight()))
        y = my - static_cast<float>(height);
    MoveTo(x, y);
}

bool GUI_Tooltip::DrawIfShown()
{
    alpha = std::min(visibility, 1.0f);
    const bool shown = alpha > 0.01f;
    if (shown) {
        if (!m_laidOut)
            Layout();
        PlaceAtMouse();
        // The frame texture leaves the inside open; a dark fill keeps the
        // text readable over busy screens.
        const GRect inside{left - 2, top - 2, right + 2, bottom + 2};
        const TextLayoutRecorder::Scope layer(typeid(*this), inside.left, inside.top, inside.right, inside.bottom);
        D3DEngine::GetInstance().FillRect(inside, 0xD80B1118u);
        DrawNamedFrame("tooltip.dds", kFrameCorner, 0.95f, static_cast<float>(left - 8), static_cast<float>(top - 8),
                       static_cast<float>(right + 8), static_cast<float>(bottom + 8));
        LibText& text = LibText::GetInstance();
        text.SetFont("zekton16.dds", kFontSize);
        float y = static_cast<float>(top - 4);
        for (const std::string& line : m_lines) {
            text.SetText(TEXT_ALIGN_LEFT, text.GetWrappedText(line, kMaxWidth), static_cast<float>(left + 4), y,
                         0xFFFFFFFFu, 0.0f);
            y += static_cast<float>(text.GetWrappedTextHeight(line, kMaxWidth));
        }
    }
    visibility = std::max(0.0f, visibility - 0.5f);
    return shown;
}
