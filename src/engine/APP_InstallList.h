#pragma once
#include <string>
#include <vector>

// Extra install folders (add-on content) named by data/installs/*.txt,
// searched beside the game's own data.
class APP_InstallList {
public:
    // Loaded on first use.
    static APP_InstallList& GetInstance();

    APP_InstallList() = default;

    // Reads the install files below the working folder, in listing order.
    void Load();
    const std::vector<std::string>& GetFolders() const { return m_folders; }

private:
    std::vector<std::string> m_folders;
};
