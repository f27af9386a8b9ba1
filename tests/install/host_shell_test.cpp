#include "install/host/guard.h"
#include "install/host/hostfile.h"
#include "install/host/pending.h"
#include "install/host/registry.h"
#include "install/host/shellfolders.h"
#include "install/host/shelllink.h"
#include "sandbox.h"

#include <sys/stat.h>

using namespace host;

namespace {

class ShellTest : public SandboxTest {};

std::string ShellFolder(RegRoot root, const char* name) {
    std::string text;
    RegGetText(root, kShellFoldersKey, name, &text);
    return text;
}

TEST_F(ShellTest, ShellFoldersComeFromTheFreedesktopFolders) {
    WriteFile(Home() + "/.config/user-dirs.dirs",
              "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    ASSERT_TRUE(SeedShellFolders());
    const struct {
        RegRoot root;
        const char* name;
        std::string folder;
    } cases[] = {
        {RegRoot::CurrentUser, "Desktop", Home() + "/Schreibtisch"},
        {RegRoot::CurrentUser, "Programs", Home() + "/.local/share/applications"},
        {RegRoot::CurrentUser, "Start Menu", Home() + "/.local/share/applications"},
        {RegRoot::CurrentUser, "StartUp", Home() + "/.config/autostart"},
        {RegRoot::CurrentUser, "AppData", Home() + "/.local/share"},
        {RegRoot::LocalMachine, "Common Desktop", Home() + "/Schreibtisch"},
        {RegRoot::LocalMachine, "Common Programs", Home() + "/.local/share/applications"},
        {RegRoot::LocalMachine, "Common Startup", Home() + "/.config/autostart"},
    };
    for (const auto& c : cases) EXPECT_EQ(ShellFolder(c.root, c.name), c.folder) << c.name;
    std::string programFiles;
    ASSERT_TRUE(
        RegGetText(RegRoot::LocalMachine, kCurrentVersionKey, "ProgramFilesDir", &programFiles));
    EXPECT_EQ(programFiles, Home() + "/.local/share");
}

TEST_F(ShellTest, SeedingKeepsWhatTheUserSet) {
    RegValue mine;
    mine.text = "/elsewhere";
    ASSERT_TRUE(RegCreateKey(RegRoot::CurrentUser, kShellFoldersKey, nullptr));
    ASSERT_TRUE(RegSetValue(RegRoot::CurrentUser, kShellFoldersKey, "desktop", mine));
    ASSERT_TRUE(SeedShellFolders());
    EXPECT_EQ(ShellFolder(RegRoot::CurrentUser, "Desktop"), "/elsewhere");
    EXPECT_EQ(ShellFolder(RegRoot::CurrentUser, "AppData"), Home() + "/.local/share");
}

TEST_F(ShellTest, LinkNamesMapToLaunchers) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {{"a\\Play.lnk", "a\\Play.desktop"},
                 {"Play.LNK", "Play.desktop"},
                 {"lnk", "lnk"},
                 {".lnk", ".desktop"},
                 {"Play.lnk.txt", "Play.lnk.txt"}};
    for (const auto& c : cases) EXPECT_EQ(LinkDiskName(c.in), c.out) << c.in;
}

TEST_F(ShellTest, LinkIsWrittenAsAnExecutableLauncher) {
    ShellLink link;
    link.target = Home() + "\\Games\\Reef Pop\\reefpop";
    link.arguments = {"-w", "100%"};
    link.workingFolder = Home() + "\\Games\\Reef Pop";
    link.description = "Bubbles \"under\" water";
    const std::string linkName = Home() + "\\Play Reefpop.lnk";
    const std::string file = Home() + "/Play Reefpop.desktop";
    FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    ASSERT_TRUE(WriteShellLink(out, linkName, link));
    std::fclose(out);
    EXPECT_TRUE(PathExists(linkName));
    const std::string text = ReadFile(file);
    EXPECT_NE(text.find("Name=Play Reefpop\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Exec=\"" + Home() + "/Games/Reef Pop/reefpop\" \"-w\" \"100%%\"\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Path=" + Home() + "/Games/Reef Pop\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Comment=Bubbles \"under\" water\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("Icon="), std::string::npos);
    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IXUSR);
}

TEST_F(ShellTest, PendingOperationsRunOnceInOrder) {
    SetGuardedFolders({Home()}, {Home()});
    WriteFile(Home() + "/old.txt", "old");
    WriteFile(Home() + "/new.tmp", "new");
    WriteFile(Home() + "/gone.txt", "x");
    ASSERT_TRUE(ScheduleDelayedMove(Home() + "\\gone.txt", ""));
    ASSERT_TRUE(ScheduleDelayedMove(Home() + "\\old.txt", ""));
    ASSERT_TRUE(ScheduleDelayedMove(Home() + "\\new.tmp", Home() + "\\old.txt"));
    ASSERT_TRUE(ScheduleDelayedMove(Home() + "\\missing", "")); // already gone is fine
    EXPECT_EQ(RunPendingOperations(), 0);
    EXPECT_EQ(ReadFile(Home() + "/old.txt"), "new");
    EXPECT_FALSE(PathExists(Home() + "\\gone.txt"));
    EXPECT_FALSE(PathExists(Home() + "\\new.tmp"));
    EXPECT_FALSE(PathExists(PendingFilePath()));
    EXPECT_EQ(RunPendingOperations(), 0);
}

TEST_F(ShellTest, RestartIsOnlyRecorded) {
    EXPECT_FALSE(RestartRequested());
    ASSERT_TRUE(RecordRestartRequest());
    EXPECT_TRUE(RestartRequested());
}

} // namespace
