#include "engine/GIniFile.h"
#include "engine/GTokenizer.h"
#include "support/ErrorLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(GIniFile, ReadsOnlyTheExactSection)
{
    TempDir dir;
    std::string path = dir.Write("a.ini", "[Section]\nx = 1\n[ship]   \n  name   =   some value  \nspeed=\nflag\n");
    GIniFile ini;
    ASSERT_TRUE(ini.Load("section", path.c_str()));
    EXPECT_EQ(ini.GetEntryCount(), 0u);
    ASSERT_TRUE(ini.Load("ship", path.c_str()));
    EXPECT_STREQ(ini.GetString("name"), "some value");
    EXPECT_TRUE(ini.HasKey("speed"));
    EXPECT_STREQ(ini.GetString("speed"), "");
    EXPECT_TRUE(ini.HasKey("flag"));
    EXPECT_EQ(ini.SaveToText(), "[ship]\nname = some value\nspeed\nflag\n\n");
}

#include "engine/GRandom.h"
#include "engine/GSafeFile.h"

#include <climits>
#include <set>

namespace {
GIniFile FromText(const char* section, const std::string& text)
{
    GIniFile ini;
    ini.LoadFromText(section, text);
    return ini;
}
} // namespace

TEST(GIniFile, LoadReportsOnlyAnUnopenableFileAsFailure)
{
    TempDir dir;
    GIniFile ini;
    EXPECT_FALSE(ini.Load("s", dir.File("missing.ini").c_str()));
    EXPECT_TRUE(ini.Load("s", dir.Write("empty.ini", "").c_str()));
    EXPECT_EQ(ini.GetEntryCount(), 0u);
    EXPECT_TRUE(ini.Load("absent", dir.Write("other.ini", "[s]\na=1\n").c_str()));
    EXPECT_EQ(ini.GetEntryCount(), 0u);
    EXPECT_EQ(ini.GetFileName(), dir.File("other.ini"));
    EXPECT_EQ(ini.GetSection(), "absent");
}

TEST(GIniFile, LoadReplacesThePreviousContents)
{
    TempDir dir;
    std::string path = dir.Write("a.ini", "[one]\na=1\n[two]\nb=2\n");
    GIniFile ini;
    ASSERT_TRUE(ini.Load("one", path.c_str()));
    ASSERT_TRUE(ini.Load("two", path.c_str()));
    EXPECT_FALSE(ini.HasKey("a"));
    EXPECT_EQ(ini.GetInt("b"), 2);
}

TEST(GIniFile, QuotedValuesKeepTheirBlanksAndDropTheRest)
{
    GIniFile ini = FromText("s", "[s]\nname = \"  padded  \" trailing words\nopen = \"never closed  \nplain = a \"b\" c\n");
    EXPECT_STREQ(ini.GetString("name"), "  padded  ");
    EXPECT_STREQ(ini.GetString("open"), "never closed");
    EXPECT_STREQ(ini.GetString("plain"), "a \"b\" c");
}

TEST(GIniFile, CommentKeysAddNothing)
{
    GIniFile ini = FromText("s", "[s]\n// note = x\n/flag\nreal = 1\n");
    EXPECT_EQ(ini.GetEntryCount(), 1u);
    EXPECT_FALSE(ini.HasKey("// note"));
    ini.Set("/direct", "x");
    EXPECT_EQ(ini.GetEntryCount(), 1u);
}

TEST(GIniFile, DuplicateKeysKeepBothAndFindTheFirst)
{
    GIniFile ini = FromText("s", "[s]\nk = first\nk = second\n");
    EXPECT_STREQ(ini.GetString("k"), "first");
    EXPECT_EQ(ini.SaveToText(), "[s]\nk = first\nk = second\n\n");
    ini.Set("k", "third");
    EXPECT_STREQ(ini.GetString("k"), "first");
    EXPECT_EQ(ini.GetEntryCount(), 3u);
}

TEST(GIniFile, KeysAreCaseSensitive)
{
    GIniFile ini = FromText("s", "[s]\nSpeed = 3\n");
    EXPECT_FALSE(ini.HasKey("speed"));
    EXPECT_STREQ(ini.GetString("speed"), "");
    EXPECT_EQ(ini.GetInt("Speed"), 3);
}

