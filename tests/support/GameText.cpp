#include "support/GameText.h"

#include "engine/D3DEngine.h"
#include "engine/GSafeFile.h"
#include "engine/LibText.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../../tools/assetgen/ArtCommon.cpp"
#include "../../tools/assetgen/FontGen.cpp"

// The generator program's registry and writer, for tests that compile
// generators in; files are always written, the folders are fresh.
std::vector<AssetGenerator>& AssetGenerators()
{
    static std::vector<AssetGenerator> list;
    return list;
}

bool WriteAssetIfChanged(const std::string& path, const std::string& bytes)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    return WriteFileAtomically(path, bytes);
}

void GameText::Open(const std::string& folder, bool generateFonts)
{
    if (generateFonts) {
        ASSERT_TRUE(GenerateGameFonts(folder + "/data"));
    }
    m_chdir = std::make_unique<ScopedChdir>(folder);
    D3DEngine::GetInstance().ClearTextureFolders();
    D3DEngine::GetInstance().LoadTextureFolder("data/bitmaps");
    LibText::GetInstance().Init();
    LibText::GetInstance().CreateGameFonts();
}

void GameText::Close()
{
    LibText::GetInstance().Shutdown();
    m_chdir.reset();
}
