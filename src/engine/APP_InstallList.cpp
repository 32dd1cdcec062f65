#include "engine/APP_InstallList.h"

#include "engine/GDebugLog.h"
#include "engine/GFileList.h"
#include "engine/GIniFile.h"

APP_InstallList& APP_InstallList::GetInstance()
{
    static APP_InstallList instance;
    static const bool loaded = (instance.Load(), true);
    (void)loaded;
    return instance;
}

void APP_InstallList::Load()
{
    m_folders.clear();
    GFileList files;
    files.FindFiles("data/installs/*.txt");
    for (const std::string& file : files.names) {
        GIniFile ini;
        if (!ini.Load("config", file.c_str())) {
            LOG_ERROR("Cannot read " + file);
            continue;
        }
        // An empty folder name would search the file system root.
        std::string path = ini.GetString("path");
        if (path.empty()) {
            LOG_ERROR("Install file without a path skipped: " + file);
            continue;
        }
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        m_folders.push_back(path);
    }
}
