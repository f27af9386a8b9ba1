#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "SYS/msgbox.h"
#include "graph_test_util.h"

using namespace graphtest;

namespace {

// Runs in a fresh folder with a DATA subfolder; message boxes are recorded, not shown.
class SpriteFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory("DATA");
        sys::SetMessageBoxResponder(
            [this](const std::string& text, const std::string& caption, unsigned) {
                boxes.push_back(caption + ": " + text);
                return sys::IDOK;
            });
    }
    void TearDown() override {
        sys::SetMessageBoxResponder({});
        for (Sprite* s : loaded) s->Release();
    }
    // Loads through the cache; the registry's reference is dropped at tear-down.
    Sprite* Load(const char* name, const char* mask = nullptr, bool reload = false) {
        Sprite* s = LoadSprite(name, mask, reload);
        if (std::find(loaded.begin(), loaded.end(), s) == loaded.end()) loaded.push_back(s);
        return s;
    }

    TempFolder folder;
    std::vector<std::string> boxes;
    std::vector<Sprite*> loaded;
};

TEST_F(SpriteFiles, MaskNameDefaultsToUnderscoreBesideThePicture) {
    struct Case {
        const char* file;
        const char* mask;
        const char* expected;
    } cases[] = {
        {"DATA\\Menu00.tga", nullptr, "DATA\\_Menu00.tga"},
        {"top.tga", nullptr, "_top.tga"},
        {"DATA\\SUB\\b.bmp", nullptr, "DATA\\SUB\\_b.bmp"},
        {"DATA\\c.tga", "DATA\\alpha.tga", "DATA\\alpha.tga"},
    };
    for (const Case& c : cases) {
        Sprite* s = Load(c.file, c.mask);
        ASSERT_TRUE(s->maskFileName.has_value());
        EXPECT_EQ(*s->maskFileName, c.expected);
        EXPECT_EQ(*s->fileName, c.file);
    }
}

TEST_F(SpriteFiles, MissingAndUnknownPicturesSayWhy) {
    Sprite* missing = Load("DATA\\none.tga");
    EXPECT_EQ(missing->width, 0);
    Sprite* unknown = Load("DATA\\picture.xyz");
    EXPECT_EQ(unknown->width, 0);
    const std::vector<std::string> expected = {
        "file not found: DATA\\none.tga",
        "unknown file format: DATA\\picture.xyz",
        "file not found: DATA\\picture.xyz",
    };
    EXPECT_EQ(boxes, expected);
}

TEST_F(SpriteFiles, LoadsTgaIntoASurfaceOfTheCurrentFormat) {
    // red, green / blue, white
    WriteTga("DATA/four.tga", 2, 2, 24, {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255});
    Sprite* s = Load("data\\FOUR.TGA");
    ASSERT_EQ(s->width, 2);
    EXPECT_EQ(s->frameHeight, 2);
    EXPECT_EQ(s->frameCount, 1);
    EXPECT_TRUE(s->lpDDSurface != nullptr);
    EXPECT_FALSE(s->HasAlpha());
    EXPECT_FALSE(s->bMask());
    EXPECT_EQ(s->clip.right, 2);
    EXPECT_EQ(s->clip.bottom, 2);
    EXPECT_EQ(At(*s, 0, 0), kRed);
    EXPECT_EQ(At(*s, 1, 0), kGreen);
    EXPECT_EQ(At(*s, 0, 1), kBlue);
    EXPECT_EQ(At(*s, 1, 1), kWhite);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SpriteFiles, CacheFindsNamesIgnoringCaseAndReloadRereads) {
    WriteTga("DATA/a.tga", 1, 1, 24, Solid(1, 1, 0, 0, 255));
    Sprite* first = Load("DATA\\a.tga");
    EXPECT_EQ(first->refCount, 1); // the registry's reference
    WriteTga("DATA/a.tga", 1, 1, 24, Solid(1, 1, 255, 0, 0));
    EXPECT_EQ(Load("data\\A.TGA"), first);
    EXPECT_EQ(At(*first, 0, 0), kRed); // not read again
    EXPECT_EQ(Load("DATA\\A.tga", nullptr, true), first);
    EXPECT_EQ(At(*first, 0, 0), kBlue);
    EXPECT_EQ(first->refCount, 1);
}

TEST_F(SpriteFiles, BlackPixelsMakeAColourKeyExceptInJpegNames) {
    struct Case {
        const char* file; // a TGA in every case: the reader is chosen by substring
        bool black;
        bool keyed;
    } cases[] = {
        {"DATA\\k1.tga", true, true},      {"DATA\\k2.tga", false, false},
        {"DATA\\k3.tga.jpg", true, false}, {"DATA\\k4.tga.JPG", true, false},
        {"DATA\\k5.jpg.tga", true, true},
    };
    for (const Case& c : cases) {
        std::string path = c.file;
        std::replace(path.begin(), path.end(), '\\', '/');
        std::vector<uint8_t> pixels = Solid(2, 1, 10, 20, 30);
        if (c.black) pixels[3] = pixels[4] = pixels[5] = 0;
        WriteTga(path, 2, 1, 24, pixels);
        Sprite* s = Load(c.file);
        ASSERT_EQ(s->width, 2) << c.file;
        EXPECT_EQ(s->bMask(), c.keyed) << c.file;
    }
}

