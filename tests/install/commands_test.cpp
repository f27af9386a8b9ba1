#include "install/fileops.h"
#include "install/host/pending.h"
#include "install/host/registry.h"
#include "install/script.h"
#include "install_fixture.h"

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;
using host::RegRoot;

namespace {

class CommandsTest : public InstallerTest {
protected:
    std::string LogPath() { return Home() + "/cmd.log"; }
    // The folder the commands work in: below the program folder, where an installation may
    // change things.
    std::string Dir() const { return Home() + "/.local/share/t"; }
    void SetUp() override {
        InstallerTest::SetUp();
        fs::create_directories(Dir());
    }
    std::string Here(const std::string& relative) const {
        std::string path = Dir() + "/" + relative;
        for (char& c : path)
            if (c == '/') c = '\\';
        return path;
    }
    // Runs the script forwards with a log and returns the log's lines after its header.
    std::vector<std::string> Install(const std::string& script, bool* ok = nullptr) {
        fs::remove(LogPath());
        const bool result = inst::RunCompleteScript(app, script, LogPath(), false);
        if (ok) *ok = result;
        const std::string text = ReadFile(LogPath());
        std::vector<std::string> lines;
        size_t at = 0;
        for (int skip = 0; at < text.size(); ++skip) {
            const size_t end = text.find("\r\n", at);
            if (skip >= 3 && text.compare(at, 7, "PrmSet ") != 0)
                lines.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }
    bool Uninstall(const std::string& log) {
        inst::ScriptRunner runner(app);
        return runner.Run(log.data(), log.size(), true, true, nullptr) &&
               runner.Run(log.data(), log.size(), true, false, nullptr);
    }
    bool HasValue(RegRoot root, const std::string& key, const std::string& name) {
        host::RegValue value;
        return host::RegGetValue(root, key, name, &value);
    }
};

TEST_F(CommandsTest, RegistryKeysAreLoggedPerNewLevel) {
    ASSERT_TRUE(host::RegCreateKey(RegRoot::LocalMachine, "software", nullptr));
    const auto log = Install("RegSetStr HKLM software\\A\\B\\C V x\r\n");
    const std::vector<std::string> expected = {
        "UnRegPathDel HKLM software\\A DelSub = 0", "UnRegPathDel HKLM software\\A\\B DelSub = 0",
        "UnRegPathDel HKLM software\\A\\B\\C DelSub = 0", "UnRegValDel HKLM software\\A\\B\\C V"};
    EXPECT_EQ(log, expected);
    std::string text;
    for (const auto& line : log) text += line + "\r\n";
    EXPECT_TRUE(Uninstall(text));
    EXPECT_FALSE(host::RegKeyExists(RegRoot::LocalMachine, "software\\A"));
    EXPECT_TRUE(host::RegKeyExists(RegRoot::LocalMachine, "software"));
}

TEST_F(CommandsTest, RegistryValueCommands) {
    ASSERT_TRUE(host::RegCreateKey(RegRoot::CurrentUser, "k", nullptr));
    host::RegValue old;
    old.text = "old";
    ASSERT_TRUE(host::RegSetValue(RegRoot::CurrentUser, "k", "V", old));
    const struct {
        const char* script;
        std::vector<std::string> log;
        const char* name;
        const char* value;
    } cases[] = {
        {"RegSetStr HKCU k V new Owr=0", {}, "V", "old"},
        {"RegSetStr HKCU k/ v new", {"UnRegValDel HKCU k v"}, "V", "new"},
        {"RegSetDW hkey_current_user k D 42", {"UnRegValDel hkey_current_user k D"}, "D", "42"},
        {"RegSetDWORD HKCU k D2 12x", {"UnRegValDel HKCU k D2"}, "D2", "12"},
        {"RegMaskStrSet HKCU k M a", {"UnRegValDel HKCU k M0"}, "M0", "a"},
        {"RegMaskStrSet HKCU k M b", {"UnRegValDel HKCU k M1"}, "M1", "b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Install(c.script), c.log) << c.script;
        std::string text;
        EXPECT_TRUE(host::RegGetText(RegRoot::CurrentUser, "k", c.name, &text)) << c.script;
        EXPECT_EQ(text, c.value) << c.script;
    }
}

TEST_F(CommandsTest, UnknownRootGoesThroughTheRetryProtocol) {
    const struct {
        int answer;
        bool result;
    } cases[] = {{sys::IDABORT, false}, {sys::IDIGNORE, true}};
    for (const auto& c : cases) {
        boxes.clear();
        answers = {sys::IDRETRY, c.answer};
        bool ok = false;
        EXPECT_TRUE(Install("RegSetStr HKXX k V 1\r\n", &ok).empty());
        EXPECT_EQ(ok, c.result);
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].text, "Cannot write into registry. Please login as Administrator.");
        EXPECT_EQ(boxes[0].caption, "Installation error");
        EXPECT_EQ(boxes[0].type, sys::MB_ABORTRETRYIGNORE | sys::MB_ICONERROR | sys::MB_DEFBUTTON2);
    }
}

// A headless run answers Retry for ever; the protocol gives up instead of hanging.
TEST_F(CommandsTest, EndlessRetryGivesUp) {
    sys::SetMessageBoxResponder(
        [](const std::string&, const std::string&, unsigned) { return sys::IDRETRY; });
    bool ok = true;
    Install("RegSetStr HKXX k V 1\r\n", &ok);
    EXPECT_FALSE(ok);
}

TEST_F(CommandsTest, UndoRegistryCommandsNeverFail) {
    const struct {
        const char* line;
        const char* key;
        bool keyStays;
    } cases[] = {
        {"UnRegPathDel HKCU Software\\Y", "Software\\Y", true},            // holds a named value
        {"UnRegPathDel HKCU Software\\Y\\Sub", "Software\\Y\\Sub", false}, // only the unnamed one
        {"UnRegPathDel HKCU Software\\Y\\Parent", "Software\\Y\\Parent", true}, // has a subkey
        {"UnRegPathDel HKCU Software/Y/Parent DelSub=1", "Software\\Y\\Parent", false},
        {"UnRegPathDel HKXX Software\\Y\\Sub", "Software\\Y\\Sub", true},
        {"UnRegPathDel HKCU no\\such\\key", "Software\\Y\\Sub", true},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(host::RegCreateKey(RegRoot::CurrentUser, "Software\\Y\\Sub", nullptr));
        ASSERT_TRUE(
            host::RegCreateKey(RegRoot::CurrentUser, "Software\\Y\\Parent\\Child", nullptr));
        host::RegValue v;
        ASSERT_TRUE(host::RegSetValue(RegRoot::CurrentUser, "Software\\Y", "Named", v));
        ASSERT_TRUE(host::RegSetValue(RegRoot::CurrentUser, "Software\\Y\\Sub", "", v));
        inst::ScriptRunner runner(app);
        const std::string line = c.line;
        EXPECT_TRUE(runner.Run(line.data(), line.size(), false, false, nullptr)) << c.line;
        EXPECT_EQ(host::RegKeyExists(RegRoot::CurrentUser, c.key), c.keyStays) << c.line;
    }
    inst::ScriptRunner runner(app);
    const std::string values = "UnRegValDel HKCU Software\\Y Named\r\nUnRegValDel HKCU Software\\Y "
                               "Named\r\nUnRegValDel HKXX a b\r\n";
    EXPECT_TRUE(runner.Run(values.data(), values.size(), false, false, nullptr));
    EXPECT_FALSE(HasValue(RegRoot::CurrentUser, "Software\\Y", "Named"));
}

TEST_F(CommandsTest, NormalizePath) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"C:\\\\Games//Reef\\/x", "C:\\Games\\Reef\\x"},
        {"/home/u/x", "\\home\\u\\x"},
        {"http://a//b", "http://a//b"},
        {"  HTTP://a//b", "  HTTP://a//b"},
        {"https://a//b", "https:\\a\\b"},
        {"plain", "plain"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(inst::NormalizePath(c.in), c.out) << c.in;
}

