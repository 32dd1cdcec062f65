// The main of every test program. The machines that run the tests have no
// sound card: sound goes to the drivers that play nothing, unless whoever
// started the program chose others. Set here rather than in each test's
// CTest environment, which the discovered tests can carry one variable of.
//
// Each program also gets a home of its own, so that nothing a test forgets to
// point at its temporary folder (the options, the install record, a library's
// cache) lands in the folders of whoever runs the suite.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {
const std::string* g_home = nullptr;
pid_t g_owner = 0;

void RemoveHome()
{
    // A death test's forked child that exits runs this too: the home is not its own.
    if (getpid() != g_owner)
        return;
    std::error_code ec;
    std::filesystem::remove_all(*g_home, ec);
}

void MakeOwnHome()
{
    // A death test's child runs this main again: it keeps its parent's.
    if (getenv("QLM_TEST_HOME"))
        return;
    std::error_code ec;
    std::string made = (std::filesystem::temp_directory_path(ec) / "qlmhome.XXXXXX").string();
    if (ec || !mkdtemp(made.data())) {
        fprintf(stderr, "cannot make a home folder for the tests\n");
        std::exit(1);
    }
    g_home = new std::string(made);
    g_owner = getpid();
    setenv("QLM_TEST_HOME", made.c_str(), 1);
    setenv("HOME", made.c_str(), 1);
    const struct {
        const char* name;
        const char* sub;
    } folders[] = {{"XDG_DATA_HOME", "/.local/share"},
                   {"XDG_CONFIG_HOME", "/.config"},
                   {"XDG_CACHE_HOME", "/.cache"},
                   {"XDG_STATE_HOME", "/.local/state"},
                   {"XDG_RUNTIME_DIR", "/run"}};
    for (const auto& folder : folders) {
        std::filesystem::create_directories(made + folder.sub, ec);
        setenv(folder.name, (made + folder.sub).c_str(), 1);
    }
    std::filesystem::permissions(made + "/run", std::filesystem::perms::owner_all, ec);
    // Registered before any function's static exists, so it runs after they
    // are gone, whatever they write on the way out.
    atexit(RemoveHome);
}
} // namespace

int main(int argc, char** argv)
{
    MakeOwnHome();
    // An error box would wait for a click nobody makes (the X runs).
    setenv("QLM_NO_ERROR_BOX", "1", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
