#include "campaign/sim/SIM_CampaignSaveWriter.h"

#include "engine/GSafeFile.h"

#include <algorithm>
#include <cstdio>

namespace {
int g_failAt = -1;
}

void SIM_CampaignSaveWriter::FailStagedWriteForTest(int n)
{
    g_failAt = n;
}

void SIM_CampaignSaveWriter::Add(const std::string& path, const std::string& contents)
{
    m_files.push_back({path, contents});
}

void SIM_CampaignSaveWriter::Remove(const std::string& path)
{
    m_removals.push_back(path);
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
    for (const File& f : m_files) {
        if (std::rename((f.path + kStagedSuffix).c_str(), f.path.c_str()) != 0 && m_error.empty())
            m_error = f.path;
    }
    for (const std::string& path : m_removals) {
        const bool rewritten = std::any_of(m_files.begin(), m_files.end(), [&](const File& f) { return f.path == path; });
        if (!rewritten)
            std::remove(path.c_str());
    }
    return m_error.empty();
}
