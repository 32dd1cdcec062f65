#pragma once
#include "frontend/GUI_MenuScreen.h"

#include <memory>
#include <string>

class GUI_ButtonText;
class OnlineJob;
class GUI_ChallengeListWindow;

// The challenges screen (mode 6): the challenge table over the menu
// backdrop. While a download runs behind the please-wait box, keys go
// nowhere and clicks only reach the box (its Cancel).
class GUI_ChallengeList : public GUI_MenuScreen {
public:
    static constexpr int kModeId = 6;
    static GUI_ChallengeList& GetInstance();
    GUI_ChallengeList();

    void Enter() override;
    void Leave() override;
    void Render() override;
    void Update() override;
    void OnKeyDown(int code) override;
    void OnLeftClick() override;
    using GUIButtonList::OnLeftClick;

    GUI_ChallengeListWindow* GetWindow() const { return m_window; }
    // Rows rebuilt at the next update (after a delete from the details).
    void RequestRebuild() { m_rebuild = true; }
    // Asks the server to delete a challenge beside the frame; when it agrees
    // the record goes from the list and the rows are rebuilt.
    void StartDelete(const std::string& challengeId);
    bool IsDeleting() const { return m_deleteJob != nullptr; }

private:
    GUI_ButtonText* m_back = nullptr;
    GUI_ChallengeListWindow* m_window = nullptr;
    bool m_rebuild = false;
    std::shared_ptr<OnlineJob> m_deleteJob;
    std::string m_deleteId;
    void PollDelete();
    // Whether a server is set, looked at on entering.
    bool m_offline = false;
    std::string m_offlineText;
};
