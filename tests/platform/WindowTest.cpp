#include "platform/GraphicsDeviceFactory.h"
#include "platform/HeadlessWindow.h"
#include "platform/SdlWindow.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Writes every event as a line, so order and content can be compared at once.
class Recorder : public IWindowListener {
public:
    std::vector<std::string> log;
    void OnQuit() override { log.push_back("quit"); }
    void OnFocusChanged(bool focused) override { log.push_back(focused ? "focus" : "blur"); }
    void OnKey(const WindowKeyEvent& e) override
    {
        log.push_back("key " + std::to_string(e.scancode) + (e.down ? " down" : " up") + (e.repeat ? " repeat" : "") +
                      " @" + std::to_string(e.timestampMs));
    }
    void OnTextInput(const std::string& text) override { log.push_back("text " + text); }
    void OnMouseMove(int x, int y) override { log.push_back("move " + std::to_string(x) + "," + std::to_string(y)); }
    void OnMouseButton(const WindowMouseButtonEvent& e) override
    {
        static const char* names[] = {"left", "right", "middle"};
        log.push_back(std::string(names[int(e.button)]) + (e.down ? " down" : " up") + (e.doubleClick ? " double" : "") +
                      " at " + std::to_string(e.x) + "," + std::to_string(e.y));
    }
    void OnMouseWheel(int delta) override { log.push_back("wheel " + std::to_string(delta)); }
    void OnResized(int w, int h) override { log.push_back("size " + std::to_string(w) + "x" + std::to_string(h)); }
};

void Push(SDL_Event e)
{
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

} // namespace

TEST(HeadlessWindow, DeliversInjectedEventsInOrder)
{
    HeadlessWindow window(800, 600);
    Recorder rec;
    window.SetListener(&rec);
    window.InjectMouseMove(10, 20);
    window.InjectMouseButton(MouseButton::Left, true);
    window.InjectMouseButton(MouseButton::Left, true, true);
    window.InjectKey(41, true, false, 1234);
    window.InjectKey(41, true, true, 1300);
    window.InjectText("Q");
    window.InjectWheel(-1);
    window.InjectFocus(false);
    window.InjectQuit();
    EXPECT_EQ(window.PumpEvents(), 9);
    EXPECT_EQ(rec.log, (std::vector<std::string>{"move 10,20", "left down at 10,20", "left down double at 10,20",
                                                 "key 41 down @1234", "key 41 down repeat @1300", "text Q", "wheel -1",
                                                 "blur", "quit"}));
    EXPECT_FALSE(window.HasFocus());
    EXPECT_EQ(window.PumpEvents(), 0);
}

TEST(HeadlessWindow, KeepsStateWithoutAListenerAndReportsResizes)
{
    HeadlessWindow window(800, 600);
    window.InjectMouseMove(5, 6);
    window.PumpEvents();
    int x = 0, y = 0;
    window.GetMousePosition(x, y);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 6);

    Recorder rec;
    window.SetListener(&rec);
    EXPECT_FALSE(window.SetClientSize(0, 10));
    EXPECT_TRUE(window.SetClientSize(1024, 768));
    window.PumpEvents();
    EXPECT_EQ(rec.log, (std::vector<std::string>{"size 1024x768"}));
    EXPECT_EQ(window.GetClientWidth(), 1024);
    window.SetCursor(SystemCursor::Hand);
    EXPECT_EQ(window.GetCursor(), SystemCursor::Hand);
}

TEST(HeadlessWindow, GetsTheRecordingDevice)
{
    HeadlessWindow window(320, 200);
    std::string error;
    auto device = CreateGraphicsDevice(window, &error);
    ASSERT_TRUE(device);
    EXPECT_TRUE(device->IsHeadless());
    EXPECT_EQ(device->GetBackBufferWidth(), 320);
    EXPECT_EQ(device->GetBackBufferHeight(), 200);
}

// The suite name starts with "GL": these open a real window on the offscreen driver.
class GLSdlWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        WindowSettings s;
        s.title = "Quillomar test";
        s.width = 160;
        s.height = 120;
        std::string error;
        window = SdlWindow::Create(s, &error);
        ASSERT_TRUE(window) << error;
        window->PumpEvents(); // whatever the creation queued
        window->SetListener(&rec);
    }
    std::unique_ptr<SdlWindow> window;
    Recorder rec;
};

