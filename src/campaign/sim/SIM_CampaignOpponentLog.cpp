#include "campaign/sim/SIM_CampaignOpponentLog.h"

#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignSaveWriter.h"
#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"

#include <algorithm>
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
    std::string text;
    const FileRead read = ReadWholeFile(path, text, kMaxSaveFileBytes);
    // Out of the way at once: a fight records its opponent straight away.
    if (read.IsRefused())
        SIM_CampaignSaveWriter::SetAside(saveFolder, path);
    if (!read)
        return;
    section.LoadFromText("opponents", text);
    // The list is written anew at the next fight: what it cannot keep is
    // said first, once.
    size_t notRecords = 0;
    for (size_t i = 0; i < section.GetEntryCount(); ++i) {
        struct Record r;
        const std::string& key = section.GetKeyAt(i);
        notRecords += key.empty() || key.size() > 9 || key.find_first_not_of("0123456789") != std::string::npos;
        r.sequence = atoi(key.substr(0, 9).c_str());
        r.name = section.GetValueAt(i);
        m_records.push_back(std::move(r));
    }
    // The game writes the header even with no opponent.
    if (section.GetEntryCount() == 0 && text.find("[opponents]") == std::string::npos)
        LOG_ERROR(path + ": no [opponents] section (empty or damaged), the list starts empty");
    else if (notRecords > 0)
        LOG_ERROR(StrFormat("%s [opponents]: %zu entries not numbered as the game numbers them, read as they stand",
                            path.c_str(), notRecords));
    // Only the [opponents] section is written back: lines before it or in
    // sections of other names are lost at the next fight.
    size_t outside = 0;
    for (size_t pos = 0; pos < text.size() && text[pos] != '[';) {
        const size_t end = std::min(text.find('\n', pos), text.size());
        outside += text.find_first_not_of(" \t\r", pos) < end;
        pos = end + 1;
    }
    for (const GIniFile& other : GIniFile::ParseSections(text))
        if (other.GetSection() != "opponents")
            outside += 1 + other.GetEntryCount();
    if (outside > 0 && text.find("[opponents]") != std::string::npos)
        LOG_ERROR(StrFormat("%s: %zu lines outside its [opponents] section, not kept at the next save",
                            path.c_str(), outside));
    if (!text.empty() && text.back() != '\n')
        LOG_ERROR(path + ": cut off inside its last line, read as it stands");
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
