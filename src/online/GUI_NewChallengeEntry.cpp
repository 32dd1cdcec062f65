#include "online/GUI_NewChallengeEntry.h"

#include "engine/APP_ContentPackage.h"
#include "engine/CTexturedSprite.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/GVertexBuffer.h"
#include "engine/LibText.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CheckButton.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_WindowManager.h"
#include "online/GUI_PleaseWait.h"
#include "online/OnlineJob.h"
#include "online/OnlineStatus.h"
#include "online/SIM_Server.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentMap.h"
#include "sim/SIM_ChallengeFile.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Scenario.h"

#include <algorithm>

namespace {
const SIM_DeployedFleet* g_fleet = nullptr;
const SIM_Scenario* g_scenario = nullptr;
GUI_NewChallengeEntry::RetaliationPosted g_retaliationHook = nullptr;
constexpr const char* kBasePackage = "qlm_base";

const SIM_DeployedFleet* SourceFleet()
{
    return g_fleet ? g_fleet : GUI_DeploymentGUI::GetInstance().GetPlayerFleet();
}

const SIM_Scenario* SourceScenario()
{
    return g_scenario ? g_scenario : GUI_DeploymentGUI::GetInstance().GetScenario();
}
} // namespace

void GUI_NewChallengeEntry::SetSource(const SIM_DeployedFleet* fleet, const SIM_Scenario* scenario)
{
    g_fleet = fleet;
    g_scenario = scenario;
}

void GUI_NewChallengeEntry::SetRetaliationPostedHook(RetaliationPosted hook)
{
    g_retaliationHook = hook;
}

GUI_NewChallengeEntry* GUI_NewChallengeEntry::OpenNewChallenge()
{
    CloseOpen();
    return SetOpen(new GUI_NewChallengeEntry(NEW_CHALLENGE));
}

GUI_NewChallengeEntry* GUI_NewChallengeEntry::OpenRetaliation(const SIM_Scenario* answered)
{
    CloseOpen();
    GUI_NewChallengeEntry* entry = SetOpen(new GUI_NewChallengeEntry(RETALIATION));
    entry->SetRetaliation(answered);
    return entry;
}

void GUI_NewChallengeEntry::Close()
{
    CloseOpen();
}

GUI_NewChallengeEntry::GUI_NewChallengeEntry(Mode mode) : GUI_Dialog(true), m_mode(mode)
{
    const auto& packages = APP_ContentPackage::GetInstance().GetPackages();
    const float h = packages.size() > 1 ? 268.0f + 35.0f * static_cast<float>(packages.size() - 1) : 260.0f;
    // Wide enough for "send to all" whole beside the receiver's field.
    const int allWidth = mode == NEW_CHALLENGE ? GUI_CheckButton::WidthFor(GetString("CHALLENGE_ALL")) : 0;
    SetSize(std::max(600.0f, 2.0f * sideMargin + static_cast<float>(kAllLeft + allWidth + 5)), h);
    Centre();
    SetClientRect();
    SetTitleKey(mode == NEW_CHALLENGE ? "CHALLENGE_NEW" : "RETALIATE_TITLE");
    GUI_WindowManager::GetInstance().AddModal(this);
    GUI_WindowManager::GetInstance().BringToFront(this);

    m_tauntLabel = GetString("CHALLENGE_TAUNT");
    m_receiverLabel = GetString("CHALLENGE_ENEMY");
    m_status = GetString("CHALLENGE_STATUS_WAITING");
    m_submit = new GUI_ButtonText("CHALLENGE_SUBMIT", OnSubmit, 0);
    m_submit->SetRect(static_cast<float>(right - 200), static_cast<float>(bottom - 30), static_cast<float>(right - 20),
                      static_cast<float>(bottom - 10));
    AddButton(m_submit);
    m_receiver = new GUI_TextEditWindow("", 999);
    m_receiver->SetRect(static_cast<float>(clientLeft + 100), static_cast<float>(clientTop + 12),
                        static_cast<float>(clientLeft + 400), static_cast<float>(clientTop + 32));
    AddChild(m_receiver);
    m_taunt = new GUI_TextEditWindow(GetString("CHALLENGE_DEFAULT_TAUNT"), 256);
    m_taunt->SetRect(static_cast<float>(clientLeft + 100), static_cast<float>(clientTop + 46),
                     static_cast<float>(clientLeft + 560), static_cast<float>(clientTop + 126));
    AddChild(m_taunt);
    if (mode == NEW_CHALLENGE) {
        m_allBox = new GUI_CheckButton("CHALLENGE_ALL", OnSendToAll, 0);
        m_allBox->SetRect(static_cast<float>(clientLeft + kAllLeft), static_cast<float>(clientTop + 2),
                          static_cast<float>(clientRight - 5), static_cast<float>(clientTop + 42));
        AddButton(m_allBox);
    }
    if (packages.size() > 1) {
        int y = clientTop + 170;
        for (const auto& p : packages) {
            if (p.name == kBasePackage)
                continue;
            auto* box = new GUI_CheckButton(p.uiName.c_str(), OnPackage, static_cast<std::intptr_t>(m_packageBoxes.size()));
            box->ticked = true;
            box->SetTooltip("CHALLENGE_SUBMIT_PACKAGE_TOOLTIP");
            box->SetRect(static_cast<float>(left + 20), static_cast<float>(y), static_cast<float>(clientLeft + 560),
                         static_cast<float>(y + 35));
            AddButton(box);
            m_packageBoxes.push_back(box);
            m_packageNames.push_back(p.name);
            y += 35;
        }
    }
}

