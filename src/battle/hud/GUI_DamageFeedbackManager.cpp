#include "battle/hud/GUI_DamageFeedbackManager.h"

#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "sim/SIM_DamageFeedbackSink.h"

GUI_DamageFeedbackManager& GUI_DamageFeedbackManager::GetInstance()
{
    static GUI_DamageFeedbackManager instance;
    // The simulation's hits reach the one pool the HUD draws.
    static const bool sinkSet = [] {
        SIM_DamageFeedbackSink::Set([](SIM_Ship* ship, float hull, float armour, float shield, bool lucky, float x,
                                       float y) { instance.Add(ship, hull, armour, shield, lucky, x, y); });
        SIM_DamageFeedbackSink::SetShockwaveNote([](SIM_Ship* ship) { instance.MarkLatestShockwave(ship); });
        return true;
    }();
    (void)sinkSet;
    return instance;
}

GUI_DamageFeedbackManager::GUI_DamageFeedbackManager()
    : m_armour(GetString("DAMFEED_ARMOR")), m_shield(GetString("DAMFEED_SHIELD")), m_hull(GetString("DAMFEED_HULL")),
      m_undamaged(GetString("DAMFEED_UNDAMAGED")), m_lucky(GetString("DAMFEED_LUCKY")),
      m_shockwave(GetString("DAMFEED_SHOCKWAVE"))
{
}

bool GUI_DamageFeedbackManager::Add(SIM_Ship* ship, float hullDamage, float armourDamage, float shieldDamage,
                                    bool lucky, float offsetX, float offsetY)
{
    GUI_DamageFeedback* item = nullptr;
    for (GUI_DamageFeedback& candidate : m_items) {
        if (!candidate.active) {
            item = &candidate;
            break;
        }
    }
    if (!item) {
        LOG_DEBUG("not enough items");
        return false;
    }
    std::string text;
    int r = 255, g = 255, b = 255;
    if (hullDamage > 0.0f) {
        text = StrFormat("%s -%d", m_hull.c_str(), static_cast<int>(hullDamage));
        r = 2, g = 245, b = 42;
    } else if (armourDamage > 0.0f) {
        text = StrFormat("%s -%d", m_armour.c_str(), static_cast<int>(armourDamage));
        r = 192, g = 27, b = 0;
    } else if (shieldDamage > 0.0f) {
        text = StrFormat("%s -%d", m_shield.c_str(), static_cast<int>(shieldDamage));
        r = 18, g = 56, b = 248;
    } else {
        text = m_undamaged;
    }
    if (lucky)
        text += StrFormat("(%s)", m_lucky.c_str());
    item->Start(ship, text, r, g, b, lucky, offsetX, offsetY);
    if (!item->active)
        return false;
    m_latest = item;
    return true;
}

void GUI_DamageFeedbackManager::SetLatestHitPosition(const SIM_Ship* ship, float x, float y)
{
    if (m_latest && m_latest->ship == ship) {
        m_latest->pinned = true;
        m_latest->pinnedX = x;
        m_latest->pinnedY = y;
    }
    m_latest = nullptr;
}

void GUI_DamageFeedbackManager::MarkLatestShockwave(const SIM_Ship* ship)
{
    if (m_latest && m_latest->ship == ship)
        m_latest->text += GetShockwaveText();
}

std::string GUI_DamageFeedbackManager::GetShockwaveText() const
{
    return StrFormat("(%s)", m_shockwave.c_str());
}

void GUI_DamageFeedbackManager::Draw(bool shown, float dtMs)
{
    if (!shown)
        return;
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    for (GUI_DamageFeedback& item : m_items)
        if (item.active)
            item.Draw(dtMs);
    text.Render(-1);
}

void GUI_DamageFeedbackManager::Reset()
{
    for (GUI_DamageFeedback& item : m_items) {
        item.active = false;
        item.ship = nullptr;
    }
    m_latest = nullptr;
}

int GUI_DamageFeedbackManager::CountActive() const
{
    int count = 0;
    for (const GUI_DamageFeedback& item : m_items)
        count += item.active ? 1 : 0;
    return count;
}
