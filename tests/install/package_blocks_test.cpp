#include <cstring>
#include <filesystem>
#include <zlib.h>

#include "install/package/blocks.h"
#include "install/package/storage.h"
#include "package_test_util.h"
#include "sandbox.h"

namespace {

TEST(PackageChecksum, RotateXorSteps) {
    const uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(pkg::RotateXorChecksum(abc, 1), 0x61u);
    EXPECT_EQ(pkg::RotateXorChecksum(abc, 2), 0x36Au);
    EXPECT_EQ(pkg::RotateXorChecksum(abc, 3), 0x1B33u);
}

TEST(PackageChecksum, GroupedSumMatchesBytewiseAtEveryLengthAndSplit) {
    std::vector<uint8_t> data(300);
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 131 + 7);
    for (size_t n : {0u, 7u, 8u, 9u, 64u, 299u, 300u}) {
        uint32_t slow = 0;
        for (size_t i = 0; i < n; ++i) slow = ((slow << 3) | (slow >> 29)) ^ data[i];
        EXPECT_EQ(pkg::RotateXorChecksum(data.data(), n), slow) << n;
        const size_t cut = n / 3;
        EXPECT_EQ(pkg::RotateXorChecksum(data.data() + cut, n - cut,
                                         pkg::RotateXorChecksum(data.data(), cut)),
                  slow)
            << n;
    }
}

class PackageLoadTest : public SandboxTest {
protected:
    std::string Path(const std::string& name) { return Home() + "/" + name; }
    pkg::PackageStorage storage;
};

TEST_F(PackageLoadTest, BlocksAfterAnExecutableVerifyBackToBack) {
    const auto first = PkgContainer({PkgFile("a.txt", "alpha")});
    const auto second = pkg::BuildSingleFile("%DIR_LB%x.dat", std::string(5000, 'x'));
    // The executable part holds "stgc" and "sstg" that are not headers.
    const std::vector<uint8_t> exe = {'M', 'Z', 's', 't', 'g', 'c', 0, 's', 's', 't', 'g'};
    WriteBytes(Path("setup"), {exe, first, second});
    const auto result = pkg::LoadPackageFile(storage, Path("setup"), false, true);
    EXPECT_TRUE(result.loaded);
    EXPECT_FALSE(result.corrupt);
    ASSERT_EQ(storage.blocks.size(), 2u);
    EXPECT_EQ(storage.blocks[0].kind, pkg::BlockKind::kContainer);
    EXPECT_EQ(storage.blocks[0].start, 0u);
    EXPECT_EQ(storage.blocks[1].kind, pkg::BlockKind::kSingleFile);
    EXPECT_EQ(storage.blocks[1].start, first.size());
    EXPECT_EQ(storage.TotalSize(), first.size() + second.size());
    EXPECT_EQ(std::memcmp(storage.blocks[1].data, second.data(), second.size()), 0);
}

