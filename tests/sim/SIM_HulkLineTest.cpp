#include "engine/GIniFile.h"
#include "sim/SIM_HulkLine.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(SIM_HulkLine, ReadsTheWrittenFormAndTheOlderOneAndWritesTheFirst)
{
    SIM_HulkLine line;
    ASSERT_TRUE(SIM_HulkLine::Parse("100,150,300,250,(emit-200-200-hulk_smoke_emmiter),(spark-1-2-x),", line));
    EXPECT_FLOAT_EQ(line.left, 100.0f);
    EXPECT_FLOAT_EQ(line.top, 150.0f);
    EXPECT_FLOAT_EQ(line.right, 300.0f);
    EXPECT_FLOAT_EQ(line.bottom, 250.0f);
    ASSERT_EQ(line.emitters.size(), 1u); // another tag is not an emitter
    EXPECT_EQ(line.emitters[0].config, "hulk_smoke_emmiter");
    EXPECT_EQ(line.Format(), "100,150,300,250,(emit-200-200-hulk_smoke_emmiter),");

    // Four bare fields per emitter, as older hull files have them; a name
    // with a hyphen keeps it.
    ASSERT_TRUE(SIM_HulkLine::Parse("0, 0, 256, 256, emit, 128, 130, hulk_smoke, (emit-5-6-blue-sparks)", line));
    ASSERT_EQ(line.emitters.size(), 2u);
    EXPECT_FLOAT_EQ(line.emitters[0].y, 130.0f);
    EXPECT_EQ(line.emitters[1].config, "blue-sparks");
    EXPECT_EQ(line.Format(), "0,0,256,256,(emit-128-130-hulk_smoke),(emit-5-6-blue-sparks),");

    EXPECT_FALSE(SIM_HulkLine::Parse("1,2,3", line));
    EXPECT_TRUE(line.Contains(100.0f, 100.0f));
    EXPECT_FALSE(line.Contains(0.0f, 100.0f)); // the edge is outside
}

// The shipped hulls hold their hulk lines exactly as the hull editor writes
// them, so a save of an unedited hull changes nothing there.
TEST(SIM_HulkLine, ShippedHullsAreWrittenTheWayTheEditorWrites)
{
    ScopedChdir chdir(QLM_SOURCE_DIR);
    int lines = 0, emitters = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("data/hulls")) {
        if (entry.path().extension() != ".txt")
            continue;
        GIniFile hulks;
        if (!hulks.Load("hulks", entry.path().string().c_str()))
            continue;
        for (size_t i = 0; i < hulks.GetEntryCount(); ++i) {
            SIM_HulkLine line;
            ASSERT_TRUE(SIM_HulkLine::Parse(hulks.GetValueAt(i), line)) << entry.path();
            EXPECT_EQ(line.Format(), hulks.GetValueAt(i)) << entry.path();
            ++lines;
            emitters += static_cast<int>(line.emitters.size());
        }
    }
    EXPECT_GT(lines, 0);
    EXPECT_GT(emitters, 0);
}
