#include "install/script.h"
#include "install_fixture.h"

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

class LibraryTest : public InstallerTest {
protected:
    bool RunLine(const std::string& line) {
        inst::ScriptRunner runner(app);
        return runner.Run(line.data(), line.size(), false, false, nullptr);
    }
    std::string BuiltLibrary(const char* name) {
        return std::string(REEFPOP_BINARY_DIR) + "/install/" + name;
    }
};

TEST_F(LibraryTest, DirectXSetupFollowsTheLibrarysAnswers) {
    const struct {
        const char* what;
        std::vector<const char*> files; // steering files in the set-up folder
        const char* arguments;
        std::vector<int> answers;
        bool result;
        bool reboot;
        std::vector<std::string> boxTexts;
    } cases[] = {
        {"silent", {}, "Silent=1", {}, true, false, {}},
        {"restart asked", {"restart"}, "Silent=1", {}, true, true, {}},
        {"question declined",
         {"fail"},
         "",
         {sys::IDCANCEL},
         true,
         false,
         {"The games on this CD require DirectX. Click OK to install DirectX (recommended). Click "
          "Cancel to skip the installation of DirectX."}},
        {"failure aborted",
         {"fail"},
         "Silent=1",
         {sys::IDABORT},
         false,
         false,
         {"DirectX could not be installed"}},
        {"failure ignored",
         {"fail"},
         "Silent=1",
         {sys::IDIGNORE},
         true,
         false,
         {"DirectX could not be installed"}},
        {"licence refused",
         {"eula_refused"},
         "Silent=1",
         {sys::IDABORT},
         false,
         false,
         {"DirectX could not be installed"}},
        {"licence not shown", {"eula_refused"}, "Silent=1 Lic=0", {}, true, false, {}},
        {"library message",
         {"message.txt"},
         "Silent=1",
         {sys::IDOK},
         true,
         false,
         {"Insert disk 2"}},
        {"message cancelled",
         {"message.txt"},
         "Silent=1",
         {sys::IDCANCEL, sys::IDABORT},
         false,
         false,
         {"Insert disk 2", "DirectX could not be installed"}},
    };
    for (const auto& c : cases) {
        const std::string folder = Home() + "/dx";
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::copy_file(BuiltLibrary("DSETUP.dll"), folder + "/DSETUP.dll");
        for (const char* file : c.files) WriteFile(folder + "/" + file, "Insert disk 2");
        app.flags = inst::kDelayedOpsAllowed;
        boxes.clear();
        answers.assign(c.answers.begin(), c.answers.end());
        EXPECT_EQ(RunLine("DXSetup Dir=" + WinPath("dx") + " " + c.arguments), c.result) << c.what;
        EXPECT_EQ((app.flags & inst::kRebootPending) != 0, c.reboot) << c.what;
        std::vector<std::string> texts;
        for (const ShownBox& box : boxes) {
            texts.push_back(box.text);
            EXPECT_EQ(box.caption, "DirectX Installation") << c.what;
        }
        EXPECT_EQ(texts, c.boxTexts) << c.what;
    }
}

TEST_F(LibraryTest, DirectXSetupWithoutTheLibrary) {
    answers = {sys::IDOK, sys::IDABORT};
    EXPECT_FALSE(RunLine("DirectXSetup Silent=1 Dir=" + WinPath("nothing")));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text,
              "DirectX-files could not be found in path \"" + WinPath("nothing") + "\"");
    EXPECT_EQ(boxes[0].caption, "DirectX Installation");
    EXPECT_EQ(boxes[1].text, "DirectX could not be installed");
}

TEST_F(LibraryTest, ActiveXRegistrationAndItsUndo) {
    const std::string record = Home() + "/calls.txt";
    ::setenv("REEFPOP_ACTIVEX_LOG", record.c_str(), 1);
    const std::string library = BuiltLibrary("libactivex_probe.so");
    const std::string log = Home() + "/ax.log";
    ASSERT_TRUE(inst::RunCompleteScript(app, "ActiveXReg " + library + "\r\n", log, false));
    EXPECT_NE(ReadFile(log).find("\r\nActiveXUnReg " + library + "\r\n"), std::string::npos);
    EXPECT_TRUE(RunLine("ActiveXUnReg " + library));
    EXPECT_EQ(ReadFile(record), "register\nunregister\n");

    ::setenv("REEFPOP_ACTIVEX_FAIL", "1", 1);
    answers = {sys::IDABORT};
    EXPECT_FALSE(RunLine("ActiveXReg " + library));
    EXPECT_FALSE(RunLine("ActiveXUnReg " + library));
    answers = {sys::IDABORT};
    EXPECT_FALSE(RunLine("ActiveXReg " + WinPath("missing.so")));
    ::unsetenv("REEFPOP_ACTIVEX_FAIL");
    ::unsetenv("REEFPOP_ACTIVEX_LOG");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "ActiveX \"" + library +
                                 "\" registration failed. Ensure you have administration rights.");
}

} // namespace
