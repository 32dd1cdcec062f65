#include "sim/SIM_Options.h"
#include "engine/GSafeFile.h"
#include "support/ErrorLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {
size_t CountLines(const std::string& text, const std::string& line)
{
    size_t n = 0;
    for (size_t pos = text.find(line); pos != std::string::npos; pos = text.find(line, pos + 1))
        if (pos == 0 || text[pos - 1] == '\n')
            ++n;
    return n;
}
} // namespace

TEST(SIM_Options, MissingFileWritesDefaults)
{
    TempDir dir;
    SIM_Options options(dir.File("config.txt"));
    std::string text = dir.Read("config.txt");
    EXPECT_EQ(text.rfind("[config]\nCONTRAILS = 1.00\nFANCYBEAMS = 1.00\n", 0), 0u);
    EXPECT_NE(text.find("RUNINBACKGROUND = 0.00\nTRANSITIONS = 1.00\nOPTIONS_SFX = 1.00\n"), std::string::npos);
    EXPECT_NE(text.find("CHALLENGES_SHOWALL = 1.00\n\n[race]\nrace = federation\n"), std::string::npos);
    EXPECT_FLOAT_EQ(options.GetValue("OPTIONS_MOUSESPEED"), 0.5f);
    EXPECT_FLOAT_EQ(options.GetValue("RUNINBACKGROUND"), 0.0f);
    EXPECT_EQ(options.GetRecords().size(), 27u);
    EXPECT_EQ(options.GetRaceName(), "federation");
}

TEST(SIM_Options, MissingKeyIsAppendedAndFileRewritten)
{
    TempDir dir;
    std::string path = dir.Write("config.txt", "[config]\nOPTIONS_SFX = 0.25\nOPTIONS_MUSIC = 0.75\n\n[race]\nrace = federation\n");
    SIM_Options options(path);
    EXPECT_FLOAT_EQ(options.GetValue("OPTIONS_SFX"), 0.25f);
    EXPECT_FLOAT_EQ(options.GetValue("OPTIONS_MOUSESPEED"), 0.5f);
    const auto& records = options.GetRecords();
    ASSERT_GE(records.size(), 3u);
    EXPECT_EQ(records[2].name, "OPTIONS_MOUSESPEED");
    std::string text = dir.Read("config.txt");
    EXPECT_NE(text.find("OPTIONS_MUSIC = 0.75\nOPTIONS_MOUSESPEED = 0.50\n"), std::string::npos);
}

TEST(SIM_Options, MissingTogglesGetTheirDefaults)
{
    TempDir dir;
    std::string path = dir.Write("config.txt", "[config]\nOPTIONS_SFX = 1.00\n");
    SIM_Options options(path);
    for (int i = 0; i < SIM_Options::kToggleCount; ++i) {
        std::string name = SIM_Options::GetToggleName(i);
        ASSERT_NE(options.Find(name), nullptr) << name;
        EXPECT_FLOAT_EQ(options.GetValue(name), name == "RUNINBACKGROUND" ? 0.0f : 1.0f) << name;
    }
    EXPECT_TRUE(options.GetToggle(0));
    EXPECT_FALSE(options.GetToggle(15));
    EXPECT_FALSE(options.GetToggle(-1));
    EXPECT_FALSE(options.GetToggle(SIM_Options::kToggleCount));
    EXPECT_STREQ(SIM_Options::GetToggleName(99), "");
    EXPECT_EQ(CountLines(dir.Read("config.txt"), "CONTRAILS = 1.00\n"), 1u);
}

TEST(SIM_Options, DuplicateNamesReadFirstAndWriteBoth)
{
    TempDir dir;
    std::string path = dir.Write("config.txt", "[config]\nOPTIONS_SFX = 0.20\nOPTIONS_SFX = 0.80\n");
    SIM_Options options(path);
    EXPECT_FLOAT_EQ(options.GetValue("OPTIONS_SFX"), 0.2f);
    options.SetValue("OPTIONS_SFX", 0.4f);
    ASSERT_TRUE(options.Save());
    std::string text = dir.Read("config.txt");
    EXPECT_NE(text.find("OPTIONS_SFX = 0.40\nOPTIONS_SFX = 0.80\n"), std::string::npos);
}

