// The options beyond the launch modes, and the built game installer run unattended as a user
// would run it, with HOME pointed at a sandbox that holds the user's own files.
#include "install/cmdline.h"
#include "install/unattended.h"
#include "SYS/msgbox.h"
#include "sandbox.h"
#include "tree_snapshot.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

TEST(CommandOptions, ParsedOutOfTheTokens) {
    const struct {
        std::vector<std::string> tokens;
        std::vector<std::string> modeTokens;
        const char* destination;
        const char* group;
        const char* log;
        bool unattended, accept;
    } cases[] = {
        {{}, {}, "", "", "", false, false},
        {{"ScriptInst", "a.inf"}, {"ScriptInst", "a.inf"}, "", "", "", false, false},
        {{"--unattended", "--accept-licence", "--destination", "/g", "--group", "Fun", "--log",
          "l.txt"},
         {},
         "/g",
         "Fun",
         "l.txt",
         true,
         true},
        {{"PackInst", "p.stg", "--unattended", "--destination=/my games"},
         {"PackInst", "p.stg"},
         "/my games",
         "",
         "",
         true,
         false},
        {{"--unattended", "--", "ScriptInst", "--odd.inf"},
         {"ScriptInst", "--odd.inf"},
         "",
         "",
         "",
         true,
         false},
        {{"--group", "--unattended"}, {}, "", "--unattended", "", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.tokens));
        inst::CommandOptions options;
        std::vector<std::string> modeTokens;
        std::string error;
        ASSERT_TRUE(inst::ParseCommandOptions(c.tokens, &options, &modeTokens, &error)) << error;
        EXPECT_EQ(modeTokens, c.modeTokens);
        EXPECT_EQ(options.destination, c.destination);
        EXPECT_EQ(options.group, c.group);
        EXPECT_EQ(options.logFile, c.log);
        EXPECT_EQ(options.unattended, c.unattended);
        EXPECT_EQ(options.acceptLicence, c.accept);
        EXPECT_FALSE(options.help);
    }
}

TEST(CommandOptions, WrongOptionsAreRefusedWithTheReason) {
    const struct {
        std::vector<std::string> tokens;
        const char* reason;
    } cases[] = {
        {{"--unatended"}, "unknown option --unatended"},
        {{"--destination"}, "--destination needs a value"},
        {{"--log="}, "--log needs a value that is not empty"},
        {{"--unattended=yes"}, "--unattended takes no value"},
    };
    for (const auto& c : cases) {
        inst::CommandOptions options;
        std::vector<std::string> modeTokens;
        std::string error;
        EXPECT_FALSE(inst::ParseCommandOptions(c.tokens, &options, &modeTokens, &error));
        EXPECT_EQ(error, c.reason);
    }
}

TEST(CommandOptions, MustFitTheLaunchMode) {
    const inst::LaunchMode* packInst = inst::ChooseLaunchMode({"PackInst", "p.stg"});
    const inst::LaunchMode* uninstall = inst::ChooseLaunchMode({"ScriptUInst", "x.log"});
    const inst::LaunchMode* appended = inst::ChooseLaunchMode({});
    ASSERT_TRUE(packInst && uninstall && appended);
    auto options = [](bool unattended, bool accept, const char* destination, const char* group,
                      const char* log) {
        inst::CommandOptions o;
        o.unattended = unattended;
        o.acceptLicence = accept;
        o.destination = destination;
        o.group = group;
        o.logFile = log;
        return o;
    };
    const struct {
        inst::CommandOptions options;
        const inst::LaunchMode* mode;
        bool fits;
    } cases[] = {
        {options(true, true, "/g", "Fun", "l"), appended, true},
        {options(false, false, "/g", "Fun/Puzzles", ""), packInst, true},
        {options(true, false, "", "", "l"), uninstall, true},
        {options(false, true, "", "", ""), appended, false},
        {options(false, false, "", "", "l"), appended, false},
        {options(true, true, "/g", "", ""), uninstall, false},
        {options(true, true, "", "Fun", ""), uninstall, false},
        {options(true, true, "", "..", ""), appended, false},
        {options(true, true, "", "a/../../x", ""), appended, false},
        {options(true, true, "", "/abs", ""), appended, false},
        {options(true, true, "", "\\\\", ""), appended, false},
        {options(true, true, "", "C:Games", ""), appended, false},
        {options(true, true, "/g", "", ""), nullptr, true}, // the usage box tells the rest
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        std::string error;
        EXPECT_EQ(inst::OptionsFitMode(cases[i].options, cases[i].mode, &error), cases[i].fits)
            << "case " << i << ": " << error;
        EXPECT_EQ(error.empty(), cases[i].fits) << "case " << i;
    }
}

