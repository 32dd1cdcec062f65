#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"
#include "gui/GUI_Interlace.h"

#include <memory>
#include <string>

class OnlineJob;

// The picture of a challenge's deployment: "web/challengedata/<id>.jpg",
// downloaded beside the frame when it is not there yet. The file comes from
// other players: it is shown only when its size and its picture's size are
// within bounds, read from the header before anything is decoded; otherwise
// the panel shows a black square.
class GUI_ChallengeThumbnail : public GUI_WindowBase {
public:
    static constexpr long long kMaxFileBytes = 512 * 1024;
    static constexpr int kMaxSide = 256;

    GUI_ChallengeThumbnail() { raisesOnClick = false; }
    void SetChallenge(const std::string& challengeId);
    void Draw() override;
    bool IsLoaded() const { return m_loaded; }

    // Whether a thumbnail file may go to the texture loader.
    static bool IsAcceptable(const std::string& path);

private:
    void Poll();
    void TryLoad();

    std::string m_id;
    std::string m_path;
    bool m_loaded = false;
    std::shared_ptr<OnlineJob> m_job;
    CTexturedSprite m_sprite;
    GUI_Interlace m_interlace;
};
