#pragma once
// The shipped campaign and battle content read from the repository, with the
// player's files (saves, the campaign log) in a temporary user folder.
#include <memory>
#include <string>

#include "support/TempDir.h"

#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignDebugLog.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "engine/APP_UserFolders.h"
#include "engine/GFileHelpers.h"
#include "engine/GIniFile.h"
#include "engine/GRandom.h"
#include "engine/RandomTables.h"
#include "sim/SIM_HeadlessBattle.h"

class CampaignTestWorld {
public:
    CampaignTestWorld() : m_chdir(QLM_SOURCE_DIR)
    {
        QlmSrand(1);
        InitRandomTables();
        APP_UserFolders::GetInstance().Create(m_user.Path());
        SetDeletableRoot(m_user.Path());
        SIM_CampaignDebugLog::GetInstance().SetPathForTest(m_user.File("campaign.txt"));
        SetCampaignDataFolder("campaign/data");
        SIM_HeadlessBattle::LoadContent();
        campaign = SIM_Campaign::LoadDefinition();
    }
    ~CampaignTestWorld()
    {
        SIM_CampaignProgress::GetInstance().Reset("federation");
        campaign.reset();
        SIM_CampaignDebugLog::GetInstance().Close();
        SIM_HeadlessBattle::FreeContent();
    }

    // Replaces the tuning values for this test.
    static void SetOptions(const std::string& text)
    {
        GetCampaignOptions().LoadFromText("config", "[config]\n" + text);
    }
    SIM_CampaignEncounter* Planet(const std::string& name) const
    {
        for (SIM_CampaignEncounter* e : campaign->GetEncounters())
            if (e->planetName == name)
                return e;
        return nullptr;
    }
    const TempDir& User() const { return m_user; }

    std::unique_ptr<SIM_Campaign> campaign;

private:
    TempDir m_user;
    ScopedChdir m_chdir;
};