TEST(CommandOptions, HelpNamesEveryOptionModeAndExitCode) {
    const std::string help = inst::HelpText("reefpop-setup");
    EXPECT_EQ(help.rfind("Usage: reefpop-setup [options]", 0), 0u) << help;
    for (const char* option : {"--unattended", "--accept-licence", "--destination DIR",
                               "--group NAME", "--log FILE", "--help"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    for (const inst::LaunchMode& mode : inst::LaunchModes()) {
        const std::string help_text = mode.help;
        const std::string description = help_text.substr(help_text.find('\n') + 1);
        EXPECT_NE(help.find(description), std::string::npos) << description;
        if (mode.name) {
            EXPECT_NE(help.find(std::string("  ") + mode.name), std::string::npos);
        }
    }
    EXPECT_NE(help.find("  PackInst [PackName]\n      install [PackName] pakage\n"),
              std::string::npos);
    for (int code = 0; code <= 4; ++code)
        EXPECT_NE(help.find("  " + std::to_string(code) + "  " + inst::ExitCodeMeaning(code)),
                  std::string::npos);
}

// Questions take their default answer; an error that offers a retry is aborted, so a lasting
// failure ends the run instead of repeating.
TEST(UnattendedRun, AnswersWithoutAPerson) {
    const struct {
        unsigned type;
        int answer;
    } cases[] = {
        {sys::MB_OK, sys::IDOK},
        {sys::MB_YESNO | sys::MB_ICONQUESTION, sys::IDYES},
        {sys::MB_YESNO | sys::MB_DEFBUTTON2, sys::IDNO},
        {sys::MB_OKCANCEL, sys::IDOK},
        {sys::MB_ABORTRETRYIGNORE | sys::MB_DEFBUTTON2 | sys::MB_ICONERROR, sys::IDABORT},
        {sys::MB_ABORTRETRYIGNORE | sys::MB_DEFBUTTON3, sys::IDABORT},
    };
    for (const auto& c : cases) EXPECT_EQ(inst::UnattendedAnswer(c.type), c.answer) << c.type;
}

// What every run that starts up leaves: the registry hives, the autostart folder it seeds and
// the game player's folders.
const char kInstallerState[] = "added /.config/autostart\n"
                               "added /.config/reefpop-install\n"
                               "added /.config/reefpop-install/registry\n"
                               "added /.config/reefpop-install/registry/HKCU.hive\n"
                               "added /.config/reefpop-install/registry/HKLM.hive\n"
                               "added /.local/share/Tarnwick\n"
                               "added /.local/share/Tarnwick/ZorvaneLobbyist\n"
                               "added /.local/share/Tarnwick/ZorvaneLobbyist/Install\n";

// The built reefpop-setup, run as a separate program in the sandbox.
class BuiltSetupTest : public SandboxTest {
protected:
    struct Run {
        int code;
        std::string out, err;
    };
    void SetUp() override {
        SandboxTest::SetUp();
        setup_ = std::string(REEFPOP_BINARY_DIR) + "/reefpop-setup";
        if (!fs::exists(setup_)) GTEST_SKIP() << "build the reefpop_setup target first";
        std::string pattern = "/tmp/inst_out_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        scratch_ = pattern;
        // The user's own files, which no install or uninstall may touch.
        WriteFile(Home() + "/Desktop/notes.txt", "mine");
        WriteFile(Home() + "/.local/share/applications/other.desktop",
                  "[Desktop Entry]\nType=Application\nName=Other\nExec=other\n");
        WriteFile(Home() + "/.config/other/settings.ini", "[a]\nb=1\n");
        WriteFile(Home() + "/Documents/letter.txt", "Dear reader");
    }
    void TearDown() override {
        std::error_code ec;
        if (!scratch_.empty()) fs::remove_all(scratch_, ec);
        SandboxTest::TearDown();
    }
    static std::string Quote(const std::string& text) {
        std::string out = "'";
        for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out + "'";
    }
    // The time limit turns a hang into a failure.
    Run RunSetup(const std::vector<std::string>& arguments) {
        std::string command = "timeout 600 " + Quote(setup_);
        for (const std::string& argument : arguments) command += " " + Quote(argument);
        command += " </dev/null >" + Quote(scratch_ + "/out") + " 2>" + Quote(scratch_ + "/err");
        const int status = std::system(command.c_str());
        Run run;
        run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = ReadFile(scratch_ + "/out");
        run.err = ReadFile(scratch_ + "/err");
        return run;
    }
    static bool Validates(const std::string& desktopFile, std::string* report) {
        const std::string command = "desktop-file-validate " + Quote(desktopFile) + " 2>&1";
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) return false;
        char buffer[512];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) report->append(buffer, got);
        return ::pclose(pipe) == 0;
    }
    static std::string EntryValue(const std::string& entry, const std::string& key) {
        const size_t at = entry.find("\n" + key + "=");
        if (at == std::string::npos) return "<none>";
        const size_t start = at + key.size() + 2;
        return entry.substr(start, entry.find('\n', start) - start);
    }
    std::string Scratch() const { return scratch_; }

private:
    std::string setup_, scratch_;
};

