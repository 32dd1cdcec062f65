#pragma once
#include <functional>
#include <string>
#include <vector>

// Each generator file registers itself with QLM_GENERATOR; the generator
// program runs them all into the game's data folder.
struct AssetGenerator {
    std::string name;
    // Writes its files below dataDir (the game's "data" folder); false on failure.
    std::function<bool(const std::string& dataDir)> run;
};

std::vector<AssetGenerator>& AssetGenerators();

struct AssetGeneratorRegistration {
    AssetGeneratorRegistration(const char* name, std::function<bool(const std::string&)> fn)
    {
        AssetGenerators().push_back({name, std::move(fn)});
    }
};

#define QLM_GENERATOR(id, fn) static AssetGeneratorRegistration qlm_gen_##id(#id, fn)

// Writes a file only when its bytes differ from what is there, so that
// rebuilds leave unchanged assets (and their timestamps) alone.
bool WriteAssetIfChanged(const std::string& path, const std::string& bytes);