GUI_NewChallengeEntry::~GUI_NewChallengeEntry()
{
    if (m_job)
        GUI_PleaseWait::Close();
    ForgetIfOpen(this);
}

void GUI_NewChallengeEntry::SetRetaliation(const SIM_Scenario* answered)
{
    QLM_ASSERT(answered && answered->IsChallengeFleet());
    if (!answered)
        return;
    m_parentId = answered->GetChallengeId();
    m_receiver->SetText(answered->GetStringMember());
    std::string taunt = GetString("RETALIATE_DEFAULT_TAUNT");
    ReplaceSubstring(taunt, "<CHALLENGEID>", m_parentId);
    m_taunt->SetText(taunt);
}

void GUI_NewChallengeEntry::ToggleSendToAll()
{
    if (!m_grantedId.empty())
        return;
    m_sendToAll = !m_sendToAll;
    if (m_allBox)
        m_allBox->ticked = m_sendToAll;
}

bool GUI_NewChallengeEntry::CanSubmit() const
{
    return !m_posted && (m_sendToAll || !m_receiver->GetText().empty());
}

void GUI_NewChallengeEntry::Draw()
{
    if (!visible)
        return;
    Poll();
    m_submit->enabled = CanSubmit() && !m_job;
    // Once the server holds the challenge, its receiver and taunt are settled.
    const bool settled = !m_grantedId.empty();
    m_receiver->enabled = !m_sendToAll && !settled;
    m_receiver->visible = !m_sendToAll;
    m_taunt->enabled = !settled;
    if (m_allBox)
        m_allBox->enabled = !settled;
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.FillRect(GRect{0, 0, engine.GetScreenWidth(), engine.GetScreenHeight()}, 0xc8000000u);
    GUI_Dialog::Draw();
    DrawChildren();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    if (!m_sendToAll)
        text.SetText(TEXT_ALIGN_LEFT, m_receiverLabel, static_cast<float>(clientLeft + 10),
                     static_cast<float>(clientTop + 10), 0xFFFFFFFFu, 0.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_tauntLabel, static_cast<float>(clientLeft + 10), static_cast<float>(clientTop + 34),
                 0xFFFFFFFFu, 0.0f);
    const GRect status{clientLeft + 100, clientTop + 136, clientLeft + 100 + kStatusWidth, clientTop + 156};
    engine.FillRect(status, 0xFF101010u);
    engine.DrawRectFrame(status, 0xFF606060u);
    text.SetText(TEXT_ALIGN_LEFT, m_status, static_cast<float>(status.left + 10), static_cast<float>(status.top - 2),
                 m_statusColour, 0.0f);
    text.Render(-1);
}

void GUI_NewChallengeEntry::Submit()
{
    if (!CanSubmit() || m_job)
        return;
    const SIM_DeployedFleet* fleet = SourceFleet();
    const SIM_Scenario* scenario = SourceScenario();
    SIM_ChallengeFile& file = SIM_ChallengeFile::GetInstance();
    file.ClearLeftOutPackages();
    for (size_t i = 0; i < m_packageBoxes.size(); ++i)
        if (!m_packageBoxes[i]->ticked && m_packageNames[i] != kBasePackage)
            file.LeaveOutPackage(m_packageNames[i]);
    const std::string receiver = m_sendToAll ? "all" : m_receiver->GetText();
    const std::string taunt = m_taunt->GetText();
    SIM_Server& server = SIM_Server::GetInstance();
    if (!fleet || !scenario || !file.Write(*fleet, receiver, taunt, server.GetUserName(), *scenario)) {
        m_status = GetString("CHALLENGE_STATUS_WRITE_FAILED");
        m_statusColour = kRefusedColour;
        return;
    }
    // The map travels as the player reads it, not as its text key.
    const std::string map = GetString(scenario->GetGuiName().c_str());
    const std::string parent = m_parentId, localFile = file.GetFileName();
    // An id the server granted on an earlier try is used again: asking anew
    // would leave that challenge on the server without a file.
    const std::string granted = m_grantedId;
    auto outcome = std::make_shared<PostOutcome>();
    m_job = GUI_PleaseWait::StartJob([=](SIM_Server& job, std::string& text) {
        std::string id = granted;
        if (id.empty()) {
            if (!job.AddChallenge(receiver, taunt, map, parent)) {
                text = job.GetLastMessage();
                return false;
            }
            id = job.GetRequestParam();
        }
        outcome->id = id;
        outcome->uploaded = job.PostChallenge(localFile, id);
        return outcome->uploaded;
    });
    m_outcome = outcome;
    Poll();
}

