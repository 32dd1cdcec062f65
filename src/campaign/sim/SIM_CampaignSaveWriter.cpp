#include "campaign/sim/SIM_CampaignSaveWriter.h"

#include "app/APP_SaveNotice.h"

#include "engine/GDebugLog.h"
#include "engine/GFileList.h"
#include "engine/GFileHelpers.h"
#include "engine/GSafeFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

namespace {
int g_failAt = -1;
int g_crashAt = -1;

std::string RecordPath(const std::string& folder)
{
    return folder + "/" + SIM_CampaignSaveWriter::kRecordName;
}

bool IsPlainLink(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool IsNeitherFileNorLink(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode);
}

// One step of a record: a rename of a staged file into place, or a removal.
struct Step {
    char op;
    std::string name;
};

// Reads a record into steps. A save folder may come from another player, so a
// record may only name files of this save set by their name in the folder;
// a path, "..", a link or any other name refuses the whole record. A save
// never removes its progress or opponents (it rewrites them), so a record
// that would is refused too: it would leave the folder without its save.
bool ParseRecord(const std::string& folder, const std::string& text, std::vector<Step>& steps, std::string& refused)
{
    std::istringstream in(text);
    std::string line;
    int number = 0;
    // A line as the log tells it: its number and its start, however long it is.
    auto refuse = [&] {
        constexpr size_t kShown = 80;
        refused = "line " + std::to_string(number) + ": " +
                  (line.size() <= kShown ? line : line.substr(0, kShown) + "...");
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        if (line.empty())
            continue;
        std::string name = line.size() > 2 ? line.substr(2) : "";
        // Records of earlier builds held whole paths into this same folder.
        if (name.compare(0, folder.size() + 1, folder + "/") == 0)
            name.erase(0, folder.size() + 1);
        const bool known = line.size() > 2 && (line[0] == 'R' || line[0] == 'D') && line[1] == ' ';
        if (!known || !SIM_CampaignSaveWriter::IsSaveSetName(name) ||
            (line[0] == 'D' && name.find('/') == std::string::npos))
            return refuse();
        const size_t slash = name.find('/');
        const std::string path = folder + "/" + name;
        if ((slash != std::string::npos && IsPlainLink(folder + "/" + name.substr(0, slash))) || IsPlainLink(path) ||
            IsPlainLink(path + SIM_CampaignSaveWriter::kStagedSuffix))
            return refuse();
        steps.push_back({line[0], name});
    }
    return true;
}

// The steps of the folder's record; false when there is none or it is refused.
bool ReadRecord(const std::string& folder, std::vector<Step>& steps)
{
    std::string text;
    std::string refused;
    const std::string path = RecordPath(folder);
    return !IsPlainLink(path) && ReadWholeFile(path, text, SIM_CampaignSaveWriter::kMaxRecordBytes) &&
           ParseRecord(folder, text, steps, refused);
}

// Renames every staged file listed and removes the stale ones; each step is
// harmless to repeat, so a second crash here is finished too. False when the
// hook stopped it.
bool FinishRecord(const std::string& folder, const std::vector<Step>& steps, int crashAt)
{
    int renames = 0;
    for (const Step& step : steps) {
        const std::string path = folder + "/" + step.name;
        if (!SIM_CampaignSaveWriter::LiesInsideSave(folder, path)) {
            LOG_ERROR("Left alone, a link leads out of the save : " + path);
            continue;
        }
        if (step.op == 'R') {
            if (renames++ == crashAt)
                return false;
            const std::string staged = path + SIM_CampaignSaveWriter::kStagedSuffix;
            if (FileExists(staged) && std::rename(staged.c_str(), path.c_str()) != 0)
                LOG_ERROR("Failed to put saved file in place : " + path);
        } else {
            std::remove(path.c_str());
        }
    }
    return true;
}

void RemoveStaged(const std::string& folder)
{
    for (const char* pattern : {"/*", "/fleets/*", "/logs/*", "/enemyfleets/*"}) {
        GFileList staged;
        staged.FindFiles(folder + pattern + SIM_CampaignSaveWriter::kStagedSuffix);
        for (const std::string& path : staged.names)
            if (SIM_CampaignSaveWriter::LiesInsideSave(folder, path))
                std::remove(path.c_str());
    }
}
} // namespace

