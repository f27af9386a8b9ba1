// The sound device as the game expects it from DirectSound: one device, secondary buffers (static
// ones holding a whole sound, ring buffers fed by a stream), duplicates sharing sample data,
// volume in hundredths of a decibel, pan, frequency, play and write cursors, status. Everything
// is mixed in software and played through SDL2 audio at 44.1 kHz, stereo, 16 bits.
// Every operation is safe to call from the game thread, the stream thread and the audio thread.
#pragma once
#include <cstdint>
#include <memory>

namespace sys {

using HRESULT = int32_t;

constexpr HRESULT DS_OK = 0;
constexpr HRESULT DSERR_INVALIDPARAM = HRESULT(0x80070057u);
constexpr HRESULT DSERR_OUTOFMEMORY = HRESULT(0x8007000Eu);
constexpr HRESULT DSERR_INVALIDCALL = HRESULT(0x88780032u);
constexpr HRESULT DSERR_CONTROLUNAVAIL = HRESULT(0x8878001Eu);
constexpr HRESULT DSERR_BADFORMAT = HRESULT(0x88780064u);
constexpr HRESULT DSERR_NODRIVER = HRESULT(0x88780078u);

constexpr uint32_t DSSCL_NORMAL = 1;
constexpr uint32_t DSSCL_PRIORITY = 2;
constexpr uint32_t DSSCL_EXCLUSIVE = 3;
constexpr uint32_t DSSCL_WRITEPRIMARY = 4;

constexpr uint32_t DSBCAPS_PRIMARYBUFFER = 0x00000001;
constexpr uint32_t DSBCAPS_STATIC = 0x00000002;
constexpr uint32_t DSBCAPS_CTRLFREQUENCY = 0x00000020;
constexpr uint32_t DSBCAPS_CTRLPAN = 0x00000040;
constexpr uint32_t DSBCAPS_CTRLVOLUME = 0x00000080;
constexpr uint32_t DSBCAPS_GETCURRENTPOSITION2 = 0x00010000;

constexpr uint32_t DSBPLAY_LOOPING = 0x00000001;
constexpr uint32_t DSBSTATUS_PLAYING = 0x00000001;
constexpr uint32_t DSBSTATUS_BUFFERLOST = 0x00000002;
constexpr uint32_t DSBSTATUS_LOOPING = 0x00000004;
constexpr uint32_t DSBLOCK_ENTIREBUFFER = 0x00000002;

constexpr long DSBVOLUME_MIN = -10000;
constexpr long DSBVOLUME_MAX = 0;
constexpr long DSBPAN_LEFT = -10000;
constexpr long DSBPAN_RIGHT = 10000;
constexpr uint32_t DSBFREQUENCY_ORIGINAL = 0;
constexpr uint32_t DSBFREQUENCY_MIN = 100;
constexpr uint32_t DSBFREQUENCY_MAX = 200000;
// A secondary buffer may hold at most this many bytes.
constexpr uint32_t DSBSIZE_MAX = 0x0FFFFFFF;

constexpr uint16_t WAVE_FORMAT_PCM = 1;
constexpr int kDeviceRate = 44100;

struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t extraSize = 0;
};

struct BufferDesc {
    uint32_t size = 36;
    uint32_t flags = 0;
    uint32_t bufferBytes = 0;
    const WaveFormat* format = nullptr;
};

struct DeviceCore;
struct Voice;

class SoundBuffer {
public:
    HRESULT Play(uint32_t reserved, uint32_t priority, uint32_t flags);
    HRESULT Stop();
    HRESULT GetStatus(uint32_t* status);
    HRESULT Restore();
    HRESULT GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor);
    HRESULT SetCurrentPosition(uint32_t position);
    // The locked regions are a private copy; Unlock publishes them to the mixer at once.
    HRESULT Lock(uint32_t offset, uint32_t bytes, void** region1, uint32_t* size1, void** region2,
                 uint32_t* size2, uint32_t flags);
    HRESULT Unlock(void* region1, uint32_t size1, void* region2, uint32_t size2);
    HRESULT SetVolume(long hundredthsOfDb);
    HRESULT GetVolume(long* hundredthsOfDb);
    HRESULT SetPan(long pan);
    HRESULT GetPan(long* pan);
    HRESULT SetFrequency(uint32_t hz);
    HRESULT GetFrequency(uint32_t* hz);
    // The primary buffer's format is fixed at 44.1 kHz stereo 16-bit; other formats are refused.
    HRESULT SetFormat(const WaveFormat* format);
    // Returns the remaining reference count; the buffer is gone at 0.
    uint32_t Release();

private:
    friend class SoundDevice;
    SoundBuffer(std::shared_ptr<DeviceCore> core, std::shared_ptr<Voice> voice);
    ~SoundBuffer();
    std::shared_ptr<DeviceCore> core_;
    std::shared_ptr<Voice> voice_;
    uint32_t references_ = 1;
};

class SoundDevice {
public:
    HRESULT SetCooperativeLevel(uint32_t level);
    HRESULT CreateSoundBuffer(const BufferDesc* desc, SoundBuffer** buffer, void* outer);
    HRESULT DuplicateSoundBuffer(SoundBuffer* original, SoundBuffer** duplicate);
    uint32_t Release();

private:
    friend HRESULT DirectSoundCreate(SoundDevice** device);
    explicit SoundDevice(std::shared_ptr<DeviceCore> core);
    ~SoundDevice();
    std::shared_ptr<DeviceCore> core_;
    uint32_t references_ = 1;
};

// Opens the default audio output. DSERR_NODRIVER when the machine has none.
HRESULT DirectSoundCreate(SoundDevice** device);

// A source mixed after the buffers, in float stereo at the device rate (the MIDI synthesiser).
// It is called on the audio thread and must add into `stereo`, not overwrite it.
using MixSource = void (*)(void* context, float* stereo, int frames);
void SetSynthSource(MixSource source, void* context);

// Raises the calling thread to the highest scheduling priority the system grants.
void SetCurrentThreadTimeCritical();

// Tests and benchmarks: devices created while this is set are not connected to an output; the
// mixer then advances only when RenderManualSound is called.
void UseManualSoundClock(bool manual);
// Mixes the next `frames` stereo frames of the newest manual-clock device into `out`.
// Returns false when no such device exists (out is then silence).
bool RenderManualSound(int16_t* out, int frames);

} // namespace sys
