#include "engine/SmartTexture.h"

#include "engine/D3DEngine.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<SmartTexture*>& Registry()
{
    // Never destroyed: statics holding instances may outlive it at exit.
    static auto* list = new std::vector<SmartTexture*>();
    return *list;
}
} // namespace

SmartTexture::SmartTexture()
{
    Registry().push_back(this);
}

SmartTexture::SmartTexture(const std::string& name) : SmartTexture()
{
    SetName(name);
}

SmartTexture::SmartTexture(const SmartTexture& other)
    : m_name(other.m_name), m_texture(other.m_texture), m_stale(other.m_stale)
{
    Registry().push_back(this);
}

SmartTexture& SmartTexture::operator=(const SmartTexture& other)
{
    m_name = other.m_name;
    m_texture = other.m_texture;
    m_stale = other.m_stale;
    return *this;
}

SmartTexture::~SmartTexture()
{
    auto& list = Registry();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void SmartTexture::SetName(const std::string& name)
{
    m_name = name;
    Resolve();
}

void SmartTexture::Resolve()
{
    m_stale = false;
    m_texture = m_name.empty() ? 0 : D3DEngine::GetInstance().FindTexture(m_name);
}

TextureHandle SmartTexture::GetHandle()
{
    if (m_stale)
        Resolve();
    return m_texture;
}

void SmartTexture::Bind()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    TextureHandle t = GetHandle();
    if (t) {
        engine.SetTexture(t);
    } else {
        engine.SetTexture(0);
        engine.ClearTextureCache();
    }
}

void SmartTexture::Refresh()
{
    Resolve();
}

void SmartTexture::Invalidate()
{
    m_texture = 0;
    m_stale = !m_name.empty();
}

void SmartTexture::ForgetHandle(TextureHandle handle)
{
    if (handle && m_texture == handle)
        Invalidate();
}

void SmartTexture::RefreshAll()
{
    for (SmartTexture* t : Registry())
        t->Refresh();
}

void SmartTexture::InvalidateAll()
{
    for (SmartTexture* t : Registry())
        t->Invalidate();
}

void SmartTexture::ForgetHandleEverywhere(TextureHandle handle)
{
    for (SmartTexture* t : Registry())
        t->ForgetHandle(handle);
}