TEST_F(CommandsTest, IniValuesAndTheirUndo) {
    const std::string ini = Here("g/game.ini");
    auto log =
        Install("InfValSet " + ini + " main A 1\r\nInfValSet " + ini + " main A 2 Owr=0\r\n");
    EXPECT_EQ(log,
              (std::vector<std::string>{"UnDirDel " + Here("g") + " DelSub = 0", "UnFileDel " + ini,
                                        "UnInfValDel " + ini + " main A"}));
    EXPECT_NE(ReadFile(Dir() + "/g/game.ini").find("A=1"), std::string::npos);

    // A file that was there already is kept at uninstall; only the keys added go.
    WriteFile(Dir() + "/shared.ini", "[main]\r\nKeep=1\r\nEmpty=\r\n");
    const std::string shared = Here("shared.ini");
    log = Install("InfValSet " + shared + " main Empty x\r\nInfValSet " + shared +
                  " main Keep 2 Owr=0\r\n");
    EXPECT_EQ(log, (std::vector<std::string>{"UnInfValDel " + shared + " main Empty"}));
    std::string text;
    for (const auto& line : log) text += line + "\r\n";
    EXPECT_TRUE(Uninstall(text));
    const std::string after = ReadFile(Dir() + "/shared.ini");
    EXPECT_NE(after.find("Keep=1"), std::string::npos) << after;
    EXPECT_EQ(after.find("Empty"), std::string::npos) << after;
}

