// Music: MIDI files played through MCI command strings, and the two slots that hold the current
// music (channel 1) and the current ambient loop (channel 2).
#pragma once
#include <functional>
#include <string>

#include "SOUND/Gsound.h"

// A .mid/.midi sound. Only one MIDI file can be open at a time (device alias "MUSIC"), so a new
// MIDI music closes the previous one; volume, pan and frequency do nothing.
class MidiMusic : public Sound {
public:
    ~MidiMusic() override;
    void Load() override;
    void Play(bool loop) override;
    void Pause() override;
    void Stop() override;
    void Unload() override { Stop(); }
    void SetVolume(float) override {}
    void SetPan(float) override {}
    float GetVolume() override { return volume; }
    float GetPan() override { return pan; }
    int IsPlaying() override { return Has(kSoundPlaying) ? 1 : 0; }
};

// Sends an MCI command string; 0 or an MCI error code. Tests replace the sender.
unsigned long SendMciCommand(const std::string& command);
void SetMciSender(std::function<unsigned long(const std::string&)> sender); // empty: the real one

// The folder MIDI file names are relative to (the program folder); the current folder until set.
void SetMusicFolder(const std::string& folder);

// The MIDI music that last received Play (not a counted reference), or none.
MidiMusic* CurrentMidi();
// Window focus: losing it pauses the current MIDI, getting it back plays it again from the start.
void OnFocusLost();
void OnFocusGained();
void PauseCurrentMidi();
// True when a MIDI music has been current since the last call (shut-down then closes MCI).
bool EndMidiSession();

// Stops the current music when asked, makes `file` (channel 1) the current music and plays it.
// The previous current music is released (it was stopped, by this call or earlier).
void SwitchMusic(const char* file, bool loop, bool stopOld);
// Makes `file` (channel 2) the current ambient loop and plays it looping.
void SwitchAmbient(const char* file);
Sound* CurrentMusic();
Sound* CurrentAmbient();
// Releases both slots (at exit, and before the sound system shuts down).
void ReleaseMusicSlots();
