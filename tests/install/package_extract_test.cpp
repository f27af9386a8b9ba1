#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

#include "install/package/entries.h"
#include "install/host/diskops.h"
#include "install/package/extract.h"
#include "install/fileops.h"
#include "install/host/hostfile.h"
#include "install/messages.h"
#include "install/script.h"
#include "install_fixture.h"
#include "package_test_util.h"

namespace fs = std::filesystem;

namespace {

// 2020-01-01 as FILETIME.
const uint64_t kOld = host::FileTimeFromUnix(1577836800, 0);

class PackageExtractTest : public InstallerTest {
protected:
    void Load(const std::vector<uint8_t>& block) { LoadBlock(storage, Home() + "/p.stg", block); }
    // Extracts the first block with a log and returns the log's lines after its header.
    bool Extract(const std::string& source, const std::string& destination, bool overwrite,
                 std::vector<std::string>* log = nullptr) {
        const std::string logPath = Home() + "/x.log";
        fs::remove(logPath);
        bool ok;
        {
            inst::ScriptRunner runner(app);
            EXPECT_TRUE(runner.OpenLog(logPath));
            runner.logging = true;
            ok = pkg::ExtractFiles(runner, storage.blocks[0], source, destination, overwrite,
                                   nullptr);
            runner.FinishLog();
        }
        if (log) {
            const std::string text = ReadFile(logPath);
            log->clear();
            size_t at = 0;
            for (int line = 0; at < text.size(); ++line) {
                const size_t end = text.find("\r\n", at);
                if (line >= 3 && text.compare(at, 7, "PrmSet ") != 0)
                    log->push_back(text.substr(at, end - at));
                at = end + 2;
            }
        }
        return ok;
    }
    std::string Dest() { return WinPath(".local/share/dest"); }
    pkg::PackageStorage storage;
};

TEST_F(PackageExtractTest, DistributionMarkOverride) {
    app.scriptParams["DMARK_LOC"] = "Brellum";
    Load(PkgContainer({PkgFile("readme.txt", "generic"), PkgFile("~readme.Brellum.txt", "local"),
                       PkgFile("notes", "n"), PkgFile("~notes", "override of a bare name")}));
    ASSERT_TRUE(Extract("", Dest(), true));
    EXPECT_EQ(ReadFile(Home() + "/.local/share/dest/readme.txt"), "local");
    EXPECT_EQ(ReadFile(Home() + "/.local/share/dest/notes"), "override of a bare name");
    EXPECT_FALSE(fs::exists(Home() + "/.local/share/dest/~readme.Brellum.txt"));
    EXPECT_FALSE(fs::exists(Home() + "/.local/share/dest/~notes"));
}

TEST_F(PackageExtractTest, GamesFolderExpansionIsLoggedAndKeepsFileTimes) {
    const std::string content(150000, 'g'); // more than one 64 KiB piece
    Load(PkgContainer(
        {PkgFolder("%DIR_GAMES%", {PkgFolder("Game", {PkgFile("g.exe", content, true, kOld),
                                                      PkgFile("s.dat", content, false, kOld)})}),
         PkgFolder("~Info", {PkgFile("Install.inf", "")})}));
    std::vector<std::string> log;
    ASSERT_TRUE(Extract("", "", false, &log));
    const std::string games = app.variables["DIR_GAMES"];
    const std::string file = host::HostPath(games + "\\Game\\g.exe");
    EXPECT_EQ(ReadFile(file), content);
    EXPECT_EQ(ReadFile(host::HostPath(games + "\\Game\\s.dat")), content);
    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1577836800);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[log.size() - 2], "UnFileDel " + games + "\\Game\\g.exe");
    EXPECT_EQ(log.back(), "UnFileDel " + games + "\\Game\\s.dat");
    const std::string folderLine = "\\Game DelSub = 0";
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [&](const std::string& line) {
        return line.rfind("UnDirDel ", 0) == 0 && line.size() > folderLine.size() &&
               line.compare(line.size() - folderLine.size(), folderLine.size(), folderLine) == 0;
    })) << ::testing::PrintToString(log);
    EXPECT_FALSE(fs::exists(host::HostPath(games + "\\~Info")));
}

TEST_F(PackageExtractTest, NewerFileOnDiskStaysWithOverwriteOff) {
    Load(PkgContainer(
        {PkgFile("keep.txt", "package", true, kOld), PkgFile("older.txt", "package", true, kOld)}));
    WriteFile(Home() + "/.local/share/dest/keep.txt", "mine"); // written now, after kOld
    WriteFile(Home() + "/.local/share/dest/older.txt", "old");
    const std::string older = Home() + "/.local/share/dest/older.txt";
    const struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}}; // 2001
    ASSERT_EQ(::utimensat(AT_FDCWD, older.c_str(), times, 0), 0);
    std::vector<std::string> log;
    ASSERT_TRUE(Extract("", Dest(), false, &log));
    EXPECT_EQ(ReadFile(Home() + "/.local/share/dest/keep.txt"), "mine");
    EXPECT_EQ(ReadFile(older), "package");
    EXPECT_EQ(log, std::vector<std::string>{"UnFileDel " + Dest() + "\\older.txt"});
    // With overwrite on, the newer file is replaced too.
    ASSERT_TRUE(Extract("", Dest(), true));
    EXPECT_EQ(ReadFile(Home() + "/.local/share/dest/keep.txt"), "package");
}

