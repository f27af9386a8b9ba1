#include "install/cmdline.h"
#include "install_fixture.h"

#include <cstring>

using inst::SplitCommandLine;

namespace {

TEST(CommandLine, Tokens) {
    const struct {
        const char* text;
        std::vector<std::string> tokens;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"ScriptInst a.inf", {"ScriptInst", "a.inf"}},
        {"  ScriptInst   a.inf  a.log ", {"ScriptInst", "a.inf", "a.log"}},
        {"PackInst \"C:\\My Games\\p.stg\"", {"PackInst", "C:\\My Games\\p.stg"}},
        {"\"a\"\"b\" c", {"a\"b", "c"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"\"open to the end", {"open to the end"}},
        {"\"\"", {""}},
        {"a\tb", {"a\tb"}}, // only spaces separate
        {"x\"y z", {"x\"y", "z"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.text), c.tokens) << c.text;
}

TEST(CommandLine, LaunchModeChoice) {
    const struct {
        std::vector<std::string> tokens;
        const char* mode; // "(default)", or null for none
    } cases[] = {
        {{}, "(default)"},
        {{"ScriptInst", "a.inf"}, "ScriptInst"},
        {{"ScriptInst", "a.inf", "a.log"}, "ScriptInst"},
        {{"scriptinst", "a.inf", "a.log", "more"}, "ScriptInst"},
        {{"ScriptInst"}, nullptr},
        {{"ScriptUInst", "x.log"}, "ScriptUInst"},
        {{"scriptuinst", "x.log", "y"}, nullptr},
        {{"UInstAllLBAndKV"}, "UInstAllLBAndKV"},
        {{"uinstalllbandkv", "x"}, nullptr},
        {{"PackInst", "C:\\My Games\\p.stg"}, "PackInst"},
        {{"InstDownGame", "g.stg"}, "InstDownGame"},
        {{"InstDownLB"}, "InstDownLB"},
        {{"Unknown"}, nullptr},
    };
    for (const auto& c : cases) {
        const inst::LaunchMode* mode = inst::ChooseLaunchMode(c.tokens);
        const std::string label = ::testing::PrintToString(c.tokens);
        if (!c.mode) {
            EXPECT_EQ(mode, nullptr) << label;
            continue;
        }
        ASSERT_NE(mode, nullptr) << label;
        EXPECT_STREQ(mode->name ? mode->name : "(default)", c.mode) << label;
    }
}

TEST(CommandLine, ModeValues) {
    const struct {
        const char* name;
        int value;
    } cases[] = {{"PackInst", 1}, {"InstDownGame", 2}, {"InstDownLB", 3}, {"ScriptInst", 0}};
    for (const auto& c : cases) {
        bool found = false;
        for (const inst::LaunchMode& mode : inst::LaunchModes()) {
            if (mode.name && std::strcmp(mode.name, c.name) == 0) {
                EXPECT_EQ(mode.value, c.value) << c.name;
                found = true;
            }
        }
        EXPECT_TRUE(found) << c.name;
    }
}

const char kUsage[] =
    "PackInst\n[PackName]\ninstall [PackName] pakage\n"
    "-----------------\n"
    "ScriptInst\n[ScriptFileName] (UInstLogName = 0)\nexec install [InstScriptFileName] script, "
    "write uinst log to (UInstLogName)\n"
    "-----------------\n"
    "ScriptUInst\n[UInstScriptFileName]\nexec uinst [UInstScriptFileName] script\n"
    "-----------------\n"
    "UInstAllLBAndKV\nremove all LB info and KV games from pc\n"
    "-----------------\n"
    "InstDownGame\n[GamePackFullFileName]\ninstall downloaded game\n"
    "-----------------\n"
    "InstDownLB\ninstall downloaded lb files\n"
    "-----------------\n"
    "(default)\ninstall files from this install exe\n";

TEST(CommandLine, UsageText) {
    EXPECT_EQ(inst::UsageText(), kUsage);
}

class UsageBoxTest : public InstallerTest {};

TEST_F(UsageBoxTest, ShownOnlyWhenArgumentsMatchNoMode) {
    EXPECT_EQ(inst::RunLaunchMode(app, {"scriptuinst", "x.log", "y"}), inst::kExitStartupFailed);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kUsage);
    EXPECT_EQ(boxes[0].caption, "Ussage");
    EXPECT_EQ(boxes[0].type, sys::MB_OK);
}

} // namespace
