#include "SYS/joystick.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "SYS/clock.h"

namespace {

using namespace sys;

// Messages as comparable (message, wParam, lParam) triples.
using Triple = std::tuple<unsigned, WPARAM, LPARAM>;
using Triples = std::vector<Triple>;
Triples AsTriples(const std::vector<Msg>& messages) {
    Triples triples;
    for (const Msg& m : messages) triples.emplace_back(m.message, m.wParam, m.lParam);
    return triples;
}

TEST(JoystickPosition, MapsTheSignedAxisOntoZeroToFFFF) {
    const struct {
        int16_t axis;
        unsigned position;
    } cases[] = {{-32768, 0}, {-1, 0x7FFF}, {0, 0x8000}, {32767, 0xFFFF}};
    for (const auto& c : cases) EXPECT_EQ(JoystickPosition(c.axis), c.position) << c.axis;
    EXPECT_EQ(JoystickPositionLParam(0xFFFF, 0x8000), LPARAM(0x8000FFFF));
}

struct PollCase {
    const char* what;
    JoystickState reading;
    Triples expected;
};

constexpr LPARAM kCentred = LPARAM(0x80008000);

TEST(JoystickReporter, EveryPollMovesAndButtonChangesFollow) {
    const WPARAM b1 = JOY_BUTTON1, b2 = JOY_BUTTON2, b4 = JOY_BUTTON4;
    // One reporter across the rows: each row is the next poll.
    const PollCase polls[] = {
        {"centred, nothing pressed", {}, {{MM_JOY1MOVE, 0, kCentred}}},
        {"unchanged still moves", {}, {{MM_JOY1MOVE, 0, kCentred}}},
        {"left with button 1",
         {0, 0x8000, b1},
         {{MM_JOY1MOVE, b1, 0x80000000}, {MM_JOY1BUTTONDOWN, b1 | JOY_BUTTON1CHG, 0x80000000}}},
        {"button 2 while 1 is held",
         {0, 0x8000, b1 | b2},
         {{MM_JOY1MOVE, b1 | b2, 0x80000000},
          {MM_JOY1BUTTONDOWN, b1 | b2 | JOY_BUTTON2CHG, 0x80000000}}},
        {"both released in one poll: one message each",
         {0xFFFF, 0, 0},
         {{MM_JOY1MOVE, 0, 0xFFFF},
          {MM_JOY1BUTTONUP, JOY_BUTTON1CHG, 0xFFFF},
          {MM_JOY1BUTTONUP, JOY_BUTTON2CHG, 0xFFFF}}},
        {"button 4 down",
         {0xFFFF, 0, b4},
         {{MM_JOY1MOVE, b4, 0xFFFF}, {MM_JOY1BUTTONDOWN, b4 | JOY_BUTTON4CHG, 0xFFFF}}},
    };
    JoystickReporter reporter(true, 1);
    for (const PollCase& poll : polls)
        EXPECT_EQ(AsTriples(reporter.Messages(poll.reading)), poll.expected) << poll.what;
}

TEST(JoystickReporter, ChangesOnlyReportMovementBeyondTheThreshold) {
    const PollCase polls[] = {
        {"centred is no movement", {}, {}},
        {"below the threshold", {0x8000 + 99, 0x8000, 0}, {}},
        {"counted from the last move message",
         {0x8000 + 100, 0x8000, 0},
         {{MM_JOY1MOVE, 0, LPARAM(0x80008064)}}},
        {"small steps add up", {0x8000 + 150, 0x8000, 0}, {}},
        {"", {0x8000 + 200, 0x8000, 0}, {{MM_JOY1MOVE, 0, LPARAM(0x800080C8)}}},
        {"the y axis too", {0x8000 + 200, 0x8000 - 100, 0}, {{MM_JOY1MOVE, 0, LPARAM(0x7F9C80C8)}}},
        {"buttons are always reported",
         {0x8000 + 200, 0x8000 - 100, JOY_BUTTON3},
         {{MM_JOY1BUTTONDOWN, JOY_BUTTON3 | JOY_BUTTON3CHG, LPARAM(0x7F9C80C8)}}},
    };
    JoystickReporter reporter(false, 100);
    for (const PollCase& poll : polls)
        EXPECT_EQ(AsTriples(reporter.Messages(poll.reading)), poll.expected) << poll.what;

    JoystickReporter zeroThreshold(false, 0);
    EXPECT_TRUE(zeroThreshold.Messages({}).empty()) << "no movement is never reported";
    EXPECT_EQ(zeroThreshold.Messages({0x8001, 0x8000, 0}).size(), 1u);
}

std::vector<Msg> g_posted;
void Record(unsigned message, WPARAM wParam, LPARAM lParam) {
    g_posted.push_back(Msg{message, wParam, lParam});
}

// A virtual SDL device stands in for joystick 1; the clock is driven by the test.
class JoystickCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER), 0)
            << SDL_GetError();
        if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "a real joystick is connected";
        SetCounterSourceForTesting([this] { return nowMs_ * 1000000; });
        g_posted.clear();
    }
    void TearDown() override {
        ReleaseJoystickCapture();
        if (device_) SDL_JoystickClose(device_);
        if (SDL_NumJoysticks() > 0) SDL_JoystickDetachVirtual(0);
        SetCounterSourceForTesting(nullptr);
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
    }
    void Attach(SDL_JoystickType type, int axes, int buttons, int hats) {
        ASSERT_GE(SDL_JoystickAttachVirtual(type, axes, buttons, hats), 0) << SDL_GetError();
        device_ = SDL_JoystickOpen(0);
        ASSERT_NE(device_, nullptr) << SDL_GetError();
    }
    Triples PollAt(int64_t ms) {
        nowMs_ = ms;
        g_posted.clear();
        PollJoystickIfDue(Record);
        return AsTriples(g_posted);
    }

    int64_t nowMs_ = 5000;
    SDL_Joystick* device_ = nullptr;
};

