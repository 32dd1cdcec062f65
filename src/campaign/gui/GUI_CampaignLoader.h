#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <cstdint>
#include <string>
#include <vector>

class GUI_ButtonText;
class GUI_CampaignLoaderStrip;
class GUI_ScrollingWindow;
class GUI_TextEditWindow;

// Where the player continues a saved campaign, deletes one, or starts a new
// one under a name of their own. One strip per folder of the campaign saves.
class GUI_CampaignLoader : public GUI_Dialog, public GUI_OneOpen<GUI_CampaignLoader> {
public:
    static constexpr int kWidth = 600;
    static constexpr int kListHeight = 300;
    static constexpr int kCreateRow = 30;

    GUI_CampaignLoader();
    ~GUI_CampaignLoader() override;

    void Draw() override;
    void RefreshList();
    void LayoutStrips();
    bool HasStrip(const GUI_CampaignLoaderStrip* strip) const;

    const std::vector<GUI_CampaignLoaderStrip*>& GetStrips() const { return m_strips; }
    GUI_TextEditWindow* GetNameField() const { return m_name; }
    GUI_ButtonText* GetCreateButton() const { return m_create; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }

    static GUI_CampaignLoader* Open();
    static void Close();
    static void OnCreate(std::intptr_t);
    // The create, once the player agreed to replace a campaign of that name.
    static void CreateConfirmed(std::intptr_t);

    bool needsRefresh = false;

private:
    std::vector<GUI_CampaignLoaderStrip*> m_strips;
    GUI_ScrollingWindow* m_scroll = nullptr;
    GUI_ButtonText* m_create = nullptr;
    GUI_TextEditWindow* m_name = nullptr;
    GUI_Interlace m_interlace;
};
