#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_OneOpen.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class GUI_ButtonText;
class GUI_CheckButton;
class GUI_TextEditWindow;
class OnlineJob;
class SIM_DeployedFleet;
class SIM_Scenario;

// Posting the deployed fleet as a challenge: to one player or to all, or as
// a retaliation answering a challenge just fought. SUBMIT writes the
// challenge file, registers it, uploads it and a 256 x 256 JPEG picture of
// the deployment, and says how it went. Only a challenge whose file reached
// the server counts as posted; until then SUBMIT can be pressed again, and
// a try after the server granted an id (a failed or cancelled upload) sends
// the file under that id instead of registering the challenge again.
class GUI_NewChallengeEntry : public GUI_Dialog, public GUI_OneOpen<GUI_NewChallengeEntry> {
public:
    enum Mode { NEW_CHALLENGE = 0, RETALIATION = 1 };
    static constexpr int kThumbnailSide = 256;
    // Where the "send to all" box starts, right of the receiver's field.
    static constexpr int kAllLeft = 405;
    static constexpr int kStatusWidth = 460;
    static constexpr uint32_t kWaitingColour = 0xff808080u;
    static constexpr uint32_t kRefusedColour = 0xffdc0b0bu;
    static constexpr uint32_t kPostedColour = 0xff0bdc0bu;
    static constexpr uint32_t kUploadFailedColour = 0xffdc0b01u;

    static GUI_NewChallengeEntry* OpenNewChallenge();
    static GUI_NewChallengeEntry* OpenRetaliation(const SIM_Scenario* answered);
    static void Close();
    // Where the fleet comes from: the deployment screen's, unless a test sets its own.
    static void SetSource(const SIM_DeployedFleet* fleet, const SIM_Scenario* scenario);
    // Called when a retaliation has been posted (the after-battle dialog).
    using RetaliationPosted = void (*)(bool succeeded);
    static void SetRetaliationPostedHook(RetaliationPosted hook);

    ~GUI_NewChallengeEntry() override;
    bool IsModal() const override { return true; }
    void Draw() override;

    void ToggleSendToAll();
    // Writes the challenge file and posts it beside the frame (please-wait,
    // Cancel); the answer is taken in by Poll at the next draw.
    void Submit();
    void Poll();
    bool IsSubmitting() const { return m_job != nullptr; }
    bool CanSubmit() const;

    // Renders the deployment map with the placed ships as their flat shapes
    // and saves it as a JPEG; false when it could not.
    static bool RenderThumbnail(const std::string& path);

    Mode GetMode() const { return m_mode; }
    bool IsPosted() const { return m_posted; }
    bool IsSendToAll() const { return m_sendToAll; }
    const std::string& GetStatus() const { return m_status; }
    uint32_t GetStatusColour() const { return m_statusColour; }
    GUI_TextEditWindow* GetReceiverEntry() const { return m_receiver; }
    GUI_TextEditWindow* GetTauntEntry() const { return m_taunt; }
    GUI_ButtonText* GetSubmitButton() const { return m_submit; }
    GUI_CheckButton* GetSendToAllBox() const { return m_allBox; }
    const std::vector<GUI_CheckButton*>& GetPackageBoxes() const { return m_packageBoxes; }
    const std::string& GetThumbnailPath() const { return m_thumbnailPath; }
    // The id the server granted this challenge ("" until it did).
    const std::string& GetGrantedId() const { return m_grantedId; }

private:
    explicit GUI_NewChallengeEntry(Mode mode);
    void SetRetaliation(const SIM_Scenario* answered);
    static void OnSubmit(std::intptr_t);
    static void OnSendToAll(std::intptr_t);
    static void OnPackage(std::intptr_t);

    Mode m_mode;
    std::string m_tauntLabel, m_receiverLabel;
    GUI_ButtonText* m_submit = nullptr;
    GUI_TextEditWindow* m_receiver = nullptr;
    GUI_TextEditWindow* m_taunt = nullptr;
    GUI_CheckButton* m_allBox = nullptr;
    std::vector<GUI_CheckButton*> m_packageBoxes;
    std::vector<std::string> m_packageNames;
    std::string m_status;
    uint32_t m_statusColour = kWaitingColour;
    bool m_sendToAll = false;
    bool m_posted = false;
    std::string m_parentId;
    std::string m_thumbnailPath;
    // Written by the post's worker, read once the job is done.
    struct PostOutcome {
        std::string id;
        bool uploaded = false;
    };
    std::shared_ptr<OnlineJob> m_job;
    std::shared_ptr<PostOutcome> m_outcome;
    std::string m_grantedId;
};
