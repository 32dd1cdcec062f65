#include "sim/SIM_Unlockable.h"

#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "sim/SIM_HighScores.h"

#include <algorithm>

namespace {
std::vector<SIM_Unlockable*>& AllUnlockables()
{
    static std::vector<SIM_Unlockable*> list;
    return list;
}

SIM_Unlockable::UnlockedQuery& Query()
{
    static SIM_Unlockable::UnlockedQuery query;
    return query;
}
} // namespace

SIM_Unlockable::SIM_Unlockable()
{
    AllUnlockables().push_back(this);
}

SIM_Unlockable::~SIM_Unlockable()
{
    auto& list = AllUnlockables();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void SIM_Unlockable::Init(const std::string& name, int kind, const void* owner)
{
    QLM_ASSERT(owner != nullptr);
    m_name = name;
    m_kind = kind;
    m_owner = owner;
}

void SIM_Unlockable::RefreshLocked()
{
    if (!m_lockable)
        return;
    const UnlockedQuery& query = Query();
    bool unlocked = false;
    if (query)
        unlocked = query(m_name);
    else if (APP_UserFolders::GetInstance().IsCreated()) // never touch a user folder that was not set up
        unlocked = SIM_HighScores::GetInstance().IsUnlocked(m_name);
    m_locked = !unlocked;
}

const std::vector<SIM_Unlockable*>& SIM_Unlockable::GetList()
{
    return AllUnlockables();
}

void SIM_Unlockable::RefreshAll()
{
    for (SIM_Unlockable* u : AllUnlockables())
        u->RefreshLocked();
}

void SIM_Unlockable::SetUnlockedQuery(UnlockedQuery query)
{
    Query() = std::move(query);
}
