#include "engine/CTexturedSprite.h"

#include "engine/D3DEngine.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<CTexturedSprite*>& Registry()
{
    // Never destroyed: statics holding instances may outlive it at exit.
    static auto* list = new std::vector<CTexturedSprite*>();
    return *list;
}
} // namespace

CTexturedSprite::CTexturedSprite()
{
    Registry().push_back(this);
}

CTexturedSprite::CTexturedSprite(const CTexturedSprite& other)
    : BaseSprite(other), m_name(other.m_name), m_texture(other.m_texture), m_forgotten(other.m_forgotten)
{
    Registry().push_back(this);
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
    auto& list = Registry();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
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
    for (CTexturedSprite* s : Registry())
        s->Forget();
}

void CTexturedSprite::RefreshAll()
{
    for (CTexturedSprite* s : Registry())
        s->Refresh();
}

void CTexturedSprite::ForgetHandleEverywhere(TextureHandle handle)
{
    for (CTexturedSprite* s : Registry())
        if (handle && s->m_texture == handle)
            s->Forget();
}
