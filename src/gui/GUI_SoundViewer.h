#pragma once

// A debugging view of the sound system that the battle screen holds; for now
// it only readies the small font for whoever lists channels after it.
class GUI_SoundViewer {
public:
    virtual ~GUI_SoundViewer() = default;
    virtual void Draw();

    bool visible = false;
};
