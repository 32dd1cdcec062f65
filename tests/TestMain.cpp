// The main of every test program. The machines that run the tests have no
// sound card: sound goes to the drivers that play nothing, unless whoever
// started the program chose others. Set here rather than in each test's
// CTest environment, which the discovered tests can carry one variable of.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
