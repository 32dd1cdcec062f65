#pragma once
#include "platform/IGraphicsDevice.h"
#include "platform/IWindow.h"

#include <memory>
#include <string>

// The device for a window: the recording device for a headless window, the
// OpenGL device (presenting through the window's buffer swap) otherwise. The
// window must outlive the device. Null, with the reason in error, on failure.
std::unique_ptr<IGraphicsDevice> CreateGraphicsDevice(IWindow& window, std::string* error);
