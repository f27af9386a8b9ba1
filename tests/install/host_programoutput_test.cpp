#include "install/host/programoutput.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramOutput, FindsProgramsOnPath) {
    EXPECT_TRUE(host::OnPath("sh"));
    EXPECT_FALSE(host::OnPath("no-such-program-for-reefpop"));
    EXPECT_FALSE(host::OnPath("/bin/sh")); // a path is not a name to look up
    EXPECT_FALSE(host::OnPath(""));
}

TEST(ProgramOutput, CollectsOutputAndExitStatus) {
    const struct {
        const char* script;
        size_t maxOutput;
        const char* output;
        int exitCode;
    } cases[] = {
        {"printf '/home/a b/\\n'", 100, "/home/a b/\n", 0},
        {"printf 'x'; exit 1", 100, "x", 1},
        {"printf 'abcdef'; exit 3", 4, "abcd", 3},
        {"printf 'err' >&2; exit 0", 100, "", 0},
    };
    for (const auto& c : cases) {
        std::string output = "stale";
        int exitCode = -1;
        ASSERT_TRUE(host::RunForOutput({"sh", "-c", c.script}, &output, &exitCode, c.maxOutput))
            << c.script;
        EXPECT_EQ(output, c.output) << c.script;
        EXPECT_EQ(exitCode, c.exitCode) << c.script;
    }
    std::string output;
    int exitCode = 0;
    EXPECT_FALSE(host::RunForOutput({"no-such-program-for-reefpop"}, &output, &exitCode));
    EXPECT_FALSE(host::RunForOutput({"sh", "-c", "kill -9 $$"}, &output, &exitCode));
    EXPECT_FALSE(host::RunForOutput({}, &output, &exitCode));
}

} // namespace
