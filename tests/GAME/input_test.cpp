#include "GAME/input.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "BASE/settings.h"

namespace {

using sys::LPARAM;
using sys::WPARAM;

LPARAM KeyParam(unsigned scanCode, unsigned repeat = 1, bool extended = false) {
    return sys::MakeKeyLParam(repeat, scanCode, extended, false);
}

// Rows as comparable (action, key 1, key 2) triples.
using Row = std::tuple<int, int, int>;
std::vector<Row> Rows() {
    std::vector<Row> rows;
    for (const KeyBinding& b : KeyBindings()) rows.emplace_back(b.action, b.key1, b.key2);
    return rows;
}

// Every test works in a fresh folder of its own, which is also the current folder because the
// language file is read relative to it.
class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/input_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        char previous[4096];
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        previous_ = previous;
        ASSERT_EQ(chdir(folder_.c_str()), 0);
        LoadBindings("missing.ini"); // empty table
    }
    void TearDown() override {
        ASSERT_EQ(chdir(previous_.c_str()), 0);
        std::string command = "rm -rf '" + folder_ + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }

    static void Write(const std::string& name, const std::string& text) {
        std::ofstream(name, std::ios::binary) << text;
    }
    static std::string Read(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void Bind(const std::string& controls) {
        Write("controls.ini", controls);
        LoadBindings("controls.ini");
    }

    std::string folder_;
    std::string previous_;
};

struct KeyCodeCase {
    const char* what;
    unsigned message;
    WPARAM wParam;
    LPARAM lParam;
    int code;
    int strength;
};

TEST(KeyCodeOf, MapsEveryDeviceIntoOneCodeSpace) {
    const KeyCodeCase cases[] = {
        {"joystick button 1", sys::WM_KEYDOWN, 10, 0, kKeyJoyButton1, 15},
        {"joystick button 2", sys::WM_KEYDOWN, 11, 0, kKeyJoyButton2, 15},
        {"joystick button 3", sys::WM_KEYDOWN, 14, 0, kKeyJoyButton3, 15},
        {"joystick button 4 as system key", sys::WM_SYSKEYDOWN, 15, 0, kKeyJoyButton4, 15},
        {"joystick right", sys::WM_KEYDOWN, 58, 7, kKeyJoyRight, 7},
        {"joystick left", sys::WM_KEYDOWN, 59, 15, kKeyJoyLeft, 15},
        {"joystick up", sys::WM_KEYDOWN, 60, 5, kKeyJoyUp, 5},
        {"joystick down", sys::WM_KEYDOWN, 61, 0x8009, kKeyJoyDown, 9},
        {"pause", sys::WM_KEYDOWN, sys::VK_PAUSE, KeyParam(0x45, 1), kKeyPause, 13},
        {"key, repeat count 0", sys::WM_KEYDOWN, 'A', KeyParam(30, 0), 30, 12},
        {"key, repeat count 1", sys::WM_KEYDOWN, 'A', KeyParam(30, 1), 30, 13},
        {"key, repeat count 2", sys::WM_KEYDOWN, 'A', KeyParam(30, 2), 30, 14},
        {"key, repeat count 9 capped", sys::WM_KEYDOWN, 'A', KeyParam(30, 9), 30, 15},
        {"arrow key (extended)", sys::WM_KEYDOWN, sys::VK_LEFT, KeyParam(0x4B, 1, true), 0x4B, 13},
        {"keypad 4, same code", sys::WM_KEYDOWN, sys::VK_NUMPAD0 + 4, KeyParam(0x4B), 0x4B, 13},
        {"system key F10", sys::WM_SYSKEYDOWN, sys::VK_F10, KeyParam(0x44), 0x44, 13},
        {"scan code 127", sys::WM_KEYDOWN, 0, KeyParam(127), 127, 13},
        {"left button", sys::WM_LBUTTONDOWN, sys::MK_LBUTTON, 0, kKeyMouseLeft, 15},
        {"right button", sys::WM_RBUTTONDOWN, sys::MK_RBUTTON, 0, kKeyMouseRight, 15},
        {"middle button", sys::WM_MBUTTONDOWN, sys::MK_MBUTTON, 0, kKeyMouseMiddle, 15},
        {"key without scan code", sys::WM_KEYDOWN, 'A', KeyParam(0), kNoKeyCode, -7},
        {"scan code beyond the keyboard range", sys::WM_KEYDOWN, 'A', KeyParam(0x81), kNoKeyCode,
         -7},
        {"key up", sys::WM_KEYUP, 'A', sys::MakeKeyLParam(1, 30, false, true), kNoKeyCode, -7},
        {"joystick key up", sys::WM_KEYUP, 10, 0, kNoKeyCode, -7},
        {"button up", sys::WM_LBUTTONUP, 0, 0, kNoKeyCode, -7},
        {"double click", sys::WM_LBUTTONDBLCLK, 0, 0, kNoKeyCode, -7},
        {"mouse move", sys::WM_MOUSEMOVE, 0, sys::MakePointLParam(3, 4), kNoKeyCode, -7},
        {"character", sys::WM_CHAR, 'a', KeyParam(30), kNoKeyCode, -7},
    };
    for (const KeyCodeCase& c : cases) {
        int strength = -7; // stays when there is no code
        EXPECT_EQ(KeyCodeOf(c.message, c.wParam, c.lParam, &strength), c.code) << c.what;
        EXPECT_EQ(strength, c.strength) << c.what;
        EXPECT_EQ(KeyCodeOf(c.message, c.wParam, c.lParam), c.code)
            << c.what << " without strength";
    }
}

