// Every file the code names by a fixed path is shipped: a picture, sound or
// shader named in the code but never drawn by our generators or copied
// from data/ plays as silence or draws as a missing picture, which no other
// test notices.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The first group of every match of the pattern in the file.
void AddMatches(const fs::path& file, const std::regex& pattern, std::set<std::string>& found)
{
    const std::string text = ReadFile(file);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it)
        found.insert((*it)[1].str());
}

// The same in the files of a folder (and below) with one of the extensions.
std::set<std::string> Matches(const fs::path& folder, const std::set<std::string>& extensions, const std::regex& pattern)
{
    std::set<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && extensions.count(entry.path().extension().string()))
            AddMatches(entry.path(), pattern, found);
    return found;
}

// In the lesson files: data/tutorial.csv and data/tutorials/*.csv.
std::set<std::string> MatchesInLessons(const std::regex& pattern)
{
    const fs::path data = fs::path(QLM_SOURCE_DIR) / "data";
    std::set<std::string> found = Matches(data / "tutorials", {".csv"}, pattern);
    AddMatches(data / "tutorial.csv", pattern, found);
    return found;
}

std::set<std::string> PathsNamedInCode()
{
    return Matches(fs::path(QLM_SOURCE_DIR) / "src", {".cpp", ".h"},
                   std::regex("\"((campaign/)?data/[A-Za-z0-9_/.-]+\\.(ogg|dds|png|fx|ini|txt))\""));
}

} // namespace

TEST(ShippedFiles, EveryFileTheCodeNamesIsInTheGameFolder)
{
    const std::set<std::string> paths = PathsNamedInCode();
    // The scan must see the code's sounds and shaders, or it proves nothing.
    ASSERT_TRUE(paths.count("data/sounds/shields_fail.ogg"));
    ASSERT_TRUE(paths.count("data/shaders/motionblur.fx"));
    for (const std::string& path : paths) {
        fs::path file = fs::path(QLM_GAME_DIR) / path;
        // An effect file is our GLSL pair beside its name.
        if (file.extension() == ".fx")
            file += ".frag";
        EXPECT_TRUE(fs::exists(file)) << path;
    }
}

TEST(ShippedFiles, EveryLessonTheScreensOrTheLessonsLaunchHasItsRow)
{
    const fs::path source(QLM_SOURCE_DIR);
    // Named in the code (a launch, or an event that brings its own lesson)...
    std::set<std::string> launched =
        Matches(source / "src", {".cpp"}, std::regex("(?:LaunchTutorial|ReportEvent)\\(\"([A-Za-z0-9_]+)\"\\)"));
    // ...or by another lesson's script (in a row, not the files' heading lines).
    const std::set<std::string> chained =
        MatchesInLessons(std::regex("(?:^|\\n)#,[^\\n]*?LaunchTutorial\\(([A-Za-z0-9_]+)\\)"));
    launched.insert(chained.begin(), chained.end());
    // The scan must see the launches, or it proves nothing.
    ASSERT_TRUE(launched.count("WELCOME"));
    ASSERT_TRUE(launched.count("UNLOCK_SHOP"));
    ASSERT_TRUE(launched.count("BATTLE_INSPECT"));

    const std::set<std::string> rows = MatchesInLessons(std::regex("(?:^|\\n)#,([A-Za-z0-9_]+),"));
    ASSERT_TRUE(rows.count("WELCOME"));
    for (const std::string& lesson : launched)
        EXPECT_TRUE(rows.count(lesson)) << lesson << " is launched but has no row in data/tutorial.csv or data/tutorials";
}
