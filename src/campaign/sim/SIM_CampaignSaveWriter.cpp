#include "campaign/sim/SIM_CampaignSaveWriter.h"

#include "engine/GDebugLog.h"
#include "engine/GFileList.h"
#include "engine/GFileHelpers.h"
#include "engine/GSafeFile.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {
int g_failAt = -1;
int g_crashAt = -1;

std::string RecordPath(const std::string& folder)
{
    return folder + "/" + SIM_CampaignSaveWriter::kRecordName;
}

// Renames every staged file listed in the record and removes the stale ones;
// each step is harmless to repeat, so a second crash here is finished too.
// False when the hook stopped it.
bool FinishRecord(const std::string& text, int crashAt)
{
    std::istringstream in(text);
    std::string line;
    int renames = 0;
    while (std::getline(in, line)) {
        if (line.size() < 3 || line[1] != ' ')
            continue;
        const std::string path = line.substr(2);
        if (line[0] == 'R') {
            if (renames++ == crashAt)
                return false;
            const std::string staged = path + SIM_CampaignSaveWriter::kStagedSuffix;
            if (FileExists(staged) && std::rename(staged.c_str(), path.c_str()) != 0)
                LOG_ERROR("Failed to put saved file in place : " + path);
        } else if (line[0] == 'D') {
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
            std::remove(path.c_str());
    }
}
} // namespace

void SIM_CampaignSaveWriter::FailStagedWriteForTest(int n)
{
    g_failAt = n;
}

void SIM_CampaignSaveWriter::CrashBeforeRenameForTest(int n)
{
    g_crashAt = n;
}

void SIM_CampaignSaveWriter::Add(const std::string& path, const std::string& contents)
{
    m_files.push_back({path, contents});
}

void SIM_CampaignSaveWriter::Remove(const std::string& path)
{
    m_removals.push_back(path);
}

void SIM_CampaignSaveWriter::Recover(const std::string& folder)
{
    std::string record;
    if (ReadWholeFile(RecordPath(folder), record)) {
        FinishRecord(record, -1);
        std::remove(RecordPath(folder).c_str());
    }
    RemoveStaged(folder);
}

bool SIM_CampaignSaveWriter::Commit()
{
    m_error.clear();
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
    for (const File& f : m_files)
        record += "R " + f.path + "\n";
    for (const std::string& path : m_removals) {
        const bool rewritten = std::any_of(m_files.begin(), m_files.end(), [&](const File& f) { return f.path == path; });
        if (!rewritten)
            record += "D " + path + "\n";
    }
    if (!WriteFileAtomically(RecordPath(m_folder), record)) {
        m_error = RecordPath(m_folder);
        RemoveStaged(m_folder);
        return false;
    }
    if (!FinishRecord(record, g_crashAt)) {
        m_error = "stopped while renaming";
        return false;
    }
    std::remove(RecordPath(m_folder).c_str());
    return true;
}
