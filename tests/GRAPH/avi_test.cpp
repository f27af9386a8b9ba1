#include <gtest/gtest.h>

#include "picture_bytes.h"

using namespace picturebytes;

namespace {

// A 1 x 1 24-bit frame (row padded to 4 bytes) whose blue byte tells which frame it is.
std::string Marked(unsigned marker) {
    return Pixels({marker, 0, 0, 0});
}

std::vector<std::string> MarkedFrames(int count) {
    std::vector<std::string> frames;
    for (int i = 0; i < count; ++i) frames.push_back(Marked(unsigned(10 + i)));
    return frames;
}

using AviReading = ReaderTest;

TEST_F(AviReading, ReadsUncompressedFramesBottomUp) {
    // 2 x 2 at 24 bits: rows of 6 bytes padded to 8; the bottom row is stored first.
    const std::string frame = Pixels({0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0});
    auto reader = Open("clip.avi", Avi(2, 2, 24, {frame}));
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->width, 2);
    EXPECT_EQ(reader->height, 2);
    EXPECT_EQ(reader->bitsPerPixel, 24);
    EXPECT_EQ(reader->frameCount, 1);
    EXPECT_EQ(reader->length, 100);
    EXPECT_EQ(Read565(*reader), (std::vector<uint16_t>{0x001F, 0xFFFF, 0xF800, 0x07E0}));
}

TEST_F(AviReading, FindsTheSameFramesWhateverTheLayout) {
    struct Case {
        const char* what;
        AviOptions options;
    };
    AviOptions relative, absolute, scanned, records, audio;
    absolute.absoluteIndex = true;
    scanned.index = false;
    records.recordLists = true;
    records.index = false;
    audio.audioFirst = true;
    const Case cases[] = {{"index from movi", relative},
                          {"index from file start", absolute},
                          {"no index", scanned},
                          {"rec lists", records},
                          {"audio stream first", audio}};
    for (const Case& c : cases) {
        auto reader = Open("v.avi", Avi(1, 1, 24, MarkedFrames(3), c.options));
        ASSERT_NE(reader, nullptr) << c.what;
        EXPECT_EQ(reader->frameCount, 3) << c.what;
        EXPECT_EQ(reader->length, 300) << c.what;
        for (int f = 0; f < 3; ++f)
            EXPECT_EQ(ReadPlane(*reader, 100 * f), std::vector<uint8_t>{uint8_t(10 + f)})
                << c.what << " frame " << f;
    }
}

TEST_F(AviReading, PositionsPickTheNearestSampleOfTheLoopedTime) {
    AviOptions fifteen;
    fifteen.rate = 15; // 10 frames last 666 ms: frame f is asked for at 66 * f
    auto reader = Open("f.avi", Avi(1, 1, 24, MarkedFrames(10), fifteen));
    ASSERT_NE(reader, nullptr);
    ASSERT_EQ(reader->length, 666);
    for (int f = 0; f < 10; ++f)
        EXPECT_EQ(ReadPlane(*reader, (666 / 10) * f), std::vector<uint8_t>{uint8_t(10 + f)}) << f;
    EXPECT_EQ(ReadPlane(*reader, 665), std::vector<uint8_t>{19});
    EXPECT_EQ(ReadPlane(*reader, 666), std::vector<uint8_t>{10});
    EXPECT_EQ(ReadPlane(*reader, -1), std::vector<uint8_t>{19});
}

TEST_F(AviReading, IndexThatDoesNotCheckOutIsIgnored) {
    std::string file = Avi(1, 1, 24, MarkedFrames(2));
    // Point both index entries at the first frame: frames may not overlap.
    const size_t index = file.find("idx1");
    file.replace(index + 8 + 16 + 8, 4, file.substr(index + 8 + 8, 4));
    auto reader = Open("i.avi", file);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(ReadPlane(*reader, 100), std::vector<uint8_t>{11});
}

TEST_F(AviReading, FilesThatCannotBeShownAreRefused) {
    AviOptions compressed, moreDeclared, noRate, noScale, endless;
    compressed.compression = 0x47504A4D; // 'MJPG'
    moreDeclared.declaredFrames = 4;
    moreDeclared.index = false;
    noRate.rate = 0;
    noScale.scale = 0;
    endless.scale = 0xFFFFFFFF;
    endless.rate = 1;
    const std::string good = Avi(1, 1, 24, MarkedFrames(2));
    std::string wave = good;
    wave.replace(8, 4, "WAVE");
    std::string audioOnly = good;
    audioOnly.replace(audioOnly.find("vids"), 4, "auds");
    struct Case {
        const char* what;
        std::string file;
    };
    const Case cases[] = {
        {"compressed frames", Avi(1, 1, 24, MarkedFrames(2), compressed)},
        {"fewer frames than declared", Avi(1, 1, 24, MarkedFrames(3), moreDeclared)},
        {"frame chunk shorter than a frame", Avi(2, 2, 24, {std::string(15, '\0')})},
        {"rate 0", Avi(1, 1, 24, MarkedFrames(2), noRate)},
        {"scale 0", Avi(1, 1, 24, MarkedFrames(2), noScale)},
        {"length beyond an int of ms", Avi(1, 1, 24, MarkedFrames(2), endless)},
        {"no frames", Avi(1, 1, 24, {})},
        {"huge frame", Avi(20000, 1, 24, MarkedFrames(2))},
        {"not an AVI form", wave},
        {"no video stream", audioOnly},
        {"last frame cut off", good.substr(0, good.find("idx1") - 3)},
        {"only the RIFF header", good.substr(0, 12)},
        {"not RIFF", "RIFX" + good.substr(4)},
    };
    for (const Case& c : cases) EXPECT_EQ(Open("bad.avi", c.file), nullptr) << c.what;
}

} // namespace
