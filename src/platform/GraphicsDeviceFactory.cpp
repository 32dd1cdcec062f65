#include "platform/GraphicsDeviceFactory.h"

#include "platform/GLGraphicsDevice.h"
#include "platform/HeadlessGraphicsDevice.h"

std::unique_ptr<IGraphicsDevice> CreateGraphicsDevice(IWindow& window, std::string* error)
{
    int w = window.GetClientWidth(), h = window.GetClientHeight();
    if (window.IsHeadless())
        return std::make_unique<HeadlessGraphicsDevice>(w, h);
    std::unique_ptr<GLGraphicsDevice> gl = GLGraphicsDevice::Create(w, h, error);
    if (!gl)
        return nullptr;
    IWindow* target = &window;
    gl->SetPresentCallback([target] { target->SwapBuffers(); });
    return gl;
}
