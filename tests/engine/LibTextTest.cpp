#include "EngineTestFixture.h"

#include "engine/GSafeFile.h"
#include "engine/LibText.h"
#include "support/GameText.h"

#include <cmath>
#include <filesystem>
#include <sstream>
#include <vector>

namespace {
int32_t AdvanceIn(const std::string& dat, int cell)
{
    const auto* p = reinterpret_cast<const unsigned char*>(dat.data()) + cell * 4;
    return static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24));
}
} // namespace

class LibTextTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(m_text.Open(FilesPath()));
        m_cw = ReadDat("cwfont20.dds.dat");
        m_zk = ReadDat("zekton16.dds.dat");
    }
    void TearDown() override
    {
        m_text.Close();
        EngineTest::TearDown();
    }
    std::string ReadDat(const std::string& name) { return m_files.Read("data/fonts/" + name); }
    LibText& Text() { return LibText::GetInstance(); }

    GameText m_text;
    std::string m_cw, m_zk;
};

TEST_F(LibTextTest, GeneratedFilesHaveTheLayoutTheReaderExpects)
{
    ASSERT_EQ(m_cw.size(), 1024u);
    ASSERT_EQ(m_zk.size(), 1024u);
    for (int cell : {0, 32, 64, 92, 93, 94})
        EXPECT_GT(AdvanceIn(m_zk, cell), 0) << cell;
    EXPECT_EQ(AdvanceIn(m_zk, 120), 0);
    // 'W' is wider than 'i'.
    EXPECT_GT(AdvanceIn(m_cw, 'W' - 33), AdvanceIn(m_cw, 'i' - 33));
    int w = 0, h = 0;
    ASSERT_NE(Engine().FindTexture("zekton16.dds"), 0u);
    ASSERT_TRUE(Engine().GetTextureSize("zekton16.dds", w, h));
    EXPECT_EQ(w, 240);
    ASSERT_NE(Engine().FindTexture("cwfont20.dds"), 0u);
    ASSERT_TRUE(Engine().GetTextureSize("cwfont20.dds", w, h));
    EXPECT_EQ(w, 320);
}

TEST_F(LibTextTest, CharacterAdvances)
{
    Text().SetFont("cwfont20.dds", 20);
    EXPECT_FLOAT_EQ(Text().GetCharWidth('A'), static_cast<float>(AdvanceIn(m_cw, 32) + 2));
    Text().SetFont("zekton16.dds", 12);
    EXPECT_FLOAT_EQ(Text().GetCharWidth(' '), 3.0f);
    EXPECT_FLOAT_EQ(Text().GetCharWidth('A'), (AdvanceIn(m_zk, 32) + 1) * 12.0f / 16.0f);
    Text().SetFixedWidth(true);
    EXPECT_FLOAT_EQ(Text().GetCharWidth('A'), 9.0f + 12.0f / 16.0f);
    Text().SetFixedWidth(false);
    EXPECT_EQ(Text().GetTextWidth("AA"),
              static_cast<int>(2 * (AdvanceIn(m_zk, 32) + 1) * 12.0f / 16.0f));
}

TEST_F(LibTextTest, CharactersToCells)
{
    EXPECT_EQ(LibText::GlyphIndex('!'), 0);
    EXPECT_EQ(LibText::GlyphIndex('A'), 32);
    EXPECT_EQ(LibText::GlyphIndex('%'), 93);
    EXPECT_EQ(LibText::GlyphIndex(0x80), 94);
    EXPECT_EQ(LibText::GlyphIndex(0xA3), 92);
    EXPECT_EQ(LibText::GlyphIndex(' '), 0);
    EXPECT_EQ(LibText::GlyphIndex(0xFF), 222);

    Text().SetFont("zekton16.dds", 16);
    Text().SetText(TEXT_ALIGN_LEFT, "%", 0, 0, 0xFFFFFFFFu, 0);
    ASSERT_EQ(Text().GetStagedVertexCount(), 4u);
    const ScreenVertex* v = Text().GetStagedVertices();
    EXPECT_FLOAT_EQ(v[0].u, 3 * 24.0f / 240.0f);
    EXPECT_FLOAT_EQ(v[0].v, 9 * 24.0f / 240.0f);
    EXPECT_FLOAT_EQ(v[3].u, 4 * 24.0f / 240.0f);
    // Characters past the grid take their advance but draw nothing.
    Text().Render();
    Text().SetText(TEXT_ALIGN_LEFT, "\xC8", 0, 0, 0xFFFFFFFFu, 0);
    EXPECT_EQ(Text().GetStagedVertexCount(), 0u);
}

