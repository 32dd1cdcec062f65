#include "online/SIM_Server.h"

#include "app/Game.h"

#include "engine/GDebugLog.h"
#include "engine/GSafeFile.h"
#include "engine/GTokenizer.h"
#include "engine/TextHelpers.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <unistd.h>
#include "engine/APP_UserFolders.h"
#include "engine/GFileHelpers.h"
#include "engine/GHttpClient.h"
#include "engine/GSafeFile.h"
#include "engine/GSystem.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ChallengeFile.h"
#include "app/APP_UsageMetrics.h"
#include "sim/SIM_Options.h"
#include "engine/GHashTable.h"

#include <vector>

#include <filesystem>

namespace {
std::string Enc(const std::string& text)
{
    return PercentEncode(text);
}

// Downloads a path into target through a private file beside it, so that
// only a whole answer replaces what target held.
bool DownloadReplacing(GHttpClient& client, const std::string& target, const std::string& path,
                       GHttpClient::Kind kind, long* answered = nullptr)
{
    const size_t slash = target.rfind('/');
    if (slash != std::string::npos)
        EnsureDirectoryExists(target.substr(0, slash));
    if (!client.OpenLink()) {
        LOG_DEBUG("Error - GetInternet()->OpenLink() failed");
        return false;
    }
    const bool ok = client.DownloadToFile(target, path, kind, answered);
    client.CloseLink();
    return ok;
}
} // namespace

SIM_Server& SIM_Server::GetInstance()
{
    static SIM_Server instance;
    return instance;
}

SIM_Server::SIM_Server(GHttpClient* client) : m_client(client)
{
}

std::string SIM_Server::GetUserFolder() const
{
    return m_userFolder.empty() ? Game::GetInstance().GetUserPath(Game::USER) : m_userFolder;
}

bool SIM_Server::HasUserName() const
{
    return !StoredUserName().empty();
}

std::string SIM_Server::StoredUserName() const
{
    const std::string path = GetUserFolder() + "/web/qlmcdu";
    std::string text;
    // A folder, FIFO or device in the file's place is refused (and told) by
    // the reader without being waited on.
    if (!ReadWholeFile(path, text, kMaxSettingsFileBytes))
        return std::string();
    std::string note;
    const std::string name = TakeUserName(text, &note);
    // The name is written alone, so anything after it was not the game's: the
    // name still serves, and the line says what was taken.
    if (name.empty() && !note.empty())
        LOG_ERROR_ONCE(StrFormat("%s: %s, no online name", path.c_str(), note.c_str()));
    else if (!note.empty())
        LOG_ERROR_ONCE(StrFormat("%s: %s; the online name taken is \"%s\" (%zu characters)", path.c_str(),
                                 note.c_str(), name.c_str(), name.size()));
    return name;
}

std::string SIM_Server::TakeUserName(const std::string& text, std::string* note)
{
    // The first line: it ends at a line end, and a NUL or any other control
    // character ends it too, since it could not travel in a request or a
    // challenge file.
    size_t end = 0;
    while (end < text.size() && end < kMaxStoredUserName) {
        if (IsControlCharacter(static_cast<unsigned char>(text[end])))
            break;
        ++end;
    }
    if (note) {
        note->clear();
        if (text.empty()) {
            *note = "empty (damaged)";
        } else if (end < text.size()) {
            const unsigned char c = static_cast<unsigned char>(text[end]);
            const size_t rest = text.size() - end;
            if (end == kMaxStoredUserName && !IsControlCharacter(c))
                *note = StrFormat("longer than %zu characters (%zu more cut off)", kMaxStoredUserName, rest);
            else if (c == '\n' || c == '\r')
                *note = StrFormat("a line end after the name (%zu bytes from it on left out)", rest);
            else
                *note = StrFormat("%s after the name (%zu bytes from it on left out)", ControlCharacterName(c).c_str(),
                                  rest);
        }
    }
    return text.substr(0, end);
}

std::string SIM_Server::GetUserName() const
{
    // A name the campaign set for its requests wins over the stored one.
    if (!m_userName.empty())
        return m_userName;
    return StoredUserName();
}

bool SIM_Server::SaveUserName(const std::string& name) const
{
    EnsureDirectoryExists(GetUserFolder() + "/web");
    return WriteFileAtomically(GetUserFolder() + "/web/qlmcdu", name);
}

