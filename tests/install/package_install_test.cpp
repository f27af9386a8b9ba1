#include <filesystem>

#include "install/gamefolders.h"
#include "install/host/hostfile.h"
#include "install/host/registry.h"
#include "install/messages.h"
#include "install/package/checkpackages.h"
#include "install/package/entries.h"
#include "install/package/installblocks.h"
#include "install/package/packageinfo.h"
#include "install/uninstall.h"
#include "install_fixture.h"
#include "package_test_util.h"
#include "tree_snapshot.h"

namespace fs = std::filesystem;

namespace {

struct RecordingDisplay : pkg::InstallDisplay {
    void SetFileBar(int position) override { fileBar = position; }
    int TotalBar() const override { return totalBar; }
    void SetTotalBar(int position) override {
        EXPECT_GT(position, totalBar);
        totalBar = position;
    }
    bool Pump() override { return !cancelAfter || --cancelAfter > 0; }
    int EndCode() const override { return 0; }
    int fileBar = -1, totalBar = 0, cancelAfter = 0;
};

const char kInstallScript[] =
    "PrmSet GEXE \"%DIR_GAMES%\\Reef Pop\\reefpop\"\r\n"
    "RegSetStr HKLM software\\tarnwick\\Reefpop Path \"%DIR_GAMES%\\Reef Pop\"\r\n"
    "MakeLink \"%GRP_PROG%\\%GRP_GAMES%\\Reef Pop.lnk\" \"%DIR_GAMES%\\Reef Pop\\reefpop\"\r\n"
    "MakeLink %GRP_DESKTOP%\\Reefpop.lnk \"%DIR_GAMES%\\Reef Pop\\reefpop\"\r\n";

class PackageInstallTest : public InstallerTest {
protected:
    std::string Picture() {
        return ReadFile(std::string(REEFPOP_BINARY_DIR) + "/install/res/skin_package.png");
    }
    std::vector<pkg::BuildNode> Info(const std::string& script, bool licence = true) {
        std::vector<pkg::BuildNode> info = {PkgFile("gameinfo.inf", "GNAME=Reef Pop\r\n"),
                                            PkgFile("Install.inf", script),
                                            PkgFile("InstallImg.png", Picture(), false)};
        if (licence) info.push_back(PkgFile("Licence.txt", "Terms for %GNAME%.\n"));
        return info;
    }
    // An installer with the game appended as a "game" package and a single file after it.
    void MakeSetup(bool withSingleFile = true) {
        const auto game = PkgContainer(
            {PkgFolder("~Info", Info(kInstallScript)),
             PkgFolder(
                 "%DIR_GAMES%",
                 {PkgFolder("Reef Pop", {PkgFile("reefpop", std::string(70000, 'e')),
                                         PkgFolder("DATA", {PkgFile("a.ini", "[a]\r\n")})})})},
            "game", "42");
        const auto extra =
            pkg::BuildSingleFile("%DIR_GAMES%\\Reef Pop\\DATA\\extra.dat", std::string(1000, 'x'));
        fs::create_directories(Home() + "/bin");
        if (withSingleFile)
            WriteBytes(Home() + "/bin/install", {{'\x7f', 'E', 'L', 'F'}, game, extra});
        else
            WriteBytes(Home() + "/bin/install", {{'\x7f', 'E', 'L', 'F'}, game});
        app.exePath = Home() + "/bin/install";
    }
    pkg::PackageStorage storage;
};

TEST_F(PackageInstallTest, AppendedGameInstallsAndUninstalls) {
    MakeSetup();
    ASSERT_TRUE(pkg::CheckPackages(app, storage, pkg::PackageMode::kAppended, ""));
    ASSERT_EQ(storage.blocks.size(), 2u);
    std::string licence;
    ASSERT_TRUE(pkg::LoadPackageInfo(app, storage, &licence));
    EXPECT_EQ(licence, "Terms for Reef Pop.");
    EXPECT_EQ(app.variables["GNAME"], "Reef Pop");
    EXPECT_GT(app.skin.package.width, 0);

    RecordingDisplay display;
    ASSERT_EQ(pkg::InstallAllBlocks(app, storage, display), pkg::kStepNext);
    EXPECT_TRUE(boxes.empty()) << boxes[0].text;
    // Progress is reported before each piece, so the bar ends close to, not at, the end.
    EXPECT_GT(display.totalBar, 90);
    EXPECT_LE(display.totalBar, 100);
    const std::string games = Home() + "/.local/share/Zorvane/Reef Pop";
    EXPECT_EQ(ReadFile(games + "/reefpop"), std::string(70000, 'e'));
    EXPECT_EQ(ReadFile(games + "/DATA/a.ini"), "[a]\r\n");
    EXPECT_EQ(ReadFile(games + "/DATA/extra.dat"), std::string(1000, 'x'));
    EXPECT_TRUE(fs::exists(Home() + "/.local/share/applications/Zorvane/Reef Pop.desktop"));
    EXPECT_TRUE(fs::exists(Home() + "/Desktop/Reefpop.desktop"));
    std::string path;
    EXPECT_TRUE(host::RegGetText(host::RegRoot::LocalMachine, "software\\tarnwick\\Reefpop", "Path",
                                 &path));
    const std::string log = app.variables["DIR_INST"] + "\\game_42.log";
    const std::string receipt = ReadFile(host::HostPath(inst::ReceiptPathOf(log)));
    ASSERT_EQ(receipt.size(), 20u);
    EXPECT_EQ(receipt.substr(0, 8), std::string("bhdr\1\0\0\0", 8));
    EXPECT_EQ(WordAt(std::vector<uint8_t>(receipt.begin(), receipt.end()), 12), 0x11223344u);

    EXPECT_EQ(inst::UninstallOne(app, log), 0);
    EXPECT_FALSE(fs::exists(games));
    EXPECT_FALSE(fs::exists(Home() + "/Desktop/Reefpop.desktop"));
    EXPECT_FALSE(fs::exists(Home() + "/.local/share/applications/Zorvane/Reef Pop.desktop"));
    EXPECT_FALSE(host::RegGetText(host::RegRoot::LocalMachine, "software\\tarnwick\\Reefpop",
                                  "Path", &path));
    // The extra single file is outside the log, so its folder stays.
    EXPECT_TRUE(fs::exists(games + "/DATA/extra.dat") || !fs::exists(games + "/DATA"));
}

// A games folder and group whose names hold '%' and '#' are names like any other: the values
// the script derives from them (GEXE) reach the log as they stand, the uninstall's replay of
// the log gives them back unchanged, and neither shows a single script error.
TEST_F(PackageInstallTest, PercentAndHashInTheChosenFolders) {
    MakeSetup(false);
    const std::string folder = Home() + "/100% #1 Games";
    ASSERT_TRUE(inst::UseChosenFolders(app, folder, "50% #2"));
    const auto before = SnapshotTree(Home());
    ASSERT_TRUE(pkg::CheckPackages(app, storage, pkg::PackageMode::kAppended, ""));
    std::string licence;
    ASSERT_TRUE(pkg::LoadPackageInfo(app, storage, &licence));
    RecordingDisplay display;
    ASSERT_EQ(pkg::InstallAllBlocks(app, storage, display), pkg::kStepNext);
    EXPECT_TRUE(boxes.empty()) << boxes[0].caption << ": " << boxes[0].text;
    EXPECT_EQ(ReadFile(folder + "/Reef Pop/reefpop"), std::string(70000, 'e'));
    EXPECT_TRUE(fs::exists(Home() + "/.local/share/applications/50% #2/Reef Pop.desktop"));
    EXPECT_EQ(app.scriptParams["GEXE"], folder + "\\Reef Pop\\reefpop");
    const std::string log = app.variables["DIR_INST"] + "\\game_42.log";
    EXPECT_NE(ReadFile(host::HostPath(log)).find("PrmSet GEXE \"" + Home() + "/100%% %~23%1 Games"),
              std::string::npos);

    // The uninstall knows the values only from the log.
    app.scriptParams.clear();
    EXPECT_EQ(inst::UninstallOne(app, log), 0);
    ASSERT_EQ(boxes.size(), 2u) << boxes.back().caption << ": " << boxes.back().text;
    EXPECT_EQ(boxes[0].text, "Do you want to remove \"Reef Pop\" from your computer?");
    EXPECT_EQ(app.scriptParams["GEXE"], folder + "\\Reef Pop\\reefpop");
    EXPECT_EQ(TreeChanges(before, SnapshotTree(Home())), "");
}

TEST_F(PackageInstallTest, PackageInformationFailures) {
    const struct {
        const char* what;
        std::vector<pkg::BuildNode> info;
        bool ok;
    } cases[] = {
        {"no gameinfo.inf", {PkgFile("InstallImg.png", Picture(), false)}, false},
        {"no picture", {PkgFile("gameinfo.inf", "GNAME=x\r\n")}, false},
        {"a damaged picture",
         {PkgFile("gameinfo.inf", "GNAME=x\r\n"), PkgFile("InstallImg.png", "\x89PNG junk")},
         false},
        {"no licence: the built-in one", Info("", false), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(Home() + "/p.stg", {PkgContainer({PkgFolder("~Info", c.info)})});
        storage = pkg::PackageStorage();
        ASSERT_TRUE(pkg::CheckPackages(app, storage, pkg::PackageMode::kNamed, Home() + "/p.stg"));
        std::string licence = "unset";
        EXPECT_EQ(pkg::LoadPackageInfo(app, storage, &licence), c.ok);
    }
}

TEST_F(PackageInstallTest, CorruptPackagesFailTheCheck) {
    // An installer with nothing appended.
    WriteFile(Home() + "/bin/plain", "\x7f"
                                     "ELF nothing here");
    app.exePath = Home() + "/bin/plain";
    EXPECT_FALSE(pkg::CheckPackages(app, storage, pkg::PackageMode::kAppended, ""));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, inst::MessageText(app, "MsgUserErrFileCorrupt"));
    EXPECT_TRUE(fs::exists(Home() + "/bin/plain"));

    // Downloaded game-player packages: the installer folder's are loaded, a corrupt one is
    // deleted and stops the check.
    const std::string instDir = host::HostPath(app.variables["DIR_INST"]);
    auto bad = PkgContainer({PkgFile("a", "b")}, "lb", "2");
    bad.back() ^= 1;
    WriteBytes(instDir + "/lb_1.stg", {PkgContainer({PkgFile("a", "b")}, "lb", "1")});
    WriteBytes(instDir + "/catalog_2.stg", {bad});
    storage = pkg::PackageStorage();
    EXPECT_FALSE(pkg::CheckPackages(app, storage, pkg::PackageMode::kDownloadedLobby, ""));
    EXPECT_FALSE(fs::exists(instDir + "/catalog_2.stg"));
    EXPECT_TRUE(fs::exists(instDir + "/lb_1.stg"));
    storage = pkg::PackageStorage();
    EXPECT_TRUE(pkg::CheckPackages(app, storage, pkg::PackageMode::kDownloadedLobby, ""));
    EXPECT_EQ(storage.blocks.size(), 1u);
}

TEST_F(PackageInstallTest, CancelDuringExtractionFailsTheStep) {
    MakeSetup();
    ASSERT_TRUE(pkg::CheckPackages(app, storage, pkg::PackageMode::kAppended, ""));
    RecordingDisplay display;
    display.cancelAfter = 3;
    EXPECT_EQ(pkg::InstallAllBlocks(app, storage, display), pkg::kStepFailed);
}

TEST_F(PackageInstallTest, LaterBlocksReadTheirOwnInformationAndRestoreBothMaps) {
    const auto first = PkgContainer({PkgFolder("~Info", Info(""))}, "game", "1");
    const auto second =
        PkgContainer({PkgFolder("~Info", {PkgFile("gameinfo.inf", "GNAME=Lobby\r\n"),
                                          PkgFile("Install.inf", "PrmSet SEEN %GNAME%\r\n")}),
                      PkgFile("x.txt", "x")},
                     "lb", "3");
    WriteBytes(Home() + "/p.stg", {first, second});
    ASSERT_TRUE(pkg::CheckPackages(app, storage, pkg::PackageMode::kNamed, Home() + "/p.stg"));
    std::string licence;
    ASSERT_TRUE(pkg::LoadPackageInfo(app, storage, &licence));
    ASSERT_TRUE(fs::create_directories(Home() + "/work"));
    const std::string cwd = fs::current_path();
    fs::current_path(Home() + "/work"); // files of a root without a folder land here
    RecordingDisplay display;
    const int result = pkg::InstallAllBlocks(app, storage, display);
    fs::current_path(cwd);
    EXPECT_EQ(result, pkg::kStepNext);
    EXPECT_EQ(app.variables["GNAME"], "Reef Pop");
    EXPECT_EQ(app.scriptParams.count("SEEN"), 0u);
    EXPECT_EQ(ReadFile(Home() + "/work/x.txt"), "x");
    const std::string log = ReadFile(host::HostPath(app.variables["DIR_INST"] + "\\lb_3.log"));
    EXPECT_NE(log.find("PrmSet SEEN Lobby"), std::string::npos) << log;
}

} // namespace