TEST_F(InputTest, ActionOfTakesTheFirstRowHoldingTheCode) {
    Bind("1 30 31\n2 32 30\n3 129 0\n4 136 0\n");
    const struct {
        unsigned message;
        WPARAM wParam;
        LPARAM lParam;
        int action;
        int strength;
    } cases[] = {
        {sys::WM_KEYDOWN, 'A', KeyParam(30, 2), 1, 14}, // key 1 of row 1 before key 2 of row 2
        {sys::WM_KEYDOWN, 'S', KeyParam(31), 1, 13},    // key 2
        {sys::WM_KEYDOWN, 'D', KeyParam(32), 2, 13},
        {sys::WM_LBUTTONDOWN, 0, 0, 3, 15},
        {sys::WM_KEYDOWN, kPseudoKeyJoyLeft, 11, 4, 11},
        {sys::WM_KEYDOWN, 'Q', KeyParam(16), kKeyNotBound, 13},
        {sys::WM_KEYUP, 'A', KeyParam(30), kNoKeyCode, -1},
    };
    for (const auto& c : cases) {
        int strength = -1;
        EXPECT_EQ(ActionOf(c.message, c.wParam, c.lParam, &strength), c.action) << c.wParam;
        EXPECT_EQ(strength, c.strength) << c.wParam;
    }
}

struct RebindStep {
    int action;
    unsigned scanCode;
};

struct RebindCase {
    const char* what;
    const char* controls;
    std::vector<RebindStep> steps;
    std::vector<Row> expected;
};

TEST_F(InputTest, RebindMovesKeysAndKeepsTheTwoLatest) {
    const RebindCase cases[] = {
        {"a key 1 of another action moves",
         "1 30 31\n2 32 0\n",
         {{2, 30}},
         {{1, 0, 31}, {2, 30, 32}}},
        {"a key 2 of another action moves",
         "1 30 31\n2 32 0\n",
         {{2, 31}},
         {{1, 30, 0}, {2, 31, 32}}},
        {"own key 1 changes nothing", "1 30 31\n2 32 0\n", {{1, 30}}, {{1, 30, 31}, {2, 32, 0}}},
        {"own key 2 changes nothing", "1 30 31\n2 32 0\n", {{1, 31}}, {{1, 30, 31}, {2, 32, 0}}},
        {"binding twice keeps the older key as key 2",
         "2 32 0\n",
         {{2, 40}, {2, 41}},
         {{2, 41, 40}}},
        {"a third key drops the oldest", "2 32 0\n", {{2, 40}, {2, 41}, {2, 42}}, {{2, 42, 41}}},
        {"an action without a row gets one", "1 30 0\n", {{7, 30}}, {{1, 0, 0}, {7, 30, 0}}},
        {"the own row is the first of the action",
         "5 30 0\n5 31 0\n",
         {{5, 32}},
         {{5, 32, 30}, {5, 31, 0}}},
    };
    for (const RebindCase& c : cases) {
        Bind(c.controls);
        for (const RebindStep& step : c.steps)
            EXPECT_EQ(Rebind(step.action, sys::WM_KEYDOWN, 'X', KeyParam(step.scanCode)),
                      kRebindDone)
                << c.what;
        EXPECT_EQ(Rows(), c.expected) << c.what;
    }
}

