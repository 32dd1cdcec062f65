#pragma once
#include <string>

// Where the game reads its content (the install folder, which becomes the
// working folder so that "data/..." paths resolve) and where it writes the
// player's files (the user folder under $XDG_DATA_HOME).
class APP_UserFolders {
public:
    enum Path {
        USER = 0,
        SHIPS = 1,
        DEPLOYMENTS = 2,
        ORDERS = 3,
        CAMPAIGN_PROGRESS = 4,
        CAMPAIGN_CAPTURED_DESIGNS = 5,
        CHALLENGE_DATA = 6,
        PATH_COUNT = 7
    };

    static APP_UserFolders& GetInstance();

    // The user folder: the override when given (option or QLM_USER_DIR),
    // else $XDG_DATA_HOME/Quillomar (default ~/.local/share/Quillomar).
    static std::string ResolveUserFolder(const std::string& overridePath);

    // Creates the user folder tree below userFolder and fills the paths.
    // False when a folder cannot be made (the caller reports it).
    bool Create(const std::string& userFolder);

    const std::string& Get(int index) const;
    bool IsCreated() const { return m_created; }

    // The install folder: the override when given (option or QLM_DATA_DIR),
    // else the executable's own folder when it holds data/, else the
    // working folder. Empty when no data/ folder can be found.
    static std::string ResolveInstallFolder(const std::string& overridePath, const std::string& argv0);

    // The small file that stands in for the registry entry of the install path:
    // $XDG_CONFIG_HOME/Quillomar/install.ini.
    static std::string ConfigFilePath();

private:
    std::string m_paths[PATH_COUNT];
    bool m_created = false;
};
