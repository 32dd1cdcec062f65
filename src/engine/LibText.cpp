#include "engine/LibText.h"

#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/QuadRunBatch.h"
#include "engine/StrFormat.h"
#include "engine/TextLayoutRecorder.h"

#include <algorithm>
#include <cmath>

namespace {
unsigned char Displayed(unsigned char c)
{
    return c == 0x92 ? '\'' : c;
}

float NextTabStop(float x)
{
    return (std::floor(x / LibText::kTabStop) + 1.0f) * LibText::kTabStop;
}
} // namespace

LibText& LibText::GetInstance()
{
    static LibText instance;
    return instance;
}

void LibText::Init()
{
    for (auto& v : m_vertices)
        v = ScreenVertex{0.0f, 0.0f, 0.0f, 1.0f, 0xFFFFFFFFu, 0.0f, 0.0f};
    m_count = 0;
    if (!m_initialised)
        m_buffer.Init(kMaxVertices, true);
    m_initialised = true;
}

void LibText::Shutdown()
{
    m_count = 0;
    m_chunks.clear();
    m_font = nullptr;
    m_fontName.clear();
    m_size = 12.0f;
    m_fixedWidth = false;
    m_fonts.clear();
}

LibFont* LibText::CreateFont(const std::string& datFile, const std::string& textureName, int baseSize, int cellSize)
{
    if (!m_initialised)
        Init();
    auto font = std::make_unique<LibFont>();
    font->Load(datFile, textureName, baseSize, cellSize);
    m_fonts.push_back(std::move(font));
    return m_fonts.back().get();
}

void LibText::CreateGameFonts()
{
    CreateFont("data/fonts/cwfont20.dds.dat", "cwfont20.dds", 20, 32)->SetSpacing(2);
    CreateFont("data/fonts/zekton16.dds.dat", "zekton16.dds", 16, 24)->SetSpacing(1);
}

LibFont* LibText::FindFont(const std::string& textureName) const
{
    for (const auto& f : m_fonts)
        if (f->GetTextureName() == textureName)
            return f.get();
    return nullptr;
}

void LibText::SetFont(const std::string& textureName, float size)
{
    if (m_font && textureName == m_fontName && size == m_size)
        return;
    LibFont* font = FindFont(textureName);
    if (!font) {
        LOG_ERROR_ONCE(StrFormat("missing font: %s", textureName.c_str()));
        return;
    }
    // Staged glyphs belong to the old font's texture: draw them before switching.
    if (font != m_font && m_count > 0)
        Render(-1);
    m_font = font;
    m_fontName = textureName;
    m_size = size;
}

int LibText::GlyphIndex(unsigned char c)
{
    if (c == 0x80)
        return 94;
    if (c == 0xA3)
        return 92;
    if (c == '%')
        return 93;
    int cell = static_cast<int>(c) - 33;
    return (cell < 0 || cell > 255) ? 0 : cell;
}

float LibText::GetCharWidth(unsigned char c) const
{
    if (!m_font)
        return 0.0f;
    c = Displayed(c);
    if (c == ' ' || c == 0)
        return m_size * 0.25f;
    const float scale = m_size / static_cast<float>(m_font->GetBaseSize());
    float advance = m_fixedWidth ? m_size / 12.0f * 9.0f : static_cast<float>(m_font->GetAdvance(GlyphIndex(c))) * scale;
    return advance + static_cast<float>(m_font->GetSpacing()) * scale;
}

float LibText::Advance(const std::string& text, size_t i) const
{
    unsigned char c = Displayed(static_cast<unsigned char>(text[i]));
    float w = GetCharWidth(c);
    if (c != ' ' && c != 0 && i + 1 < text.size()) {
        const float scale = m_size / static_cast<float>(m_font->GetBaseSize());
        w += m_font->GetKerning(GlyphIndex(c), Displayed(static_cast<unsigned char>(text[i + 1]))) * scale;
    }
    return w;
}

float LibText::LineWidth(const std::string& text, size_t begin, size_t end) const
{
    float x = 0.0f;
    for (size_t i = begin; i < end; ++i)
        x = text[i] == '\t' ? NextTabStop(x) : x + Advance(text, i);
    return x;
}

