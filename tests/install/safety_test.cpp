// What the installer must never do to a user's machine, whatever a script, a log or a package
// says; each test runs in a fresh HOME that already holds the user's own files.
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "SYS/msgbox.h"
#include "install/cmdline.h"
#include "install/expand.h"
#include "install/gameinfo.h"
#include "install/host/registry.h"
#include "install/host/guard.h"
#include "install/host/hostfile.h"
#include "install/host/session.h"
#include "install/messages.h"
#include "install/package/entries.h"
#include "install/package/extract.h"
#include "install/package/installblocks.h"
#include "install/script.h"
#include "install/uninstall.h"
#include "install_fixture.h"
#include "package_test_util.h"
#include "tree_snapshot.h"

namespace fs = std::filesystem;

namespace {

struct QuietDisplay : pkg::InstallDisplay {
    void SetFileBar(int) override {}
    int TotalBar() const override { return total; }
    void SetTotalBar(int position) override { total = position; }
    // Counts the pumps; false (cancelled) once cancelAfter have passed.
    bool Pump() override { return cancelAfter < 0 || ++pumps <= cancelAfter; }
    int EndCode() const override { return 0; }
    int total = 0, pumps = 0, cancelAfter = -1;
};

class SafetyTest : public InstallerTest {
protected:
    std::string Data() const { return Home() + "/.local/share"; }
    std::string Games() const { return Data() + "/Zorvane"; }
    std::string Log() { return app.variables["DIR_INST"] + "game_9.log"; }
    // Installs the script with its log, then uninstalls from the log as a fresh run does.
    void InstallScript(const std::string& script) {
        ASSERT_TRUE(inst::RunCompleteScript(app, script, Log(), false)) << script;
    }
    int Uninstall() { return inst::UninstallOne(app, Log()); }
    // A log section as the installer writes it, holding the given lines.
    void WriteLog(const std::string& lines) {
        inst::ScriptRunner runner(app);
        ASSERT_TRUE(runner.OpenLog(Log()));
        runner.FinishLog();
        std::ofstream(host::HostPath(Log()), std::ios::binary | std::ios::app) << lines;
    }
    void Link(const std::string& target, const std::string& at) {
        fs::create_directories(fs::path(at).parent_path());
        fs::create_symlink(target, at);
    }
    // The block with two bytes in the middle of the named entry's packed data flipped and the
    // block sealed again, so that entry alone fails its check.
    std::vector<uint8_t> WithEntryDamaged(std::vector<uint8_t> block, const char* name) {
        const std::string probeFile = Home() + "/probe.stg";
        pkg::StorageEntry entry;
        {
            pkg::PackageStorage probe;
            LoadBlock(probe, probeFile, block);
            const pkg::Lookup found = pkg::FindEntry(probe.blocks[0], name, &entry);
            EXPECT_EQ(found, pkg::Lookup::kFound) << name;
            if (found != pkg::Lookup::kFound) return block;
        }
        fs::remove(probeFile);
        block[entry.offset + entry.packedSize / 2] ^= 0xFF;
        block[entry.offset + entry.packedSize / 2 + 1] ^= 0xFF;
        pkg::SealBlock(block);
        return block;
    }
};

// The install makes its launchers in ~/Desktop and the menu; on an account where those did not
// exist yet they are there before the script runs, so no undo line takes them, and whatever the
// user puts there later stays.
TEST_F(SafetyTest, ShellFoldersExistBeforeAnyScriptAndStay) {
    EXPECT_TRUE(fs::is_directory(Home() + "/Desktop"));
    EXPECT_TRUE(fs::is_directory(Data() + "/applications"));
    InstallScript("MakeLink %GRP_DESKTOP%\\Play.lnk %DIR_GAMES%\\G\\g\r\n"
                  "MakeLink %GRP_PROG%\\Play.lnk %DIR_GAMES%\\G\\g\r\n");
    const std::string log = ReadFile(host::HostPath(Log()));
    EXPECT_EQ(log.find("UnDirDel " + Home() + "/Desktop"), std::string::npos) << log;
    WriteFile(Home() + "/Desktop/letter.txt", "mine");
    WriteFile(Data() + "/applications/other.desktop", "[Desktop Entry]\n");
    EXPECT_EQ(Uninstall(), 0);
    EXPECT_FALSE(fs::exists(Home() + "/Desktop/Play.desktop"));
    EXPECT_EQ(ReadFile(Home() + "/Desktop/letter.txt"), "mine");
    EXPECT_TRUE(fs::exists(Data() + "/applications/other.desktop"));
}

// A player who links a save folder elsewhere keeps it: removal never leaves the tree it was
// asked to remove, a link in it or in its place is removed as a link.
TEST_F(SafetyTest, RemovalNeverFollowsLinks) {
    const std::string saves = Home() + "/Documents/saves";
    WriteFile(saves + "/slot1.sav", "progress");
    WriteFile(Home() + "/Documents/notes.txt", "notes");
    const struct {
        const char* what;
        std::string lines;
    } cases[] = {
        {"whole tree", "UnDirDel " + Games() + "/G DelSub = 1\r\n"},
        {"files of a folder",
         "UnDirDel " + Games() + "/G/data DelSub = 0\r\nUnDirDel " + Games() + "/G\r\n"},
        {"a file that is a link", "UnFileDel " + Games() + "/G/notes.txt\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(Games());
        Link(saves, Games() + "/G/saves");
        Link(Home() + "/Documents", Games() + "/G/data");
        Link(Home() + "/Documents/notes.txt", Games() + "/G/notes.txt");
        WriteLog(c.lines);
        EXPECT_EQ(Uninstall(), 0);
        EXPECT_EQ(ReadFile(saves + "/slot1.sav"), "progress");
        EXPECT_EQ(ReadFile(Home() + "/Documents/notes.txt"), "notes");
    }
    EXPECT_FALSE(fs::exists(Games() + "/G/notes.txt")); // the link went as a link
    EXPECT_TRUE(fs::is_directory(Home() + "/Documents"));

    // Extracting over a planted link replaces the link, never the file it points at.
    fs::remove_all(Games());
    Link(Home() + "/Documents/notes.txt", Games() + "/G/readme.txt");
    pkg::PackageStorage storage;
    LoadBlock(storage, Home() + "/p.stg",
              PkgContainer({PkgFile("readme.txt", "from the package")}));
    inst::ScriptRunner runner(app);
    EXPECT_TRUE(pkg::ExtractFiles(runner, storage.blocks[0], "", Games() + "\\G", true, nullptr));
    EXPECT_EQ(ReadFile(Home() + "/Documents/notes.txt"), "notes");
    EXPECT_EQ(ReadFile(Games() + "/G/readme.txt"), "from the package");
    EXPECT_FALSE(fs::is_symlink(Games() + "/G/readme.txt"));
}

// However an undo line came to name it, the root, HOME, a folder above or beside the
// installation's folders, a shell folder or an XDG folder is never removed; the refusal is
// reported and recorded, and the rest of the uninstall goes on.
TEST_F(SafetyTest, BadExpansionsNeverDeleteEverything) {
    WriteFile(Home() + "/notes.txt", "mine");
    WriteFile(Home() + "/Desktop/letter.txt", "mine");
    WriteFile(Home() + "/.config/app/settings", "mine");
    WriteFile(Data() + "/applications/other.desktop", "mine");
    WriteFile(Games() + "/G/g", "ours");
    const auto before = SnapshotTree(Home());
    const std::string lines = "UnFileDel " + Games() +
                              "/G/g\r\n"
                              "UnDirDel \\ DelSub = 1\r\nUnDirDel / DelSub = 1\r\n"
                              "UnDirDel " +
                              Home() +
                              " DelSub = 1\r\n"
                              "UnDirDel " +
                              Home() +
                              "/.. DelSub = 1\r\n"
                              "UnDirDel " +
                              Home() +
                              "/.local DelSub = 1\r\n"
                              "UnDirDel " +
                              Home() +
                              "/.config DelSub = 1\r\n"
                              "UnDirDel " +
                              Home() +
                              "/Desktop DelSub = 1\r\n"
                              "UnDirDel " +
                              Data() +
                              "/applications DelSub = 1\r\n"
                              "UnDirDel " +
                              Data() +
                              " DelSub = 1\r\n"
                              "UnFileDel " +
                              Home() +
                              "/notes.txt\r\n"
                              "UnDirDel " +
                              app.variables["DIR_INST"] + " DelSub = 1\r\n";
    WriteLog(lines);
    EXPECT_EQ(Uninstall(), 0);
    auto expected = before;
    expected.erase("/.local/share/Zorvane/G/g");
    auto after = SnapshotTree(Home());
    after.erase("/.config/reefpop-install/refused-operations");
    EXPECT_EQ(TreeChanges(expected, after), "");
    const std::string refused = ReadFile(host::RefusalLogPath());
    EXPECT_NE(refused.find(Home() + "/notes.txt\t"), std::string::npos) << refused;
    EXPECT_NE(refused.find("/\t"), std::string::npos) << refused;

    // An undo line whose expansion reported an error is not written at all.
    fs::remove(host::HostPath(Log()));
    InstallScript("u:UnDirDel %NOT_SET%\\ DelSub=1\r\nu:UnFileDel %DIR_GAMES%\\G\\g\r\n");
    const std::string log = ReadFile(host::HostPath(Log()));
    EXPECT_EQ(log.find("UnDirDel"), std::string::npos) << log;
    EXPECT_NE(log.find("UnFileDel"), std::string::npos) << log;
}

// The package type and identifier become the log's file name: the same rules as entry names,
// so "../../x" cannot write outside the installer's folder.
TEST_F(SafetyTest, PackageHeaderTextsStayInTheInstallerFolder) {
    const auto info = PkgFolder("~Info", {PkgFile("gameinfo.inf", "GNAME=x\r\n")});
    for (const auto& [type, id] : std::vector<std::pair<std::string, std::string>>{
             {"../../../../..", "x"}, {"game", "../../../evil"}, {"game", "a/b"}, {"", "1"}}) {
        SCOPED_TRACE(type + "_" + id);
        pkg::PackageStorage storage;
        LoadBlock(storage, Home() + "/p.stg", PkgContainer({info}, type, id));
        QuietDisplay display;
        boxes.clear();
        EXPECT_EQ(pkg::InstallAllBlocks(app, storage, display), pkg::kStepFailed);
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(boxes.back().text, inst::MessageText(app, "MsgUserErrFileCorrupt"));
    }
    for (const auto& entry : fs::recursive_directory_iterator(Home()))
        EXPECT_EQ(entry.path().filename().string().find("evil"), std::string::npos) << entry.path();
}

// A line break in a package's file name, or in a quoted value of gameinfo.inf, must not become
// a command of its own in the uninstall log.
TEST_F(SafetyTest, ControlCharactersNeverInjectLogLines) {
    WriteFile(Games() + "/Other/save.dat", "another game's");
    const std::string injected = "\r\nUnDirDel " + Games() + "/Other DelSub = 1\r\n";
    pkg::PackageStorage storage;
    LoadBlock(storage, Home() + "/p.stg",
              PkgContainer({PkgFolder("%DIR_GAMES%", {PkgFile("a" + injected + "b", "x")})}));
    inst::ScriptRunner runner(app);
    EXPECT_FALSE(pkg::ExtractFiles(runner, storage.blocks[0], "", "", false, nullptr));
    EXPECT_FALSE(pkg::IsSafeName("a\nb"));
    EXPECT_FALSE(pkg::IsSafeName(std::string("a\0b", 3)));

    // A quoted multi-line value reads back as the same value, and only as a value.
    std::string quoted;
    for (char c : "Reef" + injected + "Pop")
        quoted += c == '/' || c == '\\' ? std::string(2, c) : std::string(1, c);
    const std::string gameinfo = "GNAME = \"" + quoted + "\"\r\n";
    inst::ParseGameInfo(reinterpret_cast<const unsigned char*>(gameinfo.data()), gameinfo.size(),
                        app.variables);
    const std::string name = app.variables["GNAME"];
    ASSERT_NE(name.find('\n'), std::string::npos);
    InstallScript("RegSetStr HKCU software\\g Name \"" + std::string("%GNAME%") + "\"\r\n");
    const std::string log = ReadFile(host::HostPath(Log()));
    EXPECT_EQ(log.find("\nUnDirDel"), std::string::npos) << log;
    inst::InstallerApp fresh;
    ASSERT_TRUE(inst::StartInstaller(fresh, Home() + "/bin/install"));
    EXPECT_EQ(inst::UninstallOne(fresh, Log()), 0);
    EXPECT_EQ(fresh.scriptParams["GNAME"], name);
    EXPECT_EQ(ReadFile(Games() + "/Other/save.dat"), "another game's");
}

// A HOME holding '#' or '%' is a path like any other: values from the machine expand to
// themselves, the install lands below that HOME and the uninstall takes it all back.
TEST_F(SafetyTest, HashAndPercentInHome) {
    const std::string home = Home() + "/C# 100% Games";
    fs::create_directories(home);
    ::setenv("HOME", home.c_str(), 1);
    inst::InstallerApp odd;
    ASSERT_TRUE(inst::StartInstaller(odd, home + "/bin/install"));
    const auto before = SnapshotTree(home);
    const std::string log = odd.variables["DIR_INST"] + "game_1.log";
    ASSERT_TRUE(
        inst::RunCompleteScript(odd,
                                "PrmSet GNAME G\r\n"
                                "InfValSet %DIR_GAMES%\\G\\g.ini main Path %DIR_GAMES%\\G\r\n"
                                "MakeLink %GRP_DESKTOP%\\G.lnk %DIR_GAMES%\\G\\g\r\n",
                                log, false));
    EXPECT_TRUE(boxes.empty()) << boxes[0].text;
    EXPECT_NE(ReadFile(home + "/.local/share/Zorvane/G/g.ini").find("Path=" + home),
              std::string::npos);
    EXPECT_TRUE(fs::exists(home + "/Desktop/G.desktop"));
    EXPECT_FALSE(fs::exists(Home() + "/C"));
    inst::InstallerApp again;
    ASSERT_TRUE(inst::StartInstaller(again, home + "/bin/install"));
    EXPECT_EQ(inst::UninstallOne(again, log), 0);
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(TreeChanges(before, SnapshotTree(home)), "");
}

// Without a display and without an unattended run, the uninstall question takes No; a file
// that is not one of our logs is refused, and nothing derived from a dot elsewhere is touched.
TEST_F(SafetyTest, HeadlessQuestionsTakeTheSafeAnswer) {
    InstallScript("PrmSet GNAME G\r\nInfValSet %DIR_GAMES%\\G\\g.ini main a 1\r\n");
    WriteFile(Data() + "/my.notes/todo", "UnFileDel " + Games() + "/G/g.ini\r\n");
    WriteFile(Data() + "/my.hdr", "keep");
    sys::SetMessageBoxResponder({});
    EXPECT_EQ(inst::RunLaunchMode(app, {"ScriptUInst", Log()}), inst::kExitScriptFailed);
    EXPECT_TRUE(fs::exists(Games() + "/G/g.ini"));
    EXPECT_EQ(inst::RunLaunchMode(app, {"ScriptUInst", Data() + "/my.notes/todo"}),
              inst::kExitScriptFailed);
    EXPECT_TRUE(fs::exists(Games() + "/G/g.ini"));
    EXPECT_TRUE(fs::exists(Data() + "/my.notes/todo"));
    EXPECT_TRUE(fs::exists(Data() + "/my.hdr"));
    host::SetUnattended(true);
    const int unattended = inst::RunLaunchMode(app, {"ScriptUInst", Log()});
    host::SetUnattended(false);
    EXPECT_EQ(unattended, inst::kExitOk);
    EXPECT_FALSE(fs::exists(Games() + "/G/g.ini"));
}

// An install killed in the middle of a file leaves no file under its name; the re-run, with
// overwrite off, therefore writes it whole.
TEST_F(SafetyTest, InterruptedExtractionLeavesNoPartFileAndReRunCompletes) {
    const std::string big(600000, 'b');
    pkg::PackageStorage storage;
    LoadBlock(storage, Home() + "/p.stg",
              PkgContainer({PkgFolder("%DIR_GAMES%", {PkgFile("big.bin", big, false)})}));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        inst::ScriptRunner runner(app);
        int pieces = 0;
        pkg::ExtractFiles(runner, storage.blocks[0], "", "", false, [&](double, double) {
            if (++pieces == 3) ::_exit(9); // killed mid-file
            return true;
        });
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9);
    EXPECT_FALSE(fs::exists(Games() + "/big.bin"));
    inst::ScriptRunner runner(app);
    EXPECT_TRUE(pkg::ExtractFiles(runner, storage.blocks[0], "", "", false, nullptr));
    EXPECT_EQ(ReadFile(Games() + "/big.bin"), big);
}

pkg::BuildNode Nested(int depth) {
    pkg::BuildNode node = PkgFile("leaf.txt", "deep");
    for (int i = 0; i < depth; ++i) node = PkgFolder("d", {node});
    return node;
}

// Nesting is bounded with the damaged-package message, and each folder costs one look-up.
TEST_F(SafetyTest, DeepFoldersAreBoundedAndLinear) {
    const struct {
        int depth;
        bool ok;
    } cases[] = {{40, true}, {3000, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.depth);
        pkg::PackageStorage storage;
        LoadBlock(storage, Home() + "/p.stg",
                  PkgContainer({PkgFolder("%DIR_GAMES%", {Nested(c.depth)})}));
        inst::ScriptRunner runner(app);
        boxes.clear();
        EXPECT_EQ(pkg::ExtractFiles(runner, storage.blocks[0], "", "", false, nullptr), c.ok);
        if (!c.ok) {
            ASSERT_FALSE(boxes.empty());
            EXPECT_EQ(boxes.back().text, inst::MessageText(app, "MsgUserErrFileCorrupt"));
        }
    }
}

// Every failure tells the user what went wrong; nothing long is cut without a word.
TEST_F(SafetyTest, NoCutAndNoSilentFailure) {
    app.variables["GNAME"] = "Reef";
    const std::string licence = std::string(100000, 'L') + "%GNAME%";
    EXPECT_EQ(inst::ExpandText(app, licence), std::string(100000, 'L') + "Reef");

    const auto info = PkgFolder("~Info", {PkgFile("gameinfo.inf", "GNAME=x\r\n")});
    auto brokenSingle = pkg::BuildSingleFile("%DIR_GAMES%\\x.dat", std::string(3000, 'x'));
    brokenSingle[brokenSingle.size() - 1] ^= 0x55; // the stream's check value
    brokenSingle[brokenSingle.size() - 2] ^= 0x55;
    pkg::SealBlock(brokenSingle);
    const auto brokenScript = WithEntryDamaged(
        PkgContainer({PkgFolder("~Info", {PkgFile("Install.inf", std::string(4000, 's'))}),
                      PkgFolder("%DIR_GAMES%", {PkgFile("x.dat", "x")})}),
        "~Info\\Install.inf");
    const struct {
        const char* what;
        std::vector<uint8_t> block;
    } cases[] = {{"a broken single-file block", brokenSingle},
                 {"a damaged Install.inf", brokenScript}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        pkg::PackageStorage storage;
        LoadBlock(storage, Home() + "/p.stg", c.block);
        QuietDisplay display;
        boxes.clear();
        EXPECT_EQ(pkg::InstallAllBlocks(app, storage, display), pkg::kStepFailed);
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(boxes.back().text, inst::MessageText(app, "MsgUserErrFileCorrupt"));
        EXPECT_FALSE(fs::exists(Games() + "/x.dat"));
    }
}

// Documents and addresses open with the desktop's opener; bare program names come from PATH.
TEST_F(SafetyTest, ShellExecOpensDocumentsAndSearchesPath) {
    const std::string bin = Home() + "/bin";
    WriteFile(bin + "/xdg-open", "#!/bin/sh\necho \"$1\" >> \"" + Home() + "/opened\"\n");
    WriteFile(bin + "/reefhelper", "#!/bin/sh\necho helper >> \"" + Home() + "/opened\"\n");
    fs::permissions(bin + "/xdg-open", fs::perms::owner_all);
    fs::permissions(bin + "/reefhelper", fs::perms::owner_all);
    WriteFile(Games() + "/readme.txt", "read me");
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (bin + ":" + path).c_str(), 1);
    const std::string script = "ShellExec http://example.org/help WaitExit=1 ErrorIfGailed=1\r\n"
                               "ShellExec %DIR_GAMES%\\readme.txt WaitExit=1 ErrorIfGailed=1\r\n"
                               "ShellExec reefhelper WaitExit=1 ErrorIfGailed=1\r\n";
    const bool ok = inst::RunCompleteScript(app, script, "", false);
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_TRUE(ok) << (boxes.empty() ? "" : boxes[0].text);
    EXPECT_EQ(ReadFile(Home() + "/opened"),
              "http://example.org/help\n" + Games() + "/readme.txt\nhelper\n");
}

