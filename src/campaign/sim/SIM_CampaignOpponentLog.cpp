#include "campaign/sim/SIM_CampaignOpponentLog.h"

#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignSaveWriter.h"
#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"

#include <cstdlib>

SIM_CampaignOpponentLog& SIM_CampaignOpponentLog::GetInstance()
{
    static SIM_CampaignOpponentLog instance;
    return instance;
}

void SIM_CampaignOpponentLog::Load(const std::string& saveFolder)
{
    m_saveFolder = saveFolder;
    m_records.clear();
    GIniFile section;
    const std::string path = saveFolder + "/opponents.ini";
    const FileRead read = section.Load("opponents", path.c_str());
    // Out of the way at once: a fight records its opponent straight away.
    if (read.IsRefused())
        SIM_CampaignSaveWriter::SetAside(saveFolder, path);
    if (!read)
        return;
    for (size_t i = 0; i < section.GetEntryCount(); ++i) {
        struct Record r;
        r.sequence = atoi(section.GetKeyAt(i).substr(0, 9).c_str());
        r.name = section.GetValueAt(i);
        m_records.push_back(std::move(r));
    }
}

std::string SIM_CampaignOpponentLog::SaveText() const
{
    std::string out = "[opponents]\n";
    for (const auto& r : m_records)
        out += StrFormat("%d = ", r.sequence) + QuotedValue(r.name) + "\n";
    return out;
}

bool SIM_CampaignOpponentLog::Record(const std::string& challengeId)
{
    m_records.push_back({challengeId, static_cast<int>(m_records.size())});
    if (m_saveFolder.empty())
        return false;
    const std::string path = m_saveFolder + "/opponents.ini";
    if (!SIM_CampaignSaveWriter::LiesInsideSave(m_saveFolder, path) || !WriteFileAtomically(path, SaveText())) {
        LOG_ERROR("Failed to save the opponent log in " + m_saveFolder);
        return false;
    }
    return true;
}

int SIM_CampaignOpponentLog::LastFought(const std::string& challengeId) const
{
    int last = -1;
    for (const auto& r : m_records)
        if (r.name == challengeId && r.sequence > last)
            last = r.sequence;
    return last;
}

float SIM_CampaignOpponentLog::WeightOf(const std::string& challengeId) const
{
    const int last = LastFought(challengeId);
    if (last < 0)
        return 100.0f;
    const int w = (static_cast<int>(m_records.size()) - last) * 5 + 1;
    return static_cast<float>(w > 100 ? 100 : w);
}