bool SIM_Server::IsUsableUserName(const std::string& name)
{
    return !name.empty() && name.size() <= kMaxUserName;
}

bool SIM_Server::IsOnline()
{
    return Client().IsOnline();
}

bool SIM_Server::GetSurvivalScores(const std::string& mapName, const std::string& userId)
{
    if (!Client().IsOnline())
        return false;
    const std::string path = "/quillomar/server/getsurvivalscores.php?&username=" + PercentEncode(GetUserName()) +
                             "&id=" + PercentEncode(userId) + "&map=" + PercentEncode(mapName);
    return DownloadReplacing(Client(), GetHighScoresPath(), path, GHttpClient::Kind::SCORES);
}

GHttpClient& SIM_Server::Client()
{
    return m_client ? *m_client : GetInternet();
}

bool SIM_Server::PostMetrics(const std::string& metricsFile, const std::string& installId)
{
    GHttpClient& client = Client();
    if (!client.OpenPostLink())
        return false;
    bool ok = client.PostFile(kMetricsPath, metricsFile, installId, kMetricsTimeoutMs);
    client.CloseLink();
    if (!ok)
        LOG_DEBUG("SIM_SERVER: metrics upload failed");
    return ok;
}

bool SIM_Server::Request(const std::string& path, bool wantTrue, const char* what)
{
    if (!Client().IsOnline()) {
        LOG_DEBUG(std::string("SIM_SERVER: no server, not sent: ") + what);
        return false;
    }
    std::string answer;
    bool ok = FetchAnswer(path, wantTrue ? &answer : nullptr);
    if (wantTrue)
        ok = ok && ReadResponse(answer) == "true";
    if (!ok)
        LOG_DEBUG(std::string("SIM_SERVER: not taken: ") + what);
    return ok;
}

bool SIM_Server::RateChallenge(const std::string& challengeId, int difficulty, int enjoyment)
{
    // The player's online name and id are sent once online play keeps them.
    return AskTrue(StrFormat("/quillomar/server/ratechallenge.php?&rater=%s&username=%s&qlmid=%s&dif=%d&enj=%d",
                             PercentEncode(GetUserId()).c_str(), PercentEncode(GetUserName()).c_str(),
                             PercentEncode(challengeId).c_str(), difficulty, enjoyment),
                   "rating");
}

bool SIM_Server::SendMessage(const std::string& recipient, const std::string& text)
{
    return Request(StrFormat("/quillomar/server/sendmessage.php?&user=%s&id=%s&msgto=%s&msg=%s",
                             PercentEncode(GetUserName()).c_str(), PercentEncode(GetUserId()).c_str(),
                             PercentEncode(recipient).c_str(), PercentEncode(text).c_str()),
                   false, "message");
}

// --- Campaign opponents -----------------------------------------------------

void SIM_Server::SetIdentity(const std::string& userName, const std::string& installId)
{
    m_userName = userName;
    m_installId = installId;
}

std::string SIM_Server::CampaignListPath()
{
    if (!APP_UserFolders::GetInstance().IsCreated())
        return std::string();
    return APP_UserFolders::GetInstance().Get(APP_UserFolders::USER) + "/web/camp_chall.txt";
}

bool SIM_Server::GetCampaignOpponentList(const std::string& race, int minCost, int maxCost)
{
    const std::string target = CampaignListPath();
    if (target.empty())
        return false;
    EnsureDirectoryExists(target.substr(0, target.rfind('/')));
    GHttpClient& client = Client();
    if (!client.OpenLink())
        return false;
    const std::string path =
        StrFormat("/quillomar/server/qlm_campaign_getopponentlist.php?&username=%s&id=%s&playerrace=%s&mincost=%d"
                  "&maxcost=%d",
                  PercentEncode(GetUserName()).c_str(), PercentEncode(GetUserId()).c_str(), PercentEncode(race).c_str(),
                  minCost, maxCost);
    const bool ok = client.DownloadToFile(target, path, GHttpClient::Kind::OPPONENTS);
    client.CloseLink();
    return ok;
}

