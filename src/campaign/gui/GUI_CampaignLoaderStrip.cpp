#include "campaign/gui/GUI_CampaignLoaderStrip.h"

#include "engine/APP_UserFolders.h"
#include "app/GUI_Sounds.h"
#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignLoader.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GRect.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"

#include <filesystem>

namespace {
// The strip whose campaign the delete question is about; only its name is
// kept, so that a list rebuilt meanwhile cannot leave it dangling.
std::string g_pendingDelete;
} // namespace

GUI_CampaignLoaderStrip::GUI_CampaignLoaderStrip(const std::string& folderName) : m_folder(folderName)
{
    m_load = new GUI_ButtonText("CAMPAIGN_LOAD", OnLoad, reinterpret_cast<std::intptr_t>(this));
    AddButton(m_load);
    m_delete = new GUI_ButtonText("CAMPAIGN_DELETE", AskDelete, reinterpret_cast<std::intptr_t>(this));
    AddButton(m_delete);
    const std::string file = GUI_Campaign::SaveFolderFor(folderName) + "/progress.txt";
    std::error_code ec;
    const auto when = std::filesystem::last_write_time(file, ec);
    if (!ec) {
        const auto system = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
            when - std::filesystem::file_time_type::clock::now() + std::chrono::system_clock::now());
        const std::time_t t = std::chrono::system_clock::to_time_t(system);
        std::tm local{};
        if (localtime_r(&t, &local))
            m_timeStamp = FormatTimeStamp(local);
    }
}

GUI_CampaignLoaderStrip::~GUI_CampaignLoaderStrip() = default;

std::string GUI_CampaignLoaderStrip::FormatTimeStamp(const std::tm& local)
{
    return StrFormat("%02d:%02d      %02d/%02d/%04d", local.tm_hour, local.tm_min, local.tm_mon + 1, local.tm_mday,
                     local.tm_year + 1900);
}

void GUI_CampaignLoaderStrip::SetRect(float l, float t, float r, float b)
{
    GUI_WindowBase::SetRect(l, t, r, b);
    const float mid = (t + b) * 0.5f;
    if (m_load)
        m_load->SetRect(r - 220.0f, mid - 10.0f, r - 110.0f, mid + 10.0f);
    if (m_delete)
        m_delete->SetRect(r - 110.0f, mid - 10.0f, r - 2.0f, mid + 10.0f);
}

void GUI_CampaignLoaderStrip::Draw()
{
    if (!visible)
        return;
    D3DEngine::GetInstance().FillRect(GRect{left + 2, top + 2, right - 2, bottom - 2}, 0x40FFFFFFu);
    LibText& text = LibText::GetInstance();
    text.SetText(0, m_folder, static_cast<float>(left + 10), static_cast<float>(top), 0xFFFFFFFFu, 0.0f);
    text.SetText(0, m_timeStamp, static_cast<float>(left + 10), static_cast<float>(top + 20), 0xFFFFFFFFu, 0.0f);
    DrawButtons();
}

void GUI_CampaignLoaderStrip::OnLoad(std::intptr_t strip)
{
    GUI_CampaignLoader* loader = GUI_CampaignLoader::GetOpen();
    if (!loader || !loader->HasStrip(reinterpret_cast<GUI_CampaignLoaderStrip*>(strip)))
        return;
    const std::string name = reinterpret_cast<GUI_CampaignLoaderStrip*>(strip)->m_folder;
    GUI_CampaignLoader::Close();
    GUI_Campaign::OpenCampaign(name);
}

void GUI_CampaignLoaderStrip::AskDelete(std::intptr_t strip)
{
    GUI_CampaignLoader* loader = GUI_CampaignLoader::GetOpen();
    if (!loader || !loader->HasStrip(reinterpret_cast<GUI_CampaignLoaderStrip*>(strip)))
        return;
    g_pendingDelete = reinterpret_cast<GUI_CampaignLoaderStrip*>(strip)->m_folder;
    AskYesNo("CAMPAIGN_DELETE_CONFIRM_MESSAGE", "CAMPAIGN_DELETE_CONFIRM_TITLE", DeleteConfirmed, false);
}

void GUI_CampaignLoaderStrip::DeleteConfirmed(std::intptr_t)
{
    if (g_pendingDelete.empty())
        return;
    const std::string folder = GUI_Campaign::SaveFolderFor(g_pendingDelete);
    g_pendingDelete.clear();
    // Only a folder directly inside the campaign saves is ever deleted.
    if (GUI_Campaign::IsCampaignFolder(folder) && DeleteFolderTree(folder)) {
        // Gone for good: a blast, at the sound-effects volume.
        GUI_Sounds& sounds = GUI_Sounds::GetInstance();
        sounds.PlaySound(kDeletedSound, nullptr, sounds.GetEffectsVolume() * sounds.GetMasterVolume(), false);
    } else
        LOG_ERROR("Failed to delete campaign folder: " + folder);
    if (GUI_CampaignLoader* loader = GUI_CampaignLoader::GetOpen())
        loader->needsRefresh = true;
}
