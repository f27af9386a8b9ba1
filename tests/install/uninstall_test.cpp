#include "SYS/window.h"
#include "install/host/registry.h"
#include "install/host/session.h"
#include "install/ui/page.h"
#include "install/uninstall.h"
#include "install_fixture.h"

#include <filesystem>

namespace fs = std::filesystem;
using host::RegRoot;

namespace {

const char kSectionHeader[] = ";*************************************\r\n"
                              ";script started at 10/12/2026 9:5:7 \r\n"
                              ";*************************************\r\n";

class UninstallTest : public InstallerTest {
protected:
    std::string InstFolder() { return Home() + "/.local/share/Tarnwick/ZorvaneLobbyist/Install"; }
};

TEST_F(UninstallTest, ReceiptNames) {
    const struct {
        const char* log;
        const char* receipt;
    } cases[] = {{"C:\\x\\game_42.log", "C:\\x\\game_42.hdr"},
                 {"a.b\\lb_1.log", "a.b\\lb_1.hdr"},
                 {"noext", "noext.hdr"},
                 {"a.b\\log", "a.b\\log.hdr"},
                 {"a.b/lb_1", "a.b/lb_1.hdr"}};
    for (const auto& c : cases) EXPECT_EQ(inst::ReceiptPathOf(c.log), c.receipt) << c.log;
}

TEST_F(UninstallTest, CommentOnlyLogSucceedsAndGoesWithItsReceipt) {
    WriteFile(InstFolder() + "/game_42.log", kSectionHeader);
    WriteFile(InstFolder() + "/game_42.hdr", std::string(20, 'h'));
    EXPECT_EQ(inst::UninstallOne(app, InstFolder() + "/game_42.log"), 0);
    EXPECT_FALSE(fs::exists(InstFolder() + "/game_42.log"));
    EXPECT_FALSE(fs::exists(InstFolder() + "/game_42.hdr"));
}

TEST_F(UninstallTest, UnreadableLogReportsFailure) {
    EXPECT_EQ(inst::UninstallOne(app, InstFolder() + "/none.log"), 4);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Uninstall failed");
    EXPECT_EQ(boxes[0].type, sys::MB_OK | sys::MB_ICONERROR);
}

// Two installs give two sections; the later one is undone first: had the first section gone
// first, key k would still have held N1 when its UnRegPathDel ran, and would have stayed.
TEST_F(UninstallTest, SectionsAreUndoneLatestFirst) {
    const std::string log = InstFolder() + "/game_7.log";
    ASSERT_TRUE(inst::RunCompleteScript(app, "PrmSet GNAME G\r\nRegMaskStrSet HKCU k N first\r\n",
                                        log, false));
    ASSERT_TRUE(inst::RunCompleteScript(
        app, "RegMaskStrSet HKCU k N second\r\nu:RegSetStr HKCU k2 Last 1\r\n", log, false));
    const std::string text = ReadFile(log);
    size_t sections = 0;
    for (size_t at = 0; (at = text.find(";script started at", at)) != std::string::npos; ++at)
        ++sections;
    EXPECT_EQ(sections, 2u);
    EXPECT_EQ(inst::UninstallOne(app, log), 0);
    EXPECT_FALSE(host::RegKeyExists(RegRoot::CurrentUser, "k"));
    std::string last;
    EXPECT_TRUE(host::RegGetText(RegRoot::CurrentUser, "k2", "Last", &last)); // the "u:" line ran
}

TEST_F(UninstallTest, UninstallAllWithNothingInstalled) {
    EXPECT_EQ(inst::UninstallAll(app), 0);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Do you want uninstall GAMEHAVEN and all games from your computer?");
    EXPECT_EQ(boxes[1].text,
              "GAMEHAVEN and all games are successfully uninstalled from your computer.");
    EXPECT_EQ(boxes[1].type, sys::MB_OK | sys::MB_ICONINFORMATION);
}

TEST_F(UninstallTest, UninstallAllAnsweredNoDoesNothing) {
    WriteFile(InstFolder() + "/game_1.log", "RegSetStr HKCU k V 1\r\n");
    answers = {sys::IDNO};
    EXPECT_EQ(inst::UninstallAll(app), 0);
    EXPECT_FALSE(host::RegKeyExists(RegRoot::CurrentUser, "k"));
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(UninstallTest, BackwardsRunOfFailingLinesStillSucceeds) {
    WriteFile(InstFolder() + "/game_2.log",
              "Bogus a\r\nUnFileDel\r\nUnRegValDel HKZZ a b\r\n\x01\x02\xff\r\n");
    const inst::BackwardsResult result =
        inst::RunLogBackwards(app, InstFolder() + "/game_2.log", nullptr);
    EXPECT_TRUE(result.readable);
    EXPECT_TRUE(result.succeeded);
    EXPECT_FALSE(inst::RunLogBackwards(app, InstFolder() + "/none.log", nullptr).readable);
}

// Closing the progress window while the log runs stops it between two lines: the lines not yet
// run stay undone and the log stays. The window is closed from the retry box a failing line
// shows, as a person could while the uninstall waits.
TEST_F(UninstallTest, ClosingTheProgressWindowStopsTheRun) {
    const struct {
        const char* mode;
        int result;
        std::vector<std::string> texts;
    } cases[] = {
        {"one", 4, {"Do you want to remove \"G\" from your computer?", "FAIL"}},
        {"all",
         0,
         {"Do you want uninstall GAMEHAVEN and all games from your computer?", "FAIL",
          "Uninstall failed"}},
    };
    for (const auto& c : cases) {
        const std::string log = InstFolder() + "/game_5.log";
        const std::string games = Home() + "/.local/share/Zorvane";
        const std::string early = games + "/early.txt", late = games + "/late.txt";
        WriteFile(early, "e");
        WriteFile(late, "l");
        WriteFile(log, std::string(kSectionHeader) + "UnFileDel " + early + "\r\nShellExec " +
                           Home() + "/no-such-program ErrorIfGailed = 1\r\nUnFileDel " + late +
                           "\r\nPrmSet GNAME G\r\n");
        std::vector<std::string> texts;
        bool windowSeen = false;
        sys::SetMessageBoxResponder(
            [&](const std::string& text, const std::string&, unsigned type) {
                if ((type & 0xF) == sys::MB_ABORTRETRYIGNORE) {
                    windowSeen = ui::Page::Current() != nullptr;
                    sys::PostMessage(sys::WM_CLOSE, 0, 0);
                    texts.push_back("FAIL");
                    return sys::IDIGNORE;
                }
                texts.push_back(text);
                return DefaultAnswer(type);
            });
        const int result =
            c.mode == std::string("one") ? inst::UninstallOne(app, log) : inst::UninstallAll(app);
        if (!windowSeen) GTEST_SKIP() << "no window can be made";
        EXPECT_EQ(result, c.result) << c.mode;
        EXPECT_EQ(texts, c.texts) << c.mode;
        EXPECT_FALSE(fs::exists(late)) << c.mode;
        EXPECT_TRUE(fs::exists(early)) << c.mode;
        EXPECT_TRUE(fs::exists(log)) << c.mode;
    }
}

// An unattended uninstall makes no window, even where one could be made, and still runs.
TEST_F(UninstallTest, UnattendedUninstallRunsWithoutItsWindow) {
    const std::string log = InstFolder() + "/game_6.log", file = Home() + "/.local/share/Zorvane/f";
    WriteFile(file, "f");
    WriteFile(log, std::string(kSectionHeader) + "UnFileDel " + file + "\r\nShellExec " + Home() +
                       "/no-such-program ErrorIfGailed = 1\r\n");
    bool windowDuringRun = true;
    sys::SetMessageBoxResponder([&](const std::string&, const std::string&, unsigned type) {
        if ((type & 0xF) == sys::MB_ABORTRETRYIGNORE)
            windowDuringRun = ui::Page::Current() != nullptr;
        return DefaultAnswer(type);
    });
    host::SetUnattended(true);
    const int result = inst::UninstallOne(app, log);
    host::SetUnattended(false);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(windowDuringRun);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(log));
}

} // namespace
