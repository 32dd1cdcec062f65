#include "engine/GTexture9.h"

#include "engine/GDebugLog.h"
#include "engine/StrFormat.h"
#include "engine/VisibleBoxes.h"

GTexture9::GTexture9(IGraphicsDevice* device, TextureHandle handle, std::string name, bool renderTarget)
    : m_device(device), m_handle(handle), m_name(std::move(name)), m_renderTarget(renderTarget)
{
    if (m_name.empty())
        m_name = "unknown";
    if (m_device && m_handle && !m_device->GetTextureSize(m_handle, m_width, m_height)) {
        m_width = 0;
        m_height = 0;
    }
}

GTexture9::~GTexture9()
{
    LOG_DEBUG(StrFormat("Releasing texture: %s", m_name.c_str()));
    if (m_device && m_handle) {
        VisibleBoxes::Shared().Forget(m_handle);
        m_device->DestroyTexture(m_handle);
    }
}
