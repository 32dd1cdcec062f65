#pragma once
#include "support/TempDir.h"

#include <memory>
#include <string>

// The shipped font generator, compiled into the test support so that tests
// lay out text with the advance tables the game really ships.
bool GenerateGameFonts(const std::string& dataDir);

// LibText on the game's fonts, with the working folder moved to `folder`
// (which holds data/) until Close. Open reports fatal test failures: wrap it
// in ASSERT_NO_FATAL_FAILURE.
class GameText {
public:
    // `generateFonts` false: the fonts are already below folder/data.
    void Open(const std::string& folder, bool generateFonts = true);
    void Close();

private:
    std::unique_ptr<ScopedChdir> m_chdir;
};
