// Streaming against a simulated device clock: the mixer is advanced by hand and the stream is
// refilled between advances, as the stream thread does every 50 ms.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "SOUND/Gsound.h"
#include "SOUND/music.h"
#include "SOUND/ogg_reader.h"
#include "SYS/sound_device.h"
#include "ogg_encode.h"
#include "sound_test_util.h"

using namespace testkit;

namespace {

constexpr int kStepFrames = 2205; // 50 ms at the device rate

class StreamTest : public SoundSystemTest {
protected:
    // The decoded samples of a file, as the reader gives them.
    static std::vector<int16_t> Decode(const char* file) {
        OggReader reader;
        EXPECT_EQ(reader.Open(file), 0);
        std::vector<int16_t> all(reader.DataLength() / 2);
        reader.Read(all.data(), int(reader.DataLength()), false);
        return all;
    }
    // Runs `steps` device periods, refilling after each; returns what reached the device.
    static std::vector<int16_t> Run(Sound* sound, int steps) {
        std::vector<int16_t> heard;
        std::vector<int16_t> out(kStepFrames * 2);
        for (int i = 0; i < steps; ++i) {
            sys::RenderManualSound(out.data(), kStepFrames);
            heard.insert(heard.end(), out.begin(), out.end());
            if (sound->Has(kSoundStreamFed)) sound->StreamStep();
        }
        return heard;
    }
};

} // namespace

TEST_F(StreamTest, LoopingStreamReachesTheDeviceWithoutGapOrRepeat) {
    // One shorter and one longer than the ring, so both wrap inside one refill.
    const long lengths[] = {13000, 70000};
    for (long frames : lengths) {
        ASSERT_TRUE(EncodeOggTone("DATA/SOUND/loop.ogg", 2, 44100, frames, 700.0));
        std::vector<int16_t> decoded = Decode("DATA/SOUND/loop.ogg");
        ASSERT_EQ(decoded.size(), size_t(frames) * 2);
        SwitchMusic("DATA\\SOUND\\loop.ogg", true, true);
        std::vector<int16_t> heard = Run(CurrentMusic(), 80); // 4 s
        for (size_t i = 0; i < heard.size(); ++i)
            ASSERT_EQ(heard[i], decoded[i % decoded.size()]) << "sample " << i << " of " << frames;
        EXPECT_EQ(CurrentMusic()->IsPlaying(), 1);
        ReleaseMusicSlots();
    }
}

TEST_F(StreamTest, OnceOnlyStreamStopsAtItsEndAndReplaysFromTheStart) {
    const long frames = 50000; // longer than the 32768 frames of the ring
    ASSERT_TRUE(EncodeOggTone("DATA/SOUND/once.ogg", 2, 44100, frames, 400.0));
    std::vector<int16_t> decoded = Decode("DATA/SOUND/once.ogg");
    SwitchMusic("DATA\\SOUND\\once.ogg", false, true);
    Sound* music = CurrentMusic();
    std::vector<int16_t> heard;
    for (int step = 0; step < 40 && music->IsPlaying(); ++step) {
        std::vector<int16_t> more = Run(music, 1);
        heard.insert(heard.end(), more.begin(), more.end());
    }
    ASSERT_EQ(music->IsPlaying(), 0);
    ASSERT_GE(heard.size(), decoded.size());
    // The data, then at most one refill period of silence before the stop.
    for (size_t i = 0; i < decoded.size(); ++i) ASSERT_EQ(heard[i], decoded[i]) << i;
    size_t silentUntil = decoded.size();
    while (silentUntil < heard.size() && heard[silentUntil] == 0) ++silentUntil;
    EXPECT_EQ(silentUntil, heard.size());
    EXPECT_LE(heard.size() - decoded.size(), size_t(kStepFrames * 2));
    // Stopped means rewound: playing again starts from the first sample.
    music->Play(false);
    std::vector<int16_t> again = Run(music, 10);
    for (size_t i = 0; i < again.size(); ++i) ASSERT_EQ(again[i], decoded[i]) << i;
}

TEST_F(StreamTest, PauseKeepsThePlaceAndPlayResumes) {
    ASSERT_TRUE(EncodeOggTone("DATA/SOUND/long.ogg", 2, 44100, 100000, 300.0));
    std::vector<int16_t> decoded = Decode("DATA/SOUND/long.ogg");
    SwitchMusic("DATA\\SOUND\\long.ogg", true, true);
    Sound* music = CurrentMusic();
    std::vector<int16_t> first = Run(music, 10);
    music->Pause();
    std::vector<int16_t> paused = Run(music, 5);
    // Counted rather than compared with a zero vector, which GCC 12 at -O3 takes for freeing a
    // pointer that is not from the heap.
    EXPECT_EQ(std::count(paused.begin(), paused.end(), int16_t(0)), ptrdiff_t(paused.size()));
    music->Play(true);
    std::vector<int16_t> second = Run(music, 10);
    first.insert(first.end(), second.begin(), second.end());
    for (size_t i = 0; i < first.size(); ++i) ASSERT_EQ(first[i], decoded[i]) << i;
}

TEST_F(StreamTest, LongEffectsStreamAndTheirCopiesHaveTheirOwnRing) {
    // Over 1 MiB of PCM: streamed even in the effects channel; a copy is loaded afresh.
    ASSERT_TRUE(EncodeOggTone("DATA/big.ogg", 2, 44100, 300000, 200.0));
    Sound* a = GetSound("DATA\\big.ogg", kChannelEffects);
    Sound* b = GetSound("DATA\\big.ogg", kChannelEffects);
    ASSERT_NE(a, b);
    auto* first = static_cast<BufferSound*>(a);
    auto* second = static_cast<BufferSound*>(b);
    EXPECT_TRUE(first->Streams());
    EXPECT_TRUE(second->Streams());
    EXPECT_NE(first->decoder.get(), second->decoder.get());
    EXPECT_NE(first->buffer, second->buffer);
}

// The display's library exits the program when its server goes away, with the sound still up.
TEST_F(StreamTest, ExitingWithTheStreamThreadRunningEndsNormally) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ShutDownSound();
            if (!SetUpSound(true)) std::_Exit(2);
            if (!EncodeOggTone("DATA/SOUND/loop.ogg", 2, 44100, 60000, 700.0)) std::_Exit(2);
            SwitchMusic("DATA\\SOUND\\loop.ogg", true, true);
            std::exit(3);
        },
        ::testing::ExitedWithCode(3), "");
}

TEST_F(StreamTest, TheStreamThreadRefillsOnItsOwn) {
    ShutDownSound();
    ASSERT_TRUE(SetUpSound(true));
    ASSERT_TRUE(EncodeOggTone("DATA/SOUND/loop.ogg", 2, 44100, 60000, 700.0));
    std::vector<int16_t> decoded = Decode("DATA/SOUND/loop.ogg");
    SwitchMusic("DATA\\SOUND\\loop.ogg", true, true);
    auto* music = static_cast<BufferSound*>(CurrentMusic());
    std::vector<int16_t> out(kStepFrames * 2);
    for (int i = 0; i < 20; ++i) {
        sys::RenderManualSound(out.data(), kStepFrames);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
    }
    EXPECT_GT(music->written, kStreamRingBytes); // the thread has been refilling
}