TEST_F(JoystickCaptureTest, NoJoystickMeansNoCapture) {
    EXPECT_FALSE(CaptureJoystick(20));
    EXPECT_FALSE(JoystickCaptured());
    EXPECT_TRUE(PollAt(6000).empty());
}

TEST_F(JoystickCaptureTest, GameControllerIsPolledEveryPeriod) {
    Attach(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_TRUE(SDL_IsGameController(0));
    ASSERT_TRUE(CaptureJoystick(20));
    EXPECT_FALSE(CaptureJoystick(20)) << "joystick 1 is captured once";

    SDL_JoystickSetVirtualAxis(device_, SDL_CONTROLLER_AXIS_LEFTX, -32768);
    SDL_JoystickSetVirtualAxis(device_, SDL_CONTROLLER_AXIS_LEFTY, 32767);
    SDL_JoystickSetVirtualButton(device_, SDL_CONTROLLER_BUTTON_A, 1);
    const LPARAM leftDown = JoystickPositionLParam(0, 0xFFFF);
    EXPECT_EQ(PollAt(5000), (Triples{{MM_JOY1MOVE, JOY_BUTTON1, leftDown},
                                     {MM_JOY1BUTTONDOWN, JOY_BUTTON1 | JOY_BUTTON1CHG, leftDown}}))
        << "the first poll is due at once";
    EXPECT_TRUE(PollAt(5019).empty()) << "not yet due";
    EXPECT_EQ(PollAt(5020).size(), 1u) << "a move at every poll";

    SDL_JoystickSetVirtualAxis(device_, SDL_CONTROLLER_AXIS_LEFTX, 0);
    SDL_JoystickSetVirtualAxis(device_, SDL_CONTROLLER_AXIS_LEFTY, 0);
    SDL_JoystickSetVirtualButton(device_, SDL_CONTROLLER_BUTTON_A, 0);
    SDL_JoystickSetVirtualButton(device_, SDL_CONTROLLER_BUTTON_Y, 1);
    SDL_JoystickSetVirtualButton(device_, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
    const LPARAM rightCentre = JoystickPositionLParam(0xFFFF, 0x8000);
    EXPECT_EQ(PollAt(5040),
              (Triples{{MM_JOY1MOVE, JOY_BUTTON4, rightCentre},
                       {MM_JOY1BUTTONUP, JOY_BUTTON4 | JOY_BUTTON1CHG, rightCentre},
                       {MM_JOY1BUTTONDOWN, JOY_BUTTON4 | JOY_BUTTON4CHG, rightCentre}}))
        << "the d-pad is a full deflection";

    ReleaseJoystickCapture();
    EXPECT_FALSE(JoystickCaptured());
    EXPECT_TRUE(PollAt(5100).empty());
}

TEST_F(JoystickCaptureTest, PlainJoystickUsesFirstAxesHatAndButtons) {
    Attach(SDL_JOYSTICK_TYPE_ARCADE_STICK, 2, 6, 1);
    ASSERT_FALSE(SDL_IsGameController(0));
    SetJoystickThreshold(1000);
    ASSERT_TRUE(CaptureJoystick(20, false));
    SetJoystickThreshold(0);

    SDL_JoystickSetVirtualButton(device_, 2, 1);
    SDL_JoystickSetVirtualButton(device_, 5, 1); // only buttons 1-4 exist on the system's joystick
    EXPECT_EQ(PollAt(5000), (Triples{{MM_JOY1BUTTONDOWN, JOY_BUTTON3 | JOY_BUTTON3CHG, kCentred}}));

    SDL_JoystickSetVirtualAxis(device_, 1, 999); // 999 units down: within the threshold
    EXPECT_TRUE(PollAt(5020).empty());
    SDL_JoystickSetVirtualHat(device_, 0, SDL_HAT_UP);
    EXPECT_EQ(PollAt(5040),
              (Triples{{MM_JOY1MOVE, JOY_BUTTON3, JoystickPositionLParam(0x8000, 0)}}));

    SDL_JoystickClose(device_);
    device_ = nullptr;
    SDL_JoystickDetachVirtual(0);
    EXPECT_EQ(PollAt(5060),
              (Triples{{MM_JOY1MOVE, 0, kCentred}, {MM_JOY1BUTTONUP, JOY_BUTTON3CHG, kCentred}}))
        << "pulling the joystick out lets go of its direction and button";
    EXPECT_FALSE(JoystickCaptured());
    EXPECT_TRUE(PollAt(5080).empty()) << "then it reports nothing";
}

TEST_F(JoystickCaptureTest, PadPluggedInLaterBecomesJoystickOne) {
    EXPECT_FALSE(CaptureJoystick(20)) << "no joystick yet";
    EXPECT_TRUE(JoystickCaptureActive());
    EXPECT_TRUE(PollAt(5000).empty());

    Attach(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
    SDL_JoystickSetVirtualButton(device_, SDL_CONTROLLER_BUTTON_B, 1);
    SDL_JoystickSetVirtualButton(device_, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1);
    const LPARAM left = JoystickPositionLParam(0, 0x8000);
    EXPECT_EQ(PollAt(5020), (Triples{{MM_JOY1MOVE, JOY_BUTTON2, left},
                                     {MM_JOY1BUTTONDOWN, JOY_BUTTON2 | JOY_BUTTON2CHG, left}}));
    EXPECT_TRUE(JoystickCaptured());

    SDL_JoystickClose(device_);
    device_ = nullptr;
    SDL_JoystickDetachVirtual(0);
    EXPECT_EQ(PollAt(5040),
              (Triples{{MM_JOY1MOVE, 0, kCentred}, {MM_JOY1BUTTONUP, JOY_BUTTON2CHG, kCentred}}));
    EXPECT_FALSE(JoystickCaptured());
    EXPECT_TRUE(JoystickCaptureActive()) << "still waiting for the next pad";

    Attach(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
    EXPECT_EQ(PollAt(5060), (Triples{{MM_JOY1MOVE, 0, kCentred}}))
        << "a pad plugged in again is read";
    ReleaseJoystickCapture();
    EXPECT_FALSE(JoystickCaptureActive());
}

TEST_F(JoystickCaptureTest, MappingFilesTurnAPlainJoystickIntoAPad) {
    Attach(SDL_JOYSTICK_TYPE_ARCADE_STICK, 2, 6, 0);
    ASSERT_FALSE(SDL_IsGameController(0));
    char guid[64];
    SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(0), guid, sizeof guid);
    std::fill(guid + 4, guid + 8, '0'); // mapping files leave out the name checksum, as SDL's do
    // Button 5 of the stick is the pad's A, its first axes are the left stick.
    const std::string folder = ::testing::TempDir();
    const std::string file = folder + "/gamecontrollerdb.txt";
    FILE* out = fopen(file.c_str(), "w");
    ASSERT_NE(out, nullptr);
    fprintf(out, "# a comment line\n%s,Test Stick,a:b5,b:b1,leftx:a0,lefty:a1,platform:Linux,\n",
            guid);
    fclose(out);
    SetControllerMappingFiles({folder + "/missing.txt", file});
    ASSERT_TRUE(CaptureJoystick(20));
    SetControllerMappingFiles({});
    EXPECT_TRUE(SDL_IsGameController(0));

    SDL_JoystickSetVirtualButton(device_, 5, 1);
    EXPECT_EQ(PollAt(5000), (Triples{{MM_JOY1MOVE, JOY_BUTTON1, kCentred},
                                     {MM_JOY1BUTTONDOWN, JOY_BUTTON1 | JOY_BUTTON1CHG, kCentred}}));
}

} // namespace
