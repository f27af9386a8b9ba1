// Effects made from recipes, and sound files written and read back through the game's readers.
#include <gtest/gtest.h>

#include <cmath>

#include "audio.h"
#include "effects.h"
#include "temp_folder.h"

using namespace soundtools;

class Effects : public TempFolderTest {};

TEST_F(Effects, RecipesMakeMonoSoundAtTheirPeak) {
    WriteFile("effects.ini", "[pop]\npeak = -6\nvolume = 0.5\nlayer1 = sine f=500>1000 len=0.05\n"
                             "[chirp]\nvoice = u>i:500>800:0.2 _:0.05 a:600:0.1\n"
                             "[loud]\npeak = 0\nlayer1 = noise f=2000 q=2 len=0.1\nlayer2 = square "
                             "f=200 len=0.1 drive=2\n");
    std::vector<EffectRecipe> recipes = ReadRecipes("effects.ini");
    ASSERT_EQ(recipes.size(), 3u);
    EXPECT_EQ(recipes[0].name, "pop");
    EXPECT_FLOAT_EQ(recipes[0].volume, 0.5f);
    EXPECT_FLOAT_EQ(recipes[1].volume, 1.0f);
    EXPECT_DOUBLE_EQ(recipes[2].peakDb, -1.1); // never closer to full scale than that
    const double lengths[] = {0.05, 0.35, 0.1};
    for (size_t i = 0; i < recipes.size(); ++i) {
        Audio audio;
        std::string error;
        ASSERT_TRUE(MakeEffect("effects.ini", recipes[i], "", audio, error)) << error;
        EXPECT_EQ(audio.channels, 1);
        EXPECT_NEAR(ToDecibels(Peak(audio)), recipes[i].peakDb, 0.01) << recipes[i].name;
        EXPECT_LE(audio.Seconds(), lengths[i] + 0.01) << recipes[i].name;
        EXPECT_GT(audio.Seconds(), lengths[i] * 0.5) << recipes[i].name;
    }
}

TEST_F(Effects, BadRecipesAreRefusedWithAReason) {
    WriteFile("effects.ini",
              "[wave]\nlayer1 = buzz f=100\n[syllable]\nvoice = x:500:0.1\n[empty]\nvolume = 1\n"
              "[option]\nlayer1 = sine 440\n");
    const char* reasons[] = {"unknown wave buzz", "bad syllable x:500:0.1", "makes no sound",
                             "without value"};
    std::vector<EffectRecipe> recipes = ReadRecipes("effects.ini");
    ASSERT_EQ(recipes.size(), 4u);
    for (size_t i = 0; i < recipes.size(); ++i) {
        Audio audio;
        std::string error;
        EXPECT_FALSE(MakeEffect("effects.ini", recipes[i], "", audio, error));
        EXPECT_NE(error.find(reasons[i]), std::string::npos) << error;
    }
}

TEST_F(Effects, FilesReadBackThroughTheGameDecoders) {
    Audio tone;
    tone.channels = 2;
    for (int i = 0; i < kRate; ++i)
        for (int c = 0; c < 2; ++c)
            tone.samples.push_back(float(0.5 * std::sin(2 * M_PI * 440 * i / kRate + c)));
    ASSERT_TRUE(WriteWave("t.wav", tone));
    ASSERT_TRUE(WriteVorbis("t.ogg", tone, 0.3f));
    for (const char* file : {"t.wav", "t.ogg"}) {
        Audio back;
        std::string error;
        ASSERT_TRUE(ReadSound(file, back, error)) << file << ": " << error;
        EXPECT_EQ(back.rate, kRate);
        EXPECT_EQ(back.channels, 2);
        ASSERT_EQ(back.Frames(), tone.Frames())
            << file; // Ogg keeps the exact length: loops stay in time
        double worst = 0;
        for (size_t i = 0; i < back.samples.size(); ++i)
            worst = std::max(worst, double(std::fabs(back.samples[i] - tone.samples[i])));
        EXPECT_LT(worst, std::string(file) == "t.wav" ? 1.0 / 32768 : 0.05) << file;
    }
    WriteFile("bad.ogg", "not an ogg file");
    Audio none;
    std::string error;
    EXPECT_FALSE(ReadSound("bad.ogg", none, error));
    EXPECT_FALSE(ReadSound("t.mp3", none, error));
}