TEST_F(SpriteFiles, ThirtyTwoBitPicturesGetAnAlphaPlaneAndOwnPixels) {
    WriteTga("DATA/glow.tga", 2, 1, 32, {0, 0, 0, 0, 255, 255, 255, 128});
    Sprite* s = Load("DATA\\glow.tga");
    ASSERT_EQ(s->width, 2);
    EXPECT_EQ(s->lpDDSurface, nullptr);
    EXPECT_EQ(s->pitch, 4);
    ASSERT_EQ(s->alpha.size(), 2u);
    EXPECT_EQ(s->alpha[0], 0);
    EXPECT_EQ(s->alpha[1], 128);
    EXPECT_FALSE(s->bMask());
    EXPECT_EQ(At(*s, 1, 0), kWhite);
}

TEST_F(SpriteFiles, MaskFileBesideThePictureIsAlwaysBlended) {
    WriteTga("DATA/x.tga", 2, 1, 24, Solid(2, 1, 255, 255, 255));
    // The mask's lowest byte (blue) becomes alpha: 0 then 255.
    WriteTga("DATA/_x.tga", 2, 1, 24, {0, 255, 255, 255, 0, 0});
    Sprite* s = Load("DATA\\x.tga");
    ASSERT_EQ(s->alpha.size(), 2u);
    EXPECT_EQ(s->alpha[0], 0);
    EXPECT_EQ(s->alpha[1], 255);
    auto back = SurfaceSprite(2, 1);
    FillAll(*back, 0x1234);
    back->DrawSprite(0, 0, s, 0, 0);
    EXPECT_EQ(At(*back, 0, 0), 0x1234);
    EXPECT_EQ(At(*back, 1, 0), kWhite);
}

TEST_F(SpriteFiles, MaskOfAnotherSizeIsIgnored) {
    WriteTga("DATA/y.tga", 2, 1, 24, Solid(2, 1, 255, 255, 255));
    WriteTga("DATA/_y.tga", 4, 4, 24, Solid(4, 4, 0, 0, 0));
    Sprite* s = Load("DATA\\y.tga");
    EXPECT_EQ(s->width, 2);
    EXPECT_EQ(s->frameHeight, 1);
    EXPECT_FALSE(s->HasAlpha());
}

TEST_F(SpriteFiles, FailedReloadKeepsTheSizeWithoutPixels) {
    WriteTga("DATA/gone.tga", 3, 2, 24, Solid(3, 2, 1, 2, 3));
    Sprite* s = Load("DATA\\gone.tga");
    ASSERT_EQ(s->width, 3);
    std::filesystem::remove("DATA/gone.tga");
    Load("DATA\\gone.tga", nullptr, true);
    EXPECT_EQ(s->width, 3);
    EXPECT_EQ(s->lpDDSurface, nullptr);
    EXPECT_TRUE(s->ownPixels.empty());
    EXPECT_TRUE(boxes.empty()); // the width is not 0, so nothing is said
    auto back = SurfaceSprite(4, 4);
    back->DrawSprite(0, 0, s, 0, 0); // nothing to draw from, and no crash
    EXPECT_EQ(CountPixels(*back, 0), 16);
}

TEST(SpriteLog, FailedLockWritesItsRecordThenTheNameWithoutLineBreak) {
    TempFolder folder;
    auto s = SurfaceSprite(2, 2);
    s->Lock();
    s->Lock(); // locks are not nested: the second one fails
    s->Unlock();
    const std::string log = ReadFile("gerr.log");
    const std::string lockRecord =
        "GRAPH/Sprite.cpp line: 151  -  lpDDSurface->Lock(NULL,&ddsd,DDLOCK_WAIT,NULL) = "
        "-2005532242\nDDERR_SURFACEBUSY";
    ASSERT_GE(log.size(), lockRecord.size());
    EXPECT_EQ(FindRecordAtLineStart(log, lockRecord), log.size() - lockRecord.size());

    s->Unlock(); // not locked any more
    const std::string after = ReadFile("gerr.log");
    EXPECT_EQ(after.substr(log.size()),
              "GRAPH/Sprite.cpp line: 160  -  lpDDSurface->Unlock(NULL) = -2005532088\n"
              "DDERR_NOTLOCKED");
}

TEST(SpriteFrames, FrameIndexRoundsHalvesToEvenAndStaysInRange) {
    struct Case {
        int frames;
        float scale, position;
        int expected;
    } cases[] = {
        {20, 1.0f, 1.0f, 19},    {20, 1.0f, 0.5f, 10},    {20, 1.0f, 0.0f, 0},
        {20, 1.0f, 0.25f, 5},    {20, 1.0f, 2.0f, 19},    {8, 1.0f / 500, 500, 7},
        {8, 1.0f / 500, 250, 4}, {1, 1.0f, 0.7f, 0},      {20, 1.0f, -0.5f, 0},
        {20, 1.0f, NAN, 0},      {20, 1.0f, INFINITY, 0},
    };
    for (const Case& c : cases) {
        Sprite s;
        s.frameCount = int16_t(c.frames);
        s.frameScale = c.scale;
        EXPECT_EQ(s.FrameIndex(c.position), c.expected) << c.frames << " " << c.position;
    }
}

TEST(SpriteLife, ReleaseDestroysAtZeroAndEmptiesTheSlot) {
    Sprite* s = new Sprite();
    RegisterSprite(s);
    s->AddRef();
    EXPECT_EQ(s->refCount, 2);
    const auto& reg = SpriteRegistry();
    const size_t slot = size_t(std::find(reg.begin(), reg.end(), s) - reg.begin());
    ASSERT_LT(slot, reg.size());
    s->Release();
    EXPECT_EQ(reg[slot], s);
    s->Release();
    EXPECT_EQ(reg[slot], nullptr);
}

} // namespace
