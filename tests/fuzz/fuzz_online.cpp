// Mutated server answers and the player files kept from them; the first byte
// picks the reader: the challenge list, a challenge's history, the survival
// high scores, an answer's response and message, the messages (as the seen
// file and as a download, merged and saved back), the news date file.
#include "FuzzFiles.h"

#include "frontend/GUI_HighScoreTable.h"
#include "online/GUI_ChallengeDetailsHistory.h"
#include "online/OnlineCalendar.h"
#include "online/SIM_ChallengeDatabase.h"
#include "online/SIM_ChallengeRecord.h"
#include "online/SIM_OnlineMessageManager.h"
#include "online/SIM_Server.h"

#include <cstdint>
#include <cstdlib>
#include <set>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 6) {
    case 0:
        for (const auto& r : SIM_ChallengeDatabase::ParseRecords(text))
            if (!r)
                abort();
        break;
    case 1:
        GUI_ChallengeDetailsHistory::ParseHistory(text);
        break;
    case 2:
        for (const GUI_HighScoreTable::Record& r : GUI_HighScoreTable::ParseRecords(text))
            if (r.name.find('\n') != std::string::npos)
                abort();
        break;
    case 3: {
        std::string response, message;
        SIM_Server::ReadAnswer(text, response, message);
        if (SIM_Server::ReadResponse(text) != response)
            abort();
        break;
    }
    case 4: {
        const std::string seen = FuzzFile("oldmessages.txt", data + 1, size - 1);
        SIM_OnlineMessageManager messages(seen);
        messages.MergeDownload(text);
        std::set<int> ids;
        for (const SIM_OnlineMessageRecord* r : messages.GetAll())
            if (!ids.insert(r->id).second || r->id > messages.GetHighestId())
                abort();
        break;
    }
    case 5: {
        OnlineCalendar::Date date{};
        OnlineCalendar::ReadDate(FuzzFile("newsdate.ini", data + 1, size - 1), "newsdate", date);
        break;
    }
    }
    return 0;
}
