#include "campaign/gui/GUI_CampaignUIMemory.h"

#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/gui/GUI_MapZoomer.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"

#include <algorithm>
#include <cmath>

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
    // The manager, shipyard, ship and log windows: none is open on this map.
    Line(out, "bshipyard", "0");
    Line(out, "brecruit", "0");
    Line(out, "recruitposx", "0.0000");
    Line(out, "recruitposy", "0.0000");
    Line(out, "bincome", "0");
    Line(out, "incomeposx", "0.0000");
    Line(out, "incomeposy", "0.0000");
    Line(out, "bfleet", "0");
    Line(out, "fleetposx", "0.0000");
    Line(out, "fleetposy", "0.0000");
    Line(out, "bship", "0");
    Line(out, "blog", "0");
    out += "\n[fleetdetails]\n";
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
