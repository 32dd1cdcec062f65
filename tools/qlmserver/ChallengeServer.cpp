#include "ChallengeServer.h"

#include "engine/GFileHelpers.h"
#include "engine/GSafeFile.h"
#include "engine/GTokenizer.h"
#include "online/SIM_ChallengeDatabase.h"
#include "online/SIM_ChallengeRecord.h"
#include "sim/SIM_ChallengeFile.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

namespace {
std::string Param(const std::multimap<std::string, std::string>& params, const char* key)
{
    auto it = params.find(key);
    return it == params.end() ? std::string() : it->second;
}

// Answer texts are one value per line: nothing a player typed may start a new one.
std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r' || c == ',' || c == '"')
            c = ' ';
    return text;
}

void Today(int& day, int& month, int& year)
{
    const std::time_t now = std::time(nullptr);
    std::tm tm {};
    gmtime_r(&now, &tm);
    day = tm.tm_mday;
    month = tm.tm_mon + 1;
    year = tm.tm_year % 100;
}

std::string ReadText(const std::string& path)
{
    std::string text;
    if (!ReadWholeFile(path, text))
        text.clear();
    return text;
}

void AppendLine(const std::string& path, const std::string& line)
{
    WriteFileAtomically(path, ReadText(path) + line + "\n");
}
} // namespace

ChallengeServer::ChallengeServer(std::string dataFolder) : m_folder(std::move(dataFolder))
{
    for (const char* sub : {"", "/challenges", "/thumbnails", "/history"})
        EnsureDirectoryExists(m_folder + sub);
    LoadList();
}

ChallengeServer::~ChallengeServer() = default;

void ChallengeServer::LoadList()
{
    m_records = SIM_ChallengeDatabase::ParseRecords(ReadText(m_folder + "/challengelist.txt"));
    for (const auto& r : m_records)
        m_nextId = std::max(m_nextId, std::atoi(r->id.c_str()) + 1);
    std::istringstream in(ReadText(m_folder + "/ratings.txt"));
    for (std::string line; std::getline(in, line);) {
        GTokenizer t(line, ',');
        const std::string id = t.NextString();
        const double n = t.NextFloat(), d = t.NextFloat(), e = t.NextFloat();
        if (!id.empty())
            m_ratings[id] = {n, d, e};
    }
}

void ChallengeServer::SaveList() const
{
    std::string text;
    for (const auto& r : m_records)
        text += r->ToLine();
    WriteFileAtomically(m_folder + "/challengelist.txt", text);
    std::string ratings;
    for (const auto& [id, v] : m_ratings)
        ratings += id + "," + std::to_string(v[0]) + "," + std::to_string(v[1]) + "," + std::to_string(v[2]) + "\n";
    WriteFileAtomically(m_folder + "/ratings.txt", ratings);
}

SIM_ChallengeRecord* ChallengeServer::Find(const std::string& id) const
{
    for (const auto& r : m_records)
        if (r->id == id)
            return r.get();
    return nullptr;
}

std::string ChallengeServer::NameOf(const std::string& userId) const
{
    std::istringstream in(ReadText(m_folder + "/users.txt"));
    for (std::string line; std::getline(in, line);) {
        GTokenizer t(line, ',');
        if (t.NextString() == userId)
            return t.NextString();
    }
    return std::string();
}

void ChallengeServer::Log(const std::string& line)
{
    m_requests.push_back(line);
    std::ofstream out(m_folder + "/requests.log", std::ios::app);
    out << line << "\n";
}

std::vector<std::string> ChallengeServer::GetRequests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void ChallengeServer::AddHistory(const std::string& id, const std::string& name, const std::string& outcome)
{
    int d, m, y;
    Today(d, m, y);
    char date[32];
    std::snprintf(date, sizeof date, "20%02d-%02d-%02d", y, m, d);
    AppendLine(m_folder + "/history/" + id + ".txt", "##," + std::string(date) + "," + OneLine(name) + "," + outcome);
}

