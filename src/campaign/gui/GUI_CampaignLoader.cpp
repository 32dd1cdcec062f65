#include "campaign/gui/GUI_CampaignLoader.h"

#include "engine/APP_UserFolders.h"
#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignLoaderStrip.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "engine/GFileHelpers.h"
#include "engine/GFileList.h"
#include "engine/GHashTable.h"
#include "engine/GRect.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_WindowManager.h"

#include <algorithm>

namespace {
// The name the replace question is about.
std::string g_pendingName;
} // namespace

GUI_CampaignLoader* GUI_CampaignLoader::Open()
{
    Close();
    // The campaign's texts, the loader's among them, before anything shows.
    LoadCampaignStrings();
    return new GUI_CampaignLoader();
}

void GUI_CampaignLoader::Close()
{
    CloseOpen();
}

GUI_CampaignLoader::GUI_CampaignLoader() : GUI_Dialog(true)
{
    SetOpen(this);
    bottomMargin += kCreateRow;
    SetSize(static_cast<float>(kWidth), topMargin + bottomMargin + kListHeight);
    Centre();
    SetClientRect();
    m_scroll = AddClientScrollBar();
    m_create = new GUI_ButtonText("CAMPAIGN_CREATE_NEW", OnCreate, 0);
    // 120 wide, or as wide as its label needs; the name field takes the rest.
    const int createWidth = m_create->WidthToFit(120);
    m_create->SetRect(static_cast<float>(clientRight - createWidth), static_cast<float>(bottom - 30),
                      static_cast<float>(clientRight), static_cast<float>(bottom - 10));
    AddButton(m_create);
    AddChildElement(m_create);
    m_name = PlaceChild(new GUI_TextEditWindow("default", static_cast<int>(GUI_Campaign::kMaxNameLength)), clientLeft,
                        bottom - 30, clientRight - createWidth - 10, bottom - 10);
    RefreshList();
    SetTitleKey("CAMPAIGN_LOADER_TITLE");
    GUI_WindowManager::GetInstance().AddModal(this);
}

GUI_CampaignLoader::~GUI_CampaignLoader()
{
    // Strips scrolled out of view are no children: they go here.
    for (GUI_CampaignLoaderStrip* s : m_strips)
        delete s;
    m_strips.clear();
    ForgetIfOpen(this);
}

bool GUI_CampaignLoader::HasStrip(const GUI_CampaignLoaderStrip* strip) const
{
    return std::find(m_strips.begin(), m_strips.end(), strip) != m_strips.end();
}

void GUI_CampaignLoader::RefreshList()
{
    for (GUI_CampaignLoaderStrip* s : m_strips)
        delete s;
    m_strips.clear();
    GFileList folders(false);
    folders.FindFolders(APP_UserFolders::GetInstance().Get(APP_UserFolders::CAMPAIGN_PROGRESS) + "/*");
    for (const std::string& name : folders.names)
        if (GUI_Campaign::IsAcceptableName(name))
            m_strips.push_back(new GUI_CampaignLoaderStrip(name));
    LayoutStrips();
}

void GUI_CampaignLoader::LayoutStrips()
{
    for (GUI_CampaignLoaderStrip* s : m_strips) {
        RemoveChild(s);
        s->visible = false;
    }
    const int first = std::max(0, m_scroll->position);
    int y = clientTop;
    int shown = 0;
    for (size_t i = static_cast<size_t>(first); i < m_strips.size(); ++i) {
        if (y > clientBottom - GUI_CampaignLoaderStrip::kHeight)
            break;
        GUI_CampaignLoaderStrip* s = m_strips[i];
        s->SetRect(static_cast<float>(clientLeft), static_cast<float>(y), static_cast<float>(clientRight - 25),
                   static_cast<float>(y + GUI_CampaignLoaderStrip::kHeight));
        s->visible = true;
        AddChild(s);
        AddChildElement(s);
        y += GUI_CampaignLoaderStrip::kHeight;
        ++shown;
    }
    const int count = static_cast<int>(m_strips.size());
    const int visibleRows = std::max(1, (clientBottom - clientTop) / GUI_CampaignLoaderStrip::kHeight);
    m_scroll->maximum = std::max(0, count - visibleRows);
    m_scroll->position = std::clamp(m_scroll->position, 0, m_scroll->maximum);
    m_scroll->contentSize = static_cast<float>(count);
    m_scroll->visibleSize = static_cast<float>(std::max(shown, 1));
}

void GUI_CampaignLoader::Draw()
{
    if (!visible)
        return;
    if (needsRefresh) {
        needsRefresh = false;
        RefreshList();
    }
    if (m_scroll->changed) {
        m_scroll->changed = false;
        LayoutStrips();
    }
    GUI_Dialog::Draw();
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, 32.0f, 1.0f, static_cast<float>(clientLeft),
                       static_cast<float>(clientTop), static_cast<float>(clientRight),
                       static_cast<float>(clientBottom));
    m_interlace.Draw(GRect{clientLeft, clientTop, clientRight, clientBottom});
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    text.Render();
}

void GUI_CampaignLoader::OnCreate(std::intptr_t)
{
    GUI_CampaignLoader* loader = GetOpen();
    if (!loader || !loader->m_name)
        return;
    const std::string name = loader->m_name->GetText();
    if (name.empty())
        return;
    if (!GUI_Campaign::IsAcceptableName(name)) {
        ShowMessage(GetString("CAMPAIGN_NAME_REFUSED"), "CAMPAIGN_MESSAGE_TITLE");
        return;
    }
    g_pendingName = name;
    // An existing campaign is only replaced once the player says so.
    if (FolderExists(GUI_Campaign::SaveFolderFor(name)))
        AskYesNo("CAMPAIGN_REPLACE_CONFIRM_MESSAGE", "CAMPAIGN_REPLACE_CONFIRM_TITLE", CreateConfirmed, false);
    else
        CreateConfirmed(0);
}

void GUI_CampaignLoader::CreateConfirmed(std::intptr_t)
{
    const std::string name = g_pendingName;
    g_pendingName.clear();
    if (name.empty() || !GetOpen())
        return;
    if (!GUI_Campaign::CreateCampaignSave(name))
        return; // reported; the loader stays open
    Close();
    GUI_Campaign::OpenCampaign(name);
}