// A failed or cancelled install runs what it logged backwards: the machine is as it was.
TEST_F(SafetyTest, FailedInstallLeavesNothing) {
    WriteFile(Home() + "/Desktop/letter.txt", "mine");
    const std::string script = "PrmSet GNAME G\r\n"
                               "RegSetStr HKCU software\\g Path %DIR_GAMES%\\G\r\n"
                               "MakeLink %GRP_DESKTOP%\\G.lnk %DIR_GAMES%\\G\\f1\r\n"
                               "FilesProcess\r\n";
    // Stored files report progress every 64 KiB; the fourth is a zlib stream.
    std::vector<pkg::BuildNode> files;
    for (int i = 1; i <= 6; ++i)
        files.push_back(
            PkgFile("f" + std::to_string(i), std::string(150000, char('0' + i)), false));
    std::string lines;
    for (int n = 0; n < 20000; ++n) lines += "line " + std::to_string(n * 7919 % 10007) + "\n";
    files[3] = PkgFile("f4", lines);
    auto block = PkgContainer({PkgFolder("~Info", {PkgFile("Install.inf", script)}),
                               PkgFolder("%DIR_GAMES%", {PkgFolder("G", files)})});
    const auto corrupt = WithEntryDamaged(block, "%DIR_GAMES%\\G\\f4");
    const struct {
        const char* what;
        std::vector<uint8_t> block;
        int cancelAfter;
    } cases[] = {{"the fourth file is corrupt", corrupt, -1},
                 {"cancelled after the second file", block, 13}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(Home() + "/p.stg", {c.block});
        const auto before = SnapshotTree(Home());
        pkg::PackageStorage storage;
        ASSERT_FALSE(pkg::LoadPackageFile(storage, Home() + "/p.stg", false, true).corrupt);
        QuietDisplay display;
        display.cancelAfter = c.cancelAfter;
        EXPECT_EQ(pkg::InstallAllBlocks(app, storage, display), pkg::kStepFailed);
        if (c.cancelAfter >= 0) {
            EXPECT_EQ(display.pumps, c.cancelAfter + 1);
        }
        EXPECT_EQ(TreeChanges(before, SnapshotTree(Home())), "");
        EXPECT_FALSE(host::RegKeyExists(host::RegRoot::CurrentUser, "software\\g"));
    }
}

} // namespace