int LibText::GetTextWidth(const std::string& text) const
{
    if (!m_font) {
        LOG_ERROR_ONCE("Text Not Initialised");
        return 0;
    }
    // Kerning is counted so that measured and drawn widths agree; a text of
    // several lines measures as its widest line.
    float widest = 0.0f;
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos)
            end = text.size();
        widest = std::max(widest, LineWidth(text, begin, end));
        begin = end + 1;
    }
    return static_cast<int>(widest);
}

int LibText::MeasureText(const std::string& text, float size)
{
    if (text.size() > kMaxChunkChars)
        LOG_ERROR_ONCE("Text too long in one chunk (max 2048)");
    float old = m_size;
    m_size = size;
    int w = GetTextWidth(text);
    m_size = old;
    return w;
}

void LibText::WrapText(const std::string& text, int width, std::string& out) const
{
    out.clear();
    if (!m_font) {
        LOG_ERROR_ONCE("Text Not Initialised");
        return;
    }
    const float limit = static_cast<float>(width);
    std::string line, word;
    auto fits = [&](const std::string& s) { return LineWidth(s, 0, s.size()) <= limit; };
    auto endLine = [&]() {
        out += line;
        out += '\n';
        line.clear();
    };
    auto addWord = [&]() {
        if (word.empty())
            return;
        if (!line.empty() && fits(line + ' ' + word)) {
            line += ' ';
            line += word;
        } else {
            if (!line.empty())
                endLine();
            // A word wider than the line is cut where it stops fitting, a
            // path after its last slash that fits (a slice holds at least
            // one character, so this always ends).
            while (!fits(word)) {
                size_t n = 1;
                while (n < word.size() && fits(word.substr(0, n + 1)))
                    ++n;
                if (const size_t slash = word.rfind('/', n - 1); slash != std::string::npos && slash > 0)
                    n = slash + 1;
                line = word.substr(0, n);
                endLine();
                word.erase(0, n);
                if (word.empty())
                    return;
            }
            line = word;
        }
        word.clear();
    };
    for (char c : text) {
        if (c == ' ') {
            addWord();
        } else if (c == '\n') {
            addWord();
            endLine();
        } else {
            word += c;
        }
    }
    addWord();
    out += line;
}

std::string LibText::GetWrappedText(const std::string& text, int width) const
{
    std::string out;
    WrapText(text, width, out);
    return out;
}

int LibText::GetWrappedTextHeight(const std::string& text, int width) const
{
    if (!m_font) {
        LOG_ERROR_ONCE("Text Not Initialised");
        return 0;
    }
    std::string wrapped;
    WrapText(text, width, wrapped);
    int lines = 1 + static_cast<int>(std::count(wrapped.begin(), wrapped.end(), '\n'));
    return static_cast<int>(static_cast<float>(lines) * (m_size + static_cast<float>(m_font->GetLineGap())));
}

float LibText::SizeToFit(const std::string& text, int width, float maxSize, float minSize)
{
    if (!m_font)
        return minSize;
    const std::string font = m_fontName;
    float size = maxSize;
    SetFont(font, size);
    while (size > minSize && GetTextWidth(text) > width) {
        size = std::max(minSize, size - 1.0f);
        SetFont(font, size);
    }
    return size;
}

float LibText::FitLine(std::string& text, int width, float maxSize, float minSize)
{
    const float size = SizeToFit(text, width, maxSize, minSize);
    if (GetTextWidth(text) > width)
        text = FitText(text, width, 1);
    return size;
}