TEST(SIM_Options, ValuesKeepTwoDecimals)
{
    TempDir dir;
    SIM_Options options(dir.File("config.txt"));
    options.SetValue("OPTIONS_MUSIC", 0.333f);
    options.SetValue("BRAND_NEW", 2.5f);
    ASSERT_TRUE(options.Save());
    options.Reload(dir.File("config.txt"));
    EXPECT_FLOAT_EQ(options.GetValue("OPTIONS_MUSIC"), 0.33f);
    EXPECT_FLOAT_EQ(options.GetValue("BRAND_NEW"), 2.5f);
    EXPECT_FLOAT_EQ(options.GetValue("NEVER_SET"), 0.0f);
}

TEST(SIM_Options, EmptyConfigSectionLoadsWithoutRecursion)
{
    TempDir dir;
    std::string path = dir.Write("config.txt", "[config]\n\n[race]\nrace = federation\n");
    SIM_Options options(path);
    EXPECT_FLOAT_EQ(options.GetValue("OPTIONS_SFX"), 1.0f);
    EXPECT_FLOAT_EQ(options.GetValue("CONTRAILS"), 1.0f);
}

TEST(SIM_Options, UnknownRaceFallsBackToFederation)
{
    TempDir dir;
    std::string path = dir.Write("config.txt", "[config]\n\n[race]\nrace = vanished\n");
    SIM_Options options(path);
    EXPECT_EQ(options.GetRaceName(), "vanished"); // no validator yet: every name stands
    options.SetRaceValidator([](const std::string& r) { return r == "federation" || r == "empire"; });
    options.Load();
    EXPECT_EQ(options.GetRaceName(), "federation");
    EXPECT_NE(dir.Read("config.txt").find("race = federation\n"), std::string::npos);

    dir.Write("config.txt", "[config]\n\n[race]\nrace = empire\n");
    options.Load();
    EXPECT_EQ(options.GetRaceName(), "empire");
}

TEST(SIM_Options, NoRacesAtAllKeepsTheDefaultName)
{
    TempDir dir;
    std::string path = dir.Write("config.txt", "[config]\n\n[race]\nrace = vanished\n");
    SIM_Options options(path);
    options.SetRaceValidator([](const std::string&) { return false; });
    options.Load();
    EXPECT_EQ(options.GetRaceName(), "federation");
    EXPECT_NE(dir.Read("config.txt").find("\n[race]\nrace = federation\n"), std::string::npos);
}

TEST(SIM_Options, UnsafeNamesCannotCorruptTheFile)
{
    TempDir dir;
    SIM_Options options(dir.File("config.txt"));
    size_t before = options.GetRecords().size();
    options.SetValue("EVIL = 3\n[race]", 1.0f);
    options.AddValue("A=B", 1.0f);
    options.AddValue("", 1.0f);
    EXPECT_EQ(options.GetRecords().size(), before);
    options.SetRaceName("empire\nrace = x");
    EXPECT_EQ(options.GetRaceName(), "federation");
    options.SetRaceName("empire");
    EXPECT_EQ(options.GetRaceName(), "empire");
}

TEST(SIM_Options, UnwritableFileKeepsValuesInMemory)
{
    TempDir dir;
    SIM_Options options(dir.File("missing_folder/config.txt"));
    EXPECT_FLOAT_EQ(options.GetValue("OPTIONS_SFX"), 1.0f);
    options.SetValue("OPTIONS_SFX", 0.5f);
    EXPECT_FALSE(options.Save());
    EXPECT_FLOAT_EQ(options.GetValue("OPTIONS_SFX"), 0.5f);
}

