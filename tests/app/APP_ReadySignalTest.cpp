#include "app/APP_ReadySignal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {
// The signal's lines, read back from a memory stream.
class ReadyLines {
public:
    ReadyLines() : m_out(open_memstream(&m_text, &m_size)) {}
    ~ReadyLines()
    {
        std::fclose(m_out);
        std::free(m_text);
    }
    FILE* Stream() const { return m_out; }
    std::string Text() const
    {
        std::fflush(m_out);
        return std::string(m_text, m_size);
    }

private:
    char* m_text = nullptr;
    size_t m_size = 0;
    FILE* m_out;
};
} // namespace

TEST(ReadySignal, OneLineEachTimeTheSettledScreenDiffers)
{
    ReadyLines lines;
    APP_ReadySignal signal;
    signal.AfterPresent(15, true, 0);
    EXPECT_FALSE(signal.IsOn());
    signal.SetStream(lines.Stream());
    ASSERT_TRUE(signal.IsOn());

    signal.OnScreenChanged();
    signal.AfterPresent(15, false, 0); // the transition still runs
    EXPECT_EQ(lines.Text(), "");
    signal.AfterPresent(15, true, 0);
    signal.AfterPresent(15, true, 0); // nothing new
    EXPECT_EQ(lines.Text(), "ready: main menu windows=0 input=0\n");

    // A press is told once it is handled, with the count of presses so far,
    // even when nothing on screen changed.
    signal.OnInput();
    signal.OnInput();
    signal.AfterPresent(15, true, 0);
    // A modal window opens, then the press that changes the screen: no line
    // until the new screen has settled.
    signal.AfterPresent(15, true, 1);
    signal.OnInput();
    signal.OnScreenChanged();
    signal.AfterPresent(4, false, 0);
    signal.AfterPresent(4, true, 0);
    // The same mode entered again is a new screen.
    signal.OnScreenChanged();
    signal.AfterPresent(4, true, 0);
    EXPECT_EQ(lines.Text(), "ready: main menu windows=0 input=0\n"
                            "ready: main menu windows=0 input=2\n"
                            "ready: main menu windows=1 input=2\n"
                            "ready: online windows=0 input=3\n"
                            "ready: online windows=0 input=3\n");
}

TEST(ReadySignal, OneNameForEachOfTheGamesScreens)
{
    // Every mode the game switches to by id has a name of its own; any other
    // id is the battle, as Game::ModeForId picks it.
    std::set<std::string> names;
    for (int id : {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15})
        EXPECT_TRUE(names.insert(APP_ReadySignal::ScreenName(id)).second) << id;
    EXPECT_STREQ(APP_ReadySignal::ScreenName(0), "battle");
    EXPECT_STREQ(APP_ReadySignal::ScreenName(5), "battle");
    EXPECT_STREQ(APP_ReadySignal::ScreenName(16), "battle");
    EXPECT_STREQ(APP_ReadySignal::ScreenName(15), "main menu");
}
