#include "online/GUI_ChallengeThumbnail.h"

#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "online/OnlineJob.h"
#include "online/SIM_Server.h"
#include "platform/DdsImage.h"

#include <cstdio>
#include <sys/stat.h>

bool GUI_ChallengeThumbnail::IsAcceptable(const std::string& path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 || st.st_size > kMaxFileBytes)
        return false;
    TextureData data;
    std::string error;
    // The reader refuses a picture larger than kMaxSide from its header.
    if (!ReadImageFile(path, data, &error, kMaxSide)) {
        LOG_DEBUG("Challenge thumbnail refused: " + path + " " + error);
        return false;
    }
    return true;
}

void GUI_ChallengeThumbnail::SetChallenge(const std::string& challengeId)
{
    m_id = challengeId;
    m_path = SIM_Server::ThumbnailPath(SIM_Server::GetInstance().GetUserFolder(), challengeId);
    m_loaded = false;
    if (m_path.empty())
        return;
    if (FileExists(m_path)) {
        TryLoad();
        return;
    }
    const std::string id = challengeId;
    m_job = OnlineJob::Start([id](SIM_Server& server, std::string&) { return server.DownloadThumbnail(id); });
    Poll();
}

void GUI_ChallengeThumbnail::TryLoad()
{
    const std::string name = m_id + ".jpg";
    const std::string folder = m_path.substr(0, m_path.rfind('/'));
    D3DEngine& engine = D3DEngine::GetInstance();
    int w = 0, h = 0;
    if (engine.GetTextureSize(name, w, h)) {
        m_loaded = true;
    } else if (!IsAcceptable(m_path)) {
        // Nothing would ever show it: it only takes room (and is fetched again next time).
        LOG_DEBUG("Challenge thumbnail deleted: " + m_path);
        std::remove(m_path.c_str());
    } else {
        m_loaded = engine.LoadTextureFile(folder, name);
    }
    if (m_loaded)
        m_sprite.SetTexture(name);
}

void GUI_ChallengeThumbnail::Poll()
{
    if (!m_job || !m_job->IsDone())
        return;
    const bool ok = m_job->Succeeded();
    m_job.reset();
    if (ok)
        TryLoad();
}

void GUI_ChallengeThumbnail::Draw()
{
    Poll();
    D3DEngine& engine = D3DEngine::GetInstance();
    const GRect area{left, top, right, bottom};
    engine.FillRect(area, 0x80000000u);
    m_interlace.Draw(area);
    const float side = static_cast<float>(right - left);
    const float cx = static_cast<float>(left + right) / 2.0f, cy = static_cast<float>(top + bottom) / 2.0f;
    if (m_loaded) {
        m_sprite.SetSize(side, side);
        m_sprite.PlaceCentred(cx, cy);
        m_sprite.Draw();
    } else {
        const int half = static_cast<int>(side / 2.0f);
        engine.FillRect(GRect{static_cast<int>(cx) - half, static_cast<int>(cy) - half, static_cast<int>(cx) + half,
                              static_cast<int>(cy) + half},
                        0xFF000000u);
    }
}
