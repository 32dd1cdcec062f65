#include "engine/CTexturedSprite.h"

#include "engine/D3DEngine.h"

void CTexturedSprite::JoinLive()
{
    m_previousLive = s_lastLive;
    m_nextLive = nullptr;
    (s_lastLive ? s_lastLive->m_nextLive : s_firstLive) = this;
    s_lastLive = this;
}

void CTexturedSprite::LeaveLive()
{
    (m_previousLive ? m_previousLive->m_nextLive : s_firstLive) = m_nextLive;
    (m_nextLive ? m_nextLive->m_previousLive : s_lastLive) = m_previousLive;
}

template <typename Visit>
void CTexturedSprite::ForEachLive(Visit visit)
{
    for (CTexturedSprite* s = s_firstLive; s; s = s->m_nextLive)
        visit(*s);
}

CTexturedSprite::CTexturedSprite()
{
    JoinLive();
}

CTexturedSprite::CTexturedSprite(const CTexturedSprite& other)
    : BaseSprite(other), m_name(other.m_name), m_texture(other.m_texture), m_forgotten(other.m_forgotten)
{
    JoinLive();
}

CTexturedSprite& CTexturedSprite::operator=(const CTexturedSprite& other)
{
    BaseSprite::operator=(other);
    m_name = other.m_name;
    m_texture = other.m_texture;
    m_forgotten = other.m_forgotten;
    return *this;
}

CTexturedSprite::~CTexturedSprite()
{
    LeaveLive();
}

void CTexturedSprite::SetTexture(const std::string& name)
{
    std::string bounded = name.substr(0, kMaxNameLength);
    if (bounded == m_name)
        return;
    m_name = bounded;
    Refresh();
}

void CTexturedSprite::Refresh()
{
    m_forgotten = false;
    m_texture = m_name.empty() ? 0 : D3DEngine::GetInstance().FindTexture(m_name);
}

void CTexturedSprite::BindTexture()
{
    if (!m_texture && !m_name.empty())
        Refresh();
    D3DEngine::GetInstance().SetTexture(m_texture);
}

void CTexturedSprite::Draw()
{
    BindTexture();
    BaseSprite::Draw();
}

void CTexturedSprite::DrawClipped(const GRect& clip)
{
    BindTexture();
    BaseSprite::DrawClipped(clip);
}

void CTexturedSprite::ForgetAll()
{
    ForEachLive([](CTexturedSprite& s) { s.Forget(); });
}

void CTexturedSprite::RefreshAll()
{
    ForEachLive([](CTexturedSprite& s) { s.Refresh(); });
}

void CTexturedSprite::ForgetHandleEverywhere(TextureHandle handle)
{
    ForEachLive([handle](CTexturedSprite& s) {
        if (handle && s.m_texture == handle)
            s.Forget();
    });
}