void GUI_NewChallengeEntry::Poll()
{
    if (!m_job || !m_job->IsDone())
        return;
    const OnlineStatus::Kind kind = OnlineStatus::Of(*m_job);
    bool ok = false, cancelled = false;
    std::string text;
    GUI_PleaseWait::FinishJob(m_job, ok, text, cancelled);
    // The worker wrote it before the job was done; nothing writes it now.
    const std::shared_ptr<PostOutcome> outcome = std::move(m_outcome);
    const std::string id = outcome ? outcome->id : std::string();
    if (!id.empty())
        m_grantedId = id;
    // A file that went up counts, even when Cancel came just after.
    const bool uploaded = outcome && outcome->uploaded;
    if (!uploaded && id.empty()) {
        // Refused, or no id came: the server's reason, else what every online screen says.
        m_status = kind == OnlineStatus::FAILED && !text.empty() ? text : OnlineStatus::Text(kind, "", "");
        // The server's reason may be any length: one line of the status box.
        LibText& font = LibText::GetInstance();
        font.SetFont("zekton16.dds", 16.0f);
        m_status = font.FitText(m_status, kStatusWidth - 20, 1);
        m_statusColour = kRefusedColour;
        return;
    }
    m_status = uploaded ? GetString("CHALLENGE_STATUS_POSTED")
               : kind == OnlineStatus::CANCELLED ? GetString("ONLINE_CANCELLED")
                                                 : GetString("CHALLENGE_STATUS_FAILED_UPLOAD");
    m_statusColour = uploaded ? kPostedColour : kUploadFailedColour;
    if (m_mode == RETALIATION && g_retaliationHook)
        g_retaliationHook(uploaded);
    if (!uploaded)
        return;
    m_posted = true;
    const SIM_DeployedFleet* fleet = SourceFleet();
    m_thumbnailPath = SIM_Server::GetInstance().GetUserFolder() + "/chalthumb_" + id + ".jpg";
    // The picture is drawn here (it needs the device) and sent beside the frame.
    if (!fleet || !RenderThumbnail(m_thumbnailPath))
        return;
    const std::string picture = m_thumbnailPath;
    OnlineJob::Start([picture, id](SIM_Server& job, std::string&) { return job.PostThumbnail(picture, id); });
}

bool GUI_NewChallengeEntry::RenderThumbnail(const std::string& path)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    int rtW = 0, rtH = 0;
    if (!engine.IsInitialised() || !engine.GetTextureSize("rt_offscreen1", rtW, rtH) ||
        !engine.FindRenderTarget("rt_offscreen2") || rtW < kThumbnailSide || rtH < kThumbnailSide)
        return false;
    GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    const GRect rect = map.GetRect();
    if (rect.Width() <= 0 || rect.Height() <= 0)
        return false;
    GVertexBuffer::SpriteBatch().Flush();
    engine.SetRenderTarget("rt_offscreen1");
    engine.GetDevice()->Clear(0xFF000000u);
    map.Draw();
    // The placed ships as their hulls' shapes, as the map shows them.
    DrawDeploymentIconsPlain();
    GVertexBuffer::SpriteBatch().Flush();
    engine.SetRenderTarget("rt_offscreen2");
    engine.GetDevice()->Clear(0xFF000000u);
    CTexturedSprite sprite;
    sprite.SetTexture("rt_offscreen1");
    sprite.SetSize(static_cast<float>(kThumbnailSide), static_cast<float>(kThumbnailSide));
    sprite.SetUV(static_cast<float>(rect.left) / static_cast<float>(rtW),
                 static_cast<float>(rect.top) / static_cast<float>(rtH),
                 static_cast<float>(rect.right) / static_cast<float>(rtW),
                 static_cast<float>(rect.bottom) / static_cast<float>(rtH));
    sprite.PlaceCentred(kThumbnailSide / 2.0f, kThumbnailSide / 2.0f);
    sprite.Draw();
    GVertexBuffer::SpriteBatch().Flush();
    const GRect area{0, 0, kThumbnailSide, kThumbnailSide};
    const bool saved = engine.SaveTextureToFile(path, &area);
    engine.SetRenderTarget("");
    return saved;
}

void GUI_NewChallengeEntry::OnSubmit(std::intptr_t)
{
    if (GUI_NewChallengeEntry* open = GetOpen())
        open->Submit();
}

void GUI_NewChallengeEntry::OnSendToAll(std::intptr_t)
{
    // The box flipped itself; the window's flag decides what it shows.
    if (GUI_NewChallengeEntry* open = GetOpen()) {
        open->m_allBox->ticked = !open->m_allBox->ticked;
        open->ToggleSendToAll();
    }
}

void GUI_NewChallengeEntry::OnPackage(std::intptr_t)
{
}
