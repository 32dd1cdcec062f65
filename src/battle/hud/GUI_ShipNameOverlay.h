#pragma once
#include <string>
#include <vector>

#include "gui/GUI_BaseElement.h"

class SIM_Ship;

// A ship's floating name in a small tooltip-style box. It shows only in
// frames in which its ship asked for it; the battle frame draws all the
// labels asked for in one sweep.
class GUI_ShipNameOverlay : public GUI_BaseElement {
public:
    static constexpr int kPadding = 36;
    static constexpr int kHeight = 22;

    explicit GUI_ShipNameOverlay(const SIM_Ship* ship);
    ~GUI_ShipNameOverlay() override;

    void ShowAt(float x, float y);
    void Draw() override;

    // The ship's label, made on first use; labels live until ForgetAll.
    static GUI_ShipNameOverlay* ForShip(const SIM_Ship* ship);
    static void DrawAll();
    // The battle's ships are about to go: every label goes first.
    static void ForgetAll();
    // One ship goes (its visual is destroyed): its label goes with it, so a
    // later ship at the same address never shows a stale name.
    static void ForgetShip(const SIM_Ship* ship);
    static const std::vector<GUI_ShipNameOverlay*>& GetAll();

    const SIM_Ship* GetShip() const { return m_ship; }
    bool IsShown() const { return m_shown; }
    const std::string& GetText() const { return m_text; }

private:
    const SIM_Ship* m_ship;
    std::string m_text;
    bool m_shown = false;
};