TEST(SIM_Options, NumbersThatAreNotFiniteGetTheirDefaultAndAreNeverWrittenBack)
{
    TempDir dir;
    ScopedErrorLog log;
    const std::string path = dir.Write("config.txt", "[config]\nOPTIONS_SFX = nan\nOPTIONS_MUSIC = inf\n"
                                                     "OPTIONS_MOUSESPEED = 1e999\nOPTIONS_MINZOOM = 0.25\n"
                                                     "\n[race]\nrace = federation\n");
    SIM_Options options(path);
    EXPECT_FLOAT_EQ(options.GetValue("OPTIONS_SFX"), 1.0f);
    EXPECT_FLOAT_EQ(options.GetValue("OPTIONS_MUSIC"), 1.0f);
    EXPECT_FLOAT_EQ(options.GetValue("OPTIONS_MOUSESPEED"), 0.5f);
    EXPECT_FLOAT_EQ(options.GetValue("OPTIONS_MINZOOM"), 0.25f);
    for (const char* key : {"OPTIONS_SFX", "OPTIONS_MUSIC", "OPTIONS_MOUSESPEED"})
        EXPECT_EQ(log.Count(path + ": " + key + " is not a finite number"), 1) << key;
    const std::string saved = dir.Read("config.txt");
    EXPECT_EQ(saved.find("nan"), std::string::npos);
    EXPECT_EQ(saved.find("inf"), std::string::npos);
    EXPECT_EQ(CountLines(saved, "OPTIONS_SFX = 1.00"), 1u);
    EXPECT_EQ(log.Lines(), 3);
}

TEST(SIM_Options, AGarbageFileIsLoggedAndAFailedSaveSaysWhy)
{
    TempDir dir;
    ScopedErrorLog log;
    const std::string path = dir.Write("config.txt", std::string("\x7f" "ELF\x02\x01\x01 garbage"));
    SIM_Options options(path);
    EXPECT_FLOAT_EQ(options.GetValue("OPTIONS_SFX"), 1.0f);
    EXPECT_EQ(log.Count(path + " is damaged (no options), defaults used"), 1);

    SIM_Options lost(dir.File("missing_folder/config.txt"));
    EXPECT_EQ(log.Count("Cannot save " + dir.File("missing_folder/config.txt") + ": No such file or directory"), 1);
}

TEST(SIM_Options, EachKnownValueIsHeldToItsRangeWithALineNamingItsKey)
{
    TempDir dir;
    ScopedErrorLog log;
    // Right on each bound stays; just past it, or far past it, is the bound.
    const std::string path = dir.Write("config.txt", "[config]\n"
                                                     "OPTIONS_MASTERVOLUME = 100000002004087734272.00\n"
                                                     "OPTIONS_MUSIC = 1.00\n"
                                                     "OPTIONS_SFX = 1.01\n"
                                                     "OPTIONS_INTERFACE_VOLUME = -0.01\n"
                                                     "OPTIONS_MOUSESPEED = 0.00\n"
                                                     "OPTIONS_MINZOOM = 4.01\n"
                                                     "CONTRAILS = -2147483648\n"
                                                     "RUNINBACKGROUND = 2\n"
                                                     "CHALLENGES_SHOWALL = 1e20\n"
                                                     "SOMETHING_ELSE = 7.5\n"
                                                     "\n[race]\nrace = federation\n");
    SIM_Options options(path);
    const std::pair<const char*, float> expected[] = {
        {"OPTIONS_MASTERVOLUME", 1.0f}, {"OPTIONS_MUSIC", 1.0f}, {"OPTIONS_SFX", 1.0f},
        {"OPTIONS_INTERFACE_VOLUME", 0.0f}, {"OPTIONS_MOUSESPEED", 0.0f}, {"OPTIONS_MINZOOM", 4.0f},
        {"CONTRAILS", 0.0f}, {"RUNINBACKGROUND", 1.0f}, {"CHALLENGES_SHOWALL", 1.0f}, {"SOMETHING_ELSE", 7.5f}};
    for (const auto& [key, value] : expected)
        EXPECT_FLOAT_EQ(options.GetValue(key), value) << key;
    for (const char* key : {"OPTIONS_MASTERVOLUME", "OPTIONS_SFX", "OPTIONS_INTERFACE_VOLUME", "OPTIONS_MINZOOM",
                            "CONTRAILS", "RUNINBACKGROUND", "CHALLENGES_SHOWALL"})
        EXPECT_EQ(log.Count(path + " [config] " + key + " = "), 1) << key;
    EXPECT_EQ(log.Count(path + " [config] OPTIONS_MASTERVOLUME = 1e+20: out of range 0..1, 1 used"), 1);
    EXPECT_EQ(log.Count(path + " [config] OPTIONS_MINZOOM = 4.01: out of range 0..4, 4 used"), 1);
    EXPECT_EQ(log.Lines(), 7) << "values within range say nothing";
    // What is written back is the bounded value.
    const std::string saved = dir.Read("config.txt");
    EXPECT_EQ(CountLines(saved, "OPTIONS_MASTERVOLUME = 1.00"), 1u);
    EXPECT_EQ(CountLines(saved, "CONTRAILS = 0.00"), 1u);
    EXPECT_EQ(saved.find("2147483648"), std::string::npos);
}

