#pragma once
#include <string>

// The title screen's backdrop; the start-up splash shows its texture.
class GUI_TitleBackdrop {
public:
    static GUI_TitleBackdrop& GetInstance()
    {
        static GUI_TitleBackdrop instance;
        return instance;
    }
    std::string GetTextureName() const { return m_textureName; }

private:
    std::string m_textureName = "title_backdrop.dds";
};
