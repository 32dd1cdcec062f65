#include "battle/hud/GUI_ShipNameOverlay.h"

#include <algorithm>
#include <unordered_map>

#include "engine/GDebugLog.h"
#include "engine/LibText.h"
#include "gui/GUI_FrameDrawing.h"
#include "sim/SIM_Ship.h"

namespace {
std::vector<GUI_ShipNameOverlay*>& Labels()
{
    static std::vector<GUI_ShipNameOverlay*> labels;
    return labels;
}
std::unordered_map<const SIM_Ship*, GUI_ShipNameOverlay*>& ByShip()
{
    static std::unordered_map<const SIM_Ship*, GUI_ShipNameOverlay*> byShip;
    return byShip;
}
constexpr float kFontSize = 16.0f;
} // namespace

GUI_ShipNameOverlay::GUI_ShipNameOverlay(const SIM_Ship* ship) : m_ship(ship)
{
    m_text = ship ? ship->name : std::string();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", kFontSize);
    const int measured = text.GetTextWidth(m_text);
    QLM_ASSERT(measured > 0);
    SetSize(static_cast<float>(measured + kPadding), static_cast<float>(kHeight));
    Labels().push_back(this);
}

GUI_ShipNameOverlay::~GUI_ShipNameOverlay()
{
    auto& labels = Labels();
    labels.erase(std::remove(labels.begin(), labels.end(), this), labels.end());
    auto it = ByShip().find(m_ship);
    if (it != ByShip().end() && it->second == this)
        ByShip().erase(it);
}

GUI_ShipNameOverlay* GUI_ShipNameOverlay::ForShip(const SIM_Ship* ship)
{
    if (!ship)
        return nullptr;
    auto it = ByShip().find(ship);
    if (it != ByShip().end())
        return it->second;
    auto* label = new GUI_ShipNameOverlay(ship);
    ByShip()[ship] = label;
    return label;
}

void GUI_ShipNameOverlay::ShowAt(float x, float y)
{
    QLM_ASSERT(width > kPadding && height > 0);
    m_shown = true;
    const int l = static_cast<int>(x) - width / 2;
    const int t = static_cast<int>(y) - height / 2;
    left = l;
    top = t;
    right = l + width;
    bottom = t + height;
}

void GUI_ShipNameOverlay::Draw()
{
    DrawNamedFrame("tooltip.dds", 8.0f, 1.0f, static_cast<float>(left), static_cast<float>(top),
                   static_cast<float>(right), static_cast<float>(bottom));
    LibText& text = LibText::GetInstance();
    text.SetText(TEXT_ALIGN_CENTRE, m_text, static_cast<float>(left), static_cast<float>(top), 0xFFFFFFFFu,
                 static_cast<float>(width));
    text.Render(-1);
    m_shown = false;
}

void GUI_ShipNameOverlay::DrawAll()
{
    bool fontSet = false;
    for (GUI_ShipNameOverlay* label : Labels()) {
        if (!label->m_shown)
            continue;
        if (!fontSet) {
            LibText::GetInstance().SetFont("zekton16.dds", kFontSize);
            fontSet = true;
        }
        label->Draw();
    }
}

void GUI_ShipNameOverlay::ForgetAll()
{
    while (!Labels().empty())
        delete Labels().back();
    ByShip().clear();
}

void GUI_ShipNameOverlay::ForgetShip(const SIM_Ship* ship)
{
    auto it = ByShip().find(ship);
    if (it != ByShip().end())
        delete it->second; // its destructor leaves both lists
}

const std::vector<GUI_ShipNameOverlay*>& GUI_ShipNameOverlay::GetAll()
{
    return Labels();
}
