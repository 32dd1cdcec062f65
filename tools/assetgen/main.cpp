#include "AssetGen.h"

#include "engine/GFileHelpers.h"
#include "engine/GSafeFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

std::vector<AssetGenerator>& AssetGenerators()
{
    static std::vector<AssetGenerator> list;
    return list;
}

bool WriteAssetIfChanged(const std::string& path, const std::string& bytes)
{
    std::string old;
    if (ReadWholeFile(path, old) && old == bytes)
        return true;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    return WriteFileAtomically(path, bytes);
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: qlm_assetgen DATA_DIR [generator...]\n");
        return 2;
    }
    std::string dataDir = argv[1];
    EnsureDirectoryExists(dataDir);
    auto& gens = AssetGenerators();
    std::sort(gens.begin(), gens.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    int failures = 0;
    for (const auto& g : gens) {
        if (argc > 2 && std::find(argv + 2, argv + argc, g.name) == argv + argc)
            continue;
        if (!g.run(dataDir)) {
            fprintf(stderr, "qlm_assetgen: generator '%s' failed\n", g.name.c_str());
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
