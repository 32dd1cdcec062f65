#include "campaign/gui/GUI_CampaignUIMemory.h"

#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignFleetManager.h"
#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_CampaignShipDetails.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/gui/GUI_IncomeManager.h"
#include "campaign/gui/GUI_MapZoomer.h"
#include "campaign/gui/GUI_RecruitmentManager.h"
#include "campaign/gui/GUI_ShipsLog.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "gui/GUI_WindowManager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
const char* const kRectKeys[3][4] = {{"zoom_OrigLeft", "zoom_OrigTop", "zoom_OrigRight", "zoom_OrigBottom"},
                                     {"zoom_TargLeft", "zoom_TargTop", "zoom_TargRight", "zoom_TargBottom"},
                                     {"zoom_LastLeft", "zoom_LastTop", "zoom_LastRight", "zoom_LastBottom"}};

std::string SavePath()
{
    const std::string folder = SIM_CampaignProgress::GetInstance().GetSaveFolder();
    return folder.empty() ? std::string() : folder + "/" + kCampaignUIMemoryFile;
}

void Line(std::string& out, const char* key, const std::string& value)
{
    out += key;
    out += " = ";
    out += value;
    out += "\n";
}

float Finite(float v, float fallback)
{
    return std::isfinite(v) ? v : fallback;
}

// The window moved to where it was, though never off a smaller screen.
void PlaceRestored(GUI_Dialog* window, float x, float y)
{
    if (!window)
        return;
    const D3DEngine& engine = D3DEngine::GetInstance();
    ClampOntoScreen(x, y, static_cast<float>(window->width), static_cast<float>(window->height),
                    static_cast<float>(engine.GetScreenWidth()), static_cast<float>(engine.GetScreenHeight()));
    window->MoveTo(x, y);
}

bool Flag(const GIniFile& ui, const char* key)
{
    return std::atoi(std::string(ui.GetString(key)).substr(0, 63).c_str()) != 0;
}

SIM_CampaignShip* RememberedShip(const GIniFile& ui, const char* key)
{
    // A ship scrapped or lost since is simply not shown again.
    return SIM_CampaignShip::FindByID(static_cast<int>(ui.GetFloat(key, -1.0f)));
}

void ReopenShipyard(const GIniFile& ui)
{
    SIM_CampaignEncounter* at = SIM_CampaignEncounter::FindByID(ui.GetInt("shipyard_enc"));
    if (!at)
        return;
    if (GUI_Shipyard::GetOpen() && GUI_Shipyard::GetOpen()->GetEncounter() == at)
        return;
    SIM_CampaignFleet* fleet = SIM_CampaignProgress::GetInstance().FindFleet(ui.GetInt("shipyard_fleet"));
    // The yard's own new fleet went with the yard when it closed empty.
    if (fleet && fleet->location == at)
        GUI_Shipyard::Open(at, fleet);
    else
        GUI_Shipyard::OpenWithNewFleet(at);
}

void ManagerLines(std::string& out, const std::string& kind, const GUI_Dialog* open)
{
    Line(out, ("b" + kind).c_str(), open ? "1" : "0");
    Line(out, (kind + "posx").c_str(), StrFormat("%.4f", open ? static_cast<float>(open->left) : 0.0f));
    Line(out, (kind + "posy").c_str(), StrFormat("%.4f", open ? static_cast<float>(open->top) : 0.0f));
}

template <typename Manager>
void ReopenManager(const GIniFile& ui, const std::string& kind)
{
    if (!Flag(ui, ("b" + kind).c_str()))
        return;
    if (!Manager::GetOpen())
        Manager::Open();
    PlaceRestored(Manager::GetOpen(), ui.GetFloat((kind + "posx").c_str(), 0.0f),
                  ui.GetFloat((kind + "posy").c_str(), 0.0f));
}

void ReopenRememberedWindows(const GIniFile& ui, const std::string& text)
{
    // Each opens over the one before: the shipyard comes second.
    ReopenManager<GUI_RecruitmentManager>(ui, "recruit");
    if (Flag(ui, "bshipyard"))
        ReopenShipyard(ui);
    ReopenManager<GUI_IncomeManager>(ui, "income");
    ReopenManager<GUI_CampaignFleetManager>(ui, "fleet");
    if (Flag(ui, "bship"))
        if (SIM_CampaignShip* ship = RememberedShip(ui, "shipid"); ship && ship->design) {
            if (!GUI_CampaignShipDetails::GetOpen())
                GUI_CampaignShipDetails::Open(ship);
            PlaceRestored(GUI_CampaignShipDetails::GetOpen(), ui.GetFloat("shipposx", 0.0f),
                          ui.GetFloat("shipposy", 0.0f));
        }
    if (Flag(ui, "blog"))
        if (SIM_CampaignShip* ship = RememberedShip(ui, "logid")) {
            if (!GUI_ShipsLog::GetOpen())
                GUI_ShipsLog::Open(ship);
            PlaceRestored(GUI_ShipsLog::GetOpen(), static_cast<float>(ui.GetInt("logx")),
                          static_cast<float>(ui.GetInt("logy")));
        }
    GIniFile fleets;
    if (!fleets.LoadFromText("fleetdetails", text))
        return;
    for (size_t i = 0; i < fleets.GetEntryCount(); ++i) {
        int id = -1, x = 0, y = 0;
        if (std::sscanf(fleets.GetValueAt(i).c_str(), "%d,%d,%d", &id, &x, &y) != 3)
            continue;
        SIM_CampaignFleet* fleet = SIM_CampaignProgress::GetInstance().FindFleet(id);
        if (!fleet || !fleet->location || fleet->GetShips().empty())
            continue;
        PlaceRestored(GUI_CampaignFleetDetails::ShowForFleet(fleet), static_cast<float>(x), static_cast<float>(y));
    }
}
} // namespace