TEST_F(PackageLoadTest, DamagedFilesAreCorrupt) {
    const auto good = PkgContainer({PkgFile("a.txt", std::string(3000, 'q'), false)});
    const auto single = pkg::BuildSingleFile("x.dat", "payload");
    auto changed = [](std::vector<uint8_t> b, size_t at) {
        b[at] ^= 0x40;
        return b;
    };
    auto withWord = [](std::vector<uint8_t> b, size_t at, uint32_t v) {
        pkg::PutWord(b, at, v);
        return b;
    };
    const struct {
        const char* what;
        std::vector<std::vector<uint8_t>> parts;
    } cases[] = {
        {"one data byte of the second block", {good, changed(good, good.size() - 100)}},
        {"a data byte of a single-file block", {good, changed(single, single.size() - 1)}},
        {"the stored checksum", {changed(good, 12)}},
        {"bytes trailing the last block", {good, {'x', 'y'}}},
        {"a block size past the file", {good, withWord(single, 8, 1u << 30)}},
        {"a second block with size zero", {good, withWord(good, 16, 0)}},
        {"a data offset past the block",
         {good,
          [&] {
              auto b = withWord(single, 16, uint32_t(single.size() + 1));
              pkg::SealBlock(b);
              return b;
          }()}},
        {"a destination without its zero", {[&] {
             auto b = single;
             const uint32_t data = WordAt(b, 16);
             for (size_t i = 28; i < data; ++i) b[i] = 'p';
             pkg::SealBlock(b);
             return b;
         }()}},
        {"no block at all", {{'M', 'Z', 0, 0}}},
        {"an empty file", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(Path("p.stg"), c.parts);
        pkg::PackageStorage s;
        const auto result = pkg::LoadPackageFile(s, Path("p.stg"), false, true);
        EXPECT_TRUE(result.corrupt);
        // A corrupt file contributes no blocks, not even the good ones before the damage.
        EXPECT_TRUE(s.blocks.empty());
        EXPECT_TRUE(std::filesystem::exists(Path("p.stg")));
    }
}

TEST_F(PackageLoadTest, MustContainAndDeleteIfCorrupt) {
    WriteBytes(Path("plain"), {{'M', 'Z'}});
    auto result = pkg::LoadPackageFile(storage, Path("plain"), true, false);
    EXPECT_FALSE(result.corrupt);
    EXPECT_TRUE(std::filesystem::exists(Path("plain")));

    auto bad = PkgContainer({PkgFile("a", "b")});
    bad.back() ^= 1;
    WriteBytes(Path("lb_1.stg"), {bad});
    result = pkg::LoadPackageFile(storage, Path("lb_1.stg"), true, true);
    EXPECT_TRUE(result.corrupt);
    EXPECT_FALSE(std::filesystem::exists(Path("lb_1.stg")));
    EXPECT_EQ(storage.files.size(), 1u); // the first file only

    result = pkg::LoadPackageFile(storage, Path("missing.stg"), false, true);
    EXPECT_FALSE(result.loaded);
    EXPECT_TRUE(result.corrupt);
}

TEST_F(PackageLoadTest, ProgressCoversTheFileAndEachBlock) {
    const auto first = PkgContainer({PkgFile("a", std::string(4000, 'a'), false)});
    const auto second = PkgContainer({PkgFile("b", std::string(4000, 'b'), false)});
    WriteBytes(Path("two"), {first, second});
    std::vector<std::pair<double, double>> calls;
    pkg::LoadPackageFile(storage, Path("two"), false, true, [&](double file, double block) {
        calls.push_back({file, block});
    });
    ASSERT_GE(calls.size(), 8u);
    EXPECT_DOUBLE_EQ(calls.front().first, 0.0);
    EXPECT_DOUBLE_EQ(calls.back().first,
                     double(first.size()) / double(first.size() + second.size()));
    EXPECT_DOUBLE_EQ(calls.back().second, 1.0);
}

} // namespace

#include "install/package/integritywnd.h"

namespace {

TEST_F(PackageLoadTest, IntegrityWindowOnlyForSlowChecks) {
    const auto first = PkgContainer({PkgFile("a", std::string(8000, 'a'), false)});
    const auto second = PkgContainer({PkgFile("b", std::string(3000, 'b'), false)});
    WriteBytes(Path("p.stg"), {first, second});
    inst::InstallerApp app;
    {
        pkg::IntegrityCheckWindow quick(app);
        pkg::LoadPackageFile(storage, Path("p.stg"), false, true, quick.Progress());
        EXPECT_FALSE(quick.WasShown());
    }
    pkg::IntegrityCheckWindow slow(app, std::chrono::milliseconds(0));
    pkg::PackageStorage other;
    EXPECT_FALSE(pkg::LoadPackageFile(other, Path("p.stg"), false, true, slow.Progress()).corrupt);
    if (!slow.WasShown()) GTEST_SKIP() << "no window can be made";
    // The window stays until the check of the file is over: the whole-file bar at the last
    // block's start, the block bar full.
    const ui::Page& page = slow.Window().Page();
    ASSERT_TRUE(page.IsOpen());
    EXPECT_EQ(page.ItemAs<ui::ProgressBar>(1024)->Pos(),
              int(100.0 * double(first.size()) / double(first.size() + second.size())));
    EXPECT_EQ(page.ItemAs<ui::ProgressBar>(1021)->Pos(), 100);
}

} // namespace
