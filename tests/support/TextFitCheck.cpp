#include "support/TextFitCheck.h"

#include "app/Game.h"
#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "platform/DdsImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cxxabi.h>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

std::string KindName(const std::type_info* kind)
{
    if (!kind)
        return "?";
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(kind->name(), nullptr, nullptr, &status),
                                                std::free);
    return status == 0 && name ? name.get() : kind->name();
}

std::string Describe(const TextLayoutRecorder::Line& l)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "[%.0f,%.0f - %.0f,%.0f]", l.left, l.top, l.right, l.bottom);
    return buf;
}

std::string Describe(int left, int top, int right, int bottom)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "[%d,%d - %d,%d]", left, top, right, bottom);
    return buf;
}

// The text as a message shows it: one line, and not too long.
std::string Quoted(const std::string& text)
{
    std::string one;
    for (char c : text)
        one += c == '\n' ? '|' : c;
    if (one.size() > 60)
        one = one.substr(0, 57) + "...";
    return "\"" + one + "\"";
}

bool Inside(const TextLayoutRecorder::Line& l, float left, float top, float right, float bottom)
{
    const float s = TextFitCheck::kSlack;
    return l.left >= left - s && l.right <= right + s && l.top >= top - s && l.bottom <= bottom + s;
}

// One text drawn again a couple of pixels off itself: a shadow or an outline.
bool IsShadow(const TextFitCheck::Recorded& a, const TextFitCheck::Recorded& b)
{
    return a.text == b.text && std::fabs(a.laid.x - b.laid.x) <= 3.0f && std::fabs(a.laid.y - b.laid.y) <= 3.0f;
}

// Where each glyph's picture has ink, in texels of its cell; a glyph with
// none (or past the grid) is empty.
struct GlyphInk {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool empty = true;
};

struct FontInk {
    std::vector<GlyphInk> glyphs;
    float texel = 1.0f; // pixels per texel at size 1
};

// Pixels fainter than this are the edge of the antialiasing, not ink.
constexpr uint8_t kInkAlpha = 64;

const FontInk& InkOf(const std::string& font)
{
    static std::map<std::string, FontInk> fonts;
    auto it = fonts.find(font);
    if (it != fonts.end())
        return it->second;
    FontInk& ink = fonts[font];
    const LibFont* lib = LibText::GetInstance().FindFont(font);
    TextureData data;
    std::vector<uint8_t> rgba;
    std::string error;
    if (!lib || !ReadDdsFile("data/bitmaps/fonts/" + font, data, &error) || !DecodeToRGBA(data, 0, rgba)) {
        ADD_FAILURE() << "no glyph pictures for " << font << ": " << error;
        return ink;
    }
    const int cell = lib->GetCellSize(), side = data.width;
    ink.texel = 1.0f / static_cast<float>(lib->GetBaseSize());
    ink.glyphs.resize(LibFont::kGridCells);
    for (int g = 0; g < LibFont::kGridCells; ++g) {
        GlyphInk& gi = ink.glyphs[g];
        const int cx = (g % LibFont::kGridSide) * cell, cy = (g / LibFont::kGridSide) * cell;
        gi.left = gi.top = cell;
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x) {
                const size_t at = (static_cast<size_t>(cy + y) * side + cx + x) * 4 + 3;
                if (at < rgba.size() && rgba[at] >= kInkAlpha) {
                    gi.empty = false;
                    gi.left = std::min(gi.left, x);
                    gi.top = std::min(gi.top, y);
                    gi.right = std::max(gi.right, x + 1);
                    gi.bottom = std::max(gi.bottom, y + 1);
                }
            }
    }
    return ink;
}

} // namespace