TEST_F(LibTextTest, KerningIsScaledAndCounted)
{
    Text().SetFont("cwfont20.dds", 20);
    float f = Text().GetCharWidth('f'), o = Text().GetCharWidth('o');
    EXPECT_EQ(Text().GetTextWidth("fo"), static_cast<int>(f + o - 1.0f));
    EXPECT_EQ(Text().GetTextWidth("ff"), static_cast<int>(2 * f - 2.0f));
    Text().SetText(TEXT_ALIGN_LEFT, "fo", 0, 0, 0xFFFFFFFFu, 0);
    ASSERT_EQ(Text().GetChunks().size(), 1u);
    const ScreenVertex* v = Text().GetStagedVertices();
    EXPECT_FLOAT_EQ(v[4].x + 0.5f, std::floor(f - 1.0f + 0.5f));
    Text().Render();
    Text().SetFont("cwfont20.dds", 40);
    EXPECT_EQ(Text().GetTextWidth("fo"), static_cast<int>(2 * f + 2 * o - 2.0f));
}

TEST_F(LibTextTest, TabsSpacesAndChunks)
{
    Text().SetFont("zekton16.dds", 12);
    Text().SetText(TEXT_ALIGN_LEFT, "a\tb", 0, 0, 0xFF00FF00u, 0);
    ASSERT_EQ(Text().GetChunks().size(), 2u);
    EXPECT_FLOAT_EQ(Text().GetChunks()[1].x, 80.0f);
    EXPECT_EQ(Text().GetChunks()[1].text, "b");
    EXPECT_EQ(Text().GetChunks()[1].colour, 0xFF00FF00u);
    Text().Render();

    Text().SetText(TEXT_ALIGN_LEFT, "one two  three", 10, 20, 0xFFFFFFFFu, 0);
    ASSERT_EQ(Text().GetChunks().size(), 3u);
    EXPECT_EQ(Text().GetChunks()[2].text, "three");
    float expected = 10.0f + static_cast<float>(Text().GetTextWidth("one two  "));
    EXPECT_NEAR(Text().GetChunks()[2].x, expected, 1.0f);
    // Code 0x92 is drawn as an apostrophe.
    Text().Render();
    Text().SetText(TEXT_ALIGN_LEFT, "it\x92s", 0, 0, 0xFFFFFFFFu, 0);
    EXPECT_EQ(Text().GetChunks()[0].text, "it's");
    Text().Render();
}

TEST_F(LibTextTest, Alignment)
{
    Text().SetFont("zekton16.dds", 16);
    int w = Text().GetTextWidth("Fleet");
    Text().SetText(TEXT_ALIGN_RIGHT, "Fleet", 100, 0, 0xFFFFFFFFu, 200);
    EXPECT_FLOAT_EQ(Text().GetChunks()[0].x, std::trunc(300.0f - Text().GetTextWidth("Fleet")));
    Text().SetText(TEXT_ALIGN_CENTRE, "Fleet", 100, 0, 0xFFFFFFFFu, 200);
    EXPECT_NEAR(Text().GetChunks()[0].x, 200.0f - w * 0.5f, 1.0f);
    Text().Render();
}

