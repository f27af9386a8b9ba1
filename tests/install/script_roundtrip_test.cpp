#include "install/cmdline.h"
#include "install/host/registry.h"
#include "install/startup.h"
#include "install_fixture.h"
#include "tree_snapshot.h"

#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

class RoundTripTest : public InstallerTest {
protected:
    TreeSnapshot Tree() { return SnapshotTree(Home()); }
};

const char kScript[] =
    "; a small game\r\n"
    "PrmSet GNAME Reefpop\r\n"
    "u:UnFileDel \"%DIR_GAMES%\\Reef Pop\\scores.ini\"\r\n"
    "InfValSet \"%DIR_GAMES%\\Reef Pop\\game.ini\" main FullScreen 0\r\n"
    "InfValSet \"%DIR_GAMES%\\Reef Pop\\game.ini\" main FullScreen 1 Owr=0\r\n"
    "InfValSet %DIR_APP_DATA%\\shared.ini games Reefpop installed\r\n"
    "RegSetStr HKLM software\\tarnwick\\Reefpop\\Paths Game \"%DIR_GAMES%\\Reef Pop\"\r\n"
    "RegSetDWORD HKEY_CURRENT_USER software\\tarnwick\\Reefpop Runs 7\r\n"
    "RegMaskStrSet HKCU software\\tarnwick\\Reefpop Item a\r\n"
    "RegMaskStrSet HKCU software\\tarnwick\\Reefpop Item b\r\n"
    "MakeLink \"%GRP_PROG%\\%GRP_GAMES%\\Reef Pop.lnk\" \"%DIR_GAMES%\\Reef Pop\\reefpop\" Desk = "
    "\"Play it\"\n"
    "MakeLink2 %GRP_ALL_DESKTOP% %GRP_DESKTOP% Reefpop.lnk \"%DIR_GAMES%\\Reef Pop\\reefpop\"\n";

// Installing a script and uninstalling its log leaves files and hives exactly as before.
TEST_F(RoundTripTest, UninstallRestoresTreeAndHives) {
    WriteFile(Home() + "/.local/share/shared.ini", "[games]\r\nOther=1\r\n");
    WriteFile(Home() + "/setup/a.inf", kScript);
    const auto before = Tree();
    const std::string log = app.variables["DIR_INST"] + "game_42.log";

    ASSERT_EQ(inst::RunLaunchMode(app, {"ScriptInst", WinPath("setup/a.inf"), log}), inst::kExitOk);
    EXPECT_TRUE(boxes.empty()) << boxes[0].text;
    const std::string games = Home() + "/.local/share/Zorvane/Reef Pop";
    EXPECT_NE(ReadFile(games + "/game.ini").find("FullScreen=0"), std::string::npos);
    EXPECT_TRUE(fs::exists(Home() + "/.local/share/applications/Zorvane/Reef Pop.desktop"));
    EXPECT_TRUE(fs::exists(Home() + "/Desktop/Reefpop.desktop"));
    EXPECT_NE(ReadFile(Home() + "/.local/share/shared.ini").find("Reefpop=installed"),
              std::string::npos);
    std::string text;
    EXPECT_TRUE(host::RegGetText(host::RegRoot::LocalMachine, "software\\tarnwick\\Reefpop\\Paths",
                                 "Game", &text));
    EXPECT_TRUE(host::RegGetText(host::RegRoot::CurrentUser, "software\\tarnwick\\Reefpop", "Item1",
                                 &text));
    EXPECT_EQ(text, "b");
    const std::string logText =
        ReadFile(fs::path(Home()) / ".local/share/Tarnwick/ZorvaneLobbyist/Install/game_42.log");
    // "u:" lines are logged expanded but otherwise as written.
    EXPECT_NE(logText.find("\r\nUnFileDel \"" + Home() +
                           "/.local/share\\Zorvane\\Reef Pop\\scores.ini\"\r\n"),
              std::string::npos)
        << logText;
    EXPECT_NE(logText.find("\r\nPrmSet GNAME Reefpop\r\n"), std::string::npos) << logText;

    // A fresh installer process uninstalls from the log, answering Yes.
    inst::InstallerApp second;
    ASSERT_TRUE(inst::StartInstaller(second, Home() + "/bin/install"));
    EXPECT_EQ(inst::RunLaunchMode(second, {"ScriptUInst", log}), inst::kExitOk);
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Do you want to remove \"Reefpop\" from your computer?");
    EXPECT_EQ(boxes[1].text, "Reefpop successfully uninstalled from your computer.");
    EXPECT_EQ(TreeChanges(before, Tree()), "");
}