bool SIM_Server::DownloadChallenge(const std::string& challengeId)
{
    // Where the reader looks, unless a test gave a folder of its own.
    const std::string target = m_userFolder.empty() ? SIM_ChallengeFile::ChallengePath(challengeId)
                                                    : ChallengePathIn(m_userFolder, challengeId);
    if (target.empty())
        return false;
    EnsureDirectoryExists(target.substr(0, target.rfind('/')));
    GHttpClient& client = Client();
    if (!client.OpenDirect()) {
        LOG_DEBUG("SIM_SERVER: Internet Connect Failed");
        return false;
    }
    // Into a file of its own first: only a whole answer whose header reads
    // becomes the challenge the game treats as on disk.
    const std::string part = target + ".download";
    long answered = 0;
    bool ok = client.DownloadToFile(part, "/quillomar/server/challenges/" + challengeId + ".qlm",
                                    GHttpClient::Kind::CHALLENGE, &answered);
    client.CloseLink();
    std::string bytes;
    std::vector<std::string> packages;
    ok = ok && ReadWholeFile(part, bytes) && SIM_ChallengeFile::ReadPackages(bytes, packages) &&
         GSafeFile::ReasonNotToReplace(target).empty() && std::rename(part.c_str(), target.c_str()) == 0;
    std::remove(part.c_str());
    if (!ok && answered == 0)
        LOG_DEBUG("SIM_SERVER: Download QLM file failed, no answer");
    else if (!ok)
        LOG_ERROR("SIM_SERVER: Download QLM file failed");
    return ok;
}

std::string SIM_Server::ChallengePathIn(const std::string& userFolder, const std::string& challengeId)
{
    if (!SIM_ChallengeFile::IsSafeChallengeId(challengeId))
        return std::string();
    return userFolder + "/web/challenges/" + challengeId + ".qlm";
}

std::string SIM_Server::MakeTempFileName()
{
    static std::mutex mutex;
    static unsigned counter = 0;
    std::lock_guard<std::mutex> lock(mutex);
    // Before the user folder exists (tools, tests) the system's temporary folder serves.
    std::string folder;
    if (APP_UserFolders::GetInstance().IsCreated()) {
        folder = APP_UserFolders::GetInstance().Get(APP_UserFolders::USER) + "/web";
        EnsureDirectoryExists(folder);
    } else {
        std::error_code ec;
        folder = std::filesystem::temp_directory_path(ec).string();
        if (ec || folder.empty())
            return std::string();
    }
    return StrFormat("%s/tmp%d_%u.html", folder.c_str(), static_cast<int>(getpid()), counter++);
}

std::string SIM_Server::ReadResponse(const std::string& answer)
{
    std::string response, message;
    ReadAnswer(answer, response, message);
    return response;
}

void SIM_Server::ReadAnswer(const std::string& answer, std::string& response, std::string& message)
{
    GHttpClient::ReadAnswer(answer, response, message);
}

bool SIM_Server::FetchAnswer(const std::string& path, std::string* answer, GHttpClient::Kind kind)
{
    const std::string temp = MakeTempFileName();
    if (temp.empty())
        return false;
    GHttpClient& client = Client();
    if (!client.OpenLink())
        return false;
    const bool ok = client.DownloadToFile(temp, path, kind);
    client.CloseLink();
    const bool read = ok && (!answer || ReadWholeFile(temp, *answer));
    std::remove(temp.c_str());
    return read;
}

bool SIM_Server::GetNewCampaignChallengeId(std::string& id)
{
    std::string answer;
    if (!FetchAnswer(StrFormat("/quillomar/server/qlm_campaign_getnewchallengeid.php?&user=%s&id=%s",
                               PercentEncode(GetUserName()).c_str(), PercentEncode(GetUserId()).c_str()),
                     &answer))
        return false;
    const std::string value = ReadResponse(answer);
    if (value.empty() || value == "false" || !SIM_ChallengeFile::IsSafeChallengeId(value))
        return false;
    id = value;
    return true;
}

bool SIM_Server::AddCampaignChallenge(const std::string& challengeId)
{
    return FetchAnswer(StrFormat("/quillomar/server/qlm_campaign_addcampaignchallenge.php?&username=%s&id=%s&qlm=%s",
                                 PercentEncode(GetUserName()).c_str(), PercentEncode(GetUserId()).c_str(),
                                 PercentEncode(challengeId).c_str()),
                       nullptr);
}

bool SIM_Server::PostChallenge(const std::string& localFile, const std::string& tag)
{
    GHttpClient& client = Client();
    if (!client.OpenPostLink())
        return false;
    const bool ok = client.PostFile("/quillomar/server/postchallenge.php", localFile, tag);
    client.CloseLink();
    return ok;
}