TEST_F(PackageExtractTest, SourceFolderAndMissingRoot) {
    Load(PkgContainer({PkgFolder("lang", {PkgFolder("de", {PkgFile("t.txt", "hallo")})})}, "game",
                      "9"));
    ASSERT_TRUE(Extract("lang/de", Dest(), true));
    EXPECT_EQ(ReadFile(Home() + "/.local/share/dest/t.txt"), "hallo");
    EXPECT_FALSE(Extract("lang\\fr", Dest(), true));
    ASSERT_FALSE(boxes.empty());
    EXPECT_NE(boxes.back().text.find("game_9"), std::string::npos) << boxes.back().text;
}

TEST_F(PackageExtractTest, DamagedTreesFailWithoutWritingOutside) {
    auto cycle = PkgContainer({PkgFolder("a", {PkgFolder("b", {})})});
    // Point the inner folder "b" back at the root table.
    const uint32_t innerTable = WordAt(cycle, 44 + 8);
    pkg::PutWord(cycle, innerTable + 4 + 8, pkg::kContainerHeaderSize);
    pkg::SealBlock(cycle);
    auto self = PkgContainer({PkgFolder("a", {})});
    pkg::PutWord(self, 44 + 8, pkg::kContainerHeaderSize);
    pkg::SealBlock(self);
    auto dotdot = PkgContainer({PkgFolder("xy", {PkgFile("f", "escaped")})});
    const uint32_t nameAt = WordAt(dotdot, 44 + 20);
    dotdot[nameAt] = '.';
    dotdot[nameAt + 1] = '.';
    pkg::SealBlock(dotdot);
    auto longer = PkgContainer({PkgFile("f", std::string(5000, 'l'))});
    pkg::PutWord(longer, 44 + 12, 4000);
    pkg::SealBlock(longer);
    const struct {
        const char* what;
        std::vector<uint8_t> block;
    } cases[] = {{"a folder pointing to an ancestor", cycle},
                 {"a folder pointing to itself", self},
                 {"a folder named ..", dotdot},
                 {"data longer than the entry says", longer},
                 {"a folder name expanding upwards",
                  PkgContainer({PkgFolder("%UP%", {PkgFile("f", "escaped")})})}};
    app.variables["UP"] = "sub\\..\\..";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Load(c.block);
        boxes.clear();
        EXPECT_FALSE(Extract("", Dest(), true));
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(boxes.back().text, inst::MessageText(app, "MsgUserErrFileCorrupt"));
        EXPECT_FALSE(fs::exists(Home() + "/f"));
        if (fs::exists(Home() + "/.local/share/dest/f")) {
            EXPECT_LE(fs::file_size(Home() + "/.local/share/dest/f"), 4000u);
        }
    }
}

TEST_F(PackageExtractTest, ProgramsBecomeExecutable) {
    const std::string elf = std::string("\x7f"
                                        "ELF",
                                        4) +
                            std::string(3000, '\0');
    Load(PkgContainer({PkgFile("game", elf), PkgFile("run.sh", "#!/bin/sh\n", false),
                       PkgFile("data.txt", "plain")}));
    ASSERT_TRUE(Extract("", Dest(), true));
    const struct {
        const char* name;
        bool executable;
    } cases[] = {{"game", true}, {"run.sh", true}, {"data.txt", false}};
    for (const auto& c : cases) {
        struct stat st;
        ASSERT_EQ(::stat((Home() + "/.local/share/dest/" + c.name).c_str(), &st), 0);
        EXPECT_EQ((st.st_mode & S_IXUSR) != 0, c.executable) << c.name;
    }
}

TEST_F(PackageExtractTest, ProgressCanStopTheExtraction) {
    Load(PkgContainer({PkgFile("a", std::string(200000, 'a'), false)}));
    inst::ScriptRunner runner(app);
    int calls = 0;
    EXPECT_FALSE(pkg::ExtractFiles(runner, storage.blocks[0], "", Dest(), true,
                                   [&](double block, double file) {
                                       EXPECT_GE(block, 0.0);
                                       EXPECT_LE(file, 1.0);
                                       return ++calls < 2;
                                   }));
    EXPECT_EQ(calls, 2);
}

} // namespace