void ChallengeServer::Route(httplib::Server& server, const std::string& script,
                            Answer (ChallengeServer::*handler)(const Params&))
{
    server.Get("/quillomar/server/" + script, [this, handler](const httplib::Request& req, httplib::Response& res) {
        if (const int delay = m_delayMs.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        std::lock_guard<std::mutex> lock(m_mutex);
        Log("GET " + req.target);
        const Answer a = (this->*handler)(req.params);
        std::string body = a.body;
        if (!a.response.empty())
            body += "response," + a.response + "\n";
        if (!a.message.empty())
            body += "message," + OneLine(a.message) + "\n";
        res.set_content(body, "text/plain");
    });
}

bool ChallengeServer::StoreUpload(const std::string& folder, const std::string& extension, const httplib::Request& req,
                                  std::string& tag)
{
    if (req.body.size() <= kTagBytes || req.body.size() > kMaxUpload)
        return false;
    tag.assign(req.body.data(), kTagBytes);
    tag.resize(std::min(tag.find('\0'), tag.size()));
    // Only a challenge this server handed out may receive files.
    if (!SIM_ChallengeFile::IsSafeChallengeId(tag) || !Find(tag))
        return false;
    return WriteFileAtomically(m_folder + "/" + folder + "/" + tag + extension, req.body.substr(kTagBytes));
}

void ChallengeServer::Register(httplib::Server& server)
{
    Route(server, "getmychaldemo.php", &ChallengeServer::GetList);
    Route(server, "getchallengehistory.php", &ChallengeServer::GetHistory);
    Route(server, "addchal136.php", &ChallengeServer::AddChallenge);
    Route(server, "delete_challenge.php", &ChallengeServer::DeleteChallenge);
    Route(server, "challenge_victory.php", &ChallengeServer::Victory);
    Route(server, "challenge_attempt.php", &ChallengeServer::Attempt);
    Route(server, "ratechallenge.php", &ChallengeServer::Rate);
    Route(server, "setusername.php", &ChallengeServer::SetUserName);
    Route(server, "getlatestpatch.php", &ChallengeServer::LatestPatch);
    Route(server, "add_survival_score.php", &ChallengeServer::AddSurvivalScore);
    Route(server, "getsurvivalscores.php", &ChallengeServer::GetSurvivalScores);
    Route(server, "sendmessage.php", &ChallengeServer::SendMessage);
    Route(server, "blockmessage.php", &ChallengeServer::BlockMessage);
    Route(server, "deletemessage.php", &ChallengeServer::DeleteMessage);
    Route(server, "getmymessages.php", &ChallengeServer::GetMyMessages);
    Route(server, "qlm_campaign_getnewchallengeid.php", &ChallengeServer::NewCampaignId);
    Route(server, "qlm_campaign_addcampaignchallenge.php", &ChallengeServer::AddCampaignChallenge);
    Route(server, "qlm_campaign_getopponentlist.php", &ChallengeServer::CampaignOpponents);

    // Plain files: news, challenge files, thumbnails.
    server.Get(R"(/quillomar/server/(news\.txt|challenges/[A-Za-z0-9_-]{1,64}\.qlm|thumbnails/[A-Za-z0-9_-]{1,64}\.jpg))",
               [this](const httplib::Request& req, httplib::Response& res) {
                   std::lock_guard<std::mutex> lock(m_mutex);
                   Log("GET " + req.target);
                   std::string bytes;
                   if (!ReadWholeFile(m_folder + "/" + std::string(req.matches[1]), bytes)) {
                       res.status = 404;
                       return;
                   }
                   res.set_content(bytes, "application/octet-stream");
               });

    // Uploads: a 32-byte tag (the challenge id) and the file.
    struct Upload {
        const char* script;
        const char* folder;
        const char* extension;
    };
    for (Upload u : {Upload{"postchallenge.php", "challenges", ".qlm"}, Upload{"postthumbnail.php", "thumbnails", ".jpg"},
                     Upload{"postmetrics145.php", "", ""}}) {
        server.Post(std::string("/quillomar/server/") + u.script,
                    [this, u](const httplib::Request& req, httplib::Response& res) {
                        std::lock_guard<std::mutex> lock(m_mutex);
                        std::string tag;
                        bool ok;
                        if (*u.folder) {
                            ok = StoreUpload(u.folder, u.extension, req, tag);
                        } else {
                            tag.assign(req.body.data(), std::min(req.body.size(), kTagBytes));
                            tag.resize(std::min(tag.find('\0'), tag.size()));
                            ok = req.body.size() > kTagBytes &&
                                 WriteFileAtomically(m_folder + "/metrics.txt", req.body.substr(kTagBytes));
                        }
                        Log("POST " + req.path + " " + tag + " " + std::to_string(req.body.size()));
                        if (!ok)
                            res.status = 400;
                        res.set_content(ok ? "response,true\n" : "response,false\n", "text/plain");
                    });
    }
}

ChallengeServer::Answer ChallengeServer::GetList(const Params&)
{
    Answer a;
    for (const auto& r : m_records)
        a.body += r->ToLine();
    return a;
}

ChallengeServer::Answer ChallengeServer::GetHistory(const Params& p)
{
    Answer a;
    const std::string id = Param(p, "qlmid");
    if (SIM_ChallengeFile::IsSafeChallengeId(id))
        a.body = ReadText(m_folder + "/history/" + id + ".txt");
    return a;
}

ChallengeServer::Answer ChallengeServer::AddChallenge(const Params& p)
{
    Answer a;
    auto r = std::make_unique<SIM_ChallengeRecord>();
    r->sender = Param(p, "use");
    r->receiver = Param(p, "rec");
    r->taunt = Param(p, "tau");
    r->map = Param(p, "map");
    r->race = Param(p, "race");
    r->parentId = Param(p, "parent");
    if (r->sender.empty() || r->receiver.empty()) {
        a.response = "false";
        a.message = r->sender.empty() ? "Choose an online name first" : "Name a receiver";
        return a;
    }
    if (!r->parentId.empty() && !Find(r->parentId)) {
        a.response = "false";
        a.message = "The answered challenge is unknown";
        return a;
    }
    Today(r->day, r->month, r->year);
    r->id = std::to_string(m_nextId++);
    a.response = r->id;
    a.message = "Challenge " + r->id + " added";
    m_records.push_back(std::move(r));
    SaveList();
    return a;
}

ChallengeServer::Answer ChallengeServer::DeleteChallenge(const Params& p)
{
    Answer a;
    a.response = "false";
    const std::string id = Param(p, "qlmid"), name = Param(p, "username");
    for (size_t i = 0; i < m_records.size(); ++i) {
        SIM_ChallengeRecord& r = *m_records[i];
        if (r.id != id)
            continue;
        if (name.empty() || (name != r.sender && name != r.receiver)) {
            a.message = "Only its sender or receiver may delete a challenge";
            return a;
        }
        m_records.erase(m_records.begin() + static_cast<long>(i));
        std::remove((m_folder + "/challenges/" + id + ".qlm").c_str());
        SaveList();
        a.response = "true";
        return a;
    }
    a.message = "No such challenge";
    return a;
}

ChallengeServer::Answer ChallengeServer::CountFight(const Params& p, int SIM_ChallengeRecord::*counter,
                                                   const char* outcome)
{
    Answer a;
    SIM_ChallengeRecord* r = Find(Param(p, "qlmid"));
    a.response = r ? "true" : "false";
    if (r) {
        ++(r->*counter);
        AddHistory(r->id, Param(p, "username"), outcome);
        SaveList();
    }
    return a;
}

ChallengeServer::Answer ChallengeServer::Victory(const Params& p)
{
    return CountFight(p, &SIM_ChallengeRecord::timesBeaten, "Victory");
}

ChallengeServer::Answer ChallengeServer::Attempt(const Params& p)
{
    return CountFight(p, &SIM_ChallengeRecord::attempts, "Attempt");
}

ChallengeServer::Answer ChallengeServer::Rate(const Params& p)
{
    Answer a;
    SIM_ChallengeRecord* r = Find(Param(p, "qlmid"));
    const int dif = std::atoi(Param(p, "dif").c_str()), enj = std::atoi(Param(p, "enj").c_str());
    if (!r || dif < 0 || dif > 5 || enj < 0 || enj > 5) {
        a.response = "false";
        a.message = r ? "Ratings run from 0 to 5" : "No such challenge";
        return a;
    }
    std::vector<double>& v = m_ratings[r->id];
    v.resize(3, 0.0);
    v[0] += 1;
    v[1] += dif;
    v[2] += enj;
    r->difficulty = static_cast<float>(v[1] / v[0]);
    r->rating = static_cast<float>(v[2] / v[0]);
    SaveList();
    a.response = "true";
    return a;
}

ChallengeServer::Answer ChallengeServer::SetUserName(const Params& p)
{
    Answer a;
    const std::string id = Param(p, "id"), name = OneLine(Param(p, "username"));
    if (id.empty() || name.empty() || name.size() > 128) {
        a.response = "false";
        a.message = "Unusable name";
        return a;
    }
    std::string kept;
    std::istringstream in(ReadText(m_folder + "/users.txt"));
    for (std::string line; std::getline(in, line);) {
        GTokenizer t(line, ',');
        const std::string lineId = t.NextString(), lineName = t.NextString();
        if (lineName == name && lineId != id) {
            a.response = "false";
            a.message = "That name is taken";
            return a;
        }
        if (lineId != id)
            kept += line + "\n";
    }
    WriteFileAtomically(m_folder + "/users.txt", kept + OneLine(id) + "," + name + "\n");
    a.response = "true";
    return a;
}

ChallengeServer::Answer ChallengeServer::LatestPatch(const Params& p)
{
    // "latest.txt": the newest version number, a comma and what to tell the player.
    Answer a;
    a.response = "false";
    a.message = "No patch";
    GTokenizer t(ReadText(m_folder + "/latest.txt"), ',');
    const int latest = t.NextInt();
    const std::string note = t.NextString();
    if (latest > std::atoi(Param(p, "version").c_str())) {
        a.response = "true";
        a.message = note.empty() ? "Version " + std::to_string(latest) : note;
    }
    return a;
}

ChallengeServer::Answer ChallengeServer::AddSurvivalScore(const Params& p)
{
    Answer a;
    // The score arrives with the comma the game puts after it.
    const int score = std::atoi(Param(p, "s").c_str());
    const int check = std::atoi(Param(p, "c").c_str());
    if ((score ^ kScoreCheckKey) != check) {
        a.response = "false";
        a.message = "Score refused";
        return a;
    }
    AppendLine(m_folder + "/scores.txt", "##," + OneLine(Param(p, "m")) + "," + OneLine(Param(p, "username")) + "," +
                                             std::to_string(score) + "," + OneLine(Param(p, "r")));
    a.response = "true";
    return a;
}

ChallengeServer::Answer ChallengeServer::GetSurvivalScores(const Params& p)
{
    struct Row {
        std::string name, race;
        int score;
    };
    std::vector<Row> rows;
    const std::string map = Param(p, "map");
    std::istringstream in(ReadText(m_folder + "/scores.txt"));
    for (std::string line; std::getline(in, line);) {
        GTokenizer t(line, ',');
        t.NextString();
        if (t.NextString() != map)
            continue;
        Row row;
        row.name = t.NextString();
        row.score = t.NextInt();
        row.race = t.NextString();
        rows.push_back(row);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.score > b.score; });
    Answer a;
    for (const Row& r : rows)
        a.body += "##," + r.name + "," + std::to_string(r.score) + "," + r.race + "\n";
    return a;
}