std::string SIM_CampaignSaveWriter::SetAside(const std::string& folder, const std::string& path)
{
    if (!LiesInsideSave(folder, path))
        return {};
    std::string aside = path + kSetAsideSuffix;
    for (int n = 2; n < 1000 && (access(aside.c_str(), F_OK) == 0 || IsPlainLink(aside)); ++n)
        aside = path + kSetAsideSuffix + std::to_string(n);
    if (std::rename(path.c_str(), aside.c_str()) != 0) {
        LOG_ERROR("Cannot set aside what could not be read : " + path + " : " + strerror(errno));
        return {};
    }
    LOG_ERROR("Set aside, it could not be read : " + path + " is now " + aside);
    // Gone from its place, it is no longer kept there: what the save writes
    // next in its place is the save's own. The player is told its new name.
    GSafeFile::ReasonNotToReplace(path);
    APP_SaveNotice::GetInstance().OnFileSetAside(path, aside);
    return aside;
}

bool SIM_CampaignSaveWriter::IsSaveSetName(const std::string& name)
{
    static const char* const kTopLevel[] = {"progress.txt", "opponents.ini"};
    static const struct {
        const char* folder;
        const char* extension;
    } kSubfolders[] = {{"fleets", ".txt"}, {"logs", ".ini"}, {"enemyfleets", ".ini"}};
    const size_t slash = name.find('/');
    if (slash == std::string::npos)
        return std::any_of(std::begin(kTopLevel), std::end(kTopLevel), [&](const char* n) { return name == n; });
    const std::string sub = name.substr(0, slash);
    const std::string file = name.substr(slash + 1);
    if (file.empty() || file.size() > kMaxFileName || file[0] == '.')
        return false;
    for (char c : file)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.')
            return false;
    for (const auto& s : kSubfolders) {
        const size_t ext = std::strlen(s.extension);
        if (sub == s.folder && file.size() > ext && file.compare(file.size() - ext, ext, s.extension) == 0)
            return true;
    }
    return false;
}

