#pragma once
#include <string>
#include <vector>

// Which challenges this save has fought, in order ("opponents.ini" in the
// save folder), so that recent opponents come up less often. Reloaded
// whenever a campaign is started or loaded.
class SIM_CampaignOpponentLog {
public:
    struct Record {
        std::string name;
        int sequence = 0;
    };

    static SIM_CampaignOpponentLog& GetInstance();

    void Load(const std::string& saveFolder);
    std::string SaveText() const;
    // Appends and writes the file at once; false when the file failed.
    bool Record(const std::string& challengeId);
    // The latest sequence of that opponent, -1 when never fought.
    int LastFought(const std::string& challengeId) const;
    // 100 for a new opponent, 6 for the last one fought, rising by 5 a fight.
    float WeightOf(const std::string& challengeId) const;
    void Clear() { m_records.clear(); }
    const std::vector<struct Record>& GetRecords() const { return m_records; }

private:
    SIM_CampaignOpponentLog() = default;
    std::vector<struct Record> m_records;
    std::string m_saveFolder;
};