TEST_F(InputTest, RebindRefusesEscapeAndMessagesWithoutCode) {
    Bind("1 30 31\n");
    const std::vector<Row> before = Rows();
    EXPECT_EQ(Rebind(1, sys::WM_KEYDOWN, sys::VK_ESCAPE, KeyParam(1)), kRebindCancelled);
    EXPECT_EQ(Rebind(1, sys::WM_KEYUP, 'A', KeyParam(30)), kRebindNoKeyCode);
    EXPECT_EQ(Rebind(1, sys::WM_MOUSEMOVE, 0, 0), kRebindNoKeyCode);
    EXPECT_EQ(Rows(), before);
    // Escape is only special as a plain key-down; the joystick and mouse bind like keys.
    EXPECT_EQ(Rebind(1, sys::WM_KEYDOWN, kPseudoKeyJoyButton2, 0), kRebindDone);
    EXPECT_EQ(Rebind(1, sys::WM_RBUTTONDOWN, 0, 0), kRebindDone);
    EXPECT_EQ(Rows(), (std::vector<Row>{{1, kKeyMouseRight, kKeyJoyButton2}}));
}

TEST_F(InputTest, ActionRobbedOfItsKeysCanBeBoundAfterSaving) {
    Bind("1 30 0\n2 31 0\n");
    ASSERT_EQ(Rebind(2, sys::WM_KEYDOWN, 'A', KeyParam(30)), kRebindDone);
    ASSERT_TRUE(SaveBindings("controls.ini"));
    LoadBindings("controls.ini"); // the emptied row of action 1 is dropped
    EXPECT_EQ(Rows(), (std::vector<Row>{{2, 30, 31}}));
    EXPECT_EQ(Rebind(1, sys::WM_KEYDOWN, 'Z', KeyParam(44)), kRebindDone);
    EXPECT_EQ(ActionOf(sys::WM_KEYDOWN, 'Z', KeyParam(44)), 1);
}

TEST_F(InputTest, KeyNamesComeFromTheLanguageFile) {
    Write("lang.ini", "[key]\n30=A\n31=S\n136=Joystick left\n0=none\n");
    Bind("1 30 31\n2 136 0\n3 0 31\n");
    KeyNamePair names;
    ASSERT_EQ(KeyNames("lang.ini", 1, names), 0);
    GetIniString("lang.ini", "key", "136"); // the shared buffer changes; the names are copies
    EXPECT_EQ(names.key1, "A");
    EXPECT_EQ(names.key2, std::optional<std::string>("S"));

    ASSERT_EQ(KeyNames("lang.ini", 2, names), 0);
    EXPECT_EQ(names.key1, "Joystick left");
    EXPECT_FALSE(names.key2.has_value());

    ASSERT_EQ(KeyNames("lang.ini", 3, names), 0);
    EXPECT_EQ(names.key1, "none");
    EXPECT_EQ(names.key2, std::optional<std::string>("S"));

    names.key1 = "kept";
    EXPECT_EQ(KeyNames("lang.ini", 9, names), 1);
    EXPECT_EQ(names.key1, "kept");
}

struct LoadCase {
    const char* what;
    std::string text;
    std::vector<Row> expected;
};

TEST_F(InputTest, LoadBindingsReadsUpToThreeNumbersPerLine) {
    const std::string spaces255(255, ' ');
    const LoadCase cases[] = {
        {"three numbers", "5 30 31\n", {{5, 30, 31}}},
        {"action and no keys is skipped", "5 0 0\n", {}},
        {"a missing key 2 is 0", "5 30\n", {{5, 30, 0}}},
        {"only key 2", "5 0 31\n", {{5, 0, 31}}},
        {"action 0 is skipped", "0 30 31\n", {}},
        {"only an action", "5\n", {}},
        {"tabs, CR LF and a last line without line end",
         "\t7\t1\t2\r\n8 3 4",
         {{7, 1, 2}, {8, 3, 4}}},
        {"letters after the action end the line", "5x 30 31\n", {}},
        {"letters after key 1 end the line", "5 30x 31\n", {{5, 30, 0}}},
        {"text after three numbers is ignored", "5 30 31 32 # comment\n", {{5, 30, 31}}},
        {"garbage and empty lines", "hello\n\n  \n;5 30 31\n6 40 41\n", {{6, 40, 41}}},
        {"signs", "-3 +4 -5\n", {{-3, 4, -5}}},
        {"a lone sign is no number", "5 - 31\n", {}},
        {"numbers keep 16 bits", "65566 1 0\n", {{30, 1, 0}}},
        {"huge numbers do not overflow", "99999999999999999999999 1 0\n", {{-1, 1, 0}}},
        {"a NUL ends the numbers", std::string("5 30\0 31\n", 9), {{5, 30, 0}}},
        {"255 characters are a line", spaces255.substr(7) + "5 30 31\n", {{5, 30, 31}}},
        {"255 characters and CR LF", spaces255.substr(7) + "5 30 31\r\n", {{5, 30, 31}}},
        {"a longer line is skipped as a whole, not read in pieces",
         "1 2 3" + spaces255 + "4 5 6\n7 8 9\n",
         {{7, 8, 9}}},
        {"a long last line without line end", "7 8 9\n" + spaces255 + "1 2 3", {{7, 8, 9}}},
    };
    for (const LoadCase& c : cases) {
        Bind("99 1 2\n"); // loading replaces what was there
        Bind(c.text);
        EXPECT_EQ(Rows(), c.expected) << c.what;
    }
    Bind("99 1 2\n");
    LoadBindings("no such file.ini");
    EXPECT_TRUE(KeyBindings().empty());
}