TEST_F(LibTextTest, WrappingKeepsEveryLineInsideTheWidth)
{
    Text().SetFont("zekton16.dds", 16);
    std::string text = "The enemy fleet approaches from the far side of the wormhole with three cruisers";
    const int width = 150;
    std::string wrapped = Text().GetWrappedText(text, width);
    std::istringstream lines(wrapped);
    std::string line, rejoined;
    int count = 0;
    while (std::getline(lines, line)) {
        EXPECT_LE(Text().GetTextWidth(line), width) << line;
        rejoined += (rejoined.empty() ? "" : " ") + line;
        ++count;
    }
    EXPECT_GT(count, 2);
    EXPECT_EQ(rejoined, text);
    EXPECT_EQ(Text().GetWrappedTextHeight(text, width), count * 16);
    Text().GetCurrentFont()->SetLineGap(2);
    EXPECT_EQ(Text().GetWrappedTextHeight(text, width), count * 18);
    Text().GetCurrentFont()->SetLineGap(0);

    // A word wider than the line is cut; nothing is lost and it ends.
    std::string longWord(60, 'W');
    std::string cut = Text().GetWrappedText("a " + longWord, 40);
    std::string letters;
    for (char c : cut)
        if (c != '\n' && c != ' ')
            letters += c;
    EXPECT_EQ(letters, "a" + longWord);
    EXPECT_FALSE(Text().GetWrappedText(longWord, 0).empty());
    // A path wider than the line breaks after a slash, each piece as long
    // as fits; a piece without a slash that fits is cut where it must.
    const std::string path = "/home/cora/.local/share/quillomar/campaigns/first/fleets/fleet3.txt";
    const int pathWidth = 200;
    const std::string broken = Text().GetWrappedText(path, pathWidth);
    std::istringstream pieces(broken);
    std::string piece, joined;
    std::vector<std::string> all;
    while (std::getline(pieces, piece)) {
        EXPECT_LE(Text().GetTextWidth(piece), pathWidth) << piece;
        joined += piece;
        all.push_back(piece);
    }
    EXPECT_EQ(joined, path);
    ASSERT_GT(all.size(), 1u);
    for (size_t i = 0; i + 1 < all.size(); ++i) {
        EXPECT_EQ(all[i].back(), '/') << "broken mid-word: " << all[i];
        // The next piece's first folder would not have fitted on this line.
        const std::string next = all[i + 1].substr(0, all[i + 1].find('/') + 1);
        EXPECT_GT(Text().GetTextWidth(all[i] + next), pathWidth) << all[i] << " | " << next;
    }
    // A leading slash alone is no line of its own.
    EXPECT_NE(Text().GetWrappedText("/" + longWord, 40).substr(0, 2), "/\n");
    // Line breaks in the text are kept.
    EXPECT_EQ(Text().GetWrappedText("ab\ncd", 500), "ab\ncd");
}

TEST_F(LibTextTest, FittedTextBreaksOnlyAtBlanksAndEndsWhatDoesNotFitInDots)
{
    Text().SetFont("zekton16.dds", 16);
    auto lines = [](const std::string& text) {
        std::vector<std::string> out;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            out.push_back(line);
        return out;
    };
    // A word exactly as wide as the box stays whole; one pixel less and it
    // is shortened with dots, never broken onto a second line.
    const int federation = Text().GetTextWidth("federation");
    EXPECT_EQ(Text().FitText("federation", federation, 2), "federation");
    const std::string shortened = Text().FitText("federation", federation - 1, 2);
    EXPECT_EQ(shortened.find('\n'), std::string::npos);
    EXPECT_EQ(shortened.substr(shortened.size() - 3), "...");
    EXPECT_EQ(std::string("federation").rfind(shortened.substr(0, shortened.size() - 3), 0), 0u);
    EXPECT_LE(Text().GetTextWidth(shortened), federation - 1);

    // Words move to the next line whole; past the last line the text is cut.
    const int twoWords = Text().GetTextWidth("alpha beta");
    EXPECT_EQ(Text().FitText("alpha beta gamma", twoWords, 2), "alpha beta\ngamma");
    const std::string one = Text().FitText("alpha beta gamma", twoWords, 1);
    ASSERT_EQ(lines(one).size(), 1u);
    EXPECT_EQ(one.substr(one.size() - 3), "...");
    EXPECT_LE(Text().GetTextWidth(one), twoWords);
    EXPECT_EQ(Text().FitText("ab\ncd", 500, 2), "ab\ncd");
    EXPECT_EQ(Text().FitText("ab\ncd", 500, 0), "");

    // A server's 5,000-character line, with and without blanks: one line of the box.
    std::string words;
    while (words.size() < 5000)
        words += "spam ";
    for (const std::string& text : {words, std::string(5000, 'W')}) {
        const std::vector<std::string> fitted = lines(Text().FitText(text, 300, 1));
        ASSERT_EQ(fitted.size(), 1u);
        EXPECT_LE(Text().GetTextWidth(fitted[0]), 300);
        EXPECT_EQ(fitted[0].substr(fitted[0].size() - 3), "...");
    }
    const std::vector<std::string> three = lines(Text().FitText(words, 300, 3));
    ASSERT_EQ(three.size(), 3u);
    for (const std::string& line : three)
        EXPECT_LE(Text().GetTextWidth(line), 300) << line;
}

