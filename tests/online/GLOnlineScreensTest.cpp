// The online screens through the real window and OpenGL, against the game's
// own server, reached with the mouse: what other players and the server
// wrote stays inside its row, column and window on screen.
#include "engine/GHttpClient.h"
#include "engine/GSafeFile.h"
#include "frontend/FrontendGame.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_SubtleTextButton.h"
#include "gui/GUI_TextEditWindow.h"
#include "online/GUI_ChallengeDetailsHistory.h"
#include "online/GUI_ChallengeHistory.h"
#include "online/GUI_ChallengeList.h"
#include "online/GUI_ChallengeListClientWindow.h"
#include "online/GUI_ChallengeListWindow.h"
#include "online/GUI_ChallengeStrip.h"
#include "online/GUI_ColumnSortButton.h"
#include "online/GUI_Inbox.h"
#include "online/GUI_LoginNameWindow.h"
#include "online/GUI_LoginScreen.h"
#include "online/GUI_OnlineMessage.h"
#include "online/OnlineJob.h"
#include "online/SIM_ChallengeDatabase.h"
#include "sim/SIM_Options.h"
#include "support/ImageCompare.h"
#include "support/LocalChallengeServer.h"
#include "support/WindowInput.h"

#include <cstdlib>

namespace {

class GLOnlineScreens : public WindowedFrontendGame {
protected:
    void SetUp() override
    {
        FrontendGame::SetUp();
        ASSERT_TRUE(local.Start());
        GetInternet().SetServerUrl(local.Url());
        WriteFileAtomically(UserPath("web/qlmcdu"), "Ann");
    }
    void TearDown() override
    {
        Game::GetInstance().SetMode(15);
        Frames(1);
        OnlineJob::JoinAll();
        GetInternet().SetServerUrl("");
    }
    static std::string UserPath(const std::string& name) { return Game::GetInstance().GetUserPath(Game::USER) + "/" + name; }
    static void Settle()
    {
        OnlineJob::JoinAll();
        SettleTransition();
        Frames(2);
    }
    // What the window shows now (saved as a PNG too when QLM_IMAGE_OUT names a folder).
    static TextureData Shot(const char* name)
    {
        TextureData picture = Screenshot(Game::GetInstance().GetUserPath(Game::USER));
        EXPECT_FALSE(picture.levels.empty());
        if (const char* out = std::getenv("QLM_IMAGE_OUT"); out && !picture.levels.empty()) {
            std::vector<uint8_t> rgba = picture.levels[0];
            for (size_t i = 0; i + 3 < rgba.size(); i += 4)
                std::swap(rgba[i], rgba[i + 2]);
            SavePng(std::string(out) + "/online_" + name + ".png", picture.width, picture.height, rgba);
        }
        return picture;
    }
    // No text crosses the line x: nothing bright in the few pixels around it.
    static int LitAcross(const TextureData& picture, int x, int top, int bottom)
    {
        return CountLit(picture, x - 1, top + 1, x + 3, bottom - 1, 200);
    }

    LocalChallengeServer local;
};

} // namespace

