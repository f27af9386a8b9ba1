#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "SYS/sound_device.h"

namespace {

sys::WaveFormat Format(uint16_t channels, uint32_t rate, uint16_t bits) {
    sys::WaveFormat f;
    f.formatTag = sys::WAVE_FORMAT_PCM;
    f.channels = channels;
    f.samplesPerSec = rate;
    f.bitsPerSample = bits;
    f.blockAlign = uint16_t(channels * bits / 8);
    f.avgBytesPerSec = rate * f.blockAlign;
    return f;
}

constexpr uint32_t kControls =
    sys::DSBCAPS_CTRLVOLUME | sys::DSBCAPS_CTRLPAN | sys::DSBCAPS_CTRLFREQUENCY;

// A manual-clock device: nothing reaches a real output, the test advances the mixer.
class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        sys::UseManualSoundClock(true);
        ASSERT_EQ(sys::DirectSoundCreate(&device_), sys::DS_OK);
    }
    void TearDown() override {
        for (auto* b : buffers_) b->Release();
        device_->Release();
        sys::UseManualSoundClock(false);
    }
    sys::SoundBuffer* Make(const sys::WaveFormat& f, const void* data, uint32_t bytes,
                           uint32_t flags = sys::DSBCAPS_STATIC | kControls) {
        sys::BufferDesc d;
        d.flags = flags;
        d.bufferBytes = bytes;
        d.format = &f;
        sys::SoundBuffer* b = nullptr;
        EXPECT_EQ(device_->CreateSoundBuffer(&d, &b, nullptr), sys::DS_OK);
        if (!b) return nullptr;
        void *p1, *p2;
        uint32_t n1, n2;
        EXPECT_EQ(b->Lock(0, 0, &p1, &n1, &p2, &n2, sys::DSBLOCK_ENTIREBUFFER), sys::DS_OK);
        std::memcpy(p1, data, n1);
        EXPECT_EQ(b->Unlock(p1, n1, p2, n2), sys::DS_OK);
        buffers_.push_back(b);
        return b;
    }
    std::vector<int16_t> Render(int frames) {
        std::vector<int16_t> out(size_t(frames) * 2);
        sys::RenderManualSound(out.data(), frames);
        return out;
    }
    sys::SoundDevice* device_ = nullptr;
    std::vector<sys::SoundBuffer*> buffers_;
};

} // namespace

TEST_F(DeviceTest, StaticStereoBufferReachesTheOutputUnchangedAndStopsAtItsEnd) {
    std::vector<int16_t> pcm = {100, -100, 200, -200, 300, -300, 400, -400};
    auto* b = Make(Format(2, 44100, 16), pcm.data(), 16);
    ASSERT_EQ(b->Play(0, 0, 0), sys::DS_OK);
    std::vector<int16_t> out = Render(6);
    std::vector<int16_t> expected = pcm;
    expected.resize(12, 0);
    EXPECT_EQ(out, expected);
    uint32_t status = 99, play = 99;
    b->GetStatus(&status);
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(play, 0u); // a finished one-shot is rewound
}

TEST_F(DeviceTest, LoopingBufferWrapsAndMonoGoesToBothSides) {
    std::vector<int16_t> pcm = {1000, 2000, 3000};
    auto* b = Make(Format(1, 44100, 16), pcm.data(), 6);
    b->Play(0, 0, sys::DSBPLAY_LOOPING);
    std::vector<int16_t> out = Render(7);
    std::vector<int16_t> expected = {1000, 1000, 2000, 2000, 3000, 3000, 1000,
                                     1000, 2000, 2000, 3000, 3000, 1000, 1000};
    EXPECT_EQ(out, expected);
    uint32_t status = 0;
    b->GetStatus(&status);
    EXPECT_EQ(status, sys::DSBSTATUS_PLAYING | sys::DSBSTATUS_LOOPING);
}

TEST_F(DeviceTest, EightBitSamplesAreCentredOn128) {
    uint8_t pcm[] = {128, 255, 0};
    auto* b = Make(Format(1, 44100, 8), pcm, 3);
    b->Play(0, 0, 0);
    std::vector<int16_t> out = Render(3);
    EXPECT_EQ(out, (std::vector<int16_t>{0, 0, 32512, 32512, -32768, -32768}));
}

TEST_F(DeviceTest, VolumeAndPanAttenuateInDecibels) {
    std::vector<int16_t> pcm(64, 10000);
    const struct {
        long volume, pan;
        int left, right;
    } cases[] = {
        {0, 0, 10000, 10000},   {-600, 0, 5012, 5012}, // -6 dB halves (almost)
        {0, 10000, 0, 10000},   {0, -10000, 10000, 0}, // full pan silences the other side
        {0, 2000, 1000, 10000}, {-10000, 0, 0, 0},     // -20 dB is a tenth; minimum is silence
    };
    for (const auto& c : cases) {
        auto* b = Make(Format(1, 44100, 16), pcm.data(), 128);
        ASSERT_EQ(b->SetVolume(c.volume), sys::DS_OK);
        ASSERT_EQ(b->SetPan(c.pan), sys::DS_OK);
        b->Play(0, 0, 0);
        std::vector<int16_t> out = Render(1);
        EXPECT_NEAR(out[0], c.left, 1) << c.volume << " " << c.pan;
        EXPECT_NEAR(out[1], c.right, 1) << c.volume << " " << c.pan;
        b->Stop();
    }
}

