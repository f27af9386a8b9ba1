// Sound objects, the global sound list and the three volume channels (0 effects, 1 music,
// 2 ambient). Sounds are found by name (a section of DATA\sound.ini, or a file path); a sound
// that is already known is duplicated, so several copies of one effect can play at once.
// Long sounds and music stream through a ring buffer that a thread refills every 50 ms.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "SOUND/decoder.h"

namespace sys {
class SoundBuffer;
}

constexpr int kChannelEffects = 0;
constexpr int kChannelMusic = 1;
constexpr int kChannelAmbient = 2;

// Bits of Sound::flags.
constexpr uint8_t kSoundPlaying = 0x01;
constexpr uint8_t kSoundLoop = 0x02;
constexpr uint8_t kSoundCopied = 0x04; // carried over to duplicates, nothing else
constexpr uint8_t kSoundPaused = 0x08;
constexpr uint8_t kSoundChannelMask = 0x30;
constexpr uint8_t kSoundStreamFed = 0x40; // the stream thread refills it
constexpr uint8_t kSoundOneShot = 0x80;   // released once it has stopped

// Bytes of the ring buffer that streaming sounds play from.
constexpr int kStreamRingBytes = 0x20000;
// Sounds with more PCM data than this stream instead of being decoded whole.
constexpr uint32_t kStaticSoundLimit = 0x100000;

class Sound {
public:
    Sound() = default;
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // Destroy: stops the sound and frees what it holds. Only Release destroys.
    virtual ~Sound() = default;
    // One reference less; at 0 the sound leaves the list and is destroyed.
    virtual void Release();
    virtual void Load() {}
    virtual void Unload() {}
    virtual void Play(bool /*loop*/) {}
    virtual void Pause() {}
    virtual void Stop() {}
    virtual void SetVolume(float v) { volume = v; }
    virtual void SetFrequency(int /*hz*/) {}
    virtual void SetPan(float p) { pan = p; }
    // Another reference to the same sound.
    virtual Sound* Duplicate();
    virtual int GetFrequency() { return 0; }
    virtual float GetVolume() { return volume; }
    virtual float GetPan() { return pan; }
    virtual int IsPlaying() { return 0; }
    virtual void StreamStep() {}

    void AddRef() { ++references; }
    int Channel() const { return (flags.load() & kSoundChannelMask) >> 4; }
    void SetChannel(int channel);
    bool Has(uint8_t bits) const { return (flags.load() & bits) != 0; }
    void SetFlags(uint8_t bits) { flags.fetch_or(bits); }
    void ClearFlags(uint8_t bits) { flags.fetch_and(uint8_t(~bits)); }

    int references = 0;
    std::string file;
    std::string name;
    float volume = 1.0f;
    float pan = 0.0f;
    std::atomic<uint8_t> flags{0};
};

// A sound played through a device buffer: static (decoded whole) or streaming (a ring buffer
// refilled from its decoder).
class BufferSound : public Sound {
public:
    ~BufferSound() override;
    void Load() override;
    void Unload() override;
    void Play(bool loop) override;
    void Pause() override;
    void Stop() override;
    void SetVolume(float v) override;
    void SetFrequency(int hz) override;
    void SetPan(float p) override;
    Sound* Duplicate() override;
    int GetFrequency() override;
    float GetVolume() override;
    float GetPan() override;
    int IsPlaying() override;
    void StreamStep() override;

    bool Streams() const { return decoder != nullptr; }
    bool HasBuffer() const { return buffer != nullptr; }

    sys::SoundBuffer* buffer = nullptr;
    std::unique_ptr<Decoder> decoder; // only while the sound streams
    int64_t written = 0;              // bytes written into the buffer since the last Stop

private:
    void FillRing();
};

// Set-up and shut-down. Without a device the game runs silently: loads and plays do nothing.
// Tests pass withStreamThread = false and call StreamStep themselves.
bool SetUpSound(bool withStreamThread = true);
void ShutDownSound();
bool SoundDeviceReady();

// Channel volumes 0.0 ... 1.0. Setting one re-applies every sound's own volume, so the sounds of
// a channel set to (almost) 0 stop.
void SetChannelVolume(float volume, int channel);
float GetChannelVolume(int channel);

// Loads every sound described in an effect list file (DATA\sound.ini) in channel 0.
void LoadSoundList(const char* file);

// A sound the caller holds one reference to, or none for an empty name, an unknown extension.
Sound* GetSound(const char* name, int channel);
// Releases one-shot sounds that have finished, then plays the named sound once as a one-shot.
// None when the name is empty, there is no device or the channel is below 0.01.
Sound* PlaySound(const char* name, int channel);
// A new sound for a .wav/.ogg (device buffer) or .mid/.midi (MIDI music) file, loaded and put
// into the list with one reference; none for other extensions.
Sound* LoadSoundFile(const char* path, int channel);

// The list (game thread only): slots of destroyed sounds are empty (null).
const std::vector<Sound*>& SoundList();

// A gerr.log record of this module with its fixed line number, and the text that completes it
// when one is given.
void LogSoundFailure(long value, const char* expression, int line, const char* text = nullptr);
