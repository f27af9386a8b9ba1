// The launchers the installer writes for shell links, read back by the desktop's own tools: the
// validator accepts them and GLib's launcher starts the target with exactly the link's
// arguments in its working folder.
#include "SYS/textcodec.h"
#include "install/host/shelllink.h"
#include "sandbox.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

class LauncherTest : public SandboxTest {
protected:
    static std::string StemOf(const std::string& linkName) {
        return linkName.substr(0, linkName.rfind('.'));
    }
    static std::string Quote(const std::string& text) {
        std::string out = "'";
        for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out + "'";
    }
    static bool Have(const char* tool) {
        return std::system(("command -v " + std::string(tool) + " >/dev/null").c_str()) == 0;
    }
    // A program that records its arguments (each ended by a NUL) and then its working folder.
    void WriteRecorder(const std::string& path, const std::string& record) {
        WriteFile(path, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > " +
                            Quote(record + ".part") + "\npwd >> " + Quote(record + ".part") +
                            "\nmv " + Quote(record + ".part") + " " + Quote(record) + "\n");
        ::chmod(path.c_str(), 0755);
    }
    // The record of one launch; gio returns before the program has run.
    std::string AwaitRecord(const std::string& record) {
        for (int i = 0; i < 400 && !fs::exists(record); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return ReadFile(record);
    }
};

TEST_F(LauncherTest, DesktopToolsReadBackWhatTheLinkSays) {
    if (!Have("desktop-file-validate") || !Have("gio"))
        GTEST_SKIP() << "desktop-file-utils and libglib2.0-bin are needed";
    // Host paths are UTF-8 (a HOME with accents); a script's texts are Windows-1252.
    const struct {
        const char* linkName;
        const char* folder; // below HOME, holds the target
        std::vector<std::string> arguments;
        std::vector<std::string> received; // as the program gets them
        const char* description;
        const char* icon;
    } cases[] = {
        {"Play Reefpop.lnk", "Games/Reef Pop", {}, {}, "Play Reefpop", "Games/Reef Pop/icon.png"},
        {"Odd.lnk",
         "odd $dir `x` \"q\" ;",
         {"a;b", "$HOME", "`date`", "say \"hi\"", "back\\slash", "100%", "%f", "", "two words"},
         {"a;b", "$HOME", "`date`", "say \"hi\"", "back\\slash", "100%", "%f", "", "two words"},
         "Two\nlines",
         ""},
        {"Caf\xE9.lnk",
         "Jos\xC3\xA9/caf\xC3\xA9",
         {"\xE9t\xE9", "d\xC3\xA9j\xC3\xA0"},
         {"\xC3\xA9t\xC3\xA9", "d\xC3\xA9j\xC3\xA0"},
         "Caf\xE9 \xAB au lait \xBB",
         "Jos\xC3\xA9/i.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.linkName);
        const std::string folder = Home() + "/" + c.folder;
        const std::string record = Home() + "/record";
        fs::remove(record);
        WriteRecorder(folder + "/game", record);
        host::ShellLink link;
        link.target = Home() + "/" + c.folder + "/game";
        link.arguments = c.arguments;
        link.workingFolder = Home() + "/" + c.folder;
        link.description = c.description;
        if (*c.icon) link.iconFile = Home() + "/" + c.icon;
        const std::string entry = Home() + "/launcher.desktop";
        const std::string text = host::DesktopEntryText(c.linkName, link);
        WriteFile(entry, text);
        EXPECT_NE(text.find("\nName=" + sys::Cp1252ToUtf8(StemOf(c.linkName)) + "\n"),
                  std::string::npos)
            << text;

        const std::string validate =
            "desktop-file-validate " + Quote(entry) + " > " + Quote(Home() + "/report") + " 2>&1";
        EXPECT_EQ(std::system(validate.c_str()), 0)
            << ReadFile(Home() + "/report") << ReadFile(entry);
        ASSERT_EQ(std::system(("gio launch " + Quote(entry) + " 2>&1").c_str()), 0)
            << ReadFile(entry);
        std::string expected;
        for (const std::string& argument : c.received) expected += argument + std::string(1, '\0');
        expected += folder + "\n";
        EXPECT_EQ(AwaitRecord(record), expected) << ReadFile(entry);
    }
}

} // namespace