TEST_F(CommandsTest, UndoFolderCommands) {
    const struct {
        const char* line;
        std::vector<const char*> files;
        bool folderStays;
    } cases[] = {
        {"UnDirDel X", {"X/a.txt", "X/b.txt"}, false},
        {"UnDirDel X", {"X/a.txt", "X/sub/c.txt"}, true},
        {"UnDirDel X DelSub=1", {"X/a.txt", "X/sub/deeper/c.txt"}, false},
        {"UnDirDel X", {}, false},
        {"UnDirDel Missing", {}, true}, // X untouched
    };
    for (const auto& c : cases) {
        fs::create_directories(Dir() + "/X");
        for (const char* file : c.files) WriteFile(Dir() + "/" + file, "x");
        inst::ScriptRunner runner(app);
        std::string line = c.line;
        line.replace(line.find(' ') + 1, 0, Here(""));
        EXPECT_TRUE(runner.Run(line.data(), line.size(), false, false, nullptr)) << c.line;
        EXPECT_EQ(fs::exists(Dir() + "/X"), c.folderStays) << c.line;
        if (c.folderStays) {
            for (const char* file : c.files) EXPECT_TRUE(fs::exists(Dir() + "/" + file)) << file;
        }
        fs::remove_all(Dir() + "/X");
    }
}

TEST_F(CommandsTest, EnsureFolderPathLogsOnlyNewFolders) {
    fs::create_directories(Dir() + "/a");
    const auto log = Install("InfValSet " + Here("a//b\\c/x.ini") + " s k v\r\n");
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], "UnDirDel " + Here("a/b") + " DelSub = 0");
    EXPECT_EQ(log[1], "UnDirDel " + Here("a/b/c") + " DelSub = 0");
}

TEST_F(CommandsTest, WininitEntriesGoBelowTheRenameSection) {
    const std::string file = Dir() + "/wininit.ini";
    ASSERT_TRUE(inst::AddWininitEntry(file, "NUL", "/a"));
    EXPECT_EQ(ReadFile(file), "\r\n[Rename]\r\nNUL=/a\r\n");
    ASSERT_TRUE(inst::AddWininitEntry(file, "/t", "/s"));
    EXPECT_EQ(ReadFile(file), "\r\n[Rename]\r\n/t=/s\r\nNUL=/a\r\n");
    WriteFile(file, "[Other]\r\nx=1\r\n");
    ASSERT_TRUE(inst::AddWininitEntry(file, "NUL", "/b"));
    EXPECT_EQ(ReadFile(file), "[Other]\r\nx=1\r\n\r\n[Rename]\r\nNUL=/b\r\n");
}

// unlink refuses a folder as Windows refuses a locked file, also for root.
TEST_F(CommandsTest, UndeletableFilesAreHandedToDelayedOperations) {
    fs::create_directories(Dir() + "/locked/f.txt");
    const std::string hostName = Dir() + "/locked/f.txt";
    const bool isNT[] = {true, false};
    for (bool nt : isNT) {
        app.flags = inst::kDelayedOpsAllowed;
        inst::ScriptRunner runner(app);
        runner.isNT = nt;
        EXPECT_TRUE(inst::DeleteFileOrDelay(runner, Here("locked/f.txt"))) << nt;
        EXPECT_TRUE(app.flags & inst::kRebootPending) << nt;
        EXPECT_TRUE(fs::exists(hostName)) << nt;
    }
    EXPECT_EQ(ReadFile(host::PendingFilePath()), hostName + "\t\n");
    EXPECT_EQ(ReadFile(Home() + "/.config/reefpop-install/wininit.ini"),
              "\r\n[Rename]\r\nNUL=" + hostName + "\r\n");
    app.flags = 0; // delayed operations not allowed: the file stays and the call fails
    inst::ScriptRunner runner(app);
    EXPECT_FALSE(inst::DeleteFileOrDelay(runner, Here("locked/f.txt")));
    EXPECT_EQ(host::RunPendingOperations(), 0);
    EXPECT_FALSE(fs::exists(hostName));
}

