#include "install/expand.h"
#include "install_fixture.h"

namespace {

class ExpandTest : public InstallerTest {
protected:
    void SetUp() override {
        InstallerTest::SetUp();
        app.variables["GNAME"] = "Reefpop";
        app.variables["DIR_GAMES"] = "C:\\Games";
        app.variables["SUB"] = "%DIR_GAMES%\\x";
        app.variables["PCT"] = "%%";
    }
};

TEST_F(ExpandTest, Cases) {
    const struct {
        const char* in;
        const char* out;
        size_t messages;
    } cases[] = {
        {"plain text", "plain text", 0},
        {"100%%", "100%", 0},
        {"##", "%", 0},
        {"%#", "%", 0},
        {"%GNAME%", "Reefpop", 0},
        {"#GNAME#", "Reefpop", 0},
        {"%GNAME#!", "Reefpop!", 0},
        {"a%UNSET", "a", 0},
        {"a%UNKNOWN%b", "ab", 1},
        {"%SUB%", "C:\\Games\\x", 0},
        {"%PCT%GNAME%PCT%", "%GNAME%", 0}, // literal per-cents never open a reference
        {"50%% of %GNAME%", "50% of Reefpop", 0},
        {"%%GNAME%%", "%GNAME%", 0},
        {"", "", 0},
    };
    for (const auto& c : cases) {
        boxes.clear();
        EXPECT_EQ(inst::ExpandText(app, c.in), c.out) << c.in;
        EXPECT_EQ(boxes.size(), c.messages) << c.in;
    }
}

TEST_F(ExpandTest, UnknownNameIsReported) {
    EXPECT_EQ(inst::ExpandText(app, "x%NOPE%y"), "xy");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "script \"NOPE\" parameter not found");
    EXPECT_EQ(boxes[0].caption, "script error");
}

TEST_F(ExpandTest, ResolvedVariablesAreCopiedIntoParams) {
    app.scriptParams["GNAME"] = "Override";
    EXPECT_EQ(inst::ExpandText(app, "%GNAME% in %SUB%"), "Override in C:\\Games\\x");
    EXPECT_EQ(app.scriptParams["GNAME"], "Override");
    EXPECT_EQ(app.scriptParams["SUB"], "%DIR_GAMES%\\x");
    EXPECT_EQ(app.scriptParams["DIR_GAMES"], "C:\\Games");
}

// Values that refer to themselves stop with a message instead of hanging or growing without end.
TEST_F(ExpandTest, SelfReferenceIsBounded) {
    const struct {
        const char* value;
    } cases[] = {{"%LOOP%"}, {"x%LOOP%"}, {"%LOOP%%LOOP%"}, {"#LOOP##LOOP##LOOP#"}};
    for (const auto& c : cases) {
        app.scriptParams.clear();
        app.variables["LOOP"] = c.value;
        boxes.clear();
        const std::string out = inst::ExpandText(app, "%LOOP%");
        EXPECT_LE(out.size(), inst::kMaxExpandedLength) << c.value;
        EXPECT_EQ(boxes.size(), 1u) << c.value;
    }
}

} // namespace