namespace {

// The game's self-extracting installer made by the build ("reefpop_setup" target).
TEST_F(PackageInstallTest, BuiltGameSetupInstallsAndUninstalls) {
    const std::string setup = std::string(REEFPOP_BINARY_DIR) + "/reefpop-setup";
    if (!fs::exists(setup)) GTEST_SKIP() << "build the reefpop_setup target first";
    app.exePath = setup;
    ASSERT_TRUE(pkg::CheckPackages(app, storage, pkg::PackageMode::kAppended, ""));
    std::string licence;
    ASSERT_TRUE(pkg::LoadPackageInfo(app, storage, &licence));
    EXPECT_EQ(app.variables["GNAME"], "Reefpop");
    RecordingDisplay display;
    ASSERT_EQ(pkg::InstallAllBlocks(app, storage, display), pkg::kStepNext);
    const std::string games = Home() + "/.local/share/Zorvane/Reefpop";
    EXPECT_TRUE(fs::exists(games + "/reefpop"));
    EXPECT_TRUE(fs::exists(games + "/game.ini"));
    EXPECT_TRUE(fs::is_directory(games + "/DATA"));
    EXPECT_TRUE(fs::exists(Home() + "/Desktop/Reefpop.desktop"));
    EXPECT_TRUE(fs::exists(Home() + "/.local/share/applications/Zorvane/Reefpop.desktop"));
    std::string path;
    EXPECT_TRUE(host::RegGetText(host::RegRoot::LocalMachine, "software\\tarnwick\\Reefpop", "Path",
                                 &path));
    EXPECT_EQ(inst::UninstallOne(app, app.variables["DIR_INST"] + "\\game_1.log"), 0);
    EXPECT_FALSE(fs::exists(games));
    EXPECT_FALSE(fs::exists(Home() + "/Desktop/Reefpop.desktop"));
    EXPECT_FALSE(host::RegGetText(host::RegRoot::LocalMachine, "software\\tarnwick\\Reefpop",
                                  "Path", &path));
}

} // namespace

