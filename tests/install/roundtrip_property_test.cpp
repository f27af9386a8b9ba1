// Random installs into a lived-in HOME: whatever the generated package and script hold
// (folders, files, overrides, registry and INI values, launchers, the script's own undo
// lines), uninstalling leaves every path that was there byte-identical and nothing added.
#include <filesystem>
#include <random>
#include <unistd.h>
#include <set>

#include "install/host/hostfile.h"
#include "install/host/registry.h"
#include "install/package/installblocks.h"
#include "install/uninstall.h"
#include "install_fixture.h"
#include "package_test_util.h"
#include "tree_snapshot.h"

namespace fs = std::filesystem;

namespace {

struct NoWindow : pkg::InstallDisplay {
    void SetFileBar(int) override {}
    int TotalBar() const override { return total; }
    void SetTotalBar(int position) override { total = position; }
    bool Pump() override { return true; }
    int EndCode() const override { return 0; }
    bool Shown() const override { return false; }
    int total = 0;
};

class Generator {
public:
    explicit Generator(uint32_t seed) : random_(seed) {}
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool Chance(int percent) { return Below(100) < percent; }
    std::string Name() {
        static const char* const kParts[] = {"data", "Lang",  "sfx", "a b",
                                             "x",    "Music", "cfg", "0"};
        return kParts[Below(8)] + std::to_string(Below(4));
    }
    std::string Content() {
        std::string text;
        const int size = Chance(20) ? 70000 + Below(60000) : Below(300);
        for (int i = 0; i < size; ++i) text += char(Chance(70) ? 'a' + i % 7 : Below(256));
        return text;
    }
    // A folder's entries, unique by name ignoring case, as the package format expects.
    std::vector<pkg::BuildNode> Tree(int depth) {
        std::vector<pkg::BuildNode> nodes;
        std::set<std::string> names;
        const int count = 1 + Below(4);
        for (int i = 0; i < count; ++i) {
            std::string name = Name();
            std::string lower = name;
            for (char& c : lower) c = char(std::tolower(c));
            if (!names.insert(lower).second) continue;
            if (depth < 3 && Chance(35)) {
                nodes.push_back(PkgFolder(name, Tree(depth + 1)));
            } else {
                nodes.push_back(PkgFile(name + ".txt", Content(), Chance(50)));
                if (Chance(15))
                    nodes.push_back(PkgFile("~" + name + ".Brellum.txt", "local", false));
            }
        }
        return nodes;
    }
    std::string Script(const std::string& game) {
        std::string script = "PrmSet GNAME \"" + game + "\"\r\n";
        const int lines = Below(7);
        for (int i = 0; i < lines; ++i) {
            const std::string key =
                "software\\gen\\" + game + (Chance(50) ? "\\k" + std::to_string(Below(3)) : "");
            switch (Below(7)) {
            case 0:
                script += "RegSetStr HKCU \"" + key + "\" Path \"%DIR_GAMES%\\" + game + "\"\r\n";
                break;
            case 1:
                script +=
                    "RegSetDWORD HKLM \"" + key + "\" Runs " + std::to_string(Below(99)) + "\r\n";
                break;
            case 2:
                script += "RegMaskStrSet HKCU software\\other Item \"" + game + " 100%%\"\r\n";
                break;
            case 3:
                script += "InfValSet \"%DIR_GAMES%\\" + game + "\\cfg\\game.ini\" main Key" +
                          std::to_string(i) + " v\r\n";
                break;
            case 4:
                script += "InfValSet %DIR_APP_DATA%\\shared.ini games \"" + game +
                          std::to_string(i) + "\" on\r\n";
                break;
            case 5:
                script += "MakeLink \"%GRP_PROG%\\%GRP_GAMES%\\" + game + "\\Play " + game +
                          ".lnk\" \"%DIR_GAMES%\\" + game + "\\g\" Desk=\"a \"\"b\"\"\"\r\n";
                break;
            default:
                script += "MakeLink2 %GRP_ALL_DESKTOP% %GRP_DESKTOP% \"" + game +
                          ".lnk\" \"%DIR_GAMES%\\" + game + "\\g\"\r\n";
                break;
            }
        }
        if (Chance(30)) script += "u:UnFileDel \"%DIR_GAMES%\\" + game + "\\saved.dat\"\r\n";
        if (Chance(40)) script += "FilesProcess " + std::string(Chance(50) ? "Owr=0" : "") + "\r\n";
        return script;
    }

private:
    std::mt19937 random_;
};

class RoundTripPropertyTest : public InstallerTest {
protected:
    std::string SandboxRoot() const override {
        return ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    }
    // The user's own things, and another program's: files, links into and out of the games
    // folder, launchers, an INI file and registry values the installs share.
    void Furnish() {
        const std::string data = Home() + "/.local/share";
        WriteFile(Home() + "/Documents/saves/slot.sav", "progress");
        WriteFile(Home() + "/Desktop/letter.txt", "mine");
        WriteFile(data + "/applications/other.desktop", "[Desktop Entry]\nName=Other\n");
        WriteFile(data + "/applications/Zorvane/Old Game/Play.desktop", "[Desktop Entry]\n");
        WriteFile(data + "/Zorvane/Old Game/old.exe", "old game");
        WriteFile(data + "/shared.ini", "[games]\r\nOld Game=on\r\n");
        fs::create_symlink(Home() + "/Documents/saves", data + "/Zorvane/Old Game/saves");
        fs::create_symlink(Home() + "/Documents", Home() + "/Desktop/Documents");
        host::RegValue value;
        value.text = "x";
        ASSERT_TRUE(host::RegCreateKey(host::RegRoot::CurrentUser, "software\\other", nullptr));
        ASSERT_TRUE(
            host::RegSetValue(host::RegRoot::CurrentUser, "software\\other", "Item0", value));
    }
};

TEST_F(RoundTripPropertyTest, UninstallUndoesEveryRandomInstall) {
    Furnish();
    const int kCases = 1000;
    int installed = 0;
    for (int seed = 1; seed <= kCases; ++seed) {
        Generator gen{uint32_t(seed)};
        const std::string game = "Gen " + std::to_string(seed % 3);
        const std::string script = gen.Script(game);
        auto tree = gen.Tree(0);
        const auto block = PkgContainer({PkgFolder("~Info", {PkgFile("Install.inf", script)}),
                                         PkgFolder("%DIR_GAMES%", {PkgFolder(game, tree)})},
                                        "game", std::to_string(seed % 5));
        WriteBytes(Home() + "/p.stg", {block});
        const auto before = SnapshotTree(Home());
        pkg::PackageStorage storage;
        ASSERT_FALSE(pkg::LoadPackageFile(storage, Home() + "/p.stg", false, true).corrupt);
        NoWindow display;
        ASSERT_EQ(pkg::InstallAllBlocks(app, storage, display), pkg::kStepNext)
            << "seed " << seed << "\n"
            << script;
        std::string log;
        ASSERT_TRUE(pkg::PackageLogPath(app, storage.blocks[0], &log));
        if (TreeChanges(before, SnapshotTree(Home())) != "") ++installed;
        ASSERT_EQ(inst::UninstallOne(app, log), 0) << "seed " << seed;
        ASSERT_EQ(TreeChanges(before, SnapshotTree(Home())), "") << "seed " << seed << "\n"
                                                                 << script;
        app.scriptParams.clear();
    }
    EXPECT_EQ(installed, kCases);
    ASSERT_LE(boxes.size(), size_t(2 * kCases)); // the question and the success note, nothing else
    for (const ShownBox& box : boxes) EXPECT_NE(box.type & 0xF0, sys::MB_ICONERROR) << box.text;
}

} // namespace
