#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <strings.h>
#include <vector>

#include "SOUND/Gsound.h"
#include "SOUND/music.h"
#include "SYS/sound_device.h"
#include "sound_test_util.h"

using namespace testkit;

namespace {

class GsoundTest : public SoundSystemTest {
protected:
    static int Peak(const std::vector<int16_t>& out) {
        int peak = 0;
        for (int16_t v : out) peak = std::max(peak, std::abs(int(v)));
        return peak;
    }
    static int CountNamed(const char* name) {
        int count = 0;
        for (Sound* s : SoundList())
            if (s && strcasecmp(s->name.c_str(), name) == 0) ++count;
        return count;
    }
    static Sound* Named(const char* name) {
        for (Sound* s : SoundList())
            if (s && s->name == name) return s;
        return nullptr;
    }
    // A mono 44.1 kHz wave of `frames` frames at a constant level.
    static void WriteLevel(const std::string& path, int frames, int16_t level) {
        WriteFile(path, WaveFile(1, 44100, std::vector<int16_t>(size_t(frames), level)));
    }
};

} // namespace

TEST_F(GsoundTest, PlayByNameNeedsAChannelOfAtLeastOneHundredth) {
    WriteLevel("DATA/SOUND/burst.wav", 100, 8000);
    WriteFile("DATA/sound.ini", "[Burst]\nname=DATA\\SOUND\\burst.wav\nvolume=1.0\n");
    LoadSoundList("DATA\\sound.ini");
    const struct {
        float channel;
        bool plays;
    } cases[] = {{0.005f, false}, {0.0f, false}, {0.01f, true}, {1.0f, true}};
    for (const auto& c : cases) {
        SetChannelVolume(c.channel, kChannelEffects);
        Sound* s = PlaySound("Burst", kChannelEffects);
        EXPECT_EQ(s != nullptr, c.plays) << c.channel;
        EXPECT_EQ(Peak(Render(10)) > 0, c.plays) << c.channel;
        Render(200);
    }
    EXPECT_EQ(PlaySound("", kChannelEffects), nullptr);
}

TEST_F(GsoundTest, EffectListAppliesVolumeAndPanAndSkipsEntriesWithoutAFile) {
    WriteLevel("DATA/SOUND/a.wav", 64, 8000);
    WriteFile("DATA/sound.ini", "[Half]\nname=data\\sound\\A.WAV\nvolume=0.5\npan=-1\n"
                                "[Silent]\nname=DATA\\SOUND\\a.wav\n"
                                "[NoFile]\nvolume=1\n"
                                "[Other]\nname=DATA\\SOUND\\a.txt\nvolume=1\n");
    LoadSoundList("DATA\\sound.ini");
    Sound* half = Named("Half");
    Sound* silent = Named("Silent");
    ASSERT_NE(half, nullptr);
    ASSERT_NE(silent, nullptr);
    EXPECT_EQ(Named("NoFile"), nullptr);
    EXPECT_EQ(Named("Other"), nullptr);
    EXPECT_EQ(half->file, "data\\sound\\A.WAV");
    EXPECT_TRUE(static_cast<BufferSound*>(half)->HasBuffer()); // capitals still load as wave
    EXPECT_NEAR(half->GetVolume(), 128.0f / 255.0f, 1e-6);
    EXPECT_FLOAT_EQ(half->GetPan(), -1.0f);
    EXPECT_FLOAT_EQ(silent->GetVolume(), 0.0f);

    half->Play(false);
    std::vector<int16_t> out = Render(1);
    EXPECT_NEAR(out[0], 8000 * std::pow(10.0, -512 / 2000.0), 2); // -5.12 dB on the left only
    EXPECT_EQ(out[1], 0);
    silent->Play(false);
    EXPECT_EQ(Render(1)[0], out[0]); // the silent one adds nothing
}

TEST_F(GsoundTest, SectionNamesBeyondTheListBufferAreNotLoaded) {
    WriteLevel("DATA/a.wav", 8, 100);
    std::string ini;
    for (int i = 0; i < 300; ++i)
        ini += "[sound_" + std::to_string(100000000000 + i) + "]\nname=DATA\\a.wav\n";
    WriteFile("DATA/sound.ini", ini);
    LoadSoundList("DATA\\sound.ini");
    int loaded = 0;
    for (Sound* s : SoundList()) {
        if (!s) continue;
        ++loaded;
        EXPECT_EQ(s->name.size(), 18u) << s->name; // no cut-off name
    }
    // 19 bytes per name with its zero: 215 whole names fit in 4096 bytes.
    EXPECT_GE(loaded, 210);
    EXPECT_LE(loaded, 215);
}