TEST_F(RoundTripTest, AnsweringNoKeepsEverything) {
    WriteFile(Home() + "/setup/a.inf", "PrmSet GNAME G\r\nRegSetStr HKCU software\\x V 1\r\n");
    const std::string log = app.variables["DIR_INST"] + "game_1.log";
    ASSERT_EQ(inst::RunLaunchMode(app, {"scriptinst", WinPath("setup/a.inf"), log}), inst::kExitOk);
    answers = {sys::IDNO};
    EXPECT_EQ(inst::RunLaunchMode(app, {"ScriptUInst", log}), inst::kExitScriptFailed);
    EXPECT_TRUE(host::RegKeyExists(host::RegRoot::CurrentUser, "software\\x"));
    EXPECT_TRUE(fs::exists(Home() + "/.local/share/Tarnwick/ZorvaneLobbyist/Install/game_1.log"));
}

TEST_F(RoundTripTest, UninstallAllRunsEveryLogAndKeepsThem) {
    WriteFile(Home() + "/setup/a.inf", "RegSetStr HKCU software\\a V 1\r\n");
    WriteFile(Home() + "/setup/b.inf", "RegSetStr HKCU software\\b V 1\r\n");
    const std::string dir = app.variables["DIR_INST"];
    ASSERT_EQ(inst::RunLaunchMode(app, {"ScriptInst", WinPath("setup/a.inf"), dir + "game_1.log"}),
              0);
    ASSERT_EQ(inst::RunLaunchMode(app, {"ScriptInst", WinPath("setup/b.inf"), dir + "lb_2.log"}),
              0);
    WriteFile(Home() + "/.local/share/Tarnwick/ZorvaneLobbyist/Install/other_3.log",
              "RegSetStr HKCU c V 1\r\n");
    EXPECT_EQ(inst::RunLaunchMode(app, {"UInstAllLBAndKV"}), inst::kExitOk);
    EXPECT_FALSE(host::RegKeyExists(host::RegRoot::CurrentUser, "software\\a"));
    EXPECT_FALSE(host::RegKeyExists(host::RegRoot::CurrentUser, "software\\b"));
    EXPECT_FALSE(host::RegKeyExists(host::RegRoot::CurrentUser, "c"));
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text,
              "GAMEHAVEN and all games are successfully uninstalled from your computer.");
    EXPECT_TRUE(fs::exists(Home() + "/.local/share/Tarnwick/ZorvaneLobbyist/Install/game_1.log"));
}

TEST_F(RoundTripTest, ExitCodesOfTheScriptModes) {
    WriteFile(Home() + "/setup/bad.inf", "NoSuchCommand x\r\n");
    const struct {
        std::vector<std::string> tokens;
        int code;
    } cases[] = {
        {{"ScriptInst", WinPath("setup/missing.inf")}, inst::kExitScriptFailed},
        {{"ScriptInst", WinPath("setup/bad.inf")}, inst::kExitScriptFailed},
        {{"ScriptInst", WinPath("setup/bad.inf"), WinPath("no/such/folder/x.log")},
         inst::kExitScriptFailed},
        {{"ScriptUInst", WinPath("setup/missing.log")}, inst::kExitScriptFailed},
        {{"scriptuinst", "x.log", "y"}, inst::kExitStartupFailed},
        {{"PackInst", "a", "b"}, inst::kExitStartupFailed},
        {{}, inst::kExitStartupFailed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(inst::RunLaunchMode(app, c.tokens), c.code) << ::testing::PrintToString(c.tokens);
    }
}

} // namespace