TEST_F(GLOnlineScreens, WordsFromOtherPlayersStayInsideTheirRowsAndColumns)
{
    // A long message, and a challenge whose texts are wider than its columns.
    std::string text;
    for (int i = 0; text.size() < 1500; ++i)
        text += "word" + std::to_string(i) + " ";
    WriteFileAtomically(local.DataFile("messages.txt"), "##,1,2026-12-07,Ann,Bob,\"" + text + "\"\n");
    SIM_ChallengeDatabase& db = SIM_ChallengeDatabase::GetInstance();
    db.SetFolder(UserPath("web/challenges"));
    db.Clear();
    WriteFileAtomically(db.GetPath(), "##,7,Bob,all,\"taunt\",0,123456,100000,1.00,2.00,"
                                      "\"The Very Long Nebula of Forgotten Fleets and Broken Moons\",2010-12-25,"
                                      "\"federation\",\n");
    WriteFileAtomically(local.DataFile("history/7.txt"),
                        "##,2026-12-07," + std::string(40, 'N') + ",Victory\n##,2026-12-08,Cid,Attempt\n");
    for (const char* filter : GUI_ChallengeListWindow::kFilterOptions)
        SIM_Options::GetInstance().SetValue(filter, 1.0f);

    // The online menu, then Messages with the mouse.
    Game::GetInstance().SetMode(GUI_LoginScreen::kModeId);
    Settle();
    Click(*GUI_LoginScreen::GetInstance().GetMessagesButton());
    Settle();
    GUI_Inbox* inbox = GUI_Inbox::GetOpen();
    ASSERT_NE(inbox, nullptr);
    ASSERT_EQ(inbox->GetRows().size(), 1u);
    const GUI_OnlineMessage* row = inbox->GetRows()[0];
    const TextureData messages = Shot("inbox");
    const int textLeft = row->left + 2 + 2 * GUI_OnlineMessage::kColumnWidth;
    EXPECT_GT(CountLit(messages, textLeft, row->top, row->right, row->bottom, 200), 200) << "the message is there";
    EXPECT_EQ(CountLit(messages, textLeft, row->bottom + 1, row->right, row->bottom + 3 * GUI_OnlineMessage::kHeight, 200),
              0)
        << "and nothing of it below its row";

    // On to the challenges with the mouse: no column's text runs into the next.
    Click(*inbox->GetChallengesButton());
    Settle();
    ASSERT_EQ(Game::GetInstance().GetModeId(), GUI_ChallengeList::kModeId);
    GUI_ChallengeListClientWindow* list = GUI_ChallengeList::GetInstance().GetWindow()->GetClient();
    ASSERT_EQ(list->GetRows().size(), 1u);
    const TextureData challenges = Shot("challenges");
    for (int c = 0; c + 1 < GUI_ChallengeListClientWindow::kHeaders; ++c) {
        const GUI_ColumnSortButton* header = list->GetHeader(c);
        EXPECT_EQ(LitAcross(challenges, header->right, header->top, header->bottom), 0) << header->GetTitle();
    }
    const GUI_ChallengeStrip* strip = list->GetRows()[0];
    int x = strip->left;
    for (int c = 0; c < 8; ++c) {
        x += GUI_ChallengeStrip::kWidths[c];
        // Past the id, whose column the sender's name shares.
        if (c >= 2) {
            EXPECT_EQ(LitAcross(challenges, x - 1, strip->top, strip->bottom), 0) << "after column " << c;
        }
    }

    // The challenge's history, with the mouse.
    Click(*strip->GetHistoryButton());
    Settle();
    GUI_ChallengeHistory* history = GUI_ChallengeHistory::GetOpen();
    ASSERT_NE(history, nullptr);
    GUI_ChallengeDetailsHistory* table = history->GetTable();
    ASSERT_EQ(table->GetItems().size(), 2u);
    const TextureData fights = Shot("history");
    GUI_ChallengeHistoryEntry* first = table->GetRows()[0];
    EXPECT_GT(CountLit(fights, first->left, first->top, first->right, first->bottom, 200), 100);
    for (int c = 0; c < 2; ++c)
        EXPECT_EQ(LitAcross(fights, first->GetColumn(c).right, first->top, first->bottom), 0) << "column " << c;
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GUI_ChallengeHistory::GetOpen(), nullptr);
}

TEST_F(GLOnlineScreens, TheServersRefusalWrapsInsideTheNameWindow)
{
    // A server that refuses every name at length.
    LoopbackHttpServer refusing;
    std::string reason = "That name cannot be taken:";
    for (int i = 0; reason.size() < 700; ++i)
        reason += " reason" + std::to_string(i);
    refusing.server.Get("/quillomar/server/setusername.php", [&reason](const httplib::Request&, httplib::Response& res) {
        res.set_content("response,false\nmessage," + reason + "\n", "text/plain");
    });
    ASSERT_TRUE(refusing.Start());
    GetInternet().SetServerUrl(refusing.Url());
    Game::GetInstance().SetMode(GUI_LoginScreen::kModeId);
    Settle();
    GUI_LoginNameWindow* name = GUI_LoginScreen::GetInstance().GetNameWindow();
    ASSERT_NE(name, nullptr);
    Click(*name->GetEntry());
    ::TypeText("Zed");
    ASSERT_EQ(name->GetEntry()->GetText().substr(name->GetEntry()->GetText().size() - 3), "Zed");
    const TextureData before = Shot("name_before");
    Click(*name->GetSubmitButton());
    Settle();
    ASSERT_EQ(name->GetStatusText(), reason);
    const TextureData after = Shot("name_refused");
    // The words show inside the window, under the entry...
    EXPECT_GT(CountLit(after, name->left, name->GetEntry()->bottom + 2, name->right, name->clientBottom, 120),
              CountLit(before, name->left, name->GetEntry()->bottom + 2, name->right, name->clientBottom, 120) + 500);
    // ...and not a pixel beside or below it changed.
    auto changed = [&](int l, int t, int r, int b) {
        int n = 0;
        for (int y = std::max(0, t); y < std::min(after.height, b); ++y)
            for (int x = std::max(0, l); x < std::min(after.width, r); ++x) {
                int r1, g1, b1, r2, g2, b2;
                PixelAt(before, x, y, r1, g1, b1);
                PixelAt(after, x, y, r2, g2, b2);
                n += std::abs(r1 - r2) + std::abs(g1 - g2) + std::abs(b1 - b2) > 30;
            }
        return n;
    };
    EXPECT_EQ(changed(name->right + 1, name->top, after.width, name->bottom + 20), 0);
    EXPECT_EQ(changed(name->left, name->bottom + 1, name->right, name->bottom + 20), 0);
    GetInternet().SetServerUrl(local.Url());
}