bool SIM_CampaignSaveWriter::LiesInsideSave(const std::string& folder, const std::string& path)
{
    const std::string prefix = folder + "/";
    if (folder.empty() || path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0)
        return false;
    const std::string rest = path.substr(prefix.size());
    const size_t slash = rest.find('/');
    const std::string sub = slash == std::string::npos ? std::string() : rest.substr(0, slash);
    const std::string file = slash == std::string::npos ? rest : rest.substr(slash + 1);
    if (file.empty() || file == "." || file == ".." || file.find('/') != std::string::npos)
        return false;
    if (slash != std::string::npos && (sub.empty() || sub == "." || sub == ".."))
        return false;
    // lstat: a link in the folder's or the subfolder's place is no folder.
    struct stat st;
    if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    return sub.empty() || (lstat((prefix + sub).c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

std::string SIM_CampaignSaveWriter::FindLink(const std::string& folder)
{
    if (IsPlainLink(folder))
        return folder;
    for (const char* name : {"fleets", "logs", "enemyfleets", "deployments", kRecordName}) {
        const std::string path = folder + "/" + name;
        if (IsPlainLink(path))
            return path;
    }
    return {};
}

std::string SIM_CampaignSaveWriter::PendingPath(const std::string& folder, const std::string& name)
{
    std::vector<Step> steps;
    const std::string staged = folder + "/" + name + kStagedSuffix;
    if (ReadRecord(folder, steps) && FileExists(staged))
        for (const Step& step : steps)
            if (step.op == 'R' && step.name == name)
                return staged;
    return folder + "/" + name;
}

std::vector<SIM_CampaignSaveWriter::PendingFile> SIM_CampaignSaveWriter::PendingFiles(const std::string& folder,
                                                                                      const std::string& sub,
                                                                                      const std::string& ext)
{
    // By name in the folder: what is there now, changed as the record would.
    std::map<std::string, std::string> files;
    GFileList list(false);
    list.FindFiles(folder + "/" + sub + "/*" + ext);
    for (const std::string& file : list.names)
        if (IsSaveSetName(sub + "/" + file))
            files[file] = folder + "/" + sub + "/" + file;
    std::vector<Step> steps;
    if (ReadRecord(folder, steps)) {
        const std::string prefix = sub + "/";
        for (const Step& step : steps) {
            if (step.name.compare(0, prefix.size(), prefix) != 0 || step.name.size() < prefix.size() + ext.size() ||
                step.name.compare(step.name.size() - ext.size(), ext.size(), ext) != 0)
                continue;
            const std::string file = step.name.substr(prefix.size());
            const std::string staged = folder + "/" + step.name + kStagedSuffix;
            if (step.op == 'D')
                files.erase(file);
            else if (FileExists(staged))
                files[file] = staged;
        }
    }
    std::vector<std::string> names;
    for (const auto& entry : files)
        names.push_back(entry.first);
    SortFileNames(names);
    std::vector<PendingFile> out;
    for (const std::string& file : names)
        out.push_back({folder + "/" + sub + "/" + file, files[file]});
    return out;
}

void SIM_CampaignSaveWriter::FailStagedWriteForTest(int n)
{
    g_failAt = n;
}

void SIM_CampaignSaveWriter::CrashBeforeRenameForTest(int n)
{
    g_crashAt = n;
}

std::string SIM_CampaignSaveWriter::NameInFolder(const std::string& path) const
{
    const std::string prefix = m_folder + "/";
    if (path.compare(0, prefix.size(), prefix) != 0)
        return {};
    std::string name = path.substr(prefix.size());
    return IsSaveSetName(name) && LiesInsideSave(m_folder, path) ? name : std::string();
}

void SIM_CampaignSaveWriter::Add(const std::string& path, const std::string& contents)
{
    m_files.push_back({path, contents});
}

void SIM_CampaignSaveWriter::Remove(const std::string& path)
{
    // A stray file that is no part of a save (copied in by hand, say) is left
    // alone, and so is anything a link in the folder leads to.
    if (NameInFolder(path).empty()) {
        LOG_ERROR("Left alone, not a file inside the save : " + path);
        return;
    }
    m_removals.push_back(path);
}

void SIM_CampaignSaveWriter::Recover(const std::string& folder)
{
    const std::string recordPath = RecordPath(folder);
    std::string record;
    // A FIFO or a folder where the record goes would fail every save after.
    if (IsNeitherFileNorLink(recordPath)) {
        SetAside(folder, recordPath);
    } else if (FileExists(recordPath) || IsPlainLink(recordPath)) {
        std::vector<Step> steps;
        std::string refused;
        if (IsPlainLink(recordPath) || !ReadWholeFile(recordPath, record, kMaxRecordBytes))
            LOG_ERROR("Save record refused, not a readable file : " + recordPath);
        else if (!ParseRecord(folder, record, steps, refused))
            LOG_ERROR("Save record refused, it names a file outside its save : " + recordPath + " : " + refused);
        else
            FinishRecord(folder, steps, -1);
        if (LiesInsideSave(folder, recordPath))
            std::remove(recordPath.c_str());
    }
    RemoveStaged(folder);
}

bool SIM_CampaignSaveWriter::Commit()
{
    m_error.clear();
    for (const File& f : m_files) {
        if (NameInFolder(f.path).empty()) {
            m_error = "not a file inside the save : " + f.path;
            return false;
        }
        // A file of the save that was there but could not be read (a FIFO
        // for the opponents, a log past its cap) is kept as found, under
        // another name: otherwise no save of the campaign would go in again.
        if (const std::string kept = GSafeFile::ReasonNotToReplace(f.path);
            !kept.empty() && SetAside(m_folder, f.path).empty()) {
            m_error = kept + " : " + f.path;
            return false;
        }
        // So is a folder or a FIFO at its staged name, which no rename of a
        // staged copy could replace.
        const std::string staged = f.path + kStagedSuffix;
        if (IsNeitherFileNorLink(staged) && SetAside(m_folder, staged).empty()) {
            m_error = "not a file : " + staged;
            return false;
        }
    }
    // A link in the record's place is not written through: the folder was shared with one.
    if (!LiesInsideSave(m_folder, RecordPath(m_folder)) || IsPlainLink(RecordPath(m_folder))) {
        m_error = "a link in the place of the save record : " + RecordPath(m_folder);
        return false;
    }
    size_t staged = 0;
    for (; staged < m_files.size(); ++staged) {
        const File& f = m_files[staged];
        const bool injected = g_failAt >= 0 && static_cast<size_t>(g_failAt) == staged;
        if (injected || !WriteFileAtomically(f.path + kStagedSuffix, f.contents)) {
            m_error = f.path;
            break;
        }
    }
    if (staged < m_files.size()) {
        for (size_t i = 0; i < staged; ++i)
            std::remove((m_files[i].path + kStagedSuffix).c_str());
        return false;
    }
    std::string record;
    std::vector<Step> steps;
    for (const File& f : m_files)
        steps.push_back({'R', NameInFolder(f.path)});
    for (const std::string& path : m_removals) {
        const bool rewritten = std::any_of(m_files.begin(), m_files.end(), [&](const File& f) { return f.path == path; });
        if (!rewritten)
            steps.push_back({'D', NameInFolder(path)});
    }
    for (const Step& step : steps)
        record += std::string(1, step.op) + " " + step.name + "\n";
    if (!WriteFileAtomically(RecordPath(m_folder), record)) {
        m_error = RecordPath(m_folder);
        RemoveStaged(m_folder);
        return false;
    }
    if (!FinishRecord(m_folder, steps, g_crashAt)) {
        m_error = "stopped while renaming";
        return false;
    }
    std::remove(RecordPath(m_folder).c_str());
    return true;
}