TEST(SIM_Options, AConfigThatCannotBeReadGivesDefaultsAndIsNeverWrittenOver)
{
    TempDir dir;
    ScopedErrorLog log;
    std::string text = "[config]\nCONTRAILS = 0.00\n\n[race]\nrace = korrath\n";
    text.resize(kMaxSettingsFileBytes + 1, ' ');
    const std::string path = dir.Write("config.txt", text);
    SIM_Options options(path);
    EXPECT_FLOAT_EQ(options.GetValue("CONTRAILS"), 1.0f);
    EXPECT_EQ(options.GetRecords().size(), 27u);
    options.SetValue("OPTIONS_SFX", 0.5f);
    EXPECT_FALSE(options.Save());
    EXPECT_EQ(dir.Read("config.txt"), text);
    EXPECT_EQ(log.Count("File refused, larger than a file of its kind can be"), 1);
    GSafeFile::ForgetRefusedFiles();

    // Exactly at the cap it is read.
    text.resize(kMaxSettingsFileBytes);
    const std::string atCap = dir.Write("at_cap.txt", text);
    SIM_Options read(atCap);
    EXPECT_FLOAT_EQ(read.GetValue("CONTRAILS"), 0.0f);
}

TEST(SIM_Options, AnEmptyOrCutFileIsToldAndItsValuesKept)
{
    struct Case {
        std::string text;
        std::string told; // after the file's path; "" for none
        float sfx;        // OPTIONS_SFX as read
    };
    const std::vector<Case> cases = {
        {"[config]\nOPTIONS_SFX = 0.25\n\n[race]\nrace = federation\n", "", 0.25f},
        {"", " is empty (damaged), defaults used", 1.0f},
        {" \n\n", " is empty (damaged), defaults used", 1.0f},
        {"[config]\nOPTIONS_SFX = 0.25\nOPTIONS_MUSIC = 0.",
         " [race] race: missing (damaged or cut off), defaults used for what is missing", 0.25f},
        {"[config]\nOPTIONS_SFX = 0.25\n\n[ra",
         " [race] race: missing (damaged or cut off), defaults used for what is missing", 0.25f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TempDir dir;
        ScopedErrorLog log;
        const std::string path = dir.Write("config.txt", c.text);
        SIM_Options options(path);
        EXPECT_FLOAT_EQ(options.GetValue("OPTIONS_SFX"), c.sfx);
        if (c.told.empty()) {
            EXPECT_EQ(log.Lines(), 0);
            continue;
        }
        EXPECT_EQ(log.Count(path + c.told), 1);
        EXPECT_EQ(log.Lines(), 1);
        // What the file held is written back whole, with the race.
        SIM_Options again(path);
        EXPECT_FLOAT_EQ(again.GetValue("OPTIONS_SFX"), c.sfx);
        EXPECT_EQ(log.Lines(), 1);
    }
}