TEST_F(InputTest, SaveWritesTabSeparatedRowsThatLoadBack) {
    Bind("5 30\n-3 4 -5\n6 0 31\n");
    ASSERT_TRUE(SaveBindings("saved.ini"));
    EXPECT_EQ(Read("saved.ini"), "5\t30\t0\n-3\t4\t-5\n6\t0\t31\n");

    Write("saved.ini", "stale content that is longer than the table\n");
    ASSERT_TRUE(SaveBindings("saved.ini"));
    EXPECT_EQ(Read("saved.ini"), "5\t30\t0\n-3\t4\t-5\n6\t0\t31\n");

    EXPECT_FALSE(SaveBindings("no folder\\saved.ini"));
}

TEST_F(InputTest, TenThousandRowsRoundTrip) {
    std::string text;
    for (int i = 1; i <= 10000; ++i)
        text +=
            std::to_string(i) + " " + std::to_string(i % 128) + " " + std::to_string(i % 7) + "\n";
    Bind(text);
    ASSERT_EQ(KeyBindings().size(), 10000u - 10000 / 896); // rows with both keys 0 are skipped
    const std::vector<Row> loaded = Rows();
    ASSERT_TRUE(SaveBindings("controls.ini"));
    LoadBindings("controls.ini");
    EXPECT_EQ(Rows(), loaded);
    EXPECT_EQ(ActionOf(sys::WM_KEYDOWN, 0, KeyParam(127)), 127);
}

using Sent = std::tuple<unsigned, WPARAM, LPARAM>;

struct JoystickCase {
    const char* what;
    std::vector<Sent> received; // joystick messages, in order, to one translator
    std::vector<Sent> sent;     // key messages sent for the last of them
};

LPARAM Position(unsigned x, unsigned y) {
    return LPARAM(x | (y << 16));
}

constexpr unsigned kCentre = 0x8000;

