// Shared pieces of the sound tests: a fresh working folder, generated wave files, gerr.log.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BASE/errlog.h"
#include "SOUND/Gsound.h"
#include "SYS/sound_device.h"

namespace testkit {

// Runs the test in its own empty folder (the sound code reads relative names).
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        char pattern[] = "/tmp/sound_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        std::filesystem::current_path(folder_);
    }
    void TearDown() override {
        CloseErrorLog();
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
    }
    std::string Log() const {
        std::ifstream in(folder_ / "gerr.log");
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::filesystem::path folder_;

private:
    std::filesystem::path previous_;
};

// A started sound system (no stream thread) on a manual-clock device, all channels at 1.0.
class SoundSystemTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        sys::UseManualSoundClock(true);
        for (int channel = 0; channel < 3; ++channel) SetChannelVolume(1.0f, channel);
        ASSERT_TRUE(SetUpSound(false));
    }
    void TearDown() override {
        ShutDownSound();
        sys::UseManualSoundClock(false);
        TempFolderTest::TearDown();
    }
    // The next `frames` stereo frames the device plays.
    static std::vector<int16_t> Render(int frames) {
        std::vector<int16_t> out(size_t(frames) * 2);
        sys::RenderManualSound(out.data(), frames);
        return out;
    }
};

inline void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s += char((v >> (8 * i)) & 0xFF);
}
inline void Put16(std::string& s, uint16_t v) {
    s += char(v & 0xFF);
    s += char(v >> 8);
}

// The 16 bytes of a PCM format chunk body.
inline std::string PcmFormat(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t tag = 1) {
    std::string f;
    Put16(f, tag);
    Put16(f, channels);
    Put32(f, rate);
    Put32(f, rate * channels * bits / 8);
    Put16(f, uint16_t(channels * bits / 8));
    Put16(f, bits);
    return f;
}

inline std::string Chunk(const std::string& id, const std::string& body) {
    std::string c = id;
    Put32(c, uint32_t(body.size()));
    c += body;
    if (body.size() & 1) c += '\0';
    return c;
}

inline std::string Riff(const std::string& chunks) {
    std::string r = "RIFF";
    Put32(r, uint32_t(4 + chunks.size()));
    return r + "WAVE" + chunks;
}

inline std::string Samples16(const std::vector<int16_t>& samples) {
    std::string s;
    for (int16_t v : samples) Put16(s, uint16_t(v));
    return s;
}

inline std::string WaveFile(uint16_t channels, uint32_t rate, const std::vector<int16_t>& samples) {
    return Riff(Chunk("fmt ", PcmFormat(channels, rate, 16)) + Chunk("data", Samples16(samples)));
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace testkit