TEST_F(BuiltSetupTest, WithoutTheLicenceAcceptedNothingChanges) {
    const TreeSnapshot before = SnapshotTree(Home());
    const Run run = RunSetup({"--unattended", "--destination", Home() + "/My Games"});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("needs --accept-licence"), std::string::npos) << run.err;
    EXPECT_EQ(TreeChanges(before, SnapshotTree(Home())), "");
}

TEST_F(BuiltSetupTest, HelpAndWrongOptionsChangeNothing) {
    const TreeSnapshot before = SnapshotTree(Home());
    const Run help = RunSetup({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out, inst::HelpText("reefpop-setup"));
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } wrong[] = {
        {{"--unattended", "--destnation", "/x"}, "unknown option --destnation"},
        {{"--accept-licence"}, "--accept-licence needs --unattended"},
        {{"--unattended", "--log", Home() + "/no/such/folder/log.txt"}, "cannot open the log"},
        {{"--unattended", "--group", "x", "UInstAllLBAndKV"}, "not of UInstAllLBAndKV"},
    };
    for (const auto& c : wrong) {
        const Run run = RunSetup(c.arguments);
        EXPECT_EQ(run.code, 3) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_EQ(TreeChanges(before, SnapshotTree(Home())), "");
}

// Install to a chosen folder, with launchers that carry the game's icon, then uninstall: the
// user's files stay as they were and only the installer's own state is left.
TEST_F(BuiltSetupTest, InstallsToTheDestinationAndUninstallsExactlyThat) {
    const TreeSnapshot before = SnapshotTree(Home());
    const std::string games = Home() + "/My Games";
    const std::string log = Scratch() + "/setup.log";
    const Run install = RunSetup({"--unattended", "--accept-licence", "--destination", games,
                                  "--group", "Fun Games", "--log", log});
    ASSERT_EQ(install.code, 0) << install.err;
    const std::string game = games + "/Reefpop";
    EXPECT_TRUE(fs::exists(game + "/reefpop"));
    EXPECT_TRUE(fs::is_directory(game + "/DATA"));
    const std::string icon = game + "/icons/reefpop-256.png";
    EXPECT_TRUE(fs::exists(icon));
    const std::string menuEntry = Home() + "/.local/share/applications/Fun Games/Reefpop.desktop";
    const std::string desktopEntry = Home() + "/Desktop/Reefpop.desktop";
    for (const std::string& entry : {menuEntry, desktopEntry}) {
        SCOPED_TRACE(entry);
        const std::string text = ReadFile(entry);
        EXPECT_EQ(EntryValue(text, "Icon"), icon);
        EXPECT_EQ(EntryValue(text, "Exec"), "\"" + game + "/reefpop\"");
        EXPECT_EQ(EntryValue(text, "Path"), game + "/");
        std::string report;
        EXPECT_TRUE(Validates(entry, &report)) << report;
    }
    const std::string logText = ReadFile(log);
    EXPECT_NE(logText.find("unattended run started"), std::string::npos) << logText;
    EXPECT_NE(logText.find("progress 100%"), std::string::npos) << logText;
    EXPECT_NE(logText.find("exit code 0"), std::string::npos) << logText;

    const Run uninstall =
        RunSetup({"--unattended", "--log", log, "ScriptUInst",
                  Home() + "/.local/share/Tarnwick/ZorvaneLobbyist/Install/game_1.log"});
    ASSERT_EQ(uninstall.code, 0) << uninstall.err;
    EXPECT_FALSE(fs::exists(game));
    EXPECT_FALSE(fs::exists(menuEntry));
    EXPECT_FALSE(fs::exists(desktopEntry));
    EXPECT_NE(ReadFile(log).find("successfully"), std::string::npos) << ReadFile(log);
    EXPECT_EQ(TreeChanges(before, SnapshotTree(Home())), kInstallerState);
}

// A lasting failure (the games folder cannot be made: a file has its name) is aborted, not
// retried for ever; the run fails with a message, undoes what it did, and leaves the file.
TEST_F(BuiltSetupTest, AFailingInstallEndsWithItsMessage) {
    WriteFile(Home() + "/taken", "a file, not a folder");
    const TreeSnapshot before = SnapshotTree(Home());
    const Run run =
        RunSetup({"--unattended", "--accept-licence", "--destination", Home() + "/taken/games"});
    EXPECT_EQ(run.code, 2) << run.err;
    EXPECT_NE(run.err.find("exit code 2"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(Home() + "/taken"), "a file, not a folder");
    EXPECT_EQ(TreeChanges(before, SnapshotTree(Home())), kInstallerState);
}

} // namespace
