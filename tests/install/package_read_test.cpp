#include <zlib.h>

#include "install/package/entries.h"
#include "package_test_util.h"
#include "sandbox.h"

namespace {

class PackageReadTest : public SandboxTest {
protected:
    void Load(const std::vector<uint8_t>& block) { LoadBlock(storage, Home() + "/p.stg", block); }
    std::string Read(const std::string& path, size_t extra = 0, bool* ok = nullptr) {
        std::vector<uint8_t> out;
        const bool found = pkg::ReadPackageFile(storage, 0, path, extra, &out);
        if (ok) *ok = found;
        return std::string(out.begin(), out.end());
    }
    pkg::PackageStorage storage;
};

TEST_F(PackageReadTest, PathRules) {
    const std::string big(200000, 'z');
    Load(PkgContainer({PkgFolder("~Info", {PkgFile("gameinfo.inf", "GNAME=Reef\r\n"),
                                           PkgFile("Licence.txt", "terms", false)}),
                       PkgFile("big.bin", big), PkgFile("readme", "top")}));
    const struct {
        const char* path;
        bool found;
        std::string content;
    } cases[] = {
        {"~Info\\gameinfo.inf", true, "GNAME=Reef\r\n"},
        {"~info/GAMEINFO.INF", true, "GNAME=Reef\r\n"},
        {" ~Info \\  Licence.txt  ", true, "terms"},
        {"~Info\\\\Licence.txt", true, "terms"},
        {"big.bin", true, big},
        {"~Info\\gameinfo", false, ""}, // lengths differ
        {"readme\\x", false, ""},       // a file before the last component
        {"~Info", false, ""},           // a folder is not a file
        {"", false, ""},
        {"nothing.txt", false, ""},
    };
    for (const auto& c : cases) {
        bool ok = false;
        const std::string got = Read(c.path, 0, &ok);
        EXPECT_EQ(ok, c.found) << c.path;
        EXPECT_EQ(got, c.content) << c.path;
    }
    bool ok = false;
    EXPECT_EQ(Read("readme", 2, &ok), std::string("top\0\0", 5));
    EXPECT_TRUE(ok);
    std::vector<uint8_t> out;
    EXPECT_FALSE(pkg::ReadPackageFile(storage, 1, "readme", 0, &out));
}

// Patches the first root entry's field and reseals the block.
std::vector<uint8_t> WithEntryWord(std::vector<uint8_t> block, int field, uint32_t value) {
    pkg::PutWord(block, 44 + field, value);
    pkg::SealBlock(block);
    return block;
}

TEST_F(PackageReadTest, HostileEntriesAreRefused) {
    const auto packed = PkgContainer({PkgFile("f", std::string(10000, 'k'))});
    const auto stored = PkgContainer({PkgFile("f", "plain", false)});
    const uint32_t nameAt = WordAt(packed, 44 + 20);
    auto renamed = [&](const std::string& name) {
        auto b = packed;
        b[nameAt] = uint8_t(name[0]);
        pkg::SealBlock(b);
        return b;
    };
    const struct {
        const char* what;
        std::vector<uint8_t> block;
        const char* path;
    } cases[] = {
        {"data past the block", WithEntryWord(stored, 8, uint32_t(stored.size() - 2)), "f"},
        {"size past the block", WithEntryWord(stored, 12, 0xFFFFFFF0u), "f"},
        {"packed size past the block", WithEntryWord(packed, 16, 0x7FFFFFFFu), "f"},
        {"name past the block", WithEntryWord(packed, 20, uint32_t(packed.size())), "f"},
        {"name length past the block", WithEntryWord(packed, 24, 0xFFFFFFFFu), "f"},
        {"empty name", WithEntryWord(packed, 24, 0), "f"},
        {"count past the block", WithEntryWord(packed, -4, 0x10000000u), "f"},
        {"inflates past its size", WithEntryWord(packed, 12, 9999), "f"},
        {"stops short of its size", WithEntryWord(packed, 12, 10001), "f"},
        {"claims far more than it can hold", WithEntryWord(packed, 12, 0xFFFFFFF0u), "f"},
        {"stream cut short", WithEntryWord(packed, 16, WordAt(packed, 44 + 16) - 8), "f"},
        {"name with a slash", renamed("/"), "/"},
        {"name with a backslash", renamed("\\"), "\\"},
        {"name with a drive colon", renamed(":"), ":"},
        {"name dot", renamed("."), "."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Load(c.block);
        bool ok = true;
        Read(c.path, 0, &ok);
        EXPECT_FALSE(ok);
    }
}

TEST_F(PackageReadTest, BlockTexts) {
    Load(PkgContainer({}, "lb", "7"));
    EXPECT_EQ(pkg::BlockTypeText(storage.blocks[0]), "lb");
    EXPECT_EQ(pkg::BlockIdText(storage.blocks[0]), "7");
    auto b = PkgContainer({});
    pkg::PutWord(b, 28, uint32_t(b.size()));
    Load(b);
    EXPECT_EQ(pkg::BlockTypeText(storage.blocks[0]), "");
}

} // namespace