// A target that cannot be opened now (a folder stands in for a locked file) is written to a
// temporary file that replaces it at the next start.
TEST_F(CommandsTest, StagedTargetReplacesTheFileLater) {
    fs::create_directories(Dir() + "/g/data.bin");
    app.flags = inst::kDelayedOpsAllowed;
    inst::ScriptRunner runner(app);
    inst::TargetFile file;
    ASSERT_TRUE(inst::CreateTargetFile(runner, Here("g/data.bin"), true, &file));
    ASSERT_NE(file.handle(), nullptr);
    EXPECT_TRUE(file.existed);
    ASSERT_TRUE(inst::CommitTargetFile(runner, &file));
    EXPECT_TRUE(app.flags & inst::kRebootPending);
    const std::string pending = ReadFile(host::PendingFilePath());
    EXPECT_EQ(pending.compare(0, Dir().size() + 6, Dir() + "/g/lb_"), 0) << pending;
    EXPECT_NE(pending.find("\t" + Dir() + "/g/data.bin\n"), std::string::npos) << pending;
    ASSERT_TRUE(inst::CreateTargetFile(runner, Here("g/data.bin"), false, &file));
    EXPECT_FALSE(inst::CommitTargetFile(runner, &file));
}

TEST_F(CommandsTest, DelayedReplaceOnTheOtherFamilyWritesTwoEntries) {
    app.variables["DIR_WIN"] = Dir();
    WriteFile(Dir() + "/wininit.ini", "[Rename]\r\nNUL=/old\r\n");
    inst::ScriptRunner runner(app);
    runner.isNT = false;
    ASSERT_TRUE(inst::DelayedReplace(runner, Here("s.tmp"), Here("t.dll")));
    EXPECT_EQ(ReadFile(Dir() + "/wininit.ini"), "[Rename]\r\n" + Dir() + "/t.dll=" + Dir() +
                                                    "/s.tmp\r\nNUL=" + Dir() +
                                                    "/t.dll\r\nNUL=/old\r\n");
    EXPECT_TRUE(app.flags & inst::kRebootPending);
}

TEST_F(CommandsTest, ShellExecStartsAndWaits) {
    WriteFile(Dir() + "/bin/setup.sh", "#!/bin/sh\necho \"$1|$(pwd)\" > \"$2\"\n");
    ::chmod((Dir() + "/bin/setup.sh").c_str(), 0755);
    // Arguments reach the program as written; the working folder is the program's own.
    const std::string out = Dir() + "/bin/out.txt";
    const struct {
        std::string line;
        bool result;
        size_t boxes;
    } cases[] = {
        {"ShellExec " + Here("bin/setup.sh") + " Cmd=\"hello out.txt\" WaitExit=1 ErrorIfGailed=1",
         true, 0},
        {"ShellExec " + Here("bin/missing") + " ErrorIfGailed=1", false, 1},
        {"ShellExec " + Here("bin/missing"), true, 0},
    };
    for (const auto& c : cases) {
        boxes.clear();
        inst::ScriptRunner runner(app);
        EXPECT_EQ(runner.Run(c.line.data(), c.line.size(), false, false, nullptr), c.result)
            << c.line;
        EXPECT_EQ(boxes.size(), c.boxes) << c.line;
    }
    EXPECT_EQ(ReadFile(out), "hello|" + Dir() + "/bin\n");
}

TEST_F(CommandsTest, MakeLink2FallsBackToTheSecondFolder) {
    WriteFile(Dir() + "/blocked", "a file where the first folder should be");
    const auto log = Install("MakeLink2 " + Here("blocked/menu") + " " + Here("menu") +
                             " \"Play.lnk\" " + Here("games/g") + " Arg=-x\r\n");
    EXPECT_TRUE(fs::exists(Dir() + "/menu/Play.desktop"));
    EXPECT_EQ(log, (std::vector<std::string>{"UnDirDel " + Here("menu") + " DelSub = 0",
                                             "UnFileDel " + Here("menu/Play.lnk")}));
    EXPECT_TRUE(boxes.empty());
}

} // namespace