TEST(JoystickKeyTranslator, SendsPseudoKeyMessages) {
    using sys::MM_JOY1BUTTONDOWN;
    using sys::MM_JOY1BUTTONUP;
    using sys::MM_JOY1MOVE;
    using sys::WM_KEYDOWN;
    using sys::WM_KEYUP;
    const LPARAM where = Position(0x1234, 0x5678);
    const JoystickCase cases[] = {
        {"far left is strength 15",
         {{MM_JOY1MOVE, 0, Position(0, kCentre)}},
         {{WM_KEYDOWN, 59, 15}}},
        {"just left of the dead zone is 5",
         {{MM_JOY1MOVE, 0, Position(0x57FF, kCentre)}},
         {{WM_KEYDOWN, 59, 5}}},
        {"dead zone low edge", {{MM_JOY1MOVE, 0, Position(0x5800, kCentre)}}, {}},
        {"dead zone high edge", {{MM_JOY1MOVE, 0, Position(0xA7FF, kCentre)}}, {}},
        {"just right of the dead zone is 5",
         {{MM_JOY1MOVE, 0, Position(0xA800, kCentre)}},
         {{WM_KEYDOWN, 58, 5}}},
        {"far right is 15", {{MM_JOY1MOVE, 0, Position(0xFFFF, kCentre)}}, {{WM_KEYDOWN, 58, 15}}},
        {"up and down", {{MM_JOY1MOVE, 0, Position(kCentre, 0)}}, {{WM_KEYDOWN, 60, 15}}},
        {"down", {{MM_JOY1MOVE, 0, Position(kCentre, 0xFFFF)}}, {{WM_KEYDOWN, 61, 15}}},
        {"diagonal, x first",
         {{MM_JOY1MOVE, 0, Position(0, 0xFFFF)}},
         {{WM_KEYDOWN, 59, 15}, {WM_KEYDOWN, 61, 15}}},
        {"a held direction repeats with its current strength",
         {{MM_JOY1MOVE, 0, Position(0, kCentre)}, {MM_JOY1MOVE, 0, Position(0x1000, kCentre)}},
         {{WM_KEYDOWN, 59, 13}}},
        {"release sends one key-up",
         {{MM_JOY1MOVE, 0, Position(0, kCentre)}, {MM_JOY1MOVE, 0, Position(kCentre, kCentre)}},
         {{WM_KEYUP, 59, 0}}},
        {"and no second one",
         {{MM_JOY1MOVE, 0, Position(0, kCentre)},
          {MM_JOY1MOVE, 0, Position(kCentre, kCentre)},
          {MM_JOY1MOVE, 0, Position(kCentre, kCentre)}},
         {}},
        {"left straight to right",
         {{MM_JOY1MOVE, 0, Position(0, kCentre)}, {MM_JOY1MOVE, 0, Position(0xFFFF, kCentre)}},
         {{WM_KEYUP, 59, 0}, {WM_KEYDOWN, 58, 15}}},
        {"axes are held separately",
         {{MM_JOY1MOVE, 0, Position(kCentre, 0)}, {MM_JOY1MOVE, 0, Position(0, kCentre)}},
         {{WM_KEYDOWN, 59, 15}, {WM_KEYUP, 60, 0}}},
        {"button 1 down",
         {{MM_JOY1BUTTONDOWN, sys::JOY_BUTTON1 | sys::JOY_BUTTON1CHG, where}},
         {{WM_KEYDOWN, 10, where}}},
        {"button 2 down",
         {{MM_JOY1BUTTONDOWN, sys::JOY_BUTTON2 | sys::JOY_BUTTON2CHG, where}},
         {{WM_KEYDOWN, 11, where}}},
        {"button 3 down",
         {{MM_JOY1BUTTONDOWN, sys::JOY_BUTTON3 | sys::JOY_BUTTON3CHG, where}},
         {{WM_KEYDOWN, 14, where}}},
        {"button 4 down",
         {{MM_JOY1BUTTONDOWN, sys::JOY_BUTTON4 | sys::JOY_BUTTON4CHG, where}},
         {{WM_KEYDOWN, 15, where}}},
        {"button 2 pressed while 1 is held",
         {{MM_JOY1BUTTONDOWN, sys::JOY_BUTTON1 | sys::JOY_BUTTON2 | sys::JOY_BUTTON2CHG, where}},
         {{WM_KEYDOWN, 11, where}}},
        {"button 1 up", {{MM_JOY1BUTTONUP, sys::JOY_BUTTON1CHG, where}}, {{WM_KEYUP, 10, where}}},
        {"button 3 up while 1 is held",
         {{MM_JOY1BUTTONUP, sys::JOY_BUTTON1 | sys::JOY_BUTTON3CHG, where}},
         {{WM_KEYUP, 14, where}}},
        {"button 4 up", {{MM_JOY1BUTTONUP, sys::JOY_BUTTON4CHG, where}}, {{WM_KEYUP, 15, where}}},
        {"other messages", {{sys::WM_KEYDOWN, 'A', 0}, {sys::MM_MCINOTIFY, 1, 2}}, {}},
    };
    for (const JoystickCase& c : cases) {
        JoystickKeyTranslator translator;
        std::vector<Sent> sent;
        auto record = [&](unsigned m, WPARAM w, LPARAM l) { sent.emplace_back(m, w, l); };
        for (const Sent& msg : c.received) {
            sent.clear();
            translator.Translate(std::get<0>(msg), std::get<1>(msg), std::get<2>(msg), record);
        }
        EXPECT_EQ(sent, c.sent) << c.what;
    }
}

TEST_F(InputTest, JoystickMessagesReachTheirActions) {
    Bind("1 136 0\n2 132 0\n");
    JoystickKeyTranslator translator;
    std::vector<std::pair<int, int>> actions; // action, strength
    auto deliver = [&](unsigned m, WPARAM w, LPARAM l) {
        int strength = -1;
        actions.emplace_back(ActionOf(m, w, l, &strength), strength);
    };
    translator.Translate(sys::MM_JOY1MOVE, 0, Position(0x2000, kCentre), deliver);
    translator.Translate(sys::MM_JOY1BUTTONDOWN, sys::JOY_BUTTON1 | sys::JOY_BUTTON1CHG,
                         Position(0x2000, kCentre), deliver);
    translator.Translate(sys::MM_JOY1MOVE, 0, Position(kCentre, kCentre), deliver);
    const std::vector<std::pair<int, int>> expected = {{1, 11}, {2, 15}, {kNoKeyCode, -1}};
    EXPECT_EQ(actions, expected);
}

} // namespace
