#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GTimer.h"
#include "gui/GUI_WindowBase.h"

#include <memory>
#include <vector>

class SIM_Campaign;
class SIM_CampaignEncounter;
class GUI_Encounter;
class GUI_CampaignWormhole;
class GUI_CampaignMapStars;
class GUI_HexPattern;
class GUI_LCARS_TextBlock;
class GUI_MapZoomer;
class GUI_PlayerFleetIcon;
class GUI_CampaignControlPanelTop;
class GUI_CampaignControlPanelBttm;

// The full-screen window the campaign is played on: a camera (focus in map
// units, zoom in pixels per map unit) over the campaign's map, scrolled by
// keys, screen edges and dragging, zoomed by wheel, keys and buttons, with
// the planets, wormholes, decoration and the two control panels on it.
// One exists while the campaign screen is shown (Get()).
class GUI_CampaignMap : public GUI_WindowBase {
public:
    static constexpr float kMapUnitsAcross = 1000.0f;
    static constexpr float kMaxZoom = 4.0f;
    // The glyph blocks' distance from the screen's sides and the top panel,
    // and the widest line of glyphs they type.
    static constexpr int kGlyphBlockGap = 20;
    static constexpr int kGlyphBlockColumns = 29;
    static constexpr float kWheelStep = 0.1f;
    static constexpr float kScrollPixels = 3.5f;
    static constexpr int kEdgeBand = 16;
    static constexpr float kHoldZoomPerMs = 0.003f;
    static constexpr float kKeyZoomPerMs = 0.001f;
    static constexpr float kKeyZoomMaxMs = 36.0f;
    enum Layer { LAYER_FLEETS = 0, LAYER_FACILITIES = 1, LAYER_NAMES = 2, LAYER_TERRITORIES = 3, LAYER_COUNT = 4 };

    static GUI_CampaignMap* Create(SIM_Campaign* campaign);
    static GUI_CampaignMap* Get();
    static void Destroy();

    explicit GUI_CampaignMap(SIM_Campaign* campaign);
    ~GUI_CampaignMap() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    // Camera operations; each ends with the clamp, the origin and the refresh.
    void ScrollBy(float dx, float dy);
    void ZoomInBy(float amount);
    void ZoomOutBy(float amount);
    void ZoomToRect(float l, float t, float r, float b);
    // The zoom buttons while held: milliseconds since the last map draw.
    void HoldZoom(bool in);
    void ClampFocus();
    void UpdateViewOrigin();
    void CameraChanged();

    void ScrollByKeys();
    void ScrollAtEdges();
    void UpdateMapDrag();

    float ToScreenX(float mapX) const;
    float ToScreenY(float mapY) const;
    // The map point of an encounter (its position is a fraction of the map).
    float EncounterX(const SIM_CampaignEncounter* e) const;
    float EncounterY(const SIM_CampaignEncounter* e) const;
    // Where a campaign opens without a saved view: the homeworld, else the
    // first planet the player holds, else null (the map's centre).
    const SIM_CampaignEncounter* FirstViewEncounter() const;
    float ViewWidth() const { return static_cast<float>(viewRight - viewLeft); }
    float ViewHeight() const { return static_cast<float>(viewBottom - viewTop); }

    GUI_Encounter* FindHighlightedEncounterUnderMouse() const;
    bool IsIconOverEncounter(GUI_PlayerFleetIcon* icon);
    // Null: every planet selectable and every wormhole bright.
    void HighlightMoveTargets(const SIM_CampaignEncounter* from);
    GUI_Encounter* FindView(const SIM_CampaignEncounter* e) const;

    SIM_Campaign* GetCampaign() const { return m_campaign; }
    GUI_MapZoomer& GetZoomer() { return *m_zoomer; }
    const std::vector<GUI_Encounter*>& GetEncounters() const { return m_encounters; }
    const std::vector<GUI_CampaignWormhole*>& GetWormholes() const { return m_wormholes; }
    GUI_CampaignControlPanelTop* GetTopPanel() const { return m_top; }
    GUI_CampaignControlPanelBttm* GetBottomPanel() const { return m_bottom; }
    float GetFrameMs() const { return m_frameTimer.GetLastElapsedMs(); }
    // Frame time for the tests that drive the camera without a clock.
    void SetFrameMsForTest(float ms) { m_frameMsOverride = ms; }
    bool IsDraggingMap() const { return m_dragging; }
    // The glyph blocks typing away under the map's contents.
    std::vector<GUI_LCARS_TextBlock*> GetGlyphBlocks() const;

    float zoom = 1.0f;
    float minZoom = 1.0f;
    float maxZoom = kMaxZoom;
    float focusX = 0.0f;
    float focusY = 0.0f;
    float originX = 0.0f;
    float originY = 0.0f;
    int viewLeft = 0, viewTop = 0, viewRight = 0, viewBottom = 0;
    bool show[LAYER_COUNT] = {true, true, true, true};

private:
    void BuildContents();
    void DeleteContents();
    float FrameMs() const;

    SIM_Campaign* m_campaign;
    std::vector<GUI_Encounter*> m_encounters;
    std::vector<GUI_CampaignWormhole*> m_wormholes;
    CTexturedSprite m_background;
    std::unique_ptr<GUI_CampaignMapStars> m_stars;
    std::unique_ptr<GUI_HexPattern> m_hex;
    std::vector<std::unique_ptr<GUI_LCARS_TextBlock>> m_glyphBlocks;
    std::unique_ptr<GUI_MapZoomer> m_zoomer;
    GUI_CampaignControlPanelTop* m_top = nullptr;
    GUI_CampaignControlPanelBttm* m_bottom = nullptr;
    GTimer m_frameTimer;
    GTimer m_keyTimer;
    bool m_scrolledByKeys = false;
    bool m_dragging = false;
    float m_dragMouseX = 0.0f, m_dragMouseY = 0.0f;
    float m_dragFocusX = 0.0f, m_dragFocusY = 0.0f;
    float m_frameMsOverride = -1.0f;
};