TEST_F(GLSdlWindow, TranslatesSdlEvents)
{
    Uint32 id = SDL_GetWindowID(window->GetSdlWindow());
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = id;
    e.key.timestamp = 500;
    e.key.keysym.scancode = SDL_SCANCODE_A;
    Push(e);
    e.key.repeat = 1;
    e.key.timestamp = 560;
    Push(e);
    e = SDL_Event{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = id;
    SDL_strlcpy(e.text.text, "A", sizeof e.text.text);
    Push(e);
    e = SDL_Event{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = id;
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.clicks = 2;
    e.button.x = 7;
    e.button.y = 9;
    Push(e);
    e.button.button = 9; // a button the game has no use for
    Push(e);
    e = SDL_Event{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = id;
    e.wheel.y = 1;
    Push(e);
    e = SDL_Event{};
    e.type = SDL_QUIT;
    Push(e);
    window->PumpEvents();

    // SDL stamps pushed events itself, so the times are left out here.
    std::vector<std::string> wanted = {"key 4 down", "key 4 down repeat", "text A", "right down double at 7,9",
                                       "wheel 1", "quit"};
    std::vector<std::string> got;
    for (const std::string& line : rec.log)
        if (line.rfind("move", 0) != 0 && line != "focus" && line.rfind("size", 0) != 0)
            got.push_back(line.substr(0, line.find(" @")));
    EXPECT_EQ(got, wanted);
}

// The close of the last window: SDL sends a window close and then a quit of
// its own, one close for the listener. A quit that comes alone (TERM), or a
// close without SDL's quit followed later by one, counts on its own.
TEST_F(GLSdlWindow, AWindowCloseAndItsQuitAreOneClose)
{
    const Uint32 id = SDL_GetWindowID(window->GetSdlWindow());
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.windowID = id;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    auto quits = [this]() { return std::count(rec.log.begin(), rec.log.end(), "quit"); };

    Push(close);
    Push(quit);
    window->PumpEvents();
    EXPECT_EQ(quits(), 1);

    // TERM from the desktop: a quit alone.
    Push(quit);
    window->PumpEvents();
    EXPECT_EQ(quits(), 2);

    // A close, then another event before a quit: two.
    Push(close);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.windowID = id;
    key.key.keysym.scancode = SDL_SCANCODE_A;
    Push(key);
    Push(quit);
    window->PumpEvents();
    EXPECT_EQ(quits(), 4);

    // A close at the end of one pump, a quit at the next: two.
    Push(close);
    window->PumpEvents();
    Push(quit);
    window->PumpEvents();
    EXPECT_EQ(quits(), 6);

    // Two closes in a row (the pair twice): two.
    Push(close);
    Push(quit);
    Push(close);
    Push(quit);
    window->PumpEvents();
    EXPECT_EQ(quits(), 8);
}

TEST_F(GLSdlWindow, SizesModesAndDevice)
{
    EXPECT_EQ(window->GetClientWidth(), 160);
    EXPECT_EQ(window->GetClientHeight(), 120);
    int w = 0, h = 0;
    EXPECT_TRUE(window->GetDesktopSize(w, h));
    EXPECT_GT(w, 0);
    EXPECT_FALSE(window->SetClientSize(-1, 5));
    window->SetCursor(SystemCursor::Wait);
    window->SetTitle("other");
    // An icon is taken only whole: four bytes a pixel, 1 to 256 a side.
    EXPECT_TRUE(window->SetIcon(2, 2, std::vector<uint8_t>(16, 200)));
    EXPECT_FALSE(window->SetIcon(2, 2, std::vector<uint8_t>(15, 200)));
    EXPECT_FALSE(window->SetIcon(0, 0, {}));
    EXPECT_TRUE(window->SetIcon(256, 1, std::vector<uint8_t>(1024, 9)));
    EXPECT_FALSE(window->SetIcon(257, 1, std::vector<uint8_t>(1028, 9)));
    for (const DisplayMode& m : window->GetDisplayModes())
        EXPECT_GT(m.width, 0);

    // A new size centres the window on the display: made taller than the
    // display, then sized to it, it lands at the display's corner.
    ASSERT_TRUE(window->SetClientSize(w + 256, h + 256));
    ASSERT_TRUE(window->SetClientSize(w, h));
    int x = -1, y = -1;
    SDL_GetWindowPosition(window->GetSdlWindow(), &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    ASSERT_TRUE(window->SetClientSize(w / 2, h / 2));
    SDL_GetWindowPosition(window->GetSdlWindow(), &x, &y);
    EXPECT_EQ(x, w / 4);
    EXPECT_EQ(y, h / 4);

    std::string error;
    auto device = CreateGraphicsDevice(*window, &error);
    ASSERT_TRUE(device) << error;
    EXPECT_FALSE(device->IsHeadless());
    device->Clear(0xFF000000);
    device->Present(); // swaps through the window
    EXPECT_EQ(device->GetStats().presents, 1);
}
