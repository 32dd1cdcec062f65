#include "engine/GHashTable.h"
#include "support/ErrorLog.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {
struct Parsed {
    std::string key, value;
};
Parsed Parse(const std::string& entry)
{
    Parsed p;
    GHashTable::ParseEntry(entry, p.key, p.value);
    return p;
}
} // namespace

TEST(GHashTable, BucketIgnoresCaseAndFoldsNonLetters)
{
    EXPECT_EQ(GHashTable::BucketOf("a"), 0);
    EXPECT_EQ(GHashTable::BucketOf("Key"), GHashTable::BucketOf("key"));
    EXPECT_EQ(GHashTable::BucketOf("zz"), 50);
    EXPECT_EQ(GHashTable::BucketOf("_1"), 52);
    EXPECT_EQ(GHashTable::BucketOf("\xe9\xe9"), 52);
    EXPECT_EQ(GHashTable::BucketOf("B_"), 27);
}

TEST(GHashTable, KeysDifferingInCaseShareABucketButNotAValue)
{
    GHashTable t;
    t.Add("Key", "upper");
    t.Add("key", "lower");
    EXPECT_STREQ(t.Lookup("Key"), "upper");
    EXPECT_STREQ(t.Lookup("key"), "lower");
    EXPECT_STREQ(t.Lookup("KEY"), "");
}

TEST(GHashTable, FirstValueOfAKeyWins)
{
    GHashTable t;
    t.Add("A", "1");
    t.Add("A", "2");
    EXPECT_STREQ(t.Lookup("A"), "1");
    EXPECT_EQ(t.GetRecordCount(), 2u);
    t.Clear();
    EXPECT_EQ(t.GetRecordCount(), 0u);
    EXPECT_STREQ(t.Lookup("A"), "");
    EXPECT_STREQ(t.Lookup(""), "");
    EXPECT_STREQ(t.Lookup(nullptr), "");
}

TEST(GHashTable, EntryRules)
{
    Parsed p = Parse("MY KEY= x y");
    EXPECT_EQ(p.key, "MYKEY");
    EXPECT_EQ(p.value, " x y");
    p = Parse("Q=say \"hi\"");
    EXPECT_EQ(p.value, "say hi");
    p = Parse("E=a\\=b\\\"c\\d");
    EXPECT_EQ(p.value, "a=b\"cd");
    p = Parse("T=1=2");
    EXPECT_EQ(p.value, "12");
    p = Parse("END=trailing\\");
    EXPECT_EQ(p.value, "trailing");
    p = Parse("\xe9T\xe9=\xe0 la");
    EXPECT_EQ(p.key, "\xe9T\xe9");
    EXPECT_EQ(p.value, "\xe0 la");
}

TEST(GHashTable, EntryWithoutEqualsStopsAtItsEnd)
{
    Parsed p = Parse("LONELY");
    EXPECT_EQ(p.key, "LONELY");
    EXPECT_EQ(p.value, "");
    GHashTable t;
    t.LoadSectionFromText("[strings]\nLONELY\nNEXT=value\n", false);
    EXPECT_STREQ(t.Lookup("NEXT"), "value");
    EXPECT_STREQ(t.Lookup("LONELY"), "");
    EXPECT_EQ(t.GetRecordCount(), 2u);
}

TEST(GHashTable, KeysAndValuesAreBounded)
{
    Parsed p = Parse(std::string(300, 'k') + "=" + std::string(3000, 'v'));
    EXPECT_EQ(p.key.size(), GHashTable::kMaxKey);
    EXPECT_EQ(p.value.size(), GHashTable::kMaxValue);
    GHashTable t;
    t.Add(std::string(300, 'k'), std::string(3000, 'v'));
    EXPECT_EQ(std::string(t.Lookup(std::string(255, 'k').c_str())).size(), GHashTable::kMaxValue);
}

TEST(GHashTable, ProfileSectionReading)
{
    std::string text = "; header note\n[other]\nX=1\n[ Strings ]\r\n; comment\n\n  OK  =  Fine  \r\n"
                       "CANCEL=Cancel\n[next]\nY=2\n[strings]\nLATE=appended\n";
    std::vector<std::string> lines = GHashTable::ReadProfileSection(text, "strings");
    EXPECT_EQ(lines, (std::vector<std::string>{"OK=Fine", "CANCEL=Cancel", "LATE=appended"}));
    GHashTable t;
    t.LoadSectionFromText(text, false);
    EXPECT_STREQ(t.Lookup("OK"), "Fine");
    EXPECT_STREQ(t.Lookup("X"), "");
    EXPECT_STREQ(t.Lookup("Y"), "");
    EXPECT_STREQ(t.Lookup("LATE"), "appended");
}

TEST(GHashTable, AppendKeepsEarlierKeysAndReloadReplaces)
{
    TempDir dir;
    std::string a = dir.Write("a.ini", "[strings]\nA=first\nB=b\n");
    std::string b = dir.Write("b.ini", "[strings]\nA=second\nC=c\n");
    GHashTable t;
    EXPECT_FALSE(t.IsLoaded());
    t.LoadSection(a, false);
    EXPECT_TRUE(t.IsLoaded());
    t.LoadSection(b, true);
    EXPECT_STREQ(t.Lookup("A"), "first");
    EXPECT_STREQ(t.Lookup("C"), "c");
    t.LoadSection(b, false);
    EXPECT_STREQ(t.Lookup("A"), "second");
    EXPECT_STREQ(t.Lookup("B"), "");
}

