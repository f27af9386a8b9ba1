#include "SYS/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

class FilesTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        WriteFile("DATA/Sound/Music.ogg", "music");
        WriteFile("Twins/a.txt", "lower");
        WriteFile("Twins/A.txt", "upper");
    }
};

TEST_F(FilesTest, WindowsNamesResolveToExistingEntriesIgnoringCase) {
    const struct {
        const char* windowsName;
        const char* expected;
    } cases[] = {
        {"DATA\\Sound\\Music.ogg", "DATA/Sound/Music.ogg"},
        {"data\\SOUND\\music.OGG", "DATA/Sound/Music.ogg"},
        {"data\\sound\\new.ogg", "DATA/Sound/new.ogg"},    // missing file kept as written
        {"data\\NewDir\\x\\y.txt", "DATA/NewDir/x/y.txt"}, // below a missing folder too
        {"Twins\\a.txt", "Twins/a.txt"},                   // the exact name wins
        {"Twins\\A.txt", "Twins/A.txt"},
        {"TWINS\\a.TXT", "Twins/A.txt"}, // neither exact: the smaller name
        {"data\\", "DATA/"},
        {"data\\\\sound", "DATA/Sound"},
        {".\\data\\..\\DATA\\sound", "./DATA/../DATA/Sound"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.windowsName);
        EXPECT_EQ(sys::ResolvePath(c.windowsName), c.expected);
    }
    EXPECT_EQ(sys::ResolvePath(Folder() + "\\data\\sound"), Folder() + "/DATA/Sound");
}

TEST_F(FilesTest, FindFilesMatchesPatternsIgnoringCaseWithDotEntriesFirst) {
    WriteFile("DATA/Classic.BUBBLE/0.tga", "");
    WriteFile("DATA/odd.bubble", "");
    WriteFile("DATA/noext", "");
    WriteFile("DATA/other.txt", "");

    std::vector<std::string> all = sys::FindFiles("data\\*");
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all[0], ".");
    EXPECT_EQ(all[1], "..");

    const struct {
        const char* pattern;
        std::vector<std::string> expected;
    } cases[] = {
        {"DATA\\*.BUBBLE", {"Classic.BUBBLE", "odd.bubble"}},
        {"data/*.*", {".", "..", "Classic.BUBBLE", "noext", "odd.bubble", "other.txt", "Sound"}},
        {"DATA\\?DD.*", {"odd.bubble"}},
        {"DATA\\noext.*", {"noext"}},
        {"DATA\\*x*", {"noext", "other.txt"}},
        {"DATA\\o*.t?t", {"other.txt"}},
        {"DATA\\", {}},
        {"Missing\\*", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(sys::FindFiles(c.pattern), c.expected);
    }
}

TEST_F(FilesTest, FindFilesSortsIgnoringCaseWhateverTheListingOrder) {
    // Upper-case forms decide ('_' after the letters, an accented letter after 'Z'); names that
    // differ only by case keep a fixed byte-wise order.
    const std::vector<std::string> sorted = {"a.ini",
                                             "Ab.ini",
                                             "A_b.ini",
                                             "b.ini",
                                             "C.ini",
                                             "README.ini",
                                             "Readme.ini",
                                             "Zeta.ini",
                                             "\xE9"
                                             "cole.ini"};
    for (auto name = sorted.rbegin(); name != sorted.rend(); ++name) WriteFile(*name, "");
    EXPECT_EQ(sys::FindFiles("*.INI"), sorted);
}

TEST_F(FilesTest, OpenFileCreatesUnderExistingFoldersWhateverTheCase) {
    FILE* file = sys::OpenFile("data\\SOUND\\Effect.WAV", "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("RIFF", file);
    std::fclose(file);
    EXPECT_EQ(ReadFile("DATA/Sound/Effect.WAV"), "RIFF");
    EXPECT_FALSE(fs::exists("data"));

    std::vector<unsigned char> bytes;
    ASSERT_TRUE(sys::ReadWholeFile("DATA\\sound\\effect.wav", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "RIFF");
}

TEST_F(FilesTest, ExistenceAndWholeFileReads) {
    WriteFile("empty.bin", "");
    const struct {
        const char* name;
        bool exists;
        bool readable;
    } cases[] = {
        {"data\\sound\\MUSIC.ogg", true, true},
        {"EMPTY.BIN", true, true},
        {"Data", true, false}, // a folder exists but has no content to read
        {"nothing.txt", false, false},
        {"nothing\\below.txt", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sys::FileExists(c.name), c.exists);
        std::vector<unsigned char> bytes{1, 2, 3};
        EXPECT_EQ(sys::ReadWholeFile(c.name, bytes), c.readable);
        if (!c.readable) {
            EXPECT_TRUE(bytes.empty());
        }
    }
}

TEST_F(FilesTest, ReplaceFileAtomicallyWritesWholeFilesAndLeavesNoTemporaries) {
    ASSERT_TRUE(sys::ReplaceFileAtomically("data\\new.ini", "[a]\r\n"));
    EXPECT_EQ(ReadFile("DATA/new.ini"), "[a]\r\n");

    chmod("DATA/new.ini", 0640);
    ASSERT_TRUE(sys::ReplaceFileAtomically("DATA\\NEW.INI", "[b]\r\n"));
    EXPECT_EQ(ReadFile("DATA/new.ini"), "[b]\r\n");
    struct stat info;
    ASSERT_EQ(stat("DATA/new.ini", &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    fs::create_symlink("DATA/new.ini", "link.ini");
    ASSERT_TRUE(sys::ReplaceFileAtomically("link.ini", "[c]\r\n"));
    EXPECT_TRUE(fs::is_symlink("link.ini"));
    EXPECT_EQ(ReadFile("DATA/new.ini"), "[c]\r\n");

    EXPECT_FALSE(sys::ReplaceFileAtomically("missing\\x.ini", "x"));
    EXPECT_FALSE(sys::ReplaceFileAtomically("DATA", "x"));
    EXPECT_TRUE(fs::is_directory("DATA"));

    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator("DATA"))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Sound", "new.ini"}));
}

TEST_F(FilesTest, CurrentFolderFollowsWindowsNames) {
    ASSERT_TRUE(sys::SetCurrentFolder("data\\sound"));
    EXPECT_EQ(sys::GetCurrentFolder(), fs::canonical(Folder()).string() + "/DATA/Sound");
    EXPECT_TRUE(sys::FileExists("music.ogg"));
    EXPECT_FALSE(sys::SetCurrentFolder("nowhere"));
}

} // namespace
