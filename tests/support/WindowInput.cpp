#include "support/WindowInput.h"

#include "app/Game.h"
#include "platform/IWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

void RunGameFrames(int frames)
{
    Game& game = Game::GetInstance();
    for (int i = 0; i < frames; ++i) {
        game.GetWindow()->PumpEvents();
        game.Frame();
    }
}

void PushSdlEvent(SDL_Event e)
{
    EXPECT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

void MoveMouse(int x, int y)
{
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    PushSdlEvent(e);
    RunGameFrames(2);
}

namespace {
SDL_Event LeftButton(int x, int y, bool down, int clicks)
{
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = static_cast<Uint8>(clicks);
    e.button.x = x;
    e.button.y = y;
    return e;
}
} // namespace

void ClickAt(int x, int y, int clicks)
{
    MoveMouse(x, y);
    PushSdlEvent(LeftButton(x, y, true, clicks));
    PushSdlEvent(LeftButton(x, y, false, clicks));
    RunGameFrames(2);
}

void RightClickAt(int x, int y)
{
    MoveMouse(x, y);
    for (const Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
        SDL_Event e{};
        e.type = type;
        e.button.button = SDL_BUTTON_RIGHT;
        e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = 1;
        e.button.x = x;
        e.button.y = y;
        PushSdlEvent(e);
    }
    RunGameFrames(2);
}

void SetMouseButton(int x, int y, bool down)
{
    PushSdlEvent(LeftButton(x, y, down, 1));
    RunGameFrames(2);
}

void SetKey(SDL_Scancode code, bool down)
{
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.keysym.scancode = code;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    PushSdlEvent(e);
    RunGameFrames(1);
}

void PressKey(SDL_Scancode code)
{
    for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
        SDL_Event e{};
        e.type = type;
        e.key.keysym.scancode = code;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        PushSdlEvent(e);
    }
    RunGameFrames(2);
}

void TypeText(const std::string& text)
{
    for (char c : text) {
        SDL_Scancode code = SDL_SCANCODE_UNKNOWN;
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower >= 'a' && lower <= 'z')
            code = static_cast<SDL_Scancode>(SDL_SCANCODE_A + (lower - 'a'));
        else if (c >= '1' && c <= '9')
            code = static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (c - '1'));
        else if (c == '0')
            code = SDL_SCANCODE_0;
        SDL_Event e{};
        if (code != SDL_SCANCODE_UNKNOWN) {
            e.type = SDL_KEYDOWN;
            e.key.keysym.scancode = code;
            e.key.state = SDL_PRESSED;
            PushSdlEvent(e);
        }
        SDL_Event t{};
        t.type = SDL_TEXTINPUT;
        t.text.text[0] = c;
        PushSdlEvent(t);
        if (code != SDL_SCANCODE_UNKNOWN) {
            e.type = SDL_KEYUP;
            e.key.state = SDL_RELEASED;
            PushSdlEvent(e);
        }
    }
    RunGameFrames(2);
}

TextureData Screenshot(const std::string& userDir)
{
    for (const auto& entry : std::filesystem::directory_iterator(userDir))
        if (entry.path().filename().string().rfind("screenshot_", 0) == 0)
            std::filesystem::remove(entry.path());
    PressKey(SDL_SCANCODE_PRINTSCREEN);
    TextureData picture;
    for (const auto& entry : std::filesystem::directory_iterator(userDir))
        if (entry.path().filename().string().rfind("screenshot_", 0) == 0)
            ReadImageFile(entry.path().string(), picture, nullptr);
    return picture;
}

double Brightness(const TextureData& picture, int cx, int cy, int half)
{
    if (picture.levels.empty())
        return -1.0;
    const std::vector<uint8_t>& px = picture.levels[0];
    double sum = 0.0;
    int n = 0;
    for (int y = cy - half; y <= cy + half; ++y)
        for (int x = cx - half; x <= cx + half; ++x) {
            if (x < 0 || y < 0 || x >= picture.width || y >= picture.height)
                continue;
            const size_t i = (static_cast<size_t>(y) * picture.width + x) * 4;
            sum += px[i] + px[i + 1] + px[i + 2];
            ++n;
        }
    return n ? sum / n : -1.0;
}

void PixelAt(const TextureData& picture, int x, int y, int& red, int& green, int& blue)
{
    red = green = blue = 0;
    if (picture.levels.empty() || x < 0 || y < 0 || x >= picture.width || y >= picture.height)
        return;
    const size_t i = (static_cast<size_t>(y) * picture.width + x) * 4;
    blue = picture.levels[0][i];
    green = picture.levels[0][i + 1];
    red = picture.levels[0][i + 2];
}

int CountLit(const TextureData& picture, int left, int top, int right, int bottom, int level)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            int r, g, b;
            PixelAt(picture, x, y, r, g, b);
            n += std::max({r, g, b}) >= level;
        }
    return n;
}