TEST_F(DeviceTest, FrequencySetsHowFastTheDataIsConsumed) {
    std::vector<int16_t> pcm = {0, 1000, 2000, 3000, 4000, 5000, 6000, 7000};
    auto* b = Make(Format(1, 22050, 16), pcm.data(), 16);
    b->Play(0, 0, 0);
    std::vector<int16_t> out = Render(4);
    // Half the device rate: every source frame lasts two output frames, interpolated between.
    EXPECT_EQ(out, (std::vector<int16_t>{0, 0, 500, 500, 1000, 1000, 1500, 1500}));
    uint32_t play = 0, hz = 0;
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 4u);
    ASSERT_EQ(b->SetFrequency(88200), sys::DS_OK);
    Render(2);
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 12u);
    b->SetFrequency(sys::DSBFREQUENCY_ORIGINAL);
    b->GetFrequency(&hz);
    EXPECT_EQ(hz, 22050u);
}

TEST_F(DeviceTest, DuplicatesShareSamplesButNotPositionOrVolume) {
    std::vector<int16_t> pcm = {1000, 2000, 3000, 4000};
    auto* original = Make(Format(1, 44100, 16), pcm.data(), 8);
    sys::SoundBuffer* copy = nullptr;
    ASSERT_EQ(device_->DuplicateSoundBuffer(original, &copy), sys::DS_OK);
    buffers_.push_back(copy);
    copy->SetVolume(-10000);
    original->Play(0, 0, 0);
    Render(2);
    copy->Play(0, 0, 0);
    EXPECT_EQ(Render(1), (std::vector<int16_t>{3000, 3000})); // the silent copy adds nothing
    copy->SetVolume(0);
    // New data written through the original is heard through the copy.
    void *p1, *p2;
    uint32_t n1, n2;
    ASSERT_EQ(original->Lock(2, 2, &p1, &n1, &p2, &n2, 0), sys::DS_OK);
    int16_t changed = -5000;
    std::memcpy(p1, &changed, 2);
    original->Unlock(p1, n1, p2, n2);
    EXPECT_EQ(Render(1), (std::vector<int16_t>{4000 - 5000, 4000 - 5000}));
    // Releasing the original leaves the copy playable.
    original->Release();
    buffers_.erase(buffers_.begin());
    copy->SetCurrentPosition(0);
    copy->Play(0, 0, 0);
    EXPECT_EQ(Render(1), (std::vector<int16_t>{1000, 1000}));
}

TEST_F(DeviceTest, LockOfARingWrapsIntoTwoRegions) {
    std::vector<int16_t> zero(8, 0);
    auto* b = Make(Format(2, 44100, 16), zero.data(), 16, kControls);
    void *p1, *p2;
    uint32_t n1, n2;
    ASSERT_EQ(b->Lock(12, 8, &p1, &n1, &p2, &n2, 0), sys::DS_OK);
    EXPECT_EQ(n1, 4u);
    EXPECT_EQ(n2, 4u);
    EXPECT_NE(p2, nullptr);
    EXPECT_EQ(b->Unlock(p1, n1, p2, n2), sys::DS_OK);
}

TEST_F(DeviceTest, RefusesBadParameters) {
    sys::BufferDesc d;
    sys::SoundBuffer* b = nullptr;
    const struct {
        sys::WaveFormat format;
        uint32_t bytes;
        sys::HRESULT expected;
    } cases[] = {
        {Format(2, 44100, 16), 0, sys::DSERR_INVALIDPARAM},
        {Format(3, 44100, 16), 64, sys::DSERR_BADFORMAT},
        {Format(2, 44100, 24), 64, sys::DSERR_BADFORMAT},
        {Format(2, 50, 16), 64, sys::DSERR_BADFORMAT},
        {Format(2, 44100, 16), sys::DSBSIZE_MAX + 1, sys::DSERR_INVALIDPARAM},
    };
    for (const auto& c : cases) {
        d.format = &c.format;
        d.bufferBytes = c.bytes;
        EXPECT_EQ(device_->CreateSoundBuffer(&d, &b, nullptr), c.expected) << c.bytes;
        EXPECT_EQ(b, nullptr);
    }
    sys::WaveFormat compressed = Format(2, 44100, 16);
    compressed.formatTag = 2;
    d.format = &compressed;
    d.bufferBytes = 64;
    EXPECT_EQ(device_->CreateSoundBuffer(&d, &b, nullptr), sys::DSERR_BADFORMAT);

    std::vector<int16_t> pcm(4, 0);
    auto* ok = Make(Format(1, 44100, 16), pcm.data(), 8, sys::DSBCAPS_STATIC);
    EXPECT_EQ(ok->SetVolume(-100), sys::DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(ok->SetCurrentPosition(8), sys::DSERR_INVALIDPARAM);
    void *p1, *p2;
    uint32_t n1, n2;
    EXPECT_EQ(ok->Lock(8, 1, &p1, &n1, &p2, &n2, 0), sys::DSERR_INVALIDPARAM);
}