TEST(GIniFile, NumbersTakeTheLongestValidLeadingPart)
{
    GIniFile ini = FromText("s", "[s]\nf = 3.5abc\nbad = abc\nempty =\nneg = -12.25\ni = 42x\nexp = 1e3\n");
    EXPECT_FLOAT_EQ(ini.GetFloat("missing", 2.5f), 2.5f);
    EXPECT_FLOAT_EQ(ini.GetFloat("empty", 2.5f), 2.5f);
    EXPECT_FLOAT_EQ(ini.GetFloat("f", 0.0f), 3.5f);
    EXPECT_FLOAT_EQ(ini.GetFloat("bad", 7.0f), 0.0f);
    EXPECT_FLOAT_EQ(ini.GetFloat("neg", 0.0f), -12.25f);
    EXPECT_FLOAT_EQ(ini.GetFloat("exp", 0.0f), 1000.0f);
    EXPECT_EQ(ini.GetInt("empty"), 0);
    EXPECT_EQ(ini.GetInt("missing"), 0);
    EXPECT_EQ(ini.GetInt("i"), 42);
    EXPECT_EQ(ini.GetInt("f"), 3);
    EXPECT_EQ(ini.GetInt("bad"), 0);
}

TEST(GIniFile, LongNumericValuesConvertWithoutALengthLimit)
{
    std::string zeros(100, '0');
    GIniFile ini = FromText("s", "[s]\nf = " + zeros + "1.5\ni = " + zeros + "17\nhuge = 99999999999999999999\n");
    EXPECT_FLOAT_EQ(ini.GetFloat("f", 0.0f), 1.5f);
    EXPECT_EQ(ini.GetInt("i"), 17);
    EXPECT_EQ(ini.GetInt("huge"), 2147483647); // and logged, as below
}

TEST(GIniFile, KeysAndValuesAreBounded)
{
    std::string longKey(400, 'k');
    std::string longValue(5000, 'v');
    GIniFile ini = FromText("s", "[s]\n" + longKey + " = " + longValue + "\n");
    ASSERT_EQ(ini.GetEntryCount(), 1u);
    EXPECT_EQ(ini.GetKeyAt(0).size(), GIniFile::kMaxKey);
    EXPECT_EQ(ini.GetValueAt(0).size(), GIniFile::kMaxValue);
    EXPECT_STREQ(ini.GetString(longKey.substr(0, GIniFile::kMaxKey).c_str()), longValue.substr(0, 2047).c_str());
}

TEST(GIniFile, SectionThatOccursTwiceIsReadTwiceInFileOrder)
{
    GIniFile ini = FromText("s", "[s]\na = 1\n[t]\nb = 2\n[s]\nc = 3\n");
    ASSERT_EQ(ini.GetEntryCount(), 2u);
    EXPECT_EQ(ini.GetKeyAt(0), "a");
    EXPECT_EQ(ini.GetKeyAt(1), "c");
    EXPECT_FALSE(ini.HasKey("b"));
}

TEST(GIniFile, WindowsLineEndsAndMissingFinalLineEnd)
{
    GIniFile ini = FromText("ship", "[ship]\r\nname = Arrow \r\nflag\r\nlast = end");
    EXPECT_STREQ(ini.GetString("name"), "Arrow");
    EXPECT_TRUE(ini.HasKey("flag"));
    EXPECT_STREQ(ini.GetString("last"), "end");
}

TEST(GIniFile, ValueKeepsLaterEqualsSigns)
{
    GIniFile ini = FromText("s", "[s]\nformula = a=b=c\n=orphan\n");
    EXPECT_STREQ(ini.GetString("formula"), "a=b=c");
    EXPECT_EQ(ini.GetEntryCount(), 1u); // an empty key is not kept
}

TEST(GIniFile, NulByteEndsItsLine)
{
    std::string text = "[s]\nk = ab";
    text += '\0';
    text += "cd\nnext = 1\n";
    GIniFile ini = FromText("s", text);
    EXPECT_STREQ(ini.GetString("k"), "ab");
    EXPECT_EQ(ini.GetInt("next"), 1);
}

