#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "SOUND/ogg_reader.h"
#include "ogg_encode.h"
#include "sound_test_util.h"

using namespace testkit;

namespace {

class OggReaderTest : public TempFolderTest {
protected:
    // Everything the reader delivers when read in pieces of `piece` bytes without loop.
    static std::vector<char> Drain(OggReader& reader, int piece) {
        std::vector<char> all;
        std::vector<char> buffer(static_cast<size_t>(piece));
        for (int n; (n = reader.Read(buffer.data(), piece, false)) > 0;)
            all.insert(all.end(), buffer.begin(), buffer.begin() + n);
        return all;
    }
};

} // namespace

TEST_F(OggReaderTest, FormatLengthAndWholeDecode) {
    ASSERT_TRUE(EncodeOggTone("tone.ogg", 2, 22050, 5000, 440.0));
    OggReader reader;
    ASSERT_EQ(reader.Open("tone.ogg"), 0);
    EXPECT_EQ(reader.Format().formatTag, 1);
    EXPECT_EQ(reader.Format().channels, 2);
    EXPECT_EQ(reader.Format().samplesPerSec, 22050u);
    EXPECT_EQ(reader.Format().bitsPerSample, 16);
    EXPECT_EQ(reader.Format().blockAlign, 4);
    EXPECT_EQ(reader.Format().avgBytesPerSec, 88200u);
    EXPECT_EQ(reader.DataLength(), 5000u * 4);
    std::vector<char> all = Drain(reader, 3000);
    EXPECT_EQ(all.size(), 5000u * 4);
}

TEST_F(OggReaderTest, LoopingReadWrapsStraightToTheStartWithoutAGap) {
    ASSERT_TRUE(EncodeOggTone("tone.ogg", 1, 44100, 3000, 300.0));
    OggReader reader;
    ASSERT_EQ(reader.Open("tone.ogg"), 0);
    std::vector<char> once = Drain(reader, 4096);
    ASSERT_EQ(once.size(), 6000u);
    reader.Rewind();
    std::vector<char> looped(15000);
    EXPECT_EQ(reader.Read(looped.data(), 15000, true), 15000);
    for (size_t i = 0; i < looped.size(); ++i) ASSERT_EQ(looped[i], once[i % once.size()]) << i;
}

TEST_F(OggReaderTest, ReadWithoutLoopPadsWithSilenceAndCountsOnlyTheData) {
    ASSERT_TRUE(EncodeOggTone("tone.ogg", 1, 44100, 1000, 300.0));
    OggReader reader;
    ASSERT_EQ(reader.Open("tone.ogg"), 0);
    std::vector<char> buffer(5000, 'x');
    EXPECT_EQ(reader.Read(buffer.data(), 5000, false), 2000);
    for (size_t i = 2000; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0);
}

TEST_F(OggReaderTest, DamagedStreamEndsLikeTheEndOfTheData) {
    ASSERT_TRUE(EncodeOggTone("tone.ogg", 2, 44100, 200000, 500.0));
    auto size = std::filesystem::file_size("tone.ogg");
    std::vector<char> original;
    {
        OggReader whole;
        ASSERT_EQ(whole.Open("tone.ogg"), 0);
        original = Drain(whole, 8192);
    }
    const struct {
        const char* label;
        bool truncate; // else overwrite the middle with garbage
    } cases[] = {{"truncated", true}, {"corrupt", false}};
    for (const auto& c : cases) {
        std::string bytes;
        {
            std::ifstream in("tone.ogg", std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        if (c.truncate)
            bytes.resize(size_t(size) * 6 / 10);
        else
            std::memset(&bytes[size_t(size) / 2], 0x5A, 2000);
        WriteFile("bad.ogg", bytes);
        OggReader reader;
        ASSERT_EQ(reader.Open("bad.ogg"), 0) << c.label;
        std::vector<char> got = Drain(reader, 8192);
        EXPECT_LT(got.size(), original.size()) << c.label;
        EXPECT_LE(reader.DataLength(), got.size()) << c.label;
        // What was delivered is the start of the stream, in order (a damaged stream that cannot
        // even find its start delivers nothing).
        if (c.truncate) {
            EXPECT_GT(got.size(), original.size() / 3) << c.label;
        }
        size_t same = std::min<size_t>(got.size(), 100000);
        EXPECT_TRUE(std::equal(got.begin(), got.begin() + long(same), original.begin())) << c.label;
        // Looping over the damaged data keeps delivering and terminates.
        std::vector<char> buffer(300000);
        EXPECT_EQ(reader.Read(buffer.data(), int(buffer.size()), true),
                  got.empty() ? 0 : int(buffer.size()))
            << c.label;
    }
}

TEST_F(OggReaderTest, FilesThatAreNotOggDoNotOpen) {
    WriteFile("text.ogg", "this is not an ogg stream at all");
    WriteFile("empty.ogg", "");
    for (const char* name : {"text.ogg", "empty.ogg", "missing.ogg"}) {
        OggReader reader;
        EXPECT_NE(reader.Open(name), 0) << name;
        char buffer[16];
        EXPECT_EQ(reader.Read(buffer, 16, true), 0) << name;
    }
}