TEST(GHashTable, AFileAppendedAgainAddsNothingUntilTheTableIsEmptied)
{
    // Every campaign opened appends the campaign's strings: the table must
    // not grow by them each time.
    TempDir dir;
    std::string a = dir.Write("a.ini", "[strings]\nA=first\nB=b\n");
    std::string b = dir.Write("b.ini", "[strings]\nC=c\nD=d\n");
    GHashTable t;
    t.LoadSection(a, false);
    for (int i = 0; i < 3; ++i)
        t.LoadSection(b, true);
    EXPECT_EQ(t.GetRecordCount(), 4u);
    t.Reset();
    t.LoadSection(b, true);
    EXPECT_EQ(t.GetRecordCount(), 2u);
    t.LoadSection(a, false);
    t.LoadSection(b, true);
    EXPECT_EQ(t.GetRecordCount(), 4u);
    EXPECT_STREQ(t.Lookup("D"), "d");
}

TEST(GHashTable, MissingFileGivesAnEmptyLoadedTable)
{
    TempDir dir;
    GHashTable t;
    t.Add("A", "x");
    t.LoadSection(dir.File("none.ini"), false);
    EXPECT_TRUE(t.IsLoaded());
    EXPECT_EQ(t.GetRecordCount(), 0u);
    t.EnsureLoaded(dir.Write("late.ini", "[strings]\nA=y\n"));
    EXPECT_EQ(t.GetRecordCount(), 0u); // an earlier load counts
}

// The one process-wide table: loads data/strings.ini from the working folder
// on the first lookup of a non-empty key.
TEST(GHashTable, GetStringLoadsOnFirstUseAndFallsBackToTheKey)
{
    TempDir dir;
    dir.Write("data/strings.ini", "[strings]\nOK=Fine\nEMPTY=\nQUOTED=\"x\\=y\"\n");
    ScopedChdir cd(dir.Path());
    // The table is the process's own: start from a fresh one whatever ran before.
    GetStringTable().Reset();
    EXPECT_STREQ(GetString(""), "");
    EXPECT_STREQ(GetString(nullptr), "");
    EXPECT_FALSE(GetStringTable().IsLoaded());
    EXPECT_STREQ(GetString("OK"), "Fine");
    EXPECT_TRUE(GetStringTable().IsLoaded());
    EXPECT_STREQ(GetString("EMPTY"), "EMPTY");
    EXPECT_STREQ(GetString("MISSING_KEY"), "MISSING_KEY");
    EXPECT_STREQ(GetString("QUOTED"), "x=y");
    const char* first = GetString("OK");
    EXPECT_EQ(first, GetString("OK")); // same record, no copy
    GetStringTable().Reset();
}

TEST(GHashTable, ShippedStringsFileLoads)
{
    GHashTable t;
    std::string path = std::string(QLM_SOURCE_DIR) + "/data/strings.ini";
    ASSERT_TRUE(std::filesystem::exists(path));
    t.LoadSection(path, false);
    EXPECT_STREQ(t.Lookup("OK"), "OK");
    EXPECT_STREQ(t.Lookup("CANCEL"), "Cancel");
    EXPECT_STREQ(t.Lookup("YES"), "Yes");
    EXPECT_STREQ(t.Lookup("NO"), "No");
}

// The game's texts from a damaged file: told once, naming the file; the keys
// show in their place.
TEST(GHashTable, ADamagedStringsFileIsToldOnce)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", " [strings]: no texts in it (empty, cut or damaged), keys shown instead"},
        {"\x89PNG\x01\x02", " [strings]: no texts in it (empty, cut or damaged), keys shown instead"},
        {"[stri", " [strings]: no texts in it (empty, cut or damaged), keys shown instead"},
        {"[strings]\nOK=Fine\nCUT_HE", " [strings]: 1 lines without '=' (damaged or cut off), read as empty texts"},
        // Cut inside its last text: the start of it reads as the whole.
        {"[strings]\nOK=Fine\nCANCEL=Can", ": cut off inside its last line, its last text read as it stands"},
    };
    for (const auto& [text, told] : cases) {
        SCOPED_TRACE(text);
        TempDir dir;
        dir.Write("data/strings.ini", text);
        ScopedChdir cd(dir.Path());
        GetStringTable().Reset();
        ScopedErrorLog log;
        EXPECT_STREQ(GetString("MISSING_KEY"), "MISSING_KEY");
        EXPECT_STREQ(GetString("OTHER_KEY"), "OTHER_KEY");
        EXPECT_EQ(log.Count("data/strings.ini" + told), 1) << log.Text();
        EXPECT_EQ(log.Lines(), 1);
    }
    // Whole, with the file's "//" notes: nothing to tell.
    TempDir dir;
    dir.Write("data/strings.ini", "[strings]\n// Notes\nOK=Fine\n");
    ScopedChdir cd(dir.Path());
    GetStringTable().Reset();
    ScopedErrorLog log;
    EXPECT_STREQ(GetString("OK"), "Fine");
    EXPECT_EQ(log.Lines(), 0);
    GetStringTable().Reset();
}
