#include "campaign/gui/GUI_CampaignManagerStrip.h"

#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/gui/GUI_MapZoomer.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_Tooltip.h"

#include <algorithm>

namespace {
GUI_CampaignManagerStrip* g_hovered = nullptr;
constexpr int kInset = 2;
constexpr int kTextLeft = 60;
constexpr int kPlaceLeft = 200;
constexpr int kPlaceGap = 12;
constexpr int kFigureBox = 190;
constexpr int kFigureFromRight = 200;
} // namespace

GUI_CampaignManagerStrip::GUI_CampaignManagerStrip(SIM_CampaignEncounter* place) : m_place(place)
{
    m_frame.SetTexture("square_box.dds");
    m_frame.SetSize(static_cast<float>(kIconSize), static_cast<float>(kIconSize));
    m_icon.SetSize(static_cast<float>(kIconSize), static_cast<float>(kIconSize));
    if (place)
        m_placeName = GetString(place->GetGuiName().c_str());
}

GUI_CampaignManagerStrip::~GUI_CampaignManagerStrip()
{
    if (g_hovered == this)
        g_hovered = nullptr;
}

bool GUI_CampaignManagerStrip::OnLeftClick(float x, float y)
{
    if (!visible || !Contains(x, y))
        return false;
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    GUI_Encounter* view = map && m_place ? map->FindView(m_place) : nullptr;
    QLM_ASSERT(view);
    if (view)
        map->GetZoomer().ZoomTo(view);
    OnChosen();
    return true;
}

void GUI_CampaignManagerStrip::SetRect(float l, float t, float r, float b)
{
    GUI_WindowBase::SetRect(l, t, r, b);
    // The place keeps clear of the first text, moving right as it must, and
    // stays inside the strip: a fleet's name, as long as the player typed
    // it, is cut to the room left beside the place.
    LibText& text = LibText::GetInstance();
    text.SetFont(kFont, kFontSize);
    const int room = (right - left) - kTextLeft - kPlaceGap - text.GetTextWidth(m_placeName) - kInset;
    m_firstShown = text.FitText(m_first, std::max(room, kPlaceLeft - kTextLeft - kPlaceGap), 1);
    m_placeLeft = std::max(kPlaceLeft, kTextLeft + text.GetTextWidth(m_firstShown) + kPlaceGap);
}

void GUI_CampaignManagerStrip::Update()
{
    GUI_WindowBase::Update();
    if (TrackHover(this, g_hovered) && m_tooltip)
        m_tooltip->CheckShowTime();
}

void GUI_CampaignManagerStrip::Draw()
{
    if (!visible)
        return;
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, 16.0f, 1.0f, static_cast<float>(left + kInset),
                       static_cast<float>(top + kInset), static_cast<float>(right - kInset),
                       static_cast<float>(bottom - kInset));
    DrawStripEntry(m_frame, m_icon, static_cast<float>(left + 25), static_cast<float>(left + kTextLeft), top, bottom,
                   m_firstShown, m_second, 0xFFFFFFFFu, 0.0f);
    LibText& text = LibText::GetInstance();
    text.SetText(TEXT_ALIGN_LEFT, m_placeName, static_cast<float>(left + m_placeLeft),
                 static_cast<float>(top + kStripTitleTop), 0xFFFFFFFFu, 0.0f);
    if (!m_figure.empty())
        text.SetText(TEXT_ALIGN_RIGHT, m_figure, static_cast<float>(right - kFigureFromRight),
                     static_cast<float>(top + kStripSecondLineTop), 0xFFFFFFFFu, static_cast<float>(kFigureBox));
    if (m_tooltip)
        m_tooltip->Draw();
}