TEST_F(GsoundTest, OverlappingCopiesPlayTogetherAndAreReleasedAfterTheyFinish) {
    WriteLevel("DATA/burst.wav", 1000, 1000);
    WriteFile("DATA/sound.ini", "[Burst]\nname=DATA\\burst.wav\nvolume=1\n");
    LoadSoundList("DATA\\sound.ini");
    Sound* first = PlaySound("Burst", kChannelEffects);
    EXPECT_EQ(Render(500)[0], 1000);
    Sound* second = PlaySound("burst", kChannelEffects);
    ASSERT_NE(first, second);
    EXPECT_EQ(Render(10)[0], 2000); // both copies share the data and sound at once
    EXPECT_EQ(CountNamed("Burst"), 3);
    Render(2000);
    PlaySound("", kChannelEffects); // finished one-shots go even when nothing new plays
    EXPECT_EQ(CountNamed("Burst"), 1);
    // The freed slots are reused before the list grows.
    size_t size = SoundList().size();
    PlaySound("Burst", kChannelEffects);
    EXPECT_EQ(SoundList().size(), size);
}

TEST_F(GsoundTest, MusicChannelAtZeroStopsMusicAndRaisingItDoesNotRestart) {
    WriteLevel("DATA/SOUND/music.wav", 44100, 3000);
    SwitchMusic("DATA\\SOUND\\music.wav", true, true);
    Sound* music = CurrentMusic();
    ASSERT_NE(music, nullptr);
    EXPECT_TRUE(static_cast<BufferSound*>(music)->Streams()); // music always streams
    EXPECT_EQ(music->IsPlaying(), 1);
    SetChannelVolume(0.0f, kChannelMusic);
    EXPECT_EQ(music->IsPlaying(), 0);
    EXPECT_EQ(Peak(Render(100)), 0);
    SetChannelVolume(0.8f, kChannelMusic);
    EXPECT_EQ(music->IsPlaying(), 0);
    EXPECT_EQ(Peak(Render(100)), 0);
    music->Play(true); // what the options screen does
    EXPECT_EQ(music->IsPlaying(), 1);
    EXPECT_GT(Peak(Render(100)), 0);
}

TEST_F(GsoundTest, SwitchingMusicReleasesTheOldStream) {
    WriteLevel("DATA/SOUND/a.wav", 1000, 1000);
    WriteLevel("DATA/SOUND/b.wav", 1000, 2000);
    for (int round = 0; round < 20; ++round) {
        SwitchMusic(round % 2 ? "DATA\\SOUND\\a.wav" : "DATA\\SOUND\\b.wav", true, true);
    }
    int streams = 0;
    for (Sound* s : SoundList())
        if (s) ++streams;
    EXPECT_EQ(streams, 1);
    EXPECT_EQ(Render(1)[0], 1000);
}

TEST_F(GsoundTest, MissingAndUnplayableFilesGiveSilentSoundsAndLogRecords) {
    Sound* missing = GetSound("DATA\\missing.wav", kChannelEffects);
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->GetFrequency(), 100);
    missing->Play(false);
    EXPECT_EQ(missing->IsPlaying(), 0);
    EXPECT_EQ(GetSound("DATA\\readme.txt", kChannelEffects), nullptr);
    EXPECT_EQ(GetSound("", kChannelEffects), nullptr);

    std::string wide = Riff(Chunk("fmt ", PcmFormat(2, 44100, 24)) + Chunk("data", "abcdef"));
    WriteFile("DATA/wide.wav", wide);
    Sound* wideSound = GetSound("DATA\\wide.wav", kChannelEffects);
    ASSERT_NE(wideSound, nullptr);
    EXPECT_FALSE(static_cast<BufferSound*>(wideSound)->HasBuffer());
    std::string log = Log();
    EXPECT_NE(log.find("SOUND/fwav.cpp line: 39  -  "), std::string::npos) << log;
    EXPECT_NE(log.find("SOUND/Gsound.cpp line: 158  -  lpDS->CreateSoundBuffer( &dsbd, "
                       "&lpDSBuffer, 0 ) = -2005401500\n"),
              std::string::npos)
        << log;
}

TEST_F(GsoundTest, WithoutADeviceNothingLoadsOrPlays) {
    ShutDownSound();
    sys::UseManualSoundClock(false);
    WriteLevel("DATA/a.wav", 100, 1000);
    Sound* s = GetSound("DATA\\a.wav", kChannelEffects);
    ASSERT_NE(s, nullptr);
    EXPECT_FALSE(static_cast<BufferSound*>(s)->HasBuffer());
    EXPECT_EQ(PlaySound("DATA\\a.wav", kChannelEffects), nullptr);
    s->SetVolume(0.3f);
    EXPECT_FLOAT_EQ(s->GetVolume(), 0.3f);
    EXPECT_EQ(Log(), "");
}

TEST_F(GsoundTest, FrequencyAndPanReachTheBuffer) {
    WriteLevel("DATA/a.wav", 100, 1000);
    Sound* s = GetSound("DATA\\a.wav", kChannelEffects);
    s->SetFrequency(22050);
    EXPECT_EQ(s->GetFrequency(), 22050);
    s->SetPan(0.5f);
    EXPECT_NEAR(s->GetPan(), 0.5f, 1.0f / 255);
    s->SetFrequency(5); // out of the device's range: logged, kept
    EXPECT_EQ(s->GetFrequency(), 22050);
    EXPECT_NE(Log().find("line: 248  -  lpDSBuffer -> SetFrequency( frq ) = -2147024809\n"),
              std::string::npos)
        << Log();
}
