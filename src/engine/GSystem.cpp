#include "engine/GSystem.h"

#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/wait.h>
#include <unistd.h>

namespace {
const char* const kInstallSection = "software\\Veltrane Games";
const char* const kInstallKey = "qlminstallpath";
const char* const kSupportAddress = "support@quillomar.invalid";

std::mutex g_openerMutex;
std::string g_openerProgram = "xdg-open";

std::string EnvOr(const char* name, const std::string& fallback)
{
    const char* v = getenv(name);
    return (v && v[0]) ? std::string(v) : fallback;
}

void ReportOpenFailure(const std::string& target, const std::string& reason, std::string* whyNot)
{
    std::string text = "Failed to open [" + target + "]: " + reason;
    LOG_ERROR(text);
    LOG_DEBUG(text);
    if (whyNot)
        *whyNot = reason;
}

bool HasScheme(const std::string& target)
{
    size_t colon = target.find(':');
    if (colon == std::string::npos || colon < 2)
        return false; // "C:" style or no scheme at all: a file
    for (size_t i = 0; i < colon; ++i) {
        char c = target[i];
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (i > 0 && ((c >= '0' && c <= '9') ||
                                                                                 c == '+' || c == '-' || c == '.'));
        if (!ok)
            return false;
    }
    return true;
}

// Exit code of the intermediate child that tells why the program didn't start.
void ChildFail(int pipeFd, int err)
{
    ssize_t w = write(pipeFd, &err, sizeof err);
    (void)w;
    _exit(127);
}
} // namespace

std::string XdgBaseFolder(const char* variable, const char* fallback)
{
    const std::string value = EnvOr(variable, "");
    if (!value.empty() && value[0] == '/')
        return value;
    if (!value.empty())
        LOG_ERROR_ONCE(StrFormat("%s = %s is not an absolute path: ignored, $HOME%s used", variable, value.c_str(),
                                 fallback));
    return EnvOr("HOME", ".") + fallback;
}

std::string InstallConfigFilePath()
{
    return XdgBaseFolder("XDG_CONFIG_HOME", "/.config") + "/Quillomar/install.ini";
}

bool SaveInstallPath(const std::string& path)
{
    // One line per value: a line break would forge further keys.
    if (path.find_first_of("\r\n") != std::string::npos || path.find('\0') != std::string::npos)
        return false;
    std::string file = InstallConfigFilePath();
    std::string folder = file.substr(0, file.find_last_of('/'));
    if (!EnsureDirectoryExists(folder))
        return false;
    GIniFile ini;
    ini.SetSection(kInstallSection);
    ini.Set(kInstallKey, path.c_str());
    GSafeFile out(file);
    if (!out.IsOpen())
        return false;
    ini.Save(out);
    return out.Commit();
}

std::string LoadInstallPath()
{
    GIniFile ini;
    if (!ini.Load(kInstallSection, InstallConfigFilePath().c_str()))
        return std::string();
    return ini.GetString(kInstallKey);
}

void SetShellOpenProgram(const std::string& program)
{
    std::lock_guard<std::mutex> lock(g_openerMutex);
    g_openerProgram = program;
}

bool SpawnDetached(const std::vector<std::string>& argv, std::string& error)
{
    error.clear();
    if (argv.empty() || argv[0].empty()) {
        error = "nothing to start";
        return false;
    }
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = strerror(errno);
        return false;
    }
    pid_t child = fork();
    if (child < 0) {
        error = strerror(errno);
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (child == 0) {
        // The intermediate child starts the program and leaves at once, so the
        // program is adopted by init and never becomes our zombie.
        close(fds[0]);
        pid_t grandchild = fork();
        if (grandchild < 0)
            ChildFail(fds[1], errno);
        if (grandchild == 0) {
            setsid();
            execvp(args[0], args.data());
            ChildFail(fds[1], errno);
        }
        _exit(0);
    }
    close(fds[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The write end closes on a successful exec; an errno arrives otherwise.
    int err = 0;
    ssize_t n;
    while ((n = read(fds[0], &err, sizeof err)) < 0 && errno == EINTR) {
    }
    close(fds[0]);
    if (n == static_cast<ssize_t>(sizeof err)) {
        error = argv[0] + ": " + strerror(err);
        return false;
    }
    return true;
}

bool OpenInShell(const std::string& target, std::string* whyNot)
{
    if (target.empty() || target[0] == '-') {
        ReportOpenFailure(target, "not a file or address", whyNot);
        return false;
    }
    std::string arg = target;
    if (!HasScheme(target)) {
        char resolved[PATH_MAX];
        if (!realpath(target.c_str(), resolved)) {
            ReportOpenFailure(target, strerror(errno), whyNot);
            return false;
        }
        arg = resolved;
    }
    std::string program;
    {
        std::lock_guard<std::mutex> lock(g_openerMutex);
        program = g_openerProgram;
    }
    std::string error;
    if (!SpawnDetached({program, arg}, error)) {
        ReportOpenFailure(target, error, whyNot);
        return false;
    }
    return true;
}

std::string PercentEncode(const std::string& text)
{
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                          c == '_' || c == '.' || c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string BuildBugReportMailLink(const std::string& body)
{
    return std::string("mailto:") + kSupportAddress + "?subject=bugreport&body=" + PercentEncode(body);
}

bool OpenBugReportMail(const std::string& body)
{
    return OpenInShell(BuildBugReportMailLink(body));
}
