#pragma once
#include <memory>
#include <string>
#include <vector>

class SIM_DeployedFleet;
class SIM_Scenario;

// A challenge: one player's deployed fleet with its designs and the scenario
// fields it was deployed on, as the little-endian ".qlm" file players trade.
// The reader trusts nothing: every count is capped, every read bounded,
// hulls, modules and behaviours must be known, slots must exist on the hull,
// floats must be finite and ships on the map. A bad file is refused whole,
// with one message, and leaves no fleet behind.
class SIM_ChallengeFile {
public:
    static constexpr int kMaxString = 2048;
    static constexpr int kMaxPackages = 64;
    static constexpr int kMaxVariableLines = 256;
    static constexpr int kMaxDesigns = 256;
    static constexpr int kMaxModules = 512;
    static constexpr int kMaxShips = 1000;
    // What the server takes as one upload: a longer file is refused unread.
    static constexpr size_t kMaxFileBytes = 16u << 20;
    static constexpr int kMaxOrders = 64;
    static constexpr int kMaxQuantity = 1000;
    static constexpr float kMaxMapSize = 100000.0f;

    static SIM_ChallengeFile& GetInstance();
    SIM_ChallengeFile();
    virtual ~SIM_ChallengeFile();

    // Writes "web/challenge.qlm" in the user folder; false when it can't.
    bool Write(const SIM_DeployedFleet& fleet, std::string receiver, std::string taunt, std::string senderName,
               const SIM_Scenario& scenario);
    // The file's bytes, for Write and for tools that build challenges.
    std::string WriteToBytes(const SIM_DeployedFleet& fleet, const std::string& receiver, const std::string& taunt,
                             const std::string& senderName, const SIM_Scenario& scenario) const;
    std::string GetFileName() const { return m_filePath; }
    void LeaveOutPackage(const std::string& name) { m_leftOutPackages.push_back(name); }
    void ClearLeftOutPackages() { m_leftOutPackages.clear(); }

    // Reads "web/challenges/<id>.qlm" of the user folder (ids must be plain).
    bool Read(SIM_Scenario& scenario, const std::string& challengeId);
    bool ReadFile(const std::string& path, SIM_Scenario& scenario, const std::string& challengeId);
    // False, with the reason in GetError, for anything short of a sound file.
    bool ReadFromBytes(const std::string& bytes, SIM_Scenario& scenario, const std::string& challengeId);
    const std::string& GetError() const { return m_error; }

    bool HasRequiredContent(const std::string& challengeId);
    std::string GetMissingContent(const std::string& challengeId);

    void GetFleetBounds(float minCorner[2], float maxCorner[2], float startMinX, float startMinY) const;
    void OffsetFleetPositions(float centreY, float oldWidth, float oldHeight, float newWidth, float newHeight);

    std::string GetChallengeId() const { return m_challengeId; }
    const SIM_DeployedFleet* GetFleetRead() const { return m_fleetRead.get(); }
    const std::string& GetSenderName() const { return m_senderName; }
    const std::string& GetReceiver() const { return m_receiver; }
    const std::string& GetTaunt() const { return m_taunt; }
    float GetMapWidth() const { return m_mapWidth; }

    // Where a challenge id's downloaded file lies; empty for an unsafe id.
    static std::string ChallengePath(const std::string& challengeId);
    static bool IsSafeChallengeId(const std::string& id);
    // Package names of a file's header; false when the header is broken.
    static bool ReadPackages(const std::string& bytes, std::vector<std::string>& packages);

private:
    std::string m_filePath;
    std::string m_receiver;
    std::string m_taunt;
    std::string m_senderName;
    float m_mapWidth = 0.0f;
    std::unique_ptr<SIM_DeployedFleet> m_fleetRead;
    std::string m_challengeId;
    std::string m_namePrefix;
    std::vector<std::string> m_leftOutPackages;
    std::string m_error;
};
