#pragma once
#include <string>
#include <vector>

// A folder named by an XDG base-folder variable (XDG_DATA_HOME, ...): its
// value when absolute, else home + fallback. A relative value would resolve
// against wherever the game was started, so it is ignored, as the XDG rules
// say, with one line.
std::string XdgBaseFolder(const char* variable, const char* fallback);

// The small file that stands in for the registry entry of the install path:
// $XDG_CONFIG_HOME/Quillomar/install.ini (default ~/.config).
std::string InstallConfigFilePath();

// Records the install folder for the patcher and other tools; false when the
// file could not be written (or the path cannot be stored on one line).
bool SaveInstallPath(const std::string& path);
// The recorded install folder, empty when none.
std::string LoadInstallPath();

// Opens a document or address with the desktop's handler (xdg-open), started
// directly without a shell and not waited for. Failures go to the logs, and
// the reason to whyNot when given; the caller goes on.
bool OpenInShell(const std::string& target, std::string* whyNot = nullptr);

// The mail link of a bug report: the support address, subject "bugreport" and
// the percent-encoded body.
std::string BuildBugReportMailLink(const std::string& body);
bool OpenBugReportMail(const std::string& body);

// Percent-encodes everything but unreserved characters (RFC 3986).
std::string PercentEncode(const std::string& text);

// Starts argv[0] (searched on PATH) with the given arguments as a detached
// process. False, with the reason in error, when it could not be started.
bool SpawnDetached(const std::vector<std::string>& argv, std::string& error);

// The program OpenInShell starts; tests point it elsewhere.
void SetShellOpenProgram(const std::string& program);