namespace {
// A stored message is the line the game reads: "##,id,date,recipient,sender,text",
// the text quoted so that its commas stay in it.
struct StoredMessage {
    int id = 0;
    std::string date, recipient, sender, text;
    bool Read(const std::string& line)
    {
        if (line.compare(0, 2, "##") != 0)
            return false;
        GTokenizer t(line, ',');
        t.NextString();
        id = t.NextInt();
        date = t.NextString();
        recipient = t.NextString();
        sender = t.NextString();
        text = t.NextString();
        return true;
    }
};

std::string QuotedText(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
        else if (c == '"')
            c = '\'';
    return "\"" + text + "\"";
}

bool IsBlocked(const std::string& blockedFile, const std::string& user, const std::string& sender)
{
    std::istringstream in(blockedFile);
    for (std::string line; std::getline(in, line);) {
        GTokenizer t(line, ',');
        if (t.NextString() == user && t.NextString() == sender)
            return true;
    }
    return false;
}
} // namespace

ChallengeServer::Answer ChallengeServer::SendMessage(const Params& p)
{
    int d, m, y;
    Today(d, m, y);
    char date[32];
    std::snprintf(date, sizeof date, "20%02d-%02d-%02d", y, m, d);
    // Ids follow the file as it is now, whoever wrote it.
    const std::string all = ReadText(m_folder + "/messages.txt");
    int next = 1;
    std::istringstream in(all);
    for (std::string line; std::getline(in, line);) {
        StoredMessage msg;
        if (msg.Read(line))
            next = std::max(next, msg.id + 1);
    }
    AppendLine(m_folder + "/messages.txt", "##," + std::to_string(next) + "," + date + "," +
                                               OneLine(Param(p, "msgto")) + "," + OneLine(Param(p, "user")) + "," +
                                               QuotedText(Param(p, "msg")));
    Answer a;
    a.response = "true";
    return a;
}

