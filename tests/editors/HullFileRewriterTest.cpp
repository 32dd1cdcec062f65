#include "editors/HullFileRewriter.h"

#include <gtest/gtest.h>

TEST(HullFileRewriter, KeepsWhatItDoesNotOwnAndReplacesWhatItDoes)
{
    const std::string source = "; written by hand\n"
                               "[config]\r\n"
                               "name = x\n"
                               "empty =\n"
                               "// a comment\n"
                               "quoted = \"a, b\"\n"
                               "\n"
                               "[Targets]\n"
                               "0 = kept\n"
                               "[slots]\n"
                               "0 = old\n"
                               "\n"
                               "[bonuses]\n"
                               "0 = SHIELDBOOST,0.1\n"
                               "[slots]\n"
                               "1 = second block\n"
                               "[tail]\n"
                               "last = no newline";
    const std::vector<HullFileRewriter::Section> sections = {
        {"slots", "[slots]\n0 = new\n\n", true},
        {"targets", "[targets]\n0 = t\n\n", true},          // only "Targets" is there: appended
        {"explosions", "[explosions]\n\n", false},           // nothing to add: not appended
        {"engineglows", "[engineglows]\n0 = g\n\n", true},   // missing: appended after targets
    };
    const std::string expected = "; written by hand\n"
                                 "[config]\r\n"
                                 "name = x\n"
                                 "empty =\n"
                                 "// a comment\n"
                                 "quoted = \"a, b\"\n"
                                 "\n"
                                 "[Targets]\n"
                                 "0 = kept\n"
                                 "[slots]\n0 = new\n\n"
                                 "[bonuses]\n"
                                 "0 = SHIELDBOOST,0.1\n"
                                 "[tail]\n"
                                 "last = no newline\n"
                                 "\n"
                                 "[targets]\n0 = t\n\n"
                                 "[engineglows]\n0 = g\n\n";
    EXPECT_EQ(HullFileRewriter::Rewrite(source, sections), expected);
    // Nothing owned: the text comes back byte for byte.
    EXPECT_EQ(HullFileRewriter::Rewrite(source, {}), source);
}