#include "install/package/packagemode.h"

namespace {

TEST_F(PackageInstallTest, NamedAndDownloadedPackagesInstall) {
    const struct {
        int value;
        bool kept;
    } cases[] = {{1, true}, {2, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const std::string file = Home() + "/game_5.stg";
        WriteBytes(file, {PkgContainer({PkgFolder("~Info", Info("")),
                                        PkgFolder("%DIR_GAMES%", {PkgFile("g.txt", "game")})},
                                       "game", "5")});
        pkg::LoadedPackages() = pkg::PackageStorage();
        ASSERT_TRUE(pkg::CheckModePackages(app, c.value, file));
        EXPECT_EQ(pkg::InstallModePackages(app, c.value), 0);
        EXPECT_EQ(ReadFile(Home() + "/.local/share/Zorvane/g.txt"), "game");
        EXPECT_EQ(fs::exists(file), c.kept);
        pkg::LoadedPackages() = pkg::PackageStorage();
    }
    // Without package information the install ends with code 1.
    WriteBytes(Home() + "/bare.stg", {PkgContainer({PkgFile("x", "y")})});
    ASSERT_TRUE(pkg::CheckModePackages(app, 1, Home() + "/bare.stg"));
    EXPECT_EQ(pkg::InstallModePackages(app, 1), 1);
    pkg::LoadedPackages() = pkg::PackageStorage();
}

} // namespace

namespace {

TEST_F(PackageInstallTest, FilesProcessExtractsWhereTheScriptSays) {
    const std::string target = WinPath("chosen");
    const auto block = PkgContainer(
        {PkgFolder("~Info", Info("FilesProcess data \"" + target + "\" Owr=0\r\n")),
         PkgFolder("data", {PkgFile("d.txt", "from data")}), PkgFile("root.txt", "not extracted")});
    WriteBytes(Home() + "/p.stg", {block});
    ASSERT_TRUE(pkg::CheckPackages(app, storage, pkg::PackageMode::kNamed, Home() + "/p.stg"));
    RecordingDisplay display;
    ASSERT_EQ(pkg::InstallAllBlocks(app, storage, display), pkg::kStepNext);
    EXPECT_EQ(ReadFile(Home() + "/chosen/d.txt"), "from data");
    EXPECT_FALSE(fs::exists(Home() + "/chosen/root.txt"));
}

TEST_F(PackageInstallTest, BuiltInLicenceWithoutItsClosingLineBreak) {
    WriteBytes(Home() + "/p.stg", {PkgContainer({PkgFolder("~Info", Info("", false))})});
    ASSERT_TRUE(pkg::CheckPackages(app, storage, pkg::PackageMode::kNamed, Home() + "/p.stg"));
    std::string licence;
    ASSERT_TRUE(pkg::LoadPackageInfo(app, storage, &licence));
    EXPECT_EQ(licence.rfind("LICENCE AGREEMENT", 0), 0u);
    ASSERT_FALSE(licence.empty());
    EXPECT_EQ(licence.back(), '.');
}

} // namespace
