#pragma once
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_Tooltip;
class SIM_ShipModuleType;

// One labelled figure: a module type's data item (clickable: opens the
// comparison of that item) or a plain text row (hull figures).
class GUI_DataItem : public GUI_WindowBase {
public:
    GUI_DataItem();
    ~GUI_DataItem() override;

    void SetFromModuleData(SIM_ShipModuleType* type, const std::string& key, int dataType, float multiplier);
    void SetText(const std::string& label, const std::string& value, const std::string& tooltip);
    // A module's file value under a key shown by its data type.
    static std::string FormatValue(const SIM_ShipModuleType& type, const std::string& key, int dataType,
                                   float multiplier);

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void Update() override;

    static constexpr float kSmallestLabelSize = 12.0f;

    const std::string& GetLabel() const { return m_label; }
    // The label as drawn at the row's present width, and its font size.
    const std::string& GetShownLabel() const { return m_shownLabel; }
    float GetShownSize() const { return m_shownSize; }
    void FitLabel();
    const std::string& GetValue() const { return m_value; }
    GUI_Tooltip* GetTooltip() const { return m_tooltip; }
    SIM_ShipModuleType* GetModuleType() const { return m_type; }

private:
    std::string m_label;
    // The label fitted to the room the value leaves, made when the width changes.
    std::string m_shownLabel;
    int m_shownWidth = -1;
    float m_shownSize = 16.0f;
    std::string m_value;
    GUI_Tooltip* m_tooltip = nullptr;
    SIM_ShipModuleType* m_type = nullptr;
    std::string m_key;
    int m_dataType = 0;
    float m_multiplier = 1.0f;
};

GUI_DataItem* AddModuleDataItem(SIM_ShipModuleType* type, const std::string& key, int dataType, float multiplier);
GUI_DataItem* AddTextDataItem(const std::string& label, const std::string& value, const std::string& tooltip);