ChallengeServer::Answer ChallengeServer::BlockMessage(const Params& p)
{
    AppendLine(m_folder + "/blocked.txt", OneLine(Param(p, "user")) + "," + OneLine(Param(p, "blockuser")));
    Answer a;
    a.response = "true";
    return a;
}

ChallengeServer::Answer ChallengeServer::DeleteMessage(const Params& p)
{
    const std::string user = Param(p, "user");
    const int id = std::atoi(Param(p, "msgid").c_str());
    std::string kept;
    std::istringstream in(ReadText(m_folder + "/messages.txt"));
    for (std::string line; std::getline(in, line);) {
        StoredMessage msg;
        // Only the receiver may delete a message.
        if (!(msg.Read(line) && msg.id == id && msg.recipient == user))
            kept += line + "\n";
    }
    WriteFileAtomically(m_folder + "/messages.txt", kept);
    Answer a;
    a.response = "true";
    return a;
}

ChallengeServer::Answer ChallengeServer::GetMyMessages(const Params& p)
{
    Answer a;
    const std::string user = Param(p, "username");
    const int last = std::atoi(Param(p, "lastmessageid").c_str());
    const std::string blocked = ReadText(m_folder + "/blocked.txt");
    std::istringstream in(ReadText(m_folder + "/messages.txt"));
    for (std::string line; std::getline(in, line);) {
        StoredMessage msg;
        if (msg.Read(line) && msg.id > last && msg.recipient == user && !IsBlocked(blocked, user, msg.sender))
            a.body += line + "\n";
    }
    return a;
}

ChallengeServer::Answer ChallengeServer::NewCampaignId(const Params& p)
{
    Params q = p;
    q.emplace("use", Param(p, "user"));
    q.emplace("rec", "campaign");
    return AddChallenge(q);
}

ChallengeServer::Answer ChallengeServer::AddCampaignChallenge(const Params& p)
{
    Answer a;
    a.response = Find(Param(p, "qlm")) ? "true" : "false";
    return a;
}

ChallengeServer::Answer ChallengeServer::CampaignOpponents(const Params&)
{
    Answer a;
    for (const auto& r : m_records)
        if (r->receiver == "campaign" && FileExists(m_folder + "/challenges/" + r->id + ".qlm"))
            a.body += "##," + r->id + "\n";
    return a;
}
