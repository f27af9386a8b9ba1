#include "install/expand.h"
#include "install/gamefolders.h"
#include "install/host/registry.h"
#include "install/variables.h"
#include "install_fixture.h"

#include <filesystem>

namespace fs = std::filesystem;
using host::RegRoot;

namespace {

class GameFoldersTest : public InstallerTest {
protected:
    std::string Maker(const char* name) {
        std::string text;
        return host::RegGetText(RegRoot::LocalMachine, inst::kMakerKey, name, &text) ? text
                                                                                     : "<none>";
    }
};

TEST_F(GameFoldersTest, StoresBothFoldersInTheRegistryAndBothMaps) {
    ASSERT_FALSE(host::RegKeyExists(RegRoot::LocalMachine, inst::kMakerKey));
    EXPECT_TRUE(inst::StoreGameFolders(app, "D:\\My Games", "Fun & Games"));
    EXPECT_EQ(Maker("GGamesDir"), "D:\\My Games");
    EXPECT_EQ(Maker("GGamesGroup"), "Fun & Games");
    for (const inst::NameMap* map : {&app.variables, &app.scriptParams}) {
        EXPECT_EQ(map->at("DIR_GAMES"), "D:\\My Games");
        EXPECT_EQ(map->at("GRP_GAMES"), "Fun & Games");
    }
    // Chosen names are not texts with references.
    ASSERT_TRUE(inst::StoreGameFolders(app, "/g/100% #1 %GNAME%", "50%"));
    EXPECT_EQ(inst::ExpandText(app, "%DIR_GAMES%\\x %GRP_GAMES%"), "/g/100% #1 %GNAME%\\x 50%");
    ASSERT_TRUE(inst::StoreGameFolders(app, "D:\\My Games", "Fun & Games"));
    // A later run starts from what was stored.
    inst::InstallerApp next;
    ASSERT_TRUE(inst::StartInstaller(next, Home() + "/bin/install"));
    EXPECT_EQ(next.variables["DIR_GAMES"], "D:\\My Games");
    EXPECT_EQ(next.variables["GRP_GAMES"], "Fun & Games");
}

TEST_F(GameFoldersTest, NothingIsStoredWhenTheKeyCannotBeCreated) {
    const std::string hive = host::HiveFilePath(RegRoot::LocalMachine);
    WriteFile(hive, "REEFPOP-HIVE 1\nX damaged\n");
    const std::string folderBefore = app.variables["DIR_GAMES"];
    EXPECT_FALSE(inst::StoreGameFolders(app, "D:\\Elsewhere", "Other"));
    EXPECT_EQ(app.variables["DIR_GAMES"], folderBefore);
    EXPECT_EQ(app.variables["GRP_GAMES"], "Zorvane");
    EXPECT_EQ(app.scriptParams.count("DIR_GAMES"), 0u);
    EXPECT_EQ(app.scriptParams.count("GRP_GAMES"), 0u);
    EXPECT_EQ(ReadFile(hive), "REEFPOP-HIVE 1\nX damaged\n");
}

// Command-line folders: relative ones are taken from the current folder, an empty one keeps
// what the machine had.
TEST_F(GameFoldersTest, ChosenFoldersAreMadeWholeAndKeepWhatIsNotGiven) {
    const std::string current = fs::current_path().string();
    const struct {
        const char* destination;
        const char* group;
        std::string folder;
        const char* storedGroup;
    } cases[] = {
        {"", "", "<none>", "<none>"},
        {"games/./new/", "", current + "/games/new", "Zorvane"},
        {"/abs//x/../y", "Fun", "/abs/y", "Fun"},
        {"", "Puzzles", "/abs/y", "Puzzles"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.destination);
        EXPECT_TRUE(inst::UseChosenFolders(app, c.destination, c.group));
        EXPECT_EQ(Maker("GGamesDir"), c.folder);
        EXPECT_EQ(Maker("GGamesGroup"), c.storedGroup);
    }
    EXPECT_EQ(app.scriptParams["DIR_GAMES"], "/abs/y");
    WriteFile(host::HiveFilePath(RegRoot::LocalMachine), "REEFPOP-HIVE 1\nX damaged\n");
    EXPECT_FALSE(inst::UseChosenFolders(app, "/other", ""));
    EXPECT_EQ(app.variables["DIR_GAMES"], "/abs/y");
}

} // namespace