// --- Challenges, messages, scores -------------------------------------------

std::string SIM_Server::GetUserId() const
{
    return m_installId.empty() ? APP_UsageMetrics::GetInstance().GetId() : m_installId;
}

std::string SIM_Server::GetRequestParam() const
{
    std::lock_guard<std::mutex> lock(m_answerMutex);
    return m_newChallengeId;
}

std::string SIM_Server::GetLastMessage() const
{
    std::lock_guard<std::mutex> lock(m_answerMutex);
    return m_lastMessage;
}

bool SIM_Server::AskTrue(const std::string& path, const char* what)
{
    if (!Client().IsOnline()) {
        LOG_DEBUG(std::string("SIM_SERVER: no server, not sent: ") + what);
        return false;
    }
    std::string answer, response, message;
    const bool came = FetchAnswer(path, &answer);
    ReadAnswer(answer, response, message);
    if (came && !message.empty()) {
        std::lock_guard<std::mutex> lock(m_answerMutex);
        m_lastMessage = message;
    }
    const bool ok = came && response == "true";
    if (!ok)
        LOG_DEBUG(std::string("SIM_SERVER: not taken: ") + what);
    return ok;
}


bool SIM_Server::GetChallengeList(const std::string& target)
{
    if (!Client().IsOnline())
        return false;
    return DownloadReplacing(Client(), target, "/quillomar/server/getmychaldemo.php", GHttpClient::Kind::LIST);
}

bool SIM_Server::GetChallengeHistory(const std::string& challengeId, std::string& text)
{
    text.clear();
    if (!Client().IsOnline())
        return false;
    return FetchAnswer("/quillomar/server/getchallengehistory.php?&qlmid=" + Enc(challengeId), &text,
                       GHttpClient::Kind::HISTORY);
}

bool SIM_Server::AddChallenge(const std::string& receiver, const std::string& taunt, const std::string& map,
                              const std::string& parentId)
{
    const std::string race = SIM_Options::GetInstance().GetRaceName();
    const std::string path =
        StrFormat("/quillomar/server/addchal136.php?&sen=%s&use=%s&rec=%s&tau=%s&map=%s&race=%s&parent=%s",
                  Enc(GetUserId()).c_str(), Enc(GetUserName()).c_str(), Enc(receiver).c_str(), Enc(taunt).c_str(),
                  Enc(map).c_str(), Enc(race).c_str(), Enc(parentId).c_str());
    if (!Client().IsOnline()) {
        std::lock_guard<std::mutex> lock(m_answerMutex);
        m_lastMessage = GetString("ONLINE_NO_SERVER");
        return false;
    }
    std::string answer, response, message;
    if (!FetchAnswer(path, &answer)) {
        std::lock_guard<std::mutex> lock(m_answerMutex);
        m_lastMessage = GetString("ONLINE_NO_ANSWER");
        return false;
    }
    ReadAnswer(answer, response, message);
    std::lock_guard<std::mutex> lock(m_answerMutex);
    if (!message.empty())
        m_lastMessage = message;
    // The id names files here and on the server: an empty or odd one is no id.
    if (response == "false" || !SIM_ChallengeFile::IsSafeChallengeId(response)) {
        LOG_DEBUG("Failed to post challenge");
        if (message.empty())
            m_lastMessage = GetString("ONLINE_NO_ANSWER");
        return false;
    }
    m_newChallengeId = response;
    return true;
}

bool SIM_Server::DeleteChallenge(const std::string& challengeId)
{
    return AskTrue(StrFormat("/quillomar/server/delete_challenge.php?&userid=%s&username=%s&qlmid=%s",
                             Enc(GetUserId()).c_str(), Enc(GetUserName()).c_str(), Enc(challengeId).c_str()),
                   "delete challenge");
}

bool SIM_Server::ReportChallengeVictory(const std::string& challengeId)
{
    return AskTrue(StrFormat("/quillomar/server/challenge_victory.php?&userid=%s&username=%s&qlmid=%s",
                             Enc(GetUserId()).c_str(), Enc(GetUserName()).c_str(), Enc(challengeId).c_str()),
                   "challenge victory");
}

