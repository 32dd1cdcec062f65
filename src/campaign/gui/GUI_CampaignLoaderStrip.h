#pragma once
#include "gui/GUI_WindowBase.h"

#include <cstdint>
#include <ctime>
#include <string>

class GUI_ButtonText;

// One saved campaign in the loader: its folder name, when it was last saved,
// and its load and delete buttons.
class GUI_CampaignLoaderStrip : public GUI_WindowBase {
public:
    static constexpr int kHeight = 50;
    // Played when a saved campaign has been deleted.
    static constexpr const char* kDeletedSound = "data/sounds/explosion_impact_frigate1.ogg";

    explicit GUI_CampaignLoaderStrip(const std::string& folderName);
    ~GUI_CampaignLoaderStrip() override;

    void Draw() override;
    void SetRect(float l, float t, float r, float b) override;

    const std::string& GetFolderName() const { return m_folder; }
    const std::string& GetTimeStamp() const { return m_timeStamp; }
    GUI_ButtonText* GetLoadButton() const { return m_load; }
    GUI_ButtonText* GetDeleteButton() const { return m_delete; }

    // "hh:mm      mm/dd/yyyy" of a local time.
    static std::string FormatTimeStamp(const std::tm& local);
    static void OnLoad(std::intptr_t strip);
    static void AskDelete(std::intptr_t strip);
    static void DeleteConfirmed(std::intptr_t);

private:
    std::string m_folder;
    std::string m_timeStamp;
    GUI_ButtonText* m_load = nullptr;
    GUI_ButtonText* m_delete = nullptr;
};