void TextFitCheck::MeasureInk(Recorded& r)
{
    const FontInk& ink = InkOf(r.font);
    if (ink.glyphs.empty())
        return;
    const float k = ink.texel * r.laid.size;
    std::vector<Line> inked;
    for (const Line& l : r.laid.lines) {
        auto glyph = [&](size_t i) -> const GlyphInk* {
            const int cell = LibText::GlyphIndex(static_cast<unsigned char>(r.text[i]));
            return cell < LibFont::kGridCells && !ink.glyphs[cell].empty ? &ink.glyphs[cell] : nullptr;
        };
        float top = 1e9f, bottom = -1e9f;
        for (size_t i = l.first; i < l.last; ++i)
            if (const GlyphInk* g = glyph(i)) {
                top = std::min(top, static_cast<float>(g->top));
                bottom = std::max(bottom, static_cast<float>(g->bottom));
            }
        if (top > bottom)
            continue; // nothing on the line leaves a mark
        Line out = l;
        // Glyphs snap to whole pixels as the renderer places them.
        const float snappedTop = std::floor(l.top + 0.5f);
        out.top = snappedTop + top * k;
        out.bottom = snappedTop + bottom * k;
        if (const GlyphInk* g = glyph(l.first))
            out.left = std::floor(l.left + 0.5f) + static_cast<float>(g->left) * k;
        if (const GlyphInk* g = glyph(l.last - 1))
            out.right = std::floor(l.lastX + 0.5f) + static_cast<float>(g->right) * k;
        inked.push_back(out);
    }
    r.laid.lines = std::move(inked);
}

TextFitCheck::TextFitCheck()
{
    TextLayoutRecorder::Install(this);
}

TextFitCheck::~TextFitCheck()
{
    if (TextLayoutRecorder::Active() == this)
        TextLayoutRecorder::Install(nullptr);
}

void TextFitCheck::Clear()
{
    m_open.clear();
    m_texts.clear();
    m_layers = 0;
}

void TextFitCheck::OnEnterBox(const Box& box)
{
    Open open;
    open.element.kind = KindName(box.kind);
    open.element.left = box.left;
    open.element.top = box.top;
    open.element.right = box.right;
    open.element.bottom = box.bottom;
    open.layer = box.topLevel || m_open.empty() ? ++m_layers : m_open.back().layer;
    open.world = box.world || (!box.topLevel && !m_open.empty() && m_open.back().world);
    m_open.push_back(open);
}

void TextFitCheck::OnLeaveBox()
{
    if (!m_open.empty())
        m_open.pop_back();
}

void TextFitCheck::OnText(const Text& text)
{
    if (text.lines.empty())
        return;
    Recorded r;
    r.text = *text.text;
    r.font = text.font ? *text.font : std::string();
    r.laid = text;
    r.laid.text = nullptr;
    r.laid.font = nullptr;
    MeasureInk(r);
    if (r.laid.lines.empty())
        return;
    if (m_open.empty()) {
        const D3DEngine& engine = D3DEngine::GetInstance();
        r.inside = Element{"the screen", 0, 0, engine.GetScreenWidth(), engine.GetScreenHeight()};
        r.elements = "the screen";
    } else {
        r.inside = m_open.back().element;
        r.layer = m_open.back().layer;
        r.world = m_open.back().world;
        for (auto it = m_open.rbegin(); it != m_open.rend(); ++it) {
            r.elements += (r.elements.empty() ? "" : " in ") + it->element.kind;
            if (it->layer != r.layer)
                break;
        }
    }
    m_texts.push_back(std::move(r));
}

void TextFitCheck::OnCut(const std::string& original, const std::string& shown)
{
    if (m_cuts.size() < 10000)
        m_cuts[shown] = original;
}

const TextFitCheck::Recorded* TextFitCheck::Find(const std::string& part) const
{
    for (const Recorded& r : m_texts)
        if (r.text.find(part) != std::string::npos)
            return &r;
    return nullptr;
}