std::string LibText::FitText(const std::string& text, int width, int maxLines) const
{
    if (maxLines <= 0)
        return std::string();
    if (!m_font)
        return text; // nothing to measure with
    const float limit = static_cast<float>(width);
    auto fits = [&](const std::string& s) { return LineWidth(s, 0, s.size()) <= limit; };
    // The longest start of s that fits with "..." after it (a few halvings,
    // so even a very long word costs little).
    bool shortened = false;
    auto withDots = [&](const std::string& s) {
        shortened = true;
        size_t lo = 0, hi = s.size();
        while (lo < hi) {
            const size_t mid = (lo + hi + 1) / 2;
            if (fits(s.substr(0, mid) + "..."))
                lo = mid;
            else
                hi = mid - 1;
        }
        return s.substr(0, lo) + "...";
    };
    std::vector<std::string> lines;
    std::string line;
    bool cut = false;
    auto endLine = [&]() {
        if (lines.size() == static_cast<size_t>(maxLines)) {
            cut = true;
            return;
        }
        lines.push_back(line);
        line.clear();
    };
    size_t pos = 0;
    while (pos <= text.size() && !cut) {
        const size_t end = std::min(text.find_first_of(" \n", pos), text.size());
        const std::string word = text.substr(pos, end - pos);
        const bool newline = end < text.size() && text[end] == '\n';
        pos = end + 1;
        if (!word.empty()) {
            if (line.empty() ? fits(word) : fits(line + ' ' + word)) {
                line += line.empty() ? word : ' ' + word;
            } else {
                if (!line.empty())
                    endLine();
                if (cut)
                    break;
                line = fits(word) ? word : withDots(word);
            }
        }
        if (newline)
            endLine();
    }
    if (!cut && !line.empty())
        endLine();
    if (cut && !lines.empty())
        lines.back() = withDots(lines.back());
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i)
        out += (i ? "\n" : "") + lines[i];
    if (TextLayoutRecorder* recorder = TextLayoutRecorder::Active(); recorder && shortened)
        recorder->OnCut(text, out);
    return out;
}

void LibText::StageGlyph(int cell, float x, float y, float side, uint32_t colour)
{
    // Glyphs snap to whole pixels so that point-sampled cells stay crisp.
    const float l = std::floor(x + 0.5f) - 0.5f, t = std::floor(y + 0.5f) - 0.5f;
    const float r = l + side, b = t + side;
    // The cell's coordinates read into locals first: stores into the
    // staged vertices could otherwise alias the font's tables.
    const LibFont& font = *m_font;
    const float u0 = font.GetU(cell, 0), u1 = font.GetU(cell, 1), u2 = font.GetU(cell, 2), u3 = font.GetU(cell, 3);
    const float v0 = font.GetV(cell, 0), v1 = font.GetV(cell, 1), v2 = font.GetV(cell, 2), v3 = font.GetV(cell, 3);
    ScreenVertex* v = &m_vertices[m_count];
    m_count += 4;
    v[0] = ScreenVertex{l, t, 0.0f, 1.0f, colour, u0, v0};
    v[1] = ScreenVertex{r, t, 0.0f, 1.0f, colour, u1, v1};
    v[2] = ScreenVertex{l, b, 0.0f, 1.0f, colour, u2, v2};
    v[3] = ScreenVertex{r, b, 0.0f, 1.0f, colour, u3, v3};
}

void LibText::SetText(int alignment, const std::string& text, float x, float y, uint32_t colour, float boxWidth)
{
    m_chunks.clear();
    if (!m_font) {
        LOG_ERROR_ONCE("TextNotInitialised");
        return;
    }
    if (m_count + text.size() * 4 > kMaxVertices && m_count > 0)
        Render(-1);

    auto lineStart = [&](size_t begin) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos)
            end = text.size();
        float start = x;
        if (alignment == TEXT_ALIGN_RIGHT)
            start = x + boxWidth - LineWidth(text, begin, end);
        else if (alignment == TEXT_ALIGN_CENTRE)
            start = x + boxWidth * 0.5f - LineWidth(text, begin, end) * 0.5f;
        return std::trunc(start);
    };
    const float lineHeight = m_size + static_cast<float>(m_font->GetLineGap());
    if (TextLayoutRecorder* recorder = TextLayoutRecorder::Active(); recorder && recorder->WantsTexts())
        Record(*recorder, alignment, text, x, y, colour, boxWidth);
    float penX = lineStart(0), penY = std::trunc(y);
    bool inChunk = false;
    const float side = m_size * static_cast<float>(m_font->GetCellSize()) / static_cast<float>(m_font->GetBaseSize());

    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = Displayed(static_cast<unsigned char>(text[i]));
        if (c == '\n') {
            penX = lineStart(i + 1);
            penY += lineHeight;
            inChunk = false;
            continue;
        }
        if (c == '\t') {
            penX = NextTabStop(penX);
            inChunk = false;
            continue;
        }
        if (c == ' ' || c == 0) {
            penX += m_size * 0.25f;
            inChunk = false;
            continue;
        }
        if (m_count + 4 > kMaxVertices) {
            LOG_ERROR_ONCE("ERROR - Text exceeds max characters");
            break;
        }
        int cell = GlyphIndex(c);
        // Cells past the grid have no picture; they only take their advance.
        if (cell < LibFont::kGridCells)
            StageGlyph(cell, penX, penY, side, colour);
        if (!inChunk) {
            m_chunks.emplace_back(penX, penY, colour);
            inChunk = true;
        }
        m_chunks.back().text += static_cast<char>(c);
        penX += Advance(text, i);
    }
}

