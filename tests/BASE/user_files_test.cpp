#include "BASE/user_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "BASE/errlog.h"
#include "BASE/settings.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

// A game folder made read-only as a system-wide install is, with the config home inside the
// temporary folder; the game folder's defaults are the seed.
class ReadOnlyGameFolderTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        WriteFile("game/game.ini", "[main]\nplayer=Default\n");
        WriteFile("game/controls.ini", "1\t57\t0\n");
        config_ = Folder() + "/config";
        setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
        fs::current_path("game");
    }
    void TearDown() override {
        fs::permissions(Folder() + "/game", fs::perms::owner_all, fs::perm_options::add);
        ChooseUserFilesFolder(); // back to the writable game folder for the tests that follow
        CloseErrorLog();
        unsetenv("XDG_CONFIG_HOME");
        TempFolderTest::TearDown();
    }
    void MakeGameFolderReadOnly() {
        fs::permissions(".",
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }
    std::string UserCopy(const char* name) const { return ReadFile(config_ + "/reefpop/" + name); }

    std::string config_;
};

TEST_F(ReadOnlyGameFolderTest, WritableGameFolderKeepsEverythingBesideTheProgram) {
    ChooseUserFilesFolder();
    EXPECT_EQ(UserFilesFolder(), "");
    EXPECT_EQ(UserFilePath(kGameIni), "game.ini");
    WriteIniString(kGameIni, "main", "player", "Ana");
    EXPECT_EQ(std::string(GetIniString("game.ini", "main", "player")), "Ana");
    EXPECT_FALSE(fs::exists(config_));
}

TEST_F(ReadOnlyGameFolderTest, ReadOnlyGameFolderMovesThePlayersFilesToTheConfigFolder) {
    MakeGameFolderReadOnly();
    ChooseUserFilesFolder();
    ASSERT_EQ(UserFilesFolder(), config_ + "/reefpop");
    EXPECT_EQ(UserCopy("game.ini"), "[main]\nplayer=Default\n") << "seeded from the game folder";
    EXPECT_EQ(UserCopy("controls.ini"), "1\t57\t0\n");
    EXPECT_FALSE(fs::exists(config_ + "/reefpop/highscore.ini")) << "no default, no seed";

    WriteIniString(kGameIni, "main", "player", "Ana");
    WriteIniString(kHighscoreIni, "0", "1", "Ana, 1500");
    LogText("a note\n");
    EXPECT_STREQ(GetIniString("GAME.INI", "main", "player"), "Ana") << "names ignore case";
    EXPECT_NE(UserCopy("game.ini").find("player=Ana"), std::string::npos);
    EXPECT_NE(UserCopy("highscore.ini").find("Ana, 1500"), std::string::npos);
    EXPECT_NE(UserCopy("gerr.log").find("a note"), std::string::npos);
    EXPECT_EQ(ReadFile("game.ini"), "[main]\nplayer=Default\n")
        << "the installed file is untouched";
    EXPECT_FALSE(fs::exists("gerr.log"));
    EXPECT_EQ(UserFilePath("DATA\\controls.ini"), "DATA\\controls.ini")
        << "shipped data stays shipped";
}

TEST_F(ReadOnlyGameFolderTest, ThePlayersCopyIsNeverReseeded) {
    MakeGameFolderReadOnly();
    WriteFile(config_ + "/reefpop/game.ini", "[main]\nplayer=Mine\n");
    ChooseUserFilesFolder();
    EXPECT_EQ(UserCopy("game.ini"), "[main]\nplayer=Mine\n");
}

} // namespace
