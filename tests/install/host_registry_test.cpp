#include "install/host/registry.h"
#include "sandbox.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace host;

namespace {

class RegistryTest : public SandboxTest {};

RegValue Text(const std::string& s) {
    RegValue v;
    v.text = s;
    return v;
}

TEST_F(RegistryTest, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    bool created = false;
    ASSERT_TRUE(RegCreateKey(RegRoot::LocalMachine, "Software\\Tarnwick\\Lobby", &created));
    EXPECT_TRUE(created);
    ASSERT_TRUE(RegCreateKey(RegRoot::LocalMachine, "SOFTWARE\\tarnwick\\LOBBY", &created));
    EXPECT_FALSE(created);
    ASSERT_TRUE(RegSetValue(RegRoot::LocalMachine, "software\\TARNWICK\\lobby", "GGamesDir",
                            Text("/games")));
    std::string text;
    ASSERT_TRUE(
        RegGetText(RegRoot::LocalMachine, "\\software\\\\tarnwick\\lobby\\", "ggamesdir", &text));
    EXPECT_EQ(text, "/games");
    EXPECT_NE(ReadFile(HiveFilePath(RegRoot::LocalMachine)).find("K Software\\Tarnwick\\Lobby"),
              std::string::npos);
    // The other hives are separate.
    EXPECT_FALSE(RegKeyExists(RegRoot::CurrentUser, "software\\tarnwick"));
}

TEST_F(RegistryTest, ValuesOfBothTypesSurviveOddBytes) {
    ASSERT_TRUE(RegCreateKey(RegRoot::CurrentUser, "k", nullptr));
    const std::string odd = std::string("a=b%c\\d\ne\r\x01\xe9 ", 12);
    ASSERT_TRUE(RegSetValue(RegRoot::CurrentUser, "k", odd, Text(odd)));
    RegValue dword;
    dword.type = RegValue::Type::Dword;
    dword.number = 4294967295u;
    ASSERT_TRUE(RegSetValue(RegRoot::CurrentUser, "k", "", dword));
    RegValue back;
    ASSERT_TRUE(RegGetValue(RegRoot::CurrentUser, "k", odd, &back));
    EXPECT_EQ(back.text, odd);
    ASSERT_TRUE(RegGetValue(RegRoot::CurrentUser, "k", "", &back));
    EXPECT_EQ(back.type, RegValue::Type::Dword);
    EXPECT_EQ(back.number, 4294967295u);
    RegKeyInfo info;
    ASSERT_TRUE(RegQueryKeyInfo(RegRoot::CurrentUser, "k", &info));
    EXPECT_EQ(info.namedValues, 1u); // the unnamed default value is not counted
    EXPECT_EQ(info.subkeys, 0u);
}

TEST_F(RegistryTest, MissingKeysAndValuesFailWithoutCreatingAnything) {
    RegValue v;
    EXPECT_FALSE(RegGetValue(RegRoot::ClassesRoot, "nope", "x", &v));
    EXPECT_FALSE(RegSetValue(RegRoot::ClassesRoot, "nope", "x", Text("1")));
    EXPECT_FALSE(RegDeleteValue(RegRoot::ClassesRoot, "nope", "x"));
    EXPECT_FALSE(RegDeleteKey(RegRoot::ClassesRoot, "nope"));
    EXPECT_FALSE(RegDeleteKey(RegRoot::ClassesRoot, ""));
    EXPECT_FALSE(RegKeyExists(RegRoot::ClassesRoot, "nope"));
}

TEST_F(RegistryTest, DeleteKeyRefusesSubkeysDeleteTreeTakesAll) {
    ASSERT_TRUE(RegCreateKey(RegRoot::LocalMachine, "a\\b\\c", nullptr));
    ASSERT_TRUE(RegSetValue(RegRoot::LocalMachine, "a\\b", "v", Text("1")));
    EXPECT_FALSE(RegDeleteKey(RegRoot::LocalMachine, "a\\b"));
    EXPECT_TRUE(RegDeleteKey(RegRoot::LocalMachine, "a\\b\\c"));
    EXPECT_TRUE(RegDeleteKey(RegRoot::LocalMachine, "a\\b")); // values do not hold a key
    ASSERT_TRUE(RegCreateKey(RegRoot::LocalMachine, "a\\b\\c\\d", nullptr));
    EXPECT_TRUE(RegDeleteTree(RegRoot::LocalMachine, "A\\B"));
    EXPECT_FALSE(RegKeyExists(RegRoot::LocalMachine, "a\\b"));
    EXPECT_TRUE(RegKeyExists(RegRoot::LocalMachine, "a"));
}

TEST_F(RegistryTest, DamagedHiveIsLeftAloneAndChangesFail) {
    const std::string path = HiveFilePath(RegRoot::CurrentUser);
    WriteFile(path, "REEFPOP-HIVE 1\nK ok\nX garbage\n");
    EXPECT_FALSE(RegCreateKey(RegRoot::CurrentUser, "new", nullptr));
    EXPECT_FALSE(RegKeyExists(RegRoot::CurrentUser, "ok"));
    EXPECT_EQ(ReadFile(path), "REEFPOP-HIVE 1\nK ok\nX garbage\n");
    for (const char* bad :
         {"", "REEFPOP-HIVE 2\n", "REEFPOP-HIVE 1\nS a%4=1\n", "REEFPOP-HIVE 1\nD a=99999999999\n",
          "REEFPOP-HIVE 1\nD a=\n", "REEFPOP-HIVE 1\nS novalue\n"}) {
        WriteFile(path, bad);
        EXPECT_FALSE(RegKeyExists(RegRoot::CurrentUser, "")) << bad;
    }
}

// A writer killed at any moment leaves a hive that reads back whole: the state before or after
// one of its transactions.
TEST_F(RegistryTest, KilledWriterNeverLeavesATornHive) {
    ASSERT_TRUE(RegCreateKey(RegRoot::LocalMachine, "big", nullptr));
    for (int round = 0; round < 20; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i)
                RegSetValue(RegRoot::LocalMachine, "big", "v" + std::to_string(i % 300),
                            Text(std::string(200, static_cast<char>('a' + i % 26))));
        }
        ::usleep(2000 + round * 500);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        RegKeyInfo info;
        ASSERT_TRUE(RegQueryKeyInfo(RegRoot::LocalMachine, "big", &info)) << "round " << round;
        // Every value present is complete.
        for (size_t i = 0; i < info.namedValues; ++i) {
            RegValue v;
            if (RegGetValue(RegRoot::LocalMachine, "big", "v" + std::to_string(i), &v)) {
                ASSERT_EQ(v.text.size(), 200u);
            }
        }
    }
}

} // namespace