std::vector<std::string> TextFitCheck::Faults(const std::string& where, int screenWidth, int screenHeight) const
{
    std::vector<std::string> faults;
    auto fault = [&](const Recorded& r, const std::string& what) {
        faults.push_back(where + ": " + Quoted(r.text) + " (" + r.elements + ") " + what);
    };
    const float w = static_cast<float>(screenWidth), h = static_cast<float>(screenHeight);
    for (const Recorded& r : m_texts) {
        if (auto cut = m_cuts.find(r.text); cut != m_cuts.end())
            fault(r, "is cut short from " + Quoted(cut->second));
        if (r.world)
            continue;
        if (r.laid.size < kSmallestSize)
            fault(r, "is drawn at size " + std::to_string(static_cast<int>(r.laid.size)) + ", too small to read");
        for (const Line& l : r.laid.lines) {
            if (!Inside(l, 0.0f, 0.0f, w, h)) {
                fault(r, Describe(l) + " leaves the screen");
                break;
            }
            if (r.laid.boxWidth > 0.0f && (l.left < r.laid.x - kSlack || l.right > r.laid.x + r.laid.boxWidth + kSlack)) {
                fault(r, Describe(l) + " overflows its box of " + std::to_string(static_cast<int>(r.laid.boxWidth)) +
                             " from x " + std::to_string(static_cast<int>(r.laid.x)));
                break;
            }
            const Element& e = r.inside;
            if (!Inside(l, static_cast<float>(e.left), static_cast<float>(e.top), static_cast<float>(e.right),
                        static_cast<float>(e.bottom))) {
                fault(r, Describe(l) + " reaches out of its " + e.kind + " " +
                             Describe(e.left, e.top, e.right, e.bottom));
                break;
            }
        }
    }
    for (size_t i = 0; i < m_texts.size(); ++i) {
        for (size_t j = i + 1; j < m_texts.size(); ++j) {
            const Recorded &a = m_texts[i], &b = m_texts[j];
            if (a.layer != b.layer || a.world || IsShadow(a, b))
                continue;
            bool covered = false;
            for (const Line& la : a.laid.lines) {
                for (const Line& lb : b.laid.lines) {
                    const float across = std::min(la.right, lb.right) - std::max(la.left, lb.left);
                    const float down = std::min(la.bottom, lb.bottom) - std::max(la.top, lb.top);
                    if (across > -kGap && down > kSlack) {
                        fault(a, Describe(la) + (across > kSlack && down > kSlack ? " overlaps " : " touches ") +
                                     Quoted(b.text) + " (" + b.elements + ") " + Describe(lb));
                        covered = true;
                        break;
                    }
                }
                if (covered)
                    break;
            }
        }
    }
    return faults;
}

std::vector<std::string> TextFitCheck::CheckFrame(const std::string& where)
{
    Clear();
    Game& game = Game::GetInstance();
    game.GetWindow()->PumpEvents();
    m_wantsTexts = true;
    game.Frame();
    m_wantsTexts = false;
    const D3DEngine& engine = D3DEngine::GetInstance();
    std::vector<std::string> faults = Faults(where, engine.GetScreenWidth(), engine.GetScreenHeight());
    m_open.clear();
    return faults;
}

void ExpectTextsFit(TextFitCheck& check, const std::string& where)
{
    const std::vector<std::string> faults = check.CheckFrame(where);
    EXPECT_FALSE(check.Texts().empty()) << where << ": no text drawn";
    // QLM_TEXTFIT_DUMP=part lists every text of the frames whose place holds part.
    if (const char* dump = std::getenv("QLM_TEXTFIT_DUMP"); dump && where.find(dump) != std::string::npos)
        for (const TextFitCheck::Recorded& r : check.Texts())
            for (const TextLayoutRecorder::Line& l : r.laid.lines)
                std::printf("%s: %s (%s, layer %d) %s\n", where.c_str(), Quoted(r.text).c_str(), r.elements.c_str(),
                            r.layer, Describe(l).c_str());
    for (const std::string& f : faults)
        ADD_FAILURE() << f;
}