void ClampOntoScreen(float& x, float& y, float width, float height, float screenWidth, float screenHeight)
{
    x = std::clamp(Finite(x, 0.0f), 0.0f, std::max(0.0f, screenWidth - width));
    y = std::clamp(Finite(y, 0.0f), 0.0f, std::max(0.0f, screenHeight - height));
}

std::string CampaignUIMemoryText()
{
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    QLM_ASSERT(map);
    if (!map)
        return std::string();
    const GUI_MapZoomer& zoomer = map->GetZoomer();
    std::string out = "[ui]\n";
    Line(out, "mapfocusx", StrFormat("%.4f", map->focusX));
    Line(out, "mapfocusy", StrFormat("%.4f", map->focusY));
    Line(out, "mapzoom", StrFormat("%.4f", map->zoom));
    std::string name;
    if (zoomer.state == GUI_MapZoomer::ZOOMED_IN && zoomer.targetElement)
        name = zoomer.targetElement->GetEncounter()->name;
    Line(out, "zoomencname", name);
    const GUI_MapZoomer::Rect* rects[3] = {&zoomer.saved, &zoomer.target, &zoomer.start};
    for (int r = 0; r < 3; ++r) {
        const float values[4] = {rects[r]->left, rects[r]->top, rects[r]->right, rects[r]->bottom};
        for (int k = 0; k < 4; ++k)
            Line(out, kRectKeys[r][k], StrFormat("%.4f", values[k]));
    }
    // A yard whose fleet has just gone is closing: it is not remembered.
    const GUI_Shipyard* yard = GUI_Shipyard::GetOpen();
    const bool yardShown = yard && yard->GetEncounter() && yard->GetFleet();
    if (yardShown) {
        Line(out, "shipyard_enc", StrFormat("%d", yard->GetEncounter()->encounterId));
        Line(out, "shipyard_fleet", StrFormat("%d", yard->GetFleet()->id));
    }
    Line(out, "bshipyard", yardShown ? "1" : "0");
    ManagerLines(out, "recruit", GUI_RecruitmentManager::GetOpen());
    ManagerLines(out, "income", GUI_IncomeManager::GetOpen());
    ManagerLines(out, "fleet", GUI_CampaignFleetManager::GetOpen());
    const GUI_CampaignShipDetails* ship = GUI_CampaignShipDetails::GetOpen();
    Line(out, "bship", ship && ship->GetShip() ? "1" : "0");
    if (ship && ship->GetShip()) {
        Line(out, "shipid", StrFormat("%d", ship->GetShip()->id));
        Line(out, "shipposx", StrFormat("%.4f", static_cast<float>(ship->left)));
        Line(out, "shipposy", StrFormat("%.4f", static_cast<float>(ship->top)));
    }
    const GUI_ShipsLog* log = GUI_ShipsLog::GetOpen();
    Line(out, "blog", log && log->GetShip() ? "1" : "0");
    if (log && log->GetShip()) {
        Line(out, "logid", StrFormat("%d", log->GetShip()->id));
        Line(out, "logx", StrFormat("%d", log->left));
        Line(out, "logy", StrFormat("%d", log->top));
    }
    out += "\n[fleetdetails]\n";
    int index = 0;
    for (const GUI_CampaignFleetDetails* window : GUI_CampaignFleetDetails::GetAll()) {
        if (!window->GetFleet() || GUI_WindowManager::GetInstance().IsQueuedForDelete(window))
            continue;
        Line(out, StrFormat("%d", index++).c_str(),
             StrFormat("%d,%d,%d", window->GetFleet()->id, window->left, window->top));
    }
    return out;
}

void ApplyCampaignUIMemory(const std::string& text)
{
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    QLM_ASSERT(map);
    if (!map)
        return;
    GIniFile ui;
    if (!ui.LoadFromText("ui", text))
        return;
    map->focusX = Finite(ui.GetFloat("mapfocusx", map->focusX), map->focusX);
    map->focusY = Finite(ui.GetFloat("mapfocusy", map->focusY), map->focusY);
    const std::string name = ui.GetString("zoomencname");
    GUI_MapZoomer& zoomer = map->GetZoomer();
    if (name.empty() || !zoomer.RestoreTarget(name)) {
        // A zoom the wheel could never reach is brought back into its range.
        const float z = Finite(ui.GetFloat("mapzoom", map->zoom), map->zoom);
        map->zoom = std::clamp(z, map->minZoom, map->maxZoom);
    }
    GUI_MapZoomer::Rect* rects[3] = {&zoomer.saved, &zoomer.target, &zoomer.start};
    for (int r = 0; r < 3; ++r) {
        float* values[4] = {&rects[r]->left, &rects[r]->top, &rects[r]->right, &rects[r]->bottom};
        for (int k = 0; k < 4; ++k)
            *values[k] = Finite(ui.GetFloat(kRectKeys[r][k], *values[k]), *values[k]);
    }
    map->CameraChanged();
    ReopenRememberedWindows(ui, text);
}

bool SaveCampaignUIMemory()
{
    const std::string path = SavePath();
    if (path.empty() || !GUI_CampaignMap::Get())
        return false;
    if (!WriteFileAtomically(path, CampaignUIMemoryText())) {
        LOG_ERROR(StrFormat("Failed attempting to write file: [%s]", path.c_str()));
        return false;
    }
    return true;
}

void RestoreCampaignUIMemory()
{
    const std::string path = SavePath();
    std::string text;
    if (path.empty() || !ReadWholeFile(path, text))
        return;
    ApplyCampaignUIMemory(text);
}
