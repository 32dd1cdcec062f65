#pragma once
#include <functional>
#include <string>
#include <vector>

class SIM_Server;

// Picks the challenge a planet's battle is fought against: the fleet cached
// at the planet when there is one, else a weighted draw from the fleets of a
// cost band. The band's list comes from the server when one answers, else
// from the opponent pool shipped with the game, so the campaign also plays
// offline.
class SIM_CampaignOpponentChooser {
public:
    struct Candidate {
        std::string id;
        float weight = 0.0f;
    };
    // Fetches the server's list text for a band; false when there is none.
    using ListSource = std::function<bool(const std::string& race, float minCost, float maxCost, std::string& text)>;

    // Empty when nothing was found; reused tells whether the cached fleet won.
    // The server's list is asked through `server` (the game's own by default).
    static std::string ChooseOpponent(int encounterId, float wantedCost, bool& reused, SIM_Server* server = nullptr);
    static void CostBand(float wantedCost, float& minCost, float& maxCost);
    // Adds the usable lines of a list ("##,id,\"packages\"...") with their weights.
    static void AddCandidates(const std::string& listText, std::vector<Candidate>& list);
    // The shipped pool within the band (all of it when the band is empty).
    static void AddPoolCandidates(float minCost, float maxCost, std::vector<Candidate>& list);
    static std::string PickOpponent(const std::vector<Candidate>& list);

    // Where server lists come from; none (the default) means offline.
    static void SetListSource(ListSource source);
    // The server's list, when the game is online.
    static ListSource ServerListSource(SIM_Server& server);
    // The shipped challenge file of a pool opponent ("" when it is none).
    static std::string PoolFilePath(const std::string& id);
    // A challenge id may name a file only when it is plain: [A-Za-z0-9_-]{1,64}.
    static bool IsSafeChallengeId(const std::string& id);
};
