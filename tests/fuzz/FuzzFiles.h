#pragma once
// The loaders read files, so each input becomes one: a private folder per
// fuzz process, removed at exit.
#include "engine/GSafeFile.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

inline const std::string& FuzzFolder()
{
    // Never destroyed: the exit handler that removes the folder runs after
    // the statics are gone.
    static const std::string* folder = [] {
        // In memory where there is a tmpfs: on ext4 every rename over a file
        // waits for its data to reach the disk.
        std::error_code ec;
        std::string base = std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : "/tmp";
        std::string name = base + "/qlm_fuzz_XXXXXX";
        if (!mkdtemp(name.data()))
            abort();
        auto* made = new std::string(std::move(name));
        atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(FuzzFolder(), ec);
        });
        return made;
    }();
    return *folder;
}

// Writes the bytes to name (a path below the fuzz folder) and gives its path.
inline std::string FuzzFile(const std::string& name, const uint8_t* data, size_t size)
{
    const std::string path = FuzzFolder() + "/" + name;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (!WriteFileAtomically(path, std::string(reinterpret_cast<const char*>(data), size)))
        abort();
    return path;
}

inline void RemoveFuzzFile(const std::string& name)
{
    std::error_code ec;
    std::filesystem::remove(FuzzFolder() + "/" + name, ec);
}

// One reader, two files: the first byte picks which of them the rest of the
// input becomes; the other is absent.
inline void FuzzOneOfTwo(const uint8_t* data, size_t size, const std::string& even, const std::string& odd)
{
    RemoveFuzzFile(even);
    RemoveFuzzFile(odd);
    FuzzFile(data[0] % 2 ? odd : even, data + 1, size - 1);
}
