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

std::set<std::string> PathsNamedInCode()
{
    const std::regex literal("\"((campaign/)?data/[A-Za-z0-9_/.-]+\\.(ogg|dds|png|fx|ini|txt))\"");
    std::set<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(QLM_SOURCE_DIR) / "src")) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h"))
            continue;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        const std::string source = text.str();
        for (auto it = std::sregex_iterator(source.begin(), source.end(), literal); it != std::sregex_iterator(); ++it)
            paths.insert((*it)[1].str());
    }
    return paths;
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
