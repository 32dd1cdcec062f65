#pragma once
#include "editors/GUI_EditorBase.h"
#include "sim/SIM_HulkLine.h"

// Hulk boxes (wreck pieces) and the emitters burning on them: [hulks], the
// one section written in view pixels.
class GUI_HulkEditor : public GUI_EditorBase {
public:
    enum Mode { STANDARD = 0, SMOKE = 1, BLUE_SPARKS = 2, BOXES = 3 };
    using Emitter = SIM_HulkLine::Emitter;
    using Box = SIM_HulkLine;
    static constexpr float kMinBoxSide = 10.0f;

    GUI_HulkEditor();

    void Draw() override;
    void DrawItems() override;
    void WriteSection(std::string& out) const override;
    void ReadSection(const SIM_ShipHull& hull) override;
    const char* SectionName() const override { return "hulks"; }
    bool HasItems() const override { return !m_boxes.empty(); }
    bool OnViewLeftClick(float x, float y) override;
    bool OnViewRightClick(float x, float y) override;

    void ReadValues(const std::vector<std::string>& values);
    void StepDrag(float mouseX, float mouseY, bool leftDown);
    void SetMode(int mode) { m_mode = mode; }
    static const char* ConfigForMode(int mode);

    std::vector<Box>& GetBoxes() { return m_boxes; }

private:
    std::vector<Box> m_boxes;
    int m_mode = STANDARD;
    bool m_dragging = false;
    float m_startX = 0.0f, m_startY = 0.0f; // screen pixels
};
