#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "SOUND/Gsound.h"
#include "SOUND/music.h"
#include "SYS/midi.h"
#include "SYS/sound_device.h"
#include "sound_test_util.h"

using namespace testkit;

namespace {

// Sound set up on a manual-clock device; MCI commands are recorded instead of played.
class MidiMusicTest : public SoundSystemTest {
protected:
    void SetUp() override {
        SoundSystemTest::SetUp();
        SetMusicFolder("C:\\Games\\Reef");
        SetMciSender([this](const std::string& command) {
            sent_.push_back(command);
            return failing_ == command ? sys::MCIERR_FILE_NOT_FOUND : 0;
        });
    }
    void TearDown() override {
        SoundSystemTest::TearDown();
        SetMciSender(nullptr);
        SetMusicFolder("");
    }
    std::vector<std::string> Sent() {
        std::vector<std::string> s;
        s.swap(sent_);
        return s;
    }
    std::vector<std::string> sent_;
    std::string failing_;
};

const std::string kOpenTheme =
    "open \"C:\\Games\\Reef\\DATA\\theme.mid\" type sequencer alias MUSIC";
const std::string kPlay = "play MUSIC from 0 notify";

// A format-0 MIDI file: piano chord held for `ticks` at 480 ticks per quarter, 120 bpm.
std::string ChordMidi(int ticks) {
    std::string track = {0x00, char(0xC0), 0x00}; // piano
    for (char note : {60, 64, 67}) track += {0x00, char(0x90), note, 100};
    track += {char(0x80 | ((ticks >> 14) & 0x7F)), char(0x80 | ((ticks >> 7) & 0x7F)),
              char(ticks & 0x7F)};
    track += {char(0x80), 60, 0};
    for (char note : {64, 67}) track += {0x00, char(0x80), note, 0};
    track += {0x00, char(0xFF), 0x2F, 0x00};
    std::string file = "MThd";
    file += {0, 0, 0, 6, 0, 0, 0, 1, 0x01, char(0xE0)};
    file += "MTrk";
    uint32_t n = uint32_t(track.size());
    file += {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    return file + track;
}

double Rms(const std::vector<int16_t>& v) {
    double sum = 0;
    for (int16_t s : v) sum += double(s) * s;
    return v.empty() ? 0 : std::sqrt(sum / double(v.size()));
}

} // namespace

TEST_F(MidiMusicTest, PlayOpensOncePlayingAgainRestartsWithoutReopening) {
    SwitchMusic("DATA\\theme.mid", true, true);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"close all", kOpenTheme, kPlay}));
    MidiMusic* midi = CurrentMidi();
    ASSERT_NE(midi, nullptr);
    EXPECT_EQ(midi->IsPlaying(), 1);
    midi->Play(true);
    EXPECT_EQ(Sent(), (std::vector<std::string>{kPlay}));
    EXPECT_EQ(GetSound("DATA\\theme.mid", kChannelMusic), midi); // shared, not copied
    midi->Release();
}

TEST_F(MidiMusicTest, FocusPausesAndRestartsTheCurrentMidi) {
    SwitchMusic("DATA\\theme.mid", true, true);
    Sent();
    OnFocusLost();
    EXPECT_EQ(Sent(), (std::vector<std::string>{"pause MUSIC"}));
    EXPECT_TRUE(CurrentMidi()->Has(kSoundPaused));
    OnFocusGained();
    EXPECT_EQ(Sent(), (std::vector<std::string>{kPlay}));
    CurrentMidi()->Stop();
    EXPECT_EQ(Sent(), (std::vector<std::string>{"stop MUSIC"}));
    OnFocusLost(); // stopped: nothing to pause
    EXPECT_EQ(Sent(), std::vector<std::string>{});
}

TEST_F(MidiMusicTest, AnotherMidiReplacesTheOpenOneAndShutDownClosesAll) {
    SwitchMusic("DATA\\theme.mid", true, true);
    MidiMusic* first = CurrentMidi();
    SwitchMusic("DATA\\other.midi", false, false);
    std::vector<std::string> sent = Sent();
    EXPECT_EQ(sent.back(), kPlay);
    EXPECT_EQ(sent[sent.size() - 2],
              "open \"C:\\Games\\Reef\\DATA\\other.midi\" type sequencer alias MUSIC");
    EXPECT_NE(CurrentMidi(), first);
    failing_ = "close all";
    ShutDownSound();
    EXPECT_EQ(Sent().back(), "close all");
    EXPECT_NE(
        Log().find(
            "SOUND/Gsound.cpp line: 388  -  mciSendString( \"close all\", NULL, 0, NULL) = 275\n"),
        std::string::npos)
        << Log();
    EXPECT_EQ(CurrentMidi(), nullptr);
}

