#include "SOUND/music.h"

#include <strings.h>

#include "SYS/files.h"
#include "SYS/midi.h"

namespace {

MidiMusic* g_currentMidi = nullptr;
bool g_midiPlayed = false;
std::string g_musicFolder;
std::function<unsigned long(const std::string&)> g_mciSender;

Sound* g_currentMusic = nullptr;
Sound* g_currentAmbient = nullptr;

// An MCI failure: the record, then the command and the system's text for the error.
void LogMciFailure(unsigned long error, const char* expression, int line,
                   const std::string& command) {
    char text[1024];
    if (!sys::mciGetErrorString(error, text, sizeof text)) text[0] = '\0';
    LogSoundFailure(long(error), expression, line, (command + "\n" + text + "\n").c_str());
}

// Takes the sound the slot held (its one reference) and gives the slot the new one.
void ReplaceSlot(Sound*& slot, Sound* sound) {
    if (slot) slot->Release();
    slot = sound;
}

} // namespace

unsigned long SendMciCommand(const std::string& command) {
    if (g_mciSender) return g_mciSender(command);
    return sys::mciSendString(command.c_str(), nullptr, 0, nullptr);
}

void SetMciSender(std::function<unsigned long(const std::string&)> sender) {
    g_mciSender = std::move(sender);
}

void SetMusicFolder(const std::string& folder) {
    g_musicFolder = folder;
}

MidiMusic* CurrentMidi() {
    return g_currentMidi;
}
bool EndMidiSession() {
    bool played = g_midiPlayed;
    g_midiPlayed = false;
    return played;
}

// ---- MidiMusic ----

MidiMusic::~MidiMusic() {
    if (g_currentMidi == this) g_currentMidi = nullptr;
    Stop();
}

void MidiMusic::Load() {
    ClearFlags(kSoundPlaying | kSoundLoop | kSoundOneShot);
}

void MidiMusic::Play(bool loop) {
    loop ? SetFlags(kSoundLoop) : ClearFlags(kSoundLoop);
    g_midiPlayed = true;
    if (GetChannelVolume(kChannelMusic) == 0.0f) {
        g_currentMidi = this;
        return;
    }
    if (g_currentMidi && strcasecmp(g_currentMidi->name.c_str(), name.c_str()) == 0 &&
        Has(kSoundPlaying)) {
        SendMciCommand("play MUSIC from 0 notify"); // restart without reopening
    } else {
        std::string folder = g_musicFolder.empty() ? sys::GetCurrentFolder() : g_musicFolder;
        std::string open = "open \"" + folder + "\\" + file + "\" type sequencer alias MUSIC";
        unsigned long ret = SendMciCommand("close all");
        if (ret)
            LogMciFailure(ret, "ret = mciSendString( \"close all\", NULL, 0, sndhWnd )", 80,
                          "close all");
        ret = SendMciCommand(open);
        if (ret) LogMciFailure(ret, "ret = mciSendString( buf, NULL, 0, sndhWnd )", 81, open);
        SendMciCommand("play MUSIC from 0 notify");
        if (g_currentMidi) g_currentMidi->ClearFlags(kSoundPlaying);
    }
    g_currentMidi = this;
    SetFlags(kSoundPlaying);
}

void MidiMusic::Pause() {
    if (!Has(kSoundPlaying)) return;
    SendMciCommand("pause MUSIC");
    flags.fetch_xor(kSoundPaused);
}

void MidiMusic::Stop() {
    if (!Has(kSoundPlaying)) return;
    SendMciCommand("stop MUSIC");
    ClearFlags(kSoundPlaying);
}

// ---- focus ----

void PauseCurrentMidi() {
    if (g_currentMidi) g_currentMidi->Pause();
}

void OnFocusLost() {
    PauseCurrentMidi();
}

void OnFocusGained() {
    if (g_currentMidi) g_currentMidi->Play(g_currentMidi->Has(kSoundLoop));
}

// ---- slots ----

void SwitchMusic(const char* file, bool loop, bool stopOld) {
    if (stopOld && g_currentMusic) g_currentMusic->Stop();
    ReplaceSlot(g_currentMusic, GetSound(file, kChannelMusic));
    if (g_currentMusic) g_currentMusic->Play(loop);
}

void SwitchAmbient(const char* file) {
    if (g_currentAmbient) g_currentAmbient->Stop();
    ReplaceSlot(g_currentAmbient, GetSound(file, kChannelAmbient));
    if (g_currentAmbient) g_currentAmbient->Play(true);
}

Sound* CurrentMusic() {
    return g_currentMusic;
}
Sound* CurrentAmbient() {
    return g_currentAmbient;
}

void ReleaseMusicSlots() {
    // The slot holds the music's only reference, so the release destroys (and stops) a MIDI
    // music; it is paused first, as the sound shut-down pauses the current MIDI.
    if (g_currentMusic && g_currentMusic == CurrentMidi()) PauseCurrentMidi();
    ReplaceSlot(g_currentAmbient, nullptr);
    ReplaceSlot(g_currentMusic, nullptr);
}
