#include "install/host/registry.h"
#include "install/startup.h"
#include "install/variables.h"
#include "sandbox.h"

#include <filesystem>

using host::RegRoot;

namespace {

class VariablesTest : public SandboxTest {
protected:
    inst::NameMap Start() {
        inst::InstallerApp app;
        app.scriptParams["STALE"] = "x";
        EXPECT_TRUE(inst::StartInstaller(app, Home() + "/bin/install"));
        EXPECT_TRUE(app.scriptParams.empty());
        return app.variables;
    }
    void SetMaker(const char* name, const std::string& text) {
        host::RegValue value;
        value.text = text;
        ASSERT_TRUE(host::RegCreateKey(RegRoot::LocalMachine, inst::kMakerKey, nullptr));
        ASSERT_TRUE(host::RegSetValue(RegRoot::LocalMachine, inst::kMakerKey, name, value));
    }
    std::string Maker(const char* name) {
        std::string text;
        return host::RegGetText(RegRoot::LocalMachine, inst::kMakerKey, name, &text) ? text
                                                                                     : "<none>";
    }
};

TEST_F(VariablesTest, WithoutTheMakerKeyEverythingIsDefault) {
    const inst::NameMap v = Start();
    const std::string data = Home() + "/.local/share";
    const struct {
        const char* name;
        std::string value;
    } cases[] = {
        {"DIR_PROG", data},
        {"DIR_PROG_COMM", data + "/Common Files"},
        {"GRP_GAMES", "Zorvane"},
        {"DIR_GAMES", data + "\\Zorvane"},
        {"GRP_DESKTOP", Home() + "/Desktop"},
        {"GRP_ALL_PROG", data + "/applications"},
        {"DIR_APP_DATA", data},
        {"GGamesRegPath", "software\\tarnwick\\ZorvaneLobbyist\\lbpaths"},
        {"INST_EXE_PATH", Home() + "/bin/"},
        {"DMARK_LOC", "Brellum"},
        {"DMARK", "Brellum"},
        {"LB_EXE", data + "\\Tarnwick\\ZorvaneLobbyist\\Lobbyist.exe"},
        {"DIR_LB", data + "\\Tarnwick\\ZorvaneLobbyist\\"},
        {"DIR_INST", data + "\\Tarnwick\\ZorvaneLobbyist\\Install\\"},
        {"KITSET_EXE", data + "\\Tarnwick\\ZorvaneLobbyist\\\\Kitset.exe"},
        {"INST_PRM_CHECK_SYS_REQ", "1"},
    };
    for (const auto& c : cases) {
        auto it = v.find(c.name);
        ASSERT_NE(it, v.end()) << c.name;
        EXPECT_EQ(it->second, c.value) << c.name;
    }
    EXPECT_TRUE(std::filesystem::is_directory(data + "/Tarnwick/ZorvaneLobbyist/Install"));
    EXPECT_FALSE(host::RegKeyExists(RegRoot::LocalMachine, inst::kMakerKey)); // nothing written
}

TEST_F(VariablesTest, TheMakerKeyIsReadAndCompleted) {
    const std::string lobby = Home() + "/lobby/Lobbyist.exe";
    WriteFile(lobby, "");
    SetMaker("GGamesDir", "/games");
    SetMaker("GGamesGroup", "Reef");
    SetMaker("LobbyistExe", lobby);
    SetMaker("KitsetExe", Home() + "/missing/Kitset.exe");
    const inst::NameMap v = Start();
    EXPECT_EQ(v.at("DIR_GAMES"), "/games");
    EXPECT_EQ(v.at("GRP_GAMES"), "Reef");
    EXPECT_EQ(v.at("LB_EXE"), lobby);
    EXPECT_EQ(v.at("DIR_LB"), Home() + "/lobby/");
    EXPECT_EQ(v.at("KITSET_EXE"), Home() + "/lobby/\\Kitset.exe"); // the named one is missing
    EXPECT_EQ(Maker("KitsetExe"), Home() + "/lobby/\\Kitset.exe");
    EXPECT_EQ(Maker("DMark"), "Brellum"); // written when missing
    SetMaker("DMark", "Other");
    SetMaker("LobbyistExe", Home() + "/gone.exe");
    const inst::NameMap again = Start();
    EXPECT_EQ(again.at("DMARK"), "Other");
    EXPECT_EQ(again.at("DMARK_LOC"), "Brellum");
    EXPECT_EQ(Maker("LobbyistExe"),
              Home() + "/.local/share\\Tarnwick\\ZorvaneLobbyist\\Lobbyist.exe");
}

TEST_F(VariablesTest, LongRegistryTextsAreCut) {
    SetMaker("GGamesGroup", std::string(600, 'g'));
    EXPECT_EQ(Start().at("GRP_GAMES"), std::string(519, 'g'));
}

TEST(FolderOf, Cases) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"C:\\a\\b.exe", "C:\\a\\"}, {"/x/y", "/x/"}, {"a/b\\c", "a/b\\"}, {"plain", ""}, {"", ""}};
    for (const auto& c : cases) EXPECT_EQ(inst::FolderOf(c.in), c.out) << c.in;
}

} // namespace
