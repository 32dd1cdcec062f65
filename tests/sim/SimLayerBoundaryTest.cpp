#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

// The simulation runs without the screens and the shell: nothing under src/sim
// may include a header of a screen, of the widget layer or of the shell. What
// it needs from them goes through the small interfaces it declares itself
// (battle clock, ship visual, effects, sounds, metrics). The link check target
// qlm_sim_linkcheck proves the same for the libraries.

namespace {

const std::set<std::string> kForbiddenFolders = {"app",    "battle",   "gui",    "frontend",
                                                  "prep",   "campaign", "online", "editors"};

// Every quoted include of a forbidden folder in one source text, as "file -> header".
std::set<std::string> Crossings(const std::string& file, const std::string& text)
{
    static const std::regex include(R"re(^\s*#\s*include\s*"(([A-Za-z0-9_]+)/[^"]+)")re");
    std::set<std::string> found;
    std::istringstream lines(text);
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (std::regex_search(line, m, include) && kForbiddenFolders.count(m[2].str()))
            found.insert(file + " -> " + m[1].str());
    }
    return found;
}

std::set<std::string> ScanSimSources()
{
    namespace fs = std::filesystem;
    const fs::path src = fs::path(QLM_SOURCE_DIR) / "src";
    std::set<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(src / "sim")) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h"))
            continue;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        const auto crossings = Crossings(fs::relative(entry.path(), src).generic_string(), text.str());
        found.insert(crossings.begin(), crossings.end());
    }
    return found;
}

} // namespace

TEST(SimLayerBoundary, ScannerSeesEveryScreenFolderAndNothingElse)
{
    const std::string text = "#include \"battle/GUI_Ship.h\"\n"
                             "  #  include \"gui/GUI_Window.h\"\n"
                             "#include \"campaign/sim/X.h\"\n"
                             "#include \"engine/GRandom.h\"\n"
                             "#include \"app/GUI_Sounds.h\"\n"
                             "#include \"sim/SIM_Ship.h\"\n"
                             "#include <battle/GUI_Ship.h>\n"
                             "// #include \"prep/X.h\" is prose here\n";
    EXPECT_EQ(Crossings("f.cpp", text), (std::set<std::string>{"f.cpp -> app/GUI_Sounds.h",
                                                                "f.cpp -> battle/GUI_Ship.h",
                                                                "f.cpp -> campaign/sim/X.h",
                                                                "f.cpp -> gui/GUI_Window.h"}));
}

TEST(SimLayerBoundary, SimulationIncludesNoScreenAndNoShell)
{
    const std::set<std::string> found = ScanSimSources();
    EXPECT_TRUE(found.empty());
    for (const std::string& crossing : found)
        ADD_FAILURE() << "include across the boundary: " << crossing;
}
