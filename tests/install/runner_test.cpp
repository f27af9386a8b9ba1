#include "install/host/registry.h"
#include "install/script.h"
#include "install_fixture.h"

#include <cstring>

namespace {

class RunnerTest : public InstallerTest {
protected:
    std::string LogPath() { return Home() + "/run.log"; }
    // The log without its three header lines.
    std::string LogBody() {
        const std::string text = ReadFile(LogPath());
        size_t at = 0;
        for (int i = 0; i < 3 && at != std::string::npos; ++i) at = text.find("\r\n", at) + 2;
        return text.substr(at);
    }
    bool Run(const std::string& text, bool backwards, bool paramPass, inst::ScriptRunner& runner) {
        return runner.Run(text.data(), text.size(), backwards, paramPass, nullptr);
    }
};

TEST_F(RunnerTest, LogHeaderAndParameterLines) {
    ASSERT_TRUE(inst::RunCompleteScript(app, "PrmSet B \"two words\"\r\nPrmSet A %GRP_GAMES%\r\n",
                                        LogPath(), false));
    const std::string text = ReadFile(LogPath());
    EXPECT_EQ(text.find(";*************************************\r\n;script started at "), 0u);
    EXPECT_EQ(LogBody(),
              "PrmSet A Zorvane\r\nPrmSet B \"two words\"\r\nPrmSet GRP_GAMES Zorvane\r\n");
}

// PrmSet stores its argument expanded, so the log takes such a value as it stands; only a
// value still copied from Variables (REF here) is expanded on the way. Replaying the log gives
// every value back, '%', '#' and line breaks included.
TEST_F(RunnerTest, ParameterLinesKeepExpandedValuesForTheReplay) {
    app.variables["REF"] = "%GRP_GAMES%, 100%%";
    const std::string script = "PrmSet P \"%DIR_GAMES%\\50%% %~23%1\"\r\n"
                               "PrmSet L a%~0D%%~0A%b\r\n"
                               "PrmSet Q %REF%\r\n";
    ASSERT_TRUE(inst::RunCompleteScript(app, script, LogPath(), false));
    EXPECT_TRUE(boxes.empty()) << boxes[0].text;
    const std::string games = app.variables["DIR_GAMES"];
    EXPECT_EQ(app.scriptParams["P"], games + "\\50% #1");
    EXPECT_EQ(LogBody(), "PrmSet DIR_GAMES " + games +
                             "\r\n"
                             "PrmSet GRP_GAMES Zorvane\r\n"
                             "PrmSet L a%~0D%%~0A%b\r\n"
                             "PrmSet P \"" +
                             games +
                             "\\50%% %~23%1\"\r\n"
                             "PrmSet Q \"Zorvane, 100%%\"\r\n"
                             "PrmSet REF \"Zorvane, 100%%\"\r\n");
    const inst::NameMap installed = app.scriptParams;
    app.scriptParams.clear();
    const std::string log = ReadFile(LogPath());
    inst::ScriptRunner replay(app);
    ASSERT_TRUE(Run(log, true, true, replay));
    EXPECT_TRUE(boxes.empty()) << boxes[0].text;
    EXPECT_EQ(installed.at("L"), "a\r\nb");
    EXPECT_EQ(installed.at("Q"), "Zorvane, 100%");
    for (const char* name : {"L", "P", "Q"})
        EXPECT_EQ(app.scriptParams[name], installed.at(name)) << name;
    EXPECT_EQ(app.scriptParams["REF"], "Zorvane, 100%");
}

TEST_F(RunnerTest, DispatchOutcomes) {
    const struct {
        const char* script;
        bool backwards;
        bool result;
        std::vector<std::string> messages;
    } cases[] = {
        {"NoSuch a\r\nPrmSet X 1", false, false, {"script command \"NoSuch\" not found"}},
        {"NoSuch a\r\nNoSuch b",
         true,
         true,
         {"script command \"NoSuch\" not found", "script command \"NoSuch\" not found"}},
        {"PrmSet X", false, false, {"script command \"PrmSet\" call not valid"}},
        {"prmset = 1",
         false,
         false,
         {"script syntax errror", "script command \"prmset\" call not valid"}},
        {"LBExit = 1", false, true, {"script syntax errror"}},
        {"RegSetStr a b c %NOPE%", false, true, {"script \"NOPE\" parameter not found"}},
        {"; only\r\n;comments", false, true, {}},
        {"uinststart\r\nUInstStop\r\nlbstop\r\nstgprocess", false, true, {}},
    };
    for (const auto& c : cases) {
        boxes.clear();
        inst::ScriptRunner runner(app);
        EXPECT_EQ(Run(c.script, c.backwards, true, runner), c.result) << c.script;
        std::vector<std::string> texts;
        for (const ShownBox& box : boxes) texts.push_back(box.text);
        EXPECT_EQ(texts, c.messages) << c.script;
    }
}

TEST_F(RunnerTest, PassesRunTheirCommandsOnly) {
    inst::ScriptRunner runner(app);
    const std::string script = "PrmSet P 1\r\nRegSetStr HKCU k V 1\r\n";
    ASSERT_TRUE(Run(script, false, false, runner)); // WorkPass skips PrmSet
    EXPECT_EQ(app.scriptParams.count("P"), 0u);
    EXPECT_TRUE(host::RegKeyExists(host::RegRoot::CurrentUser, "k"));
    host::RegDeleteTree(host::RegRoot::CurrentUser, "k");
    ASSERT_TRUE(Run(script, false, true, runner)); // ParamPass skips RegSetStr
    EXPECT_EQ(app.scriptParams["P"], "1");
    EXPECT_FALSE(host::RegKeyExists(host::RegRoot::CurrentUser, "k"));
}

TEST_F(RunnerTest, UninstallLinesGoToTheLogInTheParamPassOnly) {
    const std::string script = "u:UnFileDel %GRP_GAMES%\\readme.txt\r\n"
                               "U:RegSetStr HKLM software\\x V 1 Owr=0\r\n"
                               "RegSetStr HKCU a V 1\r\n";
    ASSERT_TRUE(inst::RunCompleteScript(app, script, LogPath(), false));
    EXPECT_EQ(LogBody(), "UnFileDel Zorvane\\readme.txt\r\n"
                         "RegSetStr HKLM software\\x V 1 Owr = 0\r\n"
                         "UnRegPathDel HKCU a DelSub = 0\r\n"
                         "UnRegValDel HKCU a V\r\n"
                         "PrmSet GRP_GAMES Zorvane\r\n");
}

TEST_F(RunnerTest, LogStopsWhenTheScriptTurnsItOff) {
    const std::string script =
        "u:UnFileDel a\r\nRegSetStr HKCU a V 1\r\nu:UnFileDel b\r\nUnLogStop\r\n";
    ASSERT_TRUE(inst::RunCompleteScript(app, script, LogPath(), false));
    EXPECT_EQ(LogBody(), "UnFileDel a\r\nUnFileDel b\r\n");
}

TEST_F(RunnerTest, LoggedArgumentsReadBackUnchanged) {
    const char* const texts[] = {"plain", "two words", "say \"hi\"", "\"",
                                 "a'b",   "'q",        "x=y",        "C:\\a=b\\f.txt"};
    inst::ScriptRunner runner(app);
    ASSERT_TRUE(runner.OpenLog(LogPath()));
    for (const char* text : texts) runner.WriteLogLine({"PrmSet", "N", text});
    runner.FinishLog();
    const std::string body = LogBody();
    size_t at = 0;
    for (const char* text : texts) {
        const size_t end = body.find("\r\n", at);
        inst::ScriptLine line;
        ASSERT_TRUE(inst::ParseScriptLine(body.data() + at, end - at, &line));
        ASSERT_EQ(line.positional.size(), 2u) << text;
        EXPECT_EQ(line.positional[1], text);
        at = end + 2;
    }
}

TEST_F(RunnerTest, ProgressCanStopTheRun) {
    inst::ScriptRunner runner(app);
    std::vector<double> seen;
    const std::string script = "PrmSet A 1\r\nPrmSet B 2\r\nPrmSet C 3\r\n";
    EXPECT_FALSE(runner.Run(script.data(), script.size(), false, true, [&](double f) {
        seen.push_back(f);
        return seen.size() < 2;
    }));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_DOUBLE_EQ(seen[0], 10.0 / script.size());
    EXPECT_EQ(app.scriptParams.count("C"), 0u);
    seen.clear();
    EXPECT_TRUE(runner.Run("", 0, false, true, [&](double f) {
        seen.push_back(f);
        return true;
    }));
    EXPECT_TRUE(seen.empty());
}

TEST_F(RunnerTest, UnopenableLogRunsNothing) {
    EXPECT_FALSE(inst::RunCompleteScript(app, "PrmSet A 1", Home() + "/missing/dir/x.log", false));
    EXPECT_EQ(app.scriptParams.count("A"), 0u);
}

TEST_F(RunnerTest, HugeAndBinaryLinesAreHarmless) {
    std::string script(3u << 20, 'x');
    script += "\r\n";
    for (int i = 0; i < 256; ++i) script += static_cast<char>(i);
    inst::ScriptRunner runner(app);
    answers.assign(8, sys::IDOK);
    Run(script, true, true, runner);
    Run(script, true, false, runner);
    SUCCEED();
}

} // namespace