TEST_F(LibTextTest, OneLineShrinksToTheLargestSizeThatFitsThenIsCutAtTheFloor)
{
    const std::string name = "Federation Support Frigate";
    auto widthAt = [&](float size) {
        Text().SetFont("zekton16.dds", size);
        return Text().GetTextWidth(name);
    };
    // Exactly as wide as the text at 16: kept at 16, whole.
    const int full = widthAt(16.0f);
    std::string kept = name;
    EXPECT_EQ(Text().FitLine(kept, full, 16.0f, 11.0f), 16.0f);
    EXPECT_EQ(kept, name);
    // A pixel less: the largest whole size below 16 at which it fits, and
    // the font left there.
    const float size = Text().SizeToFit(name, full - 1, 16.0f, 11.0f);
    ASSERT_LT(size, 16.0f);
    ASSERT_GE(size, 11.0f);
    EXPECT_EQ(Text().GetTextWidth(name), widthAt(size));
    EXPECT_LE(widthAt(size), full - 1);
    EXPECT_GT(widthAt(size + 1.0f), full - 1);
    // As wide as it is at the floor: drawn there, whole; a pixel less and
    // it is cut with dots at the floor, within the width.
    const int floor = widthAt(11.0f);
    Text().SetFont("zekton16.dds", 16.0f);
    std::string atFloor = name;
    EXPECT_EQ(Text().FitLine(atFloor, floor, 16.0f, 11.0f), 11.0f);
    EXPECT_EQ(atFloor, name);
    std::string cut = name;
    Text().SetFont("zekton16.dds", 16.0f);
    EXPECT_EQ(Text().FitLine(cut, floor - 1, 16.0f, 11.0f), 11.0f);
    ASSERT_GT(cut.size(), 3u);
    EXPECT_EQ(cut.substr(cut.size() - 3), "...");
    EXPECT_EQ(name.rfind(cut.substr(0, cut.size() - 3), 0), 0u);
    EXPECT_LE(Text().GetTextWidth(cut), floor - 1);
}

TEST_F(LibTextTest, TooMuchTextIsCutAndLogged)
{
    Text().SetFont("zekton16.dds", 16);
    std::string many(1200, 'x');
    Text().SetText(TEXT_ALIGN_LEFT, many, 0, 0, 0xFFFFFFFFu, 0);
    EXPECT_EQ(Text().GetStagedVertexCount(), LibText::kMaxVertices);
    EXPECT_EQ(ErrorCount("ERROR - Text exceeds max characters"), 1);
    // Staged text that would overflow with the next one is drawn first.
    Device().ClearDraws();
    Text().SetText(TEXT_ALIGN_LEFT, "abc", 0, 0, 0xFFFFFFFFu, 0);
    EXPECT_EQ(Device().GetDraws().size(), 1u);
    EXPECT_EQ(Text().GetStagedVertexCount(), 12u);
    Text().Render();
    EXPECT_EQ(Text().MeasureText(std::string(2100, 'i'), 16) > 0, true);
    EXPECT_EQ(ErrorCount("Text too long in one chunk (max 2048)"), 1);
}