void LibText::Record(TextLayoutRecorder& recorder, int alignment, const std::string& text, float x, float y,
                     uint32_t colour, float boxWidth) const
{
    TextLayoutRecorder::Text laid;
    laid.text = &text;
    laid.font = &m_fontName;
    laid.alignment = alignment;
    laid.x = x;
    laid.y = y;
    laid.boxWidth = boxWidth;
    laid.size = m_size;
    laid.colour = colour;
    const float lineHeight = m_size + static_cast<float>(m_font->GetLineGap());
    // The renderer's spacing after the last glyph is no part of the line.
    const float trailing = static_cast<float>(m_font->GetSpacing()) * m_size / static_cast<float>(m_font->GetBaseSize());
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == 0; };
    float top = std::trunc(y);
    for (size_t begin = 0; begin <= text.size(); top += lineHeight) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos)
            end = text.size();
        size_t first = begin, last = end;
        while (first < last && blank(text[first]))
            ++first;
        while (last > first && blank(text[last - 1]))
            --last;
        if (first < last) {
            const float full = LineWidth(text, begin, end);
            float start = x;
            if (alignment == TEXT_ALIGN_RIGHT)
                start = x + boxWidth - full;
            else if (alignment == TEXT_ALIGN_CENTRE)
                start = x + boxWidth * 0.5f - full * 0.5f;
            start = std::trunc(start);
            TextLayoutRecorder::Line line;
            line.left = start + LineWidth(text, begin, first);
            line.right = start + LineWidth(text, begin, last) - trailing;
            line.top = top;
            line.bottom = top + m_size;
            line.first = first;
            line.last = last;
            line.lastX = start + LineWidth(text, begin, last - 1);
            laid.lines.push_back(line);
        }
        begin = end + 1;
    }
    recorder.OnText(laid);
}

void LibText::Render(int maxChars)
{
    // Nothing staged is nothing to draw, font or not: the interface tail
    // flushes every frame, also before any screen has set a font.
    if (m_count == 0)
        return;
    if (!m_font) {
        LOG_ERROR_ONCE("TextNotInitialised");
        return;
    }
    size_t count = m_count;
    if (maxChars >= 0)
        count = std::min(count, static_cast<size_t>(maxChars) * 4);
    m_count = 0;
    D3DEngine& engine = D3DEngine::GetInstance();
    if (count == 0 || !engine.GetDevice())
        return;
    QuadRunBatch& batch = QuadRunBatch::Shared();
    if (batch.TakesDirectQuads() && engine.IsPlainState()) {
        // Each line's glyphs go in together: one overlap test a line.
        const TextureHandle texture = m_font->GetTexture().GetHandle();
        const float gap = m_size;
        size_t first = 0;
        for (size_t next = 4; next <= count; next += 4) {
            if (next < count && m_vertices[next].y == m_vertices[first].y &&
                m_vertices[next].x <= m_vertices[next - 3].x + gap && m_vertices[next].x >= m_vertices[first].x)
                continue;
            batch.AddPointSampled(texture, engine.IsAdditive(), &m_vertices[first], next - first);
            first = next;
        }
        return;
    }
    if (!m_initialised) {
        m_buffer.Init(kMaxVertices, true);
        m_initialised = true;
    }
    engine.SetSampler(0, TextureFilter::Point, TextureAddress::Clamp);
    m_font->GetTexture().Bind();
    m_buffer.AddVertices(m_vertices.data(), count);
    m_buffer.FlushKeepTexture();
    engine.SetSampler(0, TextureFilter::Linear, TextureAddress::Clamp);
}