bool SIM_Server::ReportChallengeAttempt(const std::string& challengeId)
{
    return AskTrue(StrFormat("/quillomar/server/challenge_attempt.php?&userid=%s&username=%s&qlmid=%s",
                             Enc(GetUserId()).c_str(), Enc(GetUserName()).c_str(), Enc(challengeId).c_str()),
                   "challenge attempt");
}

bool SIM_Server::SetUserName(const std::string& name)
{
    if (name.empty()) {
        LOG_ERROR("SIM_SERVER: Attempt to apply blank username");
        return false;
    }
    if (name.size() > kMaxUserName) {
        LOG_ERROR("SIM_SERVER: Attempt to register username > 128 characters");
        return false;
    }
    return AskTrue(StrFormat("/quillomar/server/setusername.php?&id=%s&username=%s", Enc(GetUserId()).c_str(),
                             Enc(name).c_str()),
                   "user name");
}

bool SIM_Server::GetLatestPatch(int version)
{
    return AskTrue(StrFormat("/quillomar/server/getlatestpatch.php?&id=%s&username=%s&version=%d",
                             Enc(GetUserId()).c_str(), Enc(GetUserName()).c_str(), version),
                   "latest patch");
}

bool SIM_Server::DownloadNews(const std::string& target)
{
    if (!Client().IsOnline())
        return false;
    long answered = 0;
    if (DownloadReplacing(Client(), target, "/quillomar/server/news.txt", GHttpClient::Kind::NEWS, &answered))
        return true;
    // A server without a news file has no news today: an answer, not a failure.
    return answered == 404 && WriteFileAtomically(target, "");
}

bool SIM_Server::AddSurvivalScore(int score, const std::string& map, const std::string& race)
{
    return AskTrue(StrFormat("/quillomar/server/add_survival_score.php?&userid=%s&username=%s&m=%s&r=%s&s=%d,&c=%d",
                             Enc(GetUserId()).c_str(), Enc(GetUserName()).c_str(), Enc(map).c_str(),
                             Enc(race).c_str(), score, score ^ kScoreCheckKey),
                   "survival score");
}

bool SIM_Server::BlockMessageSender(const std::string& sender)
{
    return Request(StrFormat("/quillomar/server/blockmessage.php?&user=%s&id=%s&blockuser=%s",
                             Enc(GetUserName()).c_str(), Enc(GetUserId()).c_str(), Enc(sender).c_str()),
                   false, "block sender");
}

bool SIM_Server::DeleteMessage(int messageId)
{
    return Request(StrFormat("/quillomar/server/deletemessage.php?&user=%s&id=%s&msgid=%d", Enc(GetUserName()).c_str(),
                             Enc(GetUserId()).c_str(), messageId),
                   false, "delete message");
}

bool SIM_Server::GetMyMessages(int lastMessageId, const std::string& target)
{
    return Client().IsOnline() &&
           DownloadReplacing(Client(), target,
                             StrFormat("/quillomar/server/getmymessages.php?&username=%s&id=%s&lastmessageid=%d",
                                       Enc(GetUserName()).c_str(), Enc(GetUserId()).c_str(), lastMessageId),
                             GHttpClient::Kind::MESSAGES);
}

std::string SIM_Server::ThumbnailPath(const std::string& userFolder, const std::string& challengeId)
{
    if (!SIM_ChallengeFile::IsSafeChallengeId(challengeId))
        return std::string();
    return userFolder + "/web/challengedata/" + challengeId + ".jpg";
}

bool SIM_Server::DownloadThumbnail(const std::string& challengeId)
{
    const std::string target = ThumbnailPath(GetUserFolder(), challengeId);
    if (target.empty())
        return false;
    EnsureDirectoryExists(target.substr(0, target.rfind('/')));
    GHttpClient& client = Client();
    if (!client.IsOnline() || !client.OpenPostLink()) {
        LOG_DEBUG("SIM_SERVER: Internet Connect Failed");
        return false;
    }
    const std::string path = "/quillomar/server/thumbnails/" + challengeId + ".jpg";
    const bool ok = client.UrlExists(path) && client.DownloadToFile(target, path, GHttpClient::Kind::THUMBNAIL);
    client.CloseLink();
    return ok;
}

bool SIM_Server::PostThumbnail(const std::string& localFile, const std::string& tag)
{
    GHttpClient& client = Client();
    if (!client.OpenPostLink())
        return false;
    const bool ok = client.PostFile("/quillomar/server/postthumbnail.php", localFile, tag);
    client.CloseLink();
    return ok;
}
