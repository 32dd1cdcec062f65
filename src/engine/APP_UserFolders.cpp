#include "engine/APP_UserFolders.h"

#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GSystem.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {
std::string EnvOr(const char* name, const std::string& fallback)
{
    const char* v = getenv(name);
    return (v && *v) ? std::string(v) : fallback;
}
} // namespace

APP_UserFolders& APP_UserFolders::GetInstance()
{
    static APP_UserFolders instance;
    return instance;
}

std::string APP_UserFolders::ResolveUserFolder(const std::string& overridePath)
{
    if (!overridePath.empty())
        return overridePath;
    std::string env = EnvOr("QLM_USER_DIR", "");
    if (!env.empty())
        return env;
    return XdgBaseFolder("XDG_DATA_HOME", "/.local/share") + "/Quillomar";
}

std::string APP_UserFolders::ConfigFilePath()
{
    return InstallConfigFilePath();
}

bool APP_UserFolders::Create(const std::string& userFolder)
{
    static const struct {
        const char* sub;
        int index;
    } kTree[] = {
        {"", USER},
        {"/web", -1},
        {"/web/challenges", -1},
        {"/web/challengedata", CHALLENGE_DATA},
        {"/deployments", DEPLOYMENTS},
        {"/ships", SHIPS},
        {"/orders", ORDERS},
        {"/custom_scenarios", -1},
        {"/campaignprogress", CAMPAIGN_PROGRESS},
        {"/campaigncaptureddesigns", CAMPAIGN_CAPTURED_DESIGNS},
    };
    m_created = false;
    for (const auto& entry : kTree) {
        std::string path = userFolder + entry.sub;
        if (!EnsureDirectoryExists(path)) {
            LOG_ERROR("EnsureDirectoryExists");
            LOG_DEBUG("cannot create " + path);
            return false;
        }
        if (entry.index >= 0)
            m_paths[entry.index] = path;
    }
    SetDeletableRoot(userFolder);
    m_created = true;
    return true;
}

const std::string& APP_UserFolders::Get(int index) const
{
    static const std::string empty;
    if (index < 0 || index >= PATH_COUNT)
        return empty;
    return m_paths[index];
}

std::string APP_UserFolders::ResolveInstallFolder(const std::string& overridePath, const std::string& argv0)
{
    namespace fs = std::filesystem;
    std::string given = overridePath.empty() ? EnvOr("QLM_DATA_DIR", "") : overridePath;
    if (!given.empty())
        return FolderExists(given + "/data") ? given : std::string();

    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec && !argv0.empty())
        exe = fs::absolute(argv0, ec);
    if (!ec) {
        std::string dir = exe.parent_path().string();
        if (FolderExists(dir + "/data"))
            return dir;
    }
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) && FolderExists(std::string(cwd) + "/data"))
        return cwd;
    return std::string();
}