TEST_F(MidiMusicTest, ShutDownPausesStopsAndClosesTheCurrentMidi) {
    // With the music slot released first, as the game's exit does, and by the sound shut-down.
    for (bool releaseFirst : {true, false}) {
        SCOPED_TRACE(releaseFirst);
        SwitchMusic("DATA\\theme.mid", true, true);
        Sent();
        if (releaseFirst) ReleaseMusicSlots();
        ShutDownSound();
        EXPECT_EQ(Sent(), (std::vector<std::string>{"pause MUSIC", "stop MUSIC", "close all"}));
        EXPECT_EQ(CurrentMidi(), nullptr);
        ASSERT_TRUE(SetUpSound(false));
    }
}

TEST_F(MidiMusicTest, MutedMusicOnlyBecomesCurrent) {
    SetChannelVolume(0.0f, kChannelMusic);
    SwitchMusic("DATA\\theme.mid", true, true);
    EXPECT_EQ(Sent(), std::vector<std::string>{});
    ASSERT_NE(CurrentMidi(), nullptr);
    EXPECT_EQ(CurrentMidi()->IsPlaying(), 0);
}

TEST_F(MidiMusicTest, FailedCommandsAreLoggedWithTheCommandAndGoOn) {
    failing_ = kOpenTheme;
    SwitchMusic("DATA\\theme.mid", true, true);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"close all", kOpenTheme, kPlay}));
    std::string log = Log();
    EXPECT_NE(
        log.find(
            "SOUND/Gsound.cpp line: 81  -  ret = mciSendString( buf, NULL, 0, sndhWnd ) = 275\n" +
            kOpenTheme + "\nCannot find the specified file."),
        std::string::npos)
        << log;
}

// The real command seam: FluidSynth renders into the device mixer.
class MciTest : public SoundSystemTest {
protected:
    void TearDown() override {
        sys::mciSendString("close all", nullptr, 0, nullptr);
        SoundSystemTest::TearDown();
    }
    static unsigned long Send(const std::string& command) {
        return sys::mciSendString(command.c_str(), nullptr, 0, nullptr);
    }
};

TEST_F(MciTest, GeneratedMidiPlaysPausesAndRestarts) {
    WriteFile("DATA/chord.mid", ChordMidi(960)); // one second
    ASSERT_EQ(Send("open \"" + folder_.string() + "\\DATA\\CHORD.MID\" type sequencer alias MUSIC"),
              0u);
    EXPECT_EQ(Rms(Render(4410)), 0.0); // opened, not yet playing
    ASSERT_EQ(Send("play MUSIC from 0 notify"), 0u);
    EXPECT_GT(Rms(Render(4410)), 300.0);
    ASSERT_EQ(Send("pause MUSIC"), 0u);
    Render(44100 * 2); // let the reverb tail die away
    EXPECT_LT(Rms(Render(4410)), 5.0);
    ASSERT_EQ(Send("play MUSIC from 0 notify"), 0u);
    EXPECT_GT(Rms(Render(4410)), 300.0);
    Render(44100 * 5); // past the end: the music does not repeat by itself
    EXPECT_LT(Rms(Render(4410)), 5.0);
    ASSERT_EQ(Send("play MUSIC from 0 notify"), 0u);
    EXPECT_GT(Rms(Render(4410)), 300.0);
    ASSERT_EQ(Send("close all"), 0u);
    EXPECT_EQ(Rms(Render(4410)), 0.0);
}

TEST_F(MciTest, CommandErrors) {
    WriteFile("DATA/bad.mid", "not a midi file");
    WriteFile("DATA/ok.mid", ChordMidi(100));
    EXPECT_EQ(Send("close all"), 0u); // nothing open is fine
    EXPECT_EQ(Send("open \"DATA\\none.mid\" type sequencer alias MUSIC"),
              sys::MCIERR_FILE_NOT_FOUND);
    EXPECT_EQ(Send("open \"DATA\\bad.mid\" type sequencer alias MUSIC"), sys::MCIERR_INVALID_FILE);
    EXPECT_EQ(Send("play MUSIC from 0 notify"), sys::MCIERR_INVALID_DEVICE_NAME);
    ASSERT_EQ(Send("open \"DATA\\ok.mid\" type sequencer alias MUSIC"), 0u);
    EXPECT_EQ(Send("open \"DATA\\ok.mid\" type sequencer alias MUSIC"),
              sys::MCIERR_DUPLICATE_ALIAS);
    EXPECT_EQ(Send("dance MUSIC"), sys::MCIERR_UNRECOGNIZED_COMMAND);
    EXPECT_EQ(Send(""), sys::MCIERR_UNRECOGNIZED_COMMAND);
    char text[16];
    EXPECT_TRUE(sys::mciGetErrorString(sys::MCIERR_FILE_NOT_FOUND, text, sizeof text));
    EXPECT_EQ(std::string(text).size(), 15u);
    EXPECT_FALSE(sys::mciGetErrorString(12345, text, sizeof text));
}
