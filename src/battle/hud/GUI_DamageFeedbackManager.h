#pragma once
#include <string>

#include "battle/hud/GUI_DamageFeedback.h"

// The pool of floating damage texts: a fixed 100, reused; a hit that finds
// none free shows nothing.
class GUI_DamageFeedbackManager {
public:
    static constexpr int kPoolSize = 100;

    static GUI_DamageFeedbackManager& GetInstance();

    GUI_DamageFeedbackManager();

    // False when the pool is full (nothing shown).
    bool Add(SIM_Ship* ship, float hullDamage, float armourDamage, float shieldDamage, bool lucky, float offsetX,
             float offsetY);
    void SetLatestHitPosition(const SIM_Ship* ship, float x, float y);
    // The latest text, when it is the ship's, came from a ship's blast: the
    // shock-wave note follows it, as the lucky note follows a lucky hit's.
    void MarkLatestShockwave(const SIM_Ship* ship);
    std::string GetShockwaveText() const;
    // The sweep of the battle frame: nothing while the texts are switched
    // off; else ages and lays out every live text.
    void Draw(bool shown, float dtMs);
    // Every text ends (a new battle, or its ships are about to go).
    void Reset();

    const GUI_DamageFeedback& GetItem(int i) const { return m_items[i]; }
    int CountActive() const;
    const GUI_DamageFeedback* GetLatest() const { return m_latest; }

private:
    std::string m_armour, m_shield, m_hull, m_undamaged, m_lucky, m_shockwave;
    GUI_DamageFeedback m_items[kPoolSize];
    GUI_DamageFeedback* m_latest = nullptr;
};
