#include "SYS/msgbox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace sys;

// Without a display: the dummy video driver, as the tests run.
class HeadlessMessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"}) {
            const char* old = std::getenv(name);
            saved_.push_back({name, old ? old : "", old != nullptr});
        }
        setenv("SDL_VIDEODRIVER", "dummy", 1);
    }
    void TearDown() override {
        SetMessageBoxResponder({});
        for (const Saved& s : saved_) {
            if (s.present)
                setenv(s.name, s.value.c_str(), 1);
            else
                unsetenv(s.name);
        }
    }

private:
    struct Saved {
        const char* name;
        std::string value;
        bool present;
    };
    std::vector<Saved> saved_;
};

TEST_F(HeadlessMessageBoxTest, WithoutDisplayTheDefaultButtonAnswers) {
    const struct {
        unsigned type;
        int expected;
    } cases[] = {
        {MB_OK, IDOK},
        {MB_OK | MB_ICONERROR, IDOK},
        {MB_OKCANCEL, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_OKCANCEL | MB_DEFBUTTON3, IDOK}, // no third button: the first
        {MB_YESNO | MB_ICONQUESTION, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_ABORTRETRYIGNORE | MB_ICONWARNING, IDABORT},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_RETRYCANCEL | MB_ICONINFORMATION, IDRETRY},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        testing::internal::CaptureStderr();
        EXPECT_EQ(MessageBox("text", "caption", c.type), c.expected);
        testing::internal::GetCapturedStderr();
    }
}

TEST_F(HeadlessMessageBoxTest, WithoutDisplayTheTextGoesToStandardErrorAsUtf8) {
    testing::internal::CaptureStderr();
    MessageBox("file not found: DATA\\caf\xE9.tga", "Reef\x99", MB_OK | MB_ICONERROR);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Reef\xE2\x84\xA2: file not found: DATA\\caf\xC3\xA9.tga\n");
}

// A display that cannot be reached makes SDL fail; the box falls back to standard error.
TEST_F(HeadlessMessageBoxTest, WhenSdlCannotShowTheBoxTheDefaultButtonAnswers) {
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("WAYLAND_DISPLAY");
    setenv("DISPLAY", "unreachable.invalid:97", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox("Overwrite?", "Setup", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Setup: Overwrite?\n"),
              std::string::npos);
}

TEST_F(HeadlessMessageBoxTest, ResponderAnswersInsteadOfTheBox) {
    std::string seenText, seenCaption;
    unsigned seenType = 0;
    SetMessageBoxResponder([&](const std::string& text, const std::string& caption, unsigned type) {
        seenText = text;
        seenCaption = caption;
        seenType = type;
        return IDIGNORE;
    });
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox("Copy failed", "Setup", MB_ABORTRETRYIGNORE | MB_ICONERROR), IDIGNORE);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(seenText, "Copy failed");
    EXPECT_EQ(seenCaption, "Setup");
    EXPECT_EQ(seenType, MB_ABORTRETRYIGNORE | MB_ICONERROR);

    SetMessageBoxResponder({});
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox("Copy failed", "Setup", MB_ABORTRETRYIGNORE), IDABORT);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Setup: Copy failed\n");
}

} // namespace