TEST_F(LibTextTest, RenderDrawsOnceWithPointSamplingAndRestoresLinear)
{
    Text().SetFont("zekton16.dds", 16);
    Text().SetText(TEXT_ALIGN_LEFT, "Hello", 10, 10, 0xFFFFFFFFu, 0);
    Text().SetText(TEXT_ALIGN_LEFT, "World", 10, 30, 0xFFFFFFFFu, 0);
    Device().ResetStats();
    Device().ClearDraws();
    Text().Render(7);
    ASSERT_EQ(Device().GetDraws().size(), 1u);
    EXPECT_EQ(Device().GetDraws()[0].vertexCount, 28u);
    EXPECT_EQ(Device().GetDraws()[0].texture, Engine().FindTexture("zekton16.dds"));
    EXPECT_EQ(Device().GetState().SamplerState(0).filter, TextureFilter::Linear);
    EXPECT_EQ(Text().GetStagedVertexCount(), 0u);
    // Glyph quads are cells scaled to the point size.
    Text().SetFont("zekton16.dds", 32);
    Text().SetText(TEXT_ALIGN_LEFT, "H", 0, 0, 0xFFFFFFFFu, 0);
    const ScreenVertex* v = Text().GetStagedVertices();
    EXPECT_FLOAT_EQ(v[3].x - v[0].x, 48.0f);
    Text().Render();
}

TEST_F(LibTextTest, SwitchingFontDrawsStagedGlyphsWithTheirOwnTexture)
{
    Text().SetFont("zekton16.dds", 16);
    Text().SetText(TEXT_ALIGN_LEFT, "abc", 0, 0, 0xFFFFFFFFu, 0);
    Device().ClearDraws();
    Text().SetFont("cwfont20.dds", 20);
    ASSERT_EQ(Device().GetDraws().size(), 1u);
    EXPECT_EQ(Device().GetDraws()[0].texture, Engine().FindTexture("zekton16.dds"));
}

TEST_F(LibTextTest, MissingFontsAndFilesAreSurvived)
{
    Text().SetFont("zekton16.dds", 16);
    Text().SetFont("nofont.dds", 20);
    EXPECT_EQ(ErrorCount("missing font: nofont.dds"), 1);
    EXPECT_EQ(Text().GetCurrentFont()->GetTextureName(), "zekton16.dds");
    EXPECT_FLOAT_EQ(Text().GetSize(), 16.0f);

    // A short advance file: logged, the missing entries get a stand-in.
    m_files.Write("data/fonts/short.dat", std::string(40, '\x05'));
    LibFont* f = Text().CreateFont("data/fonts/short.dat", "zekton16.dds", 16, 24);
    EXPECT_EQ(ErrorCount("Font advance file has 40 bytes"), 1);
    EXPECT_EQ(f->GetAdvance(0), 96); // held to four cells
    EXPECT_EQ(f->GetAdvance(200), 8);
    EXPECT_EQ(f->GetAdvance(-1), 0);
    EXPECT_EQ(f->GetAdvance(256), 0);

    Text().Shutdown();
    EXPECT_EQ(Text().GetTextWidth("abc"), 0);
    EXPECT_EQ(ErrorCount("Text Not Initialised"), 1);
    // Without a font: said once however often it is tried, and an empty
    // flush (the interface tail's, every frame) is no error at all.
    for (int frame = 0; frame < 3; ++frame) {
        Text().SetText(TEXT_ALIGN_LEFT, "abc", 0, 0, 0xFFFFFFFFu, 0);
        Text().Render();
    }
    EXPECT_EQ(ErrorCount("TextNotInitialised"), 1);
}

TEST_F(LibTextTest, FontsComeBackAfterRestore)
{
    Text().SetFont("zekton16.dds", 16);
    ASSERT_TRUE(Engine().Restore());
    EXPECT_EQ(Device().GetTextureCount(), 0u);
    Text().SetText(TEXT_ALIGN_LEFT, "Again", 0, 0, 0xFFFFFFFFu, 0);
    Device().ClearDraws();
    Text().Render();
    ASSERT_EQ(Device().GetDraws().size(), 1u);
    EXPECT_NE(Device().GetDraws()[0].texture, 0u);
    EXPECT_EQ(Device().GetDraws()[0].texture, Engine().FindTexture("zekton16.dds"));
}