TEST(GIniFile, CursorWalksEntriesAndResetsOnLoad)
{
    GIniFile ini = FromText("s", "[s]\na = 1\nb\n");
    std::string key, value;
    ASSERT_TRUE(ini.GetNextEntry(key, value));
    EXPECT_EQ(key, "a");
    EXPECT_EQ(value, "1");
    ASSERT_TRUE(ini.GetNextValue(value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(ini.GetNextEntry(key, value));
    EXPECT_EQ(key, "");
    EXPECT_EQ(value, "");
    EXPECT_FALSE(ini.GetNextValue(value));
    ini.LoadFromText("s", "[s]\nz = 9\n");
    ASSERT_TRUE(ini.GetNextValue(value));
    EXPECT_EQ(value, "9");
}

TEST(GIniFile, RandomValueComesFromTheEntries)
{
    GIniFile empty;
    EXPECT_EQ(empty.GetRandomValue(), "");
    GIniFile ini = FromText("names", "[names]\na = Alpha\nb = Beta\nc = Gamma\n");
    QlmSrand(7);
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i)
        seen.insert(ini.GetRandomValue());
    EXPECT_EQ(seen, (std::set<std::string>{"Alpha", "Beta", "Gamma"}));
}

TEST(GIniFile, SetRectAndSaveThroughAFile)
{
    TempDir dir;
    GIniFile ini;
    ini.SetSection("window");
    ini.SetRect("rect", -1, 2, 300, 400);
    ini.SetString("title", "Fleet");
    ini.Set("empty", "");
    EXPECT_STREQ(ini.GetString("rect"), "-1,2,300,400");
    std::string path = dir.File("w.ini");
    FILE* f = fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    ini.Save(f);
    fclose(f);
    EXPECT_EQ(dir.Read("w.ini"), "[window]\nrect = -1,2,300,400\ntitle = Fleet\nempty\n\n");

    GSafeFile safe(dir.File("safe.ini"));
    ini.Save(safe);
    ASSERT_TRUE(safe.Commit());
    GIniFile back;
    ASSERT_TRUE(back.Load("window", dir.File("safe.ini").c_str()));
    EXPECT_STREQ(back.GetString("title"), "Fleet");
    EXPECT_TRUE(back.HasKey("empty"));
}

TEST(GIniFile, ClearEmptiesTheList)
{
    GIniFile ini = FromText("s", "[s]\na = 1\n");
    ini.Clear();
    EXPECT_EQ(ini.GetEntryCount(), 0u);
    EXPECT_FALSE(ini.HasKey("a"));
}

TEST(GIniFile, ListSectionsNamesEveryHeader)
{
    TempDir dir;
    std::string path = dir.Write("l.ini", "[first]  \r\nx=1\n[second]\n  [indented]\n[]\n[open\n[first]\n");
    std::vector<std::string> names = {"stale"};
    GIniFile::ListSections(names, path.c_str());
    EXPECT_EQ(names, (std::vector<std::string>{"first", "second", "", "ope", "first"}));
    GIniFile::ListSections(names, dir.File("missing.ini").c_str());
    EXPECT_TRUE(names.empty());
}

TEST(GIniFile, ASplitFileLoadsEverySectionAsLoadingItFromTheFileWould)
{
    TempDir dir;
    // Repeated sections gather every block, lines before the first header and
    // a NUL-cut header belong to nothing, CR line ends and quotes stay as Load reads them.
    const std::string text = std::string("stray = 0\n[ship0]\r\nname = \"A b\"  \r\npos = 1,2\n[config]\nfleetname = F\n") +
                             "[ship1]\nname = B\n[ship0]\nquantity = 3\n[sh" + std::string(1, '\0') +
                             "ip1]\nhidden = 1\n[open\nx = 1\n[]\ny = 2\n";
    std::string path = dir.Write("d.ini", text);
    GIniFile::SectionTexts split;
    ASSERT_TRUE(GIniFile::SplitSections(path.c_str(), split));
    std::vector<std::string> names;
    GIniFile::ListSections(names, path.c_str());
    EXPECT_EQ(split.names, names);
    for (const std::string& name : names) {
        GIniFile fromFile, fromSplit;
        fromFile.Load(name.c_str(), path.c_str());
        fromSplit.LoadFromSections(name.c_str(), split);
        EXPECT_EQ(fromSplit.SaveToText(), fromFile.SaveToText()) << "section [" << name << "]";
    }
    GIniFile ship0;
    ship0.LoadFromSections("ship0", split);
    EXPECT_STREQ(ship0.GetString("name"), "A b");
    EXPECT_STREQ(ship0.GetString("quantity"), "3");
    GIniFile missing;
    missing.LoadFromSections("nosuch", split);
    EXPECT_EQ(missing.GetEntryCount(), 0u);
    EXPECT_FALSE(GIniFile::SplitSections(dir.File("missing.ini").c_str(), split));
    EXPECT_TRUE(split.names.empty());
}

TEST(GIniFile, NumbersThatAreNotFiniteReadAsMissingAndNameTheirFileAndKey)
{
    TempDir dir;
    ScopedErrorLog log;
    const std::string path = dir.Write("hull.txt", "[config]\nwidth = nan\nheight = -inf\ncost = 1e999\n"
                                                   "weight = 3.4e38\npos = 1e39,7\n");
    GIniFile ini;
    ASSERT_TRUE(ini.Load("config", path.c_str()));
    EXPECT_FLOAT_EQ(ini.GetFloat("width", 5.0f), 5.0f);
    EXPECT_FLOAT_EQ(ini.GetFloat("height", 6.0f), 6.0f);
    EXPECT_FLOAT_EQ(ini.GetFloat("cost", 7.0f), 7.0f);
    EXPECT_FLOAT_EQ(ini.GetFloat("weight", 0.0f), 3.4e38f) << "the largest floats are still numbers";
    EXPECT_EQ(log.Count(path + " [config] width: not a finite number"), 1);
    EXPECT_EQ(log.Count(path + " [config] cost: not a finite number"), 1);

    // Fields of a line: 0, logged when the tokenizer knows the line's source.
    GTokenizer tok(ini.GetString("pos"), ',');
    tok.source = path + " pos";
    EXPECT_FLOAT_EQ(tok.NextFloat(), 0.0f);
    EXPECT_FLOAT_EQ(tok.NextFloat(), 7.0f);
    EXPECT_EQ(log.Count(path + " pos: 1e39 is not a finite number"), 1);
    bool nonFinite = false;
    EXPECT_FLOAT_EQ(ParseLeadingFloat("nan(1)", &nonFinite), 0.0f);
    EXPECT_TRUE(nonFinite);
    EXPECT_FLOAT_EQ(ParseLeadingFloat("12.5x", &nonFinite), 12.5f);
    EXPECT_FALSE(nonFinite);
    EXPECT_EQ(log.Lines(), 4);
}

TEST(GIniFile, AValueThatIsNotANumberIsNamedWithItsFileSectionAndKeyOnce)
{
    TempDir dir;
    const std::string path = dir.Write("progress.txt", "[config]\nnan = nan\nhuge = 1e30\nhex = 0x7fffffff\n"
                                                       "inf = inf\ntail = 12abc\nblank =\nfrac = 12.5\n"
                                                       "whole = 12.00\nplain = -7\nspaced =  42 \nbig = 99999999999\n"
                                                       "f = 0.5abc\nfine = 1e3\nedge = 2147483647\nlow = -2147483648\n"
                                                       "past = 2147483648\nunder = -2147483649\n");
    GIniFile ini;
    ASSERT_TRUE(ini.Load("config", path.c_str()));
    {
        ScopedErrorLog log;
        // Whole numbers within the int range, however written, go without a word.
        EXPECT_EQ(ini.GetInt("whole"), 12);
        EXPECT_EQ(ini.GetInt("plain"), -7);
        EXPECT_EQ(ini.GetInt("spaced"), 42);
        EXPECT_EQ(ini.GetInt("edge"), INT_MAX);
        EXPECT_EQ(ini.GetInt("low"), INT_MIN);
        EXPECT_EQ(ini.GetInt("blank"), 0);
        EXPECT_EQ(ini.GetInt("missing"), 0);
        EXPECT_FLOAT_EQ(ini.GetFloat("fine", 0.0f), 1000.0f);
        EXPECT_EQ(log.Lines(), 0);
        // The rest: the leading integer (a decimal number cut to its integer
        // part), with one line each.
        EXPECT_EQ(ini.GetInt("nan"), 0);
        EXPECT_EQ(ini.GetInt("hex"), 0);
        EXPECT_EQ(ini.GetInt("inf"), 0);
        EXPECT_EQ(ini.GetInt("tail"), 12);
        EXPECT_EQ(ini.GetInt("frac"), 12);
        EXPECT_FLOAT_EQ(ini.GetFloat("f", 9.0f), 0.5f);
        // Beyond the int range: held to it, and said so (an id held at the
        // top would wrap at its next use).
        EXPECT_EQ(ini.GetInt("big"), INT_MAX);
        EXPECT_EQ(ini.GetInt("huge"), INT_MAX);
        EXPECT_EQ(ini.GetInt("past"), INT_MAX);
        EXPECT_EQ(ini.GetInt("under"), INT_MIN);
        for (const char* line : {" [config] big = 99999999999: out of range -2147483648..2147483647, 2147483647 used",
                                 " [config] huge = 1e30: out of range -2147483648..2147483647, 2147483647 used",
                                 " [config] past = 2147483648: out of range -2147483648..2147483647, 2147483647 used",
                                 " [config] under = -2147483649: out of range -2147483648..2147483647, -2147483648 used",
                                 " [config] nan = nan: not a whole number, 0 used",
                                 " [config] hex = 0x7fffffff: not a whole number, 0 used",
                                 " [config] inf = inf: not a whole number, 0 used",
                                 " [config] tail = 12abc: not a whole number, 12 used",
                                 " [config] frac = 12.5: not a whole number, 12 used",
                                 " [config] f = 0.5abc: not a number, 0.5 used"})
            EXPECT_EQ(log.Count(path + line), 1) << line;
        EXPECT_EQ(log.Lines(), 10);
    }

    // A bounded number: one line, the value held to the bounds; a blank that
    // is there counts as no number, one that is missing reads the low bound.
    ScopedErrorLog log;
    EXPECT_EQ(ini.GetIntInRange("huge", 0, 999999999), 999999999);
    EXPECT_EQ(ini.GetIntInRange("big", 0, INT_MAX), INT_MAX);
    EXPECT_EQ(ini.GetIntInRange("edge", 0, INT_MAX), INT_MAX);
    EXPECT_EQ(ini.GetIntInRange("nan", 5, 10), 5);
    EXPECT_EQ(ini.GetIntInRange("blank", 0, 10), 0);
    EXPECT_EQ(ini.GetIntInRange("tail", 0, 10), 10);
    EXPECT_EQ(ini.GetIntInRange("missing", 3, 10), 3);
    EXPECT_EQ(ini.GetIntInRange("plain", -7, -7), -7);
    EXPECT_EQ(ini.GetIntInRange("plain", -6, 0), -6);
    EXPECT_FLOAT_EQ(ini.GetFloatInRange("f", 0.0f, 0.25f, 0.1f), 0.1f);
    EXPECT_FLOAT_EQ(ini.GetFloatInRange("nan", 0.0f, 1.0f, 2.0f), 1.0f);
    EXPECT_FLOAT_EQ(ini.GetFloatInRange("fine", 0.0f, 1000.0f, 0.0f), 1000.0f);
    for (const char* line : {" [config] huge = 1e30: out of range 0..999999999, 999999999 used",
                             " [config] nan = nan: not a whole number, 5 used",
                             " [config] blank = : not a whole number, 0 used",
                             " [config] tail = 12abc: not a whole number, 10 used",
                             " [config] plain = -7: out of range -6..0, -6 used",
                             " [config] f = 0.5abc: not a number, 0.1 used",
                             " [config] nan = nan: not a number, 1 used",
                             " [config] big = 99999999999: out of range 0..2147483647, 2147483647 used"})
        EXPECT_EQ(log.Count(path + line), 1) << line;
    EXPECT_EQ(log.Lines(), 8);
}

TEST(GIniFile, AllSectionsInOnePassReadAsEachSectionAlone)
{
    // A NUL ends its line: "[d]" is no header and v goes to [c].
    const std::string text = std::string("top = 1\n[a]\nx = 1\n[b]\nx = 2\ny\n[a]\nx = 3\nz = 4\n[open\nw = 5\n"
                                         "[]\nq = 6\n[c] \n") +
                             std::string(1, '\0') + "[d]\nv = 7\n";
    GIniFile::Repeats repeated;
    std::vector<GIniFile> sections = GIniFile::ParseSections(text + "[]\n[b]\n[a]\n", &repeated);
    std::vector<std::string> names;
    for (const GIniFile& s : sections)
        names.push_back(s.GetSection());
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "ope", "", "c"}));
    EXPECT_EQ(repeated.count, 3u) << "[a] twice, [b] once; [] is not counted";
    EXPECT_EQ(repeated.first, "a");
    for (const GIniFile& s : sections) {
        GIniFile alone;
        alone.LoadFromText(s.GetSection().c_str(), text);
        ASSERT_EQ(s.GetEntryCount(), alone.GetEntryCount()) << s.GetSection();
        for (size_t i = 0; i < s.GetEntryCount(); ++i) {
            EXPECT_EQ(s.GetKeyAt(i), alone.GetKeyAt(i));
            EXPECT_EQ(s.GetValueAt(i), alone.GetValueAt(i));
        }
    }
    EXPECT_EQ(sections[0].GetEntryCount(), 3u) << "both blocks of [a]";
    EXPECT_EQ(sections[2].GetEntryCount(), 0u) << "an unclosed header takes nothing";
    EXPECT_EQ(sections[4].GetEntryCount(), 1u);
}
