#include "install/host/fileversion.h"
#include "sandbox.h"

#include <cstring>

namespace {

void Put16(std::vector<unsigned char>& b, size_t at, uint32_t v) {
    b.at(at) = v & 0xFF;
    b.at(at + 1) = (v >> 8) & 0xFF;
}
void Put32(std::vector<unsigned char>& b, size_t at, uint32_t v) {
    for (size_t i = 0; i < 4; ++i) b.at(at + i) = (v >> (8 * i)) & 0xFF;
}

// A minimal 32-bit Windows library whose one section holds a version resource 1.2.3.4.
std::vector<unsigned char> MakeLibrary() {
    std::vector<unsigned char> b(0x400, 0);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, 0x40);
    std::memcpy(&b[0x40], "PE\0\0", 4);
    Put16(b, 0x44, 0x14C);
    Put16(b, 0x46, 1);   // one section
    Put16(b, 0x54, 224); // optional header size
    const size_t optional = 0x58;
    Put16(b, optional, 0x10B);
    Put32(b, optional + 92, 16);
    Put32(b, optional + 96 + 16, 0x1000); // resource directory
    Put32(b, optional + 96 + 20, 0x100);
    const size_t section = optional + 224;
    Put32(b, section + 8, 0x200);
    Put32(b, section + 12, 0x1000);
    Put32(b, section + 16, 0x200);
    Put32(b, section + 20, 0x200);
    const size_t res = 0x200;
    Put16(b, res + 14, 1);
    Put32(b, res + 16, 16);
    Put32(b, res + 20, 0x80000000u | 0x18);
    Put16(b, res + 0x18 + 14, 1);
    Put32(b, res + 0x28, 1);
    Put32(b, res + 0x2C, 0x80000000u | 0x30);
    Put16(b, res + 0x30 + 14, 1);
    Put32(b, res + 0x40, 0x409);
    Put32(b, res + 0x44, 0x48);
    Put32(b, res + 0x48, 0x1060);
    Put32(b, res + 0x4C, 0x60);
    const size_t info = res + 0x60;
    Put16(b, info, 0x60);
    Put16(b, info + 2, 52);
    const char key[] = "VS_VERSION_INFO";
    for (size_t i = 0; i < sizeof key; ++i)
        b[info + 6 + 2 * i] = static_cast<unsigned char>(key[i]);
    Put32(b, info + 40, 0xFEEF04BD);
    Put32(b, info + 44, 0x10000);
    Put32(b, info + 48, 0x00010002);
    Put32(b, info + 52, 0x00030004);
    return b;
}

TEST(FileVersion, ReadsTheFixedRecord) {
    const std::vector<unsigned char> good = MakeLibrary();
    host::FileVersion version;
    ASSERT_TRUE(host::FileVersionFromBytes(good.data(), good.size(), &version));
    EXPECT_EQ(version.ms, 0x00010002u);
    EXPECT_EQ(version.ls, 0x00030004u);
}

TEST(FileVersion, FilesWithoutOneReadAsAbsent) {
    const std::vector<unsigned char> good = MakeLibrary();
    auto with = [&good](size_t at, uint32_t value) {
        std::vector<unsigned char> b = good;
        Put32(b, at, value);
        return b;
    };
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"empty", {}},
        {"linux program", {0x7F, 'E', 'L', 'F', 2, 1, 1, 0}},
        {"pe offset outside", with(0x3C, 0xFFFFFFF0u)},
        {"no version resource", with(0x210, 3)},
        {"resource outside sections", with(0x58 + 96 + 16, 0x9000)},
        {"data entry outside", with(0x248, 0x7FFFFFFF)},
        {"bad signature", with(0x288, 0x12345678)},
        {"subdirectory loop", with(0x214, 0x80000000u)},
        {"truncated", std::vector<unsigned char>(good.begin(), good.begin() + 0x296)},
    };
    for (const auto& c : cases) {
        host::FileVersion version;
        EXPECT_FALSE(host::FileVersionFromBytes(c.bytes.data(), c.bytes.size(), &version))
            << c.what;
    }
}

class FileVersionFileTest : public SandboxTest {};

TEST_F(FileVersionFileTest, FromDisk) {
    const std::vector<unsigned char> good = MakeLibrary();
    WriteFile(Home() + "/sys/ddraw.dll", std::string(good.begin(), good.end()));
    host::FileVersion version;
    EXPECT_TRUE(host::ReadFileVersion(Home() + "\\SYS\\DDRAW.DLL", &version));
    EXPECT_EQ(version.ms, 0x00010002u);
    EXPECT_FALSE(host::ReadFileVersion("/bin/sh", &version));
    EXPECT_FALSE(host::ReadFileVersion(Home() + "/missing.dll", &version));
    EXPECT_FALSE(host::ReadFileVersion(Home(), &version));
}

} // namespace
