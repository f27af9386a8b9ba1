#include <gtest/gtest.h>

#include <vector>

#include "SOUND/decoder.h"
#include "SOUND/fwav.h"
#include "sound_test_util.h"

using namespace testkit;

namespace {

class WaveReaderTest : public TempFolderTest {};

std::string Bytes(const std::vector<uint8_t>& v) {
    return std::string(v.begin(), v.end());
}

} // namespace

TEST_F(WaveReaderTest, ReadsFormatAndDataAndStopsAtTheChunkEnd) {
    // An odd-sized chunk before "fmt " is skipped with its pad byte.
    WriteFile("a.wav", Riff(Chunk("LIST", "abc") + Chunk("fmt ", PcmFormat(1, 22050, 16)) +
                            Chunk("data", Samples16({1, 2, 3})) + Chunk("junk", "zzzz")));
    WaveReader reader;
    ASSERT_EQ(reader.Open("a.wav"), 0);
    EXPECT_EQ(reader.Format().channels, 1);
    EXPECT_EQ(reader.Format().samplesPerSec, 22050u);
    EXPECT_EQ(reader.Format().bitsPerSample, 16);
    EXPECT_EQ(reader.Format().blockAlign, 2);
    EXPECT_EQ(reader.DataLength(), 6u);
    int16_t out[8] = {};
    EXPECT_EQ(reader.Read(out, 4, false), 4);
    EXPECT_EQ(reader.Read(out + 2, 16, false), 2); // never past the chunk
    EXPECT_EQ(reader.Read(out, 16, false), 0);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[2], 3);
    reader.Rewind();
    EXPECT_EQ(reader.Read(out, 16, true), 16); // asked to loop, it starts over
    EXPECT_EQ(out[3], 1);
    EXPECT_EQ(Log(), "");
}

TEST_F(WaveReaderTest, LyingSizesEndAtTheEndOfTheFile) {
    std::string data = "data";
    Put32(data, 0x7FFFFFF0); // claims two gigabytes
    WriteFile("lie.wav",
              Riff(Chunk("fmt ", PcmFormat(2, 44100, 16)) + data + Samples16({5, 6, 7, 8})));
    WaveReader reader;
    ASSERT_EQ(reader.Open("lie.wav"), 0);
    EXPECT_EQ(reader.DataLength(), 8u);
}

TEST_F(WaveReaderTest, DataChunkMissingGivesNoData) {
    WriteFile("nodata.wav", Riff(Chunk("fmt ", PcmFormat(2, 44100, 16))));
    WaveReader reader;
    ASSERT_EQ(reader.Open("nodata.wav"), 0);
    EXPECT_EQ(reader.DataLength(), 0u);
    char out[4];
    EXPECT_EQ(reader.Read(out, 4, true), 0); // no endless loop over nothing
}

TEST_F(WaveReaderTest, BrokenFilesAreLoggedWithTheirLine) {
    std::string shortFormat = Riff(Chunk("fmt ", PcmFormat(2, 44100, 16).substr(0, 10)));
    std::string cutBody = "fmt ";
    Put32(cutBody, 16);
    std::string cutFormat = Riff(cutBody + "abc");
    const struct {
        const char* label;
        std::string bytes; // empty: the file does not exist
        std::string record;
    } cases[] = {
        {"missing", "",
         " line: 39  -  !( hmmioIn = mmioOpen( strFilename, NULL, MMIO_ALLOCBUF | MMIO_READ ) ) = "
         "1\n"},
        {"tiny", "RIF", " line: 40  -  mmioDescend( hmmioIn, &pckInRIFF, NULL, 0 ) = 265\n"},
        {"not wave", Bytes({'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}),
         " line: 40  -  mmioDescend( hmmioIn, &pckInRIFF, NULL, 0 ) = 265\n"},
        {"no fmt", Riff(Chunk("data", "abcd")),
         " line: 42  -  mmioDescend( hmmioIn, &ckIn, &pckInRIFF, MMIO_FINDCHUNK ) = 265\n"},
        {"short fmt", shortFormat,
         " line: 43  -  ( mmioRead( hmmioIn, (HPSTR) &pcm, sizeof(PCMWAVEFORMAT) ) <= 0) = 1\n"},
        {"cut fmt", cutFormat,
         " line: 43  -  ( mmioRead( hmmioIn, (HPSTR) &pcm, sizeof(PCMWAVEFORMAT) ) <= 0) = 1\n"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove("gerr.log");
        CloseErrorLog();
        std::filesystem::remove("t.wav");
        if (!c.bytes.empty()) WriteFile("t.wav", c.bytes);
        WaveReader reader;
        EXPECT_NE(reader.Open("t.wav"), 0) << c.label;
        std::string log = Log();
        EXPECT_NE(log.find("SOUND/fwav.cpp" + c.record), std::string::npos) << c.label << "\n"
                                                                            << log;
    }
}

TEST(DecoderFactory, PicksTheReaderByExtensionIgnoringCase) {
    EXPECT_NE(dynamic_cast<WaveReader*>(CreateDecoder("DATA\\BOOM.WAV").get()), nullptr);
    EXPECT_NE(CreateDecoder("a.b\\music.Ogg"), nullptr);
    EXPECT_EQ(CreateDecoder("a.wav.txt"), nullptr);
    EXPECT_EQ(CreateDecoder("wav"), nullptr);
}
