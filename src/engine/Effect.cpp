#include "engine/Effect.h"

#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {
constexpr size_t kMaxShaderBytes = 1024 * 1024;

std::vector<Effect*>& Registry()
{
    // Never destroyed: statics holding instances may outlive it at exit.
    static auto* list = new std::vector<Effect*>();
    return *list;
}
} // namespace

Effect::Effect()
{
    Registry().push_back(this);
}

Effect::~Effect()
{
    Release();
    auto& list = Registry();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

bool Effect::Load(const std::string& fileName)
{
    Release();
    m_fileName = fileName;
    m_failed = false;
    return EnsureLoaded();
}

bool Effect::EnsureLoaded()
{
    if (m_handle)
        return true;
    // A file that failed once is not retried every frame.
    if (m_failed || m_fileName.empty())
        return false;
    IGraphicsDevice* device = D3DEngine::GetInstance().GetDevice();
    // Without shader support the plain path draws; that is no broken file.
    if (!device || !device->SupportsShaders())
        return false;
    m_handle = device->LoadEffect(m_fileName);
    if (!m_handle) {
        m_failed = true;
        LOG_ERROR_ONCE("D3DXCreateEffectFromFile failed");
        LOG_DEBUG(StrFormat("%s: %s", m_fileName.c_str(), device->GetLastError().c_str()));
        return false;
    }
    std::string fragment;
    std::error_code ec;
    m_coversQuad = !std::filesystem::exists(m_fileName + ".vert", ec) &&
                   ReadWholeFile(m_fileName + ".frag", fragment, kMaxShaderBytes) &&
                   fragment.find("discard") == std::string::npos;
    return true;
}

bool Effect::Begin()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    if (!engine.HasShaders() || !engine.GetDevice())
        return false;
    if (!EnsureLoaded()) {
        LOG_ERROR_ONCE("Shder Effect faield to find technique");
        return false;
    }
    engine.UseEffect(m_handle);
    return true;
}

void Effect::End()
{
    D3DEngine::GetInstance().UseEffect(0);
}

void Effect::SetFloat(const char* name, float value)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    if (!engine.HasShaders() || !name || !EnsureLoaded())
        return;
    engine.GetDevice()->SetEffectFloat(m_handle, name, value);
}

void Effect::Release()
{
    if (m_handle) {
        if (IGraphicsDevice* device = D3DEngine::GetInstance().GetDevice())
            device->DestroyEffect(m_handle);
        m_handle = 0;
    }
}

void Effect::ReleaseAll()
{
    for (Effect* e : Registry()) {
        e->Release();
        e->m_failed = false;
    }
}
