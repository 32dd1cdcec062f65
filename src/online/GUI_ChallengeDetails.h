#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"
#include "online/SIM_ChallengeRecord.h"

#include <memory>
#include <string>
#include <vector>

class GUI_ButtonText;
class GUI_ChallengeDetailsHistory;
class GUI_ChallengeThumbnail;
class GUI_Rating;
class GUI_RetaliationsList;
class OnlineJob;
class SIM_Scenario;

// The data rows of a challenge and its two ratings.
class GUI_ChallengeDetailsData : public GUI_WindowBase {
public:
    static constexpr int kRows = 10;
    GUI_ChallengeDetailsData() { raisesOnClick = false; }
    void SetChallenge(const SIM_ChallengeRecord& record);
    void Draw() override;
    const std::string& GetValue(int row) const { return m_values[row]; }
    const std::string& GetLabel(int row) const { return m_labels[row]; }

private:
    std::string m_labels[kRows];
    std::string m_values[kRows];
    std::string m_enjoymentLabel, m_difficultyLabel;
    GUI_Rating* m_enjoyment = nullptr;
    GUI_Rating* m_difficulty = nullptr;
    GUI_Interlace m_interlace;
};

// Everything known about one challenge: its data, the thumbnail, the fights
// fought against it and its retaliations, with Fight (or Download) and, for
// its sender and receiver, Delete. It keeps a copy of the record, so a list
// refreshed or a record deleted meanwhile leaves it whole. At most one is open.
class GUI_ChallengeDetails : public GUI_Dialog, public GUI_OneOpen<GUI_ChallengeDetails> {
public:
    static GUI_ChallengeDetails* Open(const SIM_ChallengeRecord* record);
    static void Close();
    // The scenario of the challenge being fought (owned here; the
    // deployment screen and the battle point at it).
    static SIM_Scenario* GetChallengeScenario();

    ~GUI_ChallengeDetails() override;
    void Draw() override;

    // Reads the challenge and goes to the deployment; a challenge not on disk
    // is first downloaded beside the frame (please-wait, Cancel) and the
    // fight goes on when the file has come (Poll). False (with the reason
    // shown) when it could not, or while the download runs.
    bool Fight();
    // Asks the challenge list screen to delete the challenge (beside the
    // frame) and closes this window.
    void Delete();
    // Takes a finished download in (the list screen calls it each update).
    void Poll();
    bool IsDownloading() const { return m_job != nullptr; }

    const SIM_ChallengeRecord& GetRecord() const { return m_record; }
    GUI_ButtonText* GetFightButton() const { return m_fight; }
    GUI_ButtonText* GetDeleteButton() const { return m_delete; }
    GUI_ChallengeDetailsHistory* GetHistoryPanel() const { return m_history; }
    GUI_ChallengeDetailsData* GetDataPanel() const { return m_data; }
    GUI_RetaliationsList* GetRetaliations() const { return m_retaliations; }
    GUI_ChallengeThumbnail* GetThumbnail() const { return m_thumbnail; }
    const std::string& GetStatusKey() const { return m_statusKey; }

private:
    explicit GUI_ChallengeDetails(const SIM_ChallengeRecord& record);
    static void OnFight(std::intptr_t);
    static void OnDelete(std::intptr_t);

    SIM_ChallengeRecord m_record;
    bool m_fileOnDisk = false;
    std::shared_ptr<OnlineJob> m_job;
    GUI_ButtonText* m_fight = nullptr;
    GUI_ButtonText* m_delete = nullptr;
    GUI_ChallengeDetailsData* m_data = nullptr;
    GUI_ChallengeThumbnail* m_thumbnail = nullptr;
    GUI_ChallengeDetailsHistory* m_history = nullptr;
    GUI_RetaliationsList* m_retaliations = nullptr;
    void SetStatus(const char* key, const std::string& extra = std::string());
    std::string m_statusKey;
    std::string m_statusText;
};
