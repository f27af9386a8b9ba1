#include "SYS/sound_device.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace sys {

struct Voice {
    std::shared_ptr<std::vector<uint8_t>> samples; // shared by duplicates
    WaveFormat format;
    uint32_t flags = 0;
    uint32_t length = 0; // bytes
    long volume = 0;
    long pan = 0;
    uint32_t frequency = 0;
    bool primary = false;
    bool playing = false;
    bool looping = false;
    uint64_t position = 0;        // frames in 32.32 fixed point
    std::vector<uint8_t> staging; // what Lock hands out
    float gainLeft = 1.0f;
    float gainRight = 1.0f;
};

struct DeviceCore {
    std::mutex mutex;
    std::vector<Voice*> voices;
    std::vector<float> mix;
    SDL_AudioDeviceID output = 0;

    void Render(int16_t* out, int frames);
};

namespace {

std::atomic<bool> g_manualClock{false};
std::mutex g_manualMutex;
std::weak_ptr<DeviceCore> g_manualCore;

std::mutex g_synthMutex;
MixSource g_synthSource = nullptr;
void* g_synthContext = nullptr;

float DecibelGain(long hundredths) {
    if (hundredths <= DSBVOLUME_MIN) return 0.0f;
    return float(std::pow(10.0, double(hundredths) / 2000.0));
}

// Pan attenuates the opposite side only, as DirectSound does.
void UpdateGains(Voice& v) {
    float gain = DecibelGain(v.volume);
    v.gainLeft = gain * (v.pan > 0 ? DecibelGain(-v.pan) : 1.0f);
    v.gainRight = gain * (v.pan < 0 ? DecibelGain(v.pan) : 1.0f);
}

uint32_t FrameCount(const Voice& v) {
    return v.length / v.format.blockAlign;
}

template <int Bits> inline float SampleAt(const uint8_t* p) {
    if constexpr (Bits == 8) {
        return float(int(*p) - 128) * 256.0f;
    } else {
        int16_t s;
        std::memcpy(&s, p, sizeof s);
        return float(s);
    }
}

template <int Bits, int Channels> void MixVoice(Voice& v, float* out, int frames) {
    const uint32_t count = FrameCount(v);
    if (count == 0) {
        v.playing = false;
        return;
    }
    constexpr int kBytes = Bits / 8;
    constexpr int kAlign = kBytes * Channels;
    const uint8_t* data = v.samples->data();
    const uint64_t end = uint64_t(count) << 32;
    const uint64_t step = (uint64_t(v.frequency) << 32) / kDeviceRate;
    const float gl = v.gainLeft, gr = v.gainRight;
    uint64_t pos = v.position;
    for (int i = 0; i < frames; ++i) {
        uint32_t index = uint32_t(pos >> 32);
        uint32_t next = index + 1;
        if (next >= count) next = v.looping ? 0 : index;
        float frac = float(pos & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
        const uint8_t* a = data + size_t(index) * kAlign;
        const uint8_t* b = data + size_t(next) * kAlign;
        float l0 = SampleAt<Bits>(a), l1 = SampleAt<Bits>(b);
        float r0 = l0, r1 = l1;
        if constexpr (Channels == 2) {
            r0 = SampleAt<Bits>(a + kBytes);
            r1 = SampleAt<Bits>(b + kBytes);
        }
        out[2 * i] += (l0 + (l1 - l0) * frac) * gl;
        out[2 * i + 1] += (r0 + (r1 - r0) * frac) * gr;
        pos += step;
        if (pos >= end) {
            if (!v.looping) {
                // A one-shot buffer stops at its end and rewinds, like the original device.
                v.playing = false;
                pos = 0;
                break;
            }
            pos %= end;
        }
    }
    v.position = pos;
}

void MixAny(Voice& v, float* out, int frames) {
    const bool stereo = v.format.channels == 2;
    if (v.format.bitsPerSample == 8) {
        stereo ? MixVoice<8, 2>(v, out, frames) : MixVoice<8, 1>(v, out, frames);
    } else {
        stereo ? MixVoice<16, 2>(v, out, frames) : MixVoice<16, 1>(v, out, frames);
    }
}

void AudioCallback(void* userdata, Uint8* stream, int length) {
    static_cast<DeviceCore*>(userdata)->Render(reinterpret_cast<int16_t*>(stream), length / 4);
}

bool ValidFormat(const WaveFormat& f) {
    if (f.formatTag != WAVE_FORMAT_PCM) return false;
    if (f.channels != 1 && f.channels != 2) return false;
    if (f.bitsPerSample != 8 && f.bitsPerSample != 16) return false;
    if (f.samplesPerSec < DSBFREQUENCY_MIN || f.samplesPerSec > DSBFREQUENCY_MAX) return false;
    return f.blockAlign == f.channels * f.bitsPerSample / 8;
}

} // namespace

void DeviceCore::Render(int16_t* out, int frames) {
    if (frames <= 0) return;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (mix.size() < size_t(frames) * 2) mix.resize(size_t(frames) * 2);
        std::fill(mix.begin(), mix.begin() + size_t(frames) * 2, 0.0f);
        for (Voice* v : voices)
            if (v->playing) MixAny(*v, mix.data(), frames);
        std::lock_guard<std::mutex> synthLock(g_synthMutex);
        if (g_synthSource) g_synthSource(g_synthContext, mix.data(), frames);
        for (int i = 0; i < frames * 2; ++i)
            out[i] = int16_t(std::lrint(std::clamp(mix[size_t(i)], -32768.0f, 32767.0f)));
    }
}

// ---- SoundBuffer ----

SoundBuffer::SoundBuffer(std::shared_ptr<DeviceCore> core, std::shared_ptr<Voice> voice)
    : core_(std::move(core)), voice_(std::move(voice)) {}

SoundBuffer::~SoundBuffer() = default;

uint32_t SoundBuffer::Release() {
    if (--references_ > 0) return references_;
    {
        std::lock_guard<std::mutex> lock(core_->mutex);
        auto& list = core_->voices;
        list.erase(std::remove(list.begin(), list.end(), voice_.get()), list.end());
    }
    delete this;
    return 0;
}

HRESULT SoundBuffer::Play(uint32_t reserved, uint32_t priority, uint32_t flags) {
    if (reserved != 0 || priority != 0) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(core_->mutex);
    if (voice_->primary) return DS_OK;
    voice_->looping = (flags & DSBPLAY_LOOPING) != 0;
    voice_->playing = true;
    return DS_OK;
}

HRESULT SoundBuffer::Stop() {
    std::lock_guard<std::mutex> lock(core_->mutex);
    voice_->playing = false;
    return DS_OK;
}

HRESULT SoundBuffer::GetStatus(uint32_t* status) {
    if (!status) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(core_->mutex);
    *status = 0;
    if (voice_->playing) *status = DSBSTATUS_PLAYING | (voice_->looping ? DSBSTATUS_LOOPING : 0);
    return DS_OK;
}

// Buffers in system memory are never lost.
HRESULT SoundBuffer::Restore() {
    return DS_OK;
}

HRESULT SoundBuffer::GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    const Voice& v = *voice_;
    if (v.primary) return DSERR_INVALIDCALL;
    uint32_t play = uint32_t(v.position >> 32) * v.format.blockAlign;
    // The mixer reads about 10 ms ahead of what is heard.
    uint32_t ahead = std::max<uint32_t>(1, v.frequency / 100) * v.format.blockAlign;
    if (playCursor) *playCursor = play;
    if (writeCursor) *writeCursor = v.length ? uint32_t((uint64_t(play) + ahead) % v.length) : 0;
    return DS_OK;
}

HRESULT SoundBuffer::SetCurrentPosition(uint32_t position) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    Voice& v = *voice_;
    if (v.primary) return DSERR_INVALIDCALL;
    if (position >= v.length) return DSERR_INVALIDPARAM;
    v.position = uint64_t(position / v.format.blockAlign) << 32;
    return DS_OK;
}

HRESULT SoundBuffer::Lock(uint32_t offset, uint32_t bytes, void** region1, uint32_t* size1,
                          void** region2, uint32_t* size2, uint32_t flags) {
    if (!region1 || !size1) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(core_->mutex);
    Voice& v = *voice_;
    if (v.primary) return DSERR_INVALIDCALL;
    if (flags & DSBLOCK_ENTIREBUFFER) {
        offset = 0;
        bytes = v.length;
    }
    if (offset >= v.length || bytes == 0 || bytes > v.length) return DSERR_INVALIDPARAM;
    if (v.staging.size() != v.length) {
        try {
            v.staging.resize(v.length);
        } catch (const std::bad_alloc&) {
            return DSERR_OUTOFMEMORY;
        }
    }
    uint32_t first = std::min(bytes, v.length - offset);
    uint32_t second = bytes - first;
    std::memcpy(v.staging.data() + offset, v.samples->data() + offset, first);
    std::memcpy(v.staging.data(), v.samples->data(), second);
    *region1 = v.staging.data() + offset;
    *size1 = first;
    if (region2) *region2 = second ? v.staging.data() : nullptr;
    if (size2) *size2 = second;
    return DS_OK;
}

HRESULT SoundBuffer::Unlock(void* region1, uint32_t size1, void* region2, uint32_t size2) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    Voice& v = *voice_;
    if (v.staging.empty()) return DSERR_INVALIDCALL;
    uint8_t* base = v.staging.data();
    auto publish = [&](void* region, uint32_t size) {
        if (!region || size == 0) return true;
        auto* p = static_cast<uint8_t*>(region);
        if (p < base || p + size > base + v.length) return false;
        std::memcpy(v.samples->data() + (p - base), p, size);
        return true;
    };
    bool ok = publish(region1, size1) && publish(region2, size2);
    // Static buffers are filled once; only ring buffers keep their copy for the next refill.
    if (v.flags & DSBCAPS_STATIC) std::vector<uint8_t>().swap(v.staging);
    return ok ? DS_OK : DSERR_INVALIDPARAM;
}

HRESULT SoundBuffer::SetVolume(long hundredthsOfDb) {
    if (hundredthsOfDb < DSBVOLUME_MIN || hundredthsOfDb > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(core_->mutex);
    if (!(voice_->flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    voice_->volume = hundredthsOfDb;
    UpdateGains(*voice_);
    return DS_OK;
}

HRESULT SoundBuffer::GetVolume(long* hundredthsOfDb) {
    if (!hundredthsOfDb) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(core_->mutex);
    if (!(voice_->flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    *hundredthsOfDb = voice_->volume;
    return DS_OK;
}

HRESULT SoundBuffer::SetPan(long pan) {
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(core_->mutex);
    if (!(voice_->flags & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    voice_->pan = pan;
    UpdateGains(*voice_);
    return DS_OK;
}

HRESULT SoundBuffer::GetPan(long* pan) {
    if (!pan) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(core_->mutex);
    if (!(voice_->flags & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    *pan = voice_->pan;
    return DS_OK;
}

HRESULT SoundBuffer::SetFrequency(uint32_t hz) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    if (!(voice_->flags & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
    if (hz == DSBFREQUENCY_ORIGINAL) hz = voice_->format.samplesPerSec;
    if (hz < DSBFREQUENCY_MIN || hz > DSBFREQUENCY_MAX) return DSERR_INVALIDPARAM;
    voice_->frequency = hz;
    return DS_OK;
}

HRESULT SoundBuffer::GetFrequency(uint32_t* hz) {
    if (!hz) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(core_->mutex);
    if (!(voice_->flags & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
    *hz = voice_->frequency;
    return DS_OK;
}

HRESULT SoundBuffer::SetFormat(const WaveFormat* format) {
    if (!format || !ValidFormat(*format)) return DSERR_BADFORMAT;
    std::lock_guard<std::mutex> lock(core_->mutex);
    return voice_->primary ? DS_OK : DSERR_INVALIDCALL;
}

// ---- SoundDevice ----

SoundDevice::SoundDevice(std::shared_ptr<DeviceCore> core) : core_(std::move(core)) {}

SoundDevice::~SoundDevice() {
    if (core_->output) {
        SDL_CloseAudioDevice(core_->output); // waits for a running callback
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

uint32_t SoundDevice::Release() {
    if (--references_ > 0) return references_;
    delete this;
    return 0;
}

// The mixer owns the output alone whatever the level; only the value is checked.
HRESULT SoundDevice::SetCooperativeLevel(uint32_t level) {
    return level >= DSSCL_NORMAL && level <= DSSCL_WRITEPRIMARY ? DS_OK : DSERR_INVALIDPARAM;
}

HRESULT SoundDevice::CreateSoundBuffer(const BufferDesc* desc, SoundBuffer** buffer, void* outer) {
    if (!desc || !buffer || outer || desc->size != sizeof(uint32_t) * 9) return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    auto voice = std::make_shared<Voice>();
    voice->flags = desc->flags;
    if (desc->flags & DSBCAPS_PRIMARYBUFFER) {
        if (desc->bufferBytes != 0 || desc->format) return DSERR_INVALIDPARAM;
        voice->primary = true;
        *buffer = new SoundBuffer(core_, voice);
        return DS_OK;
    }
    if (!desc->format) return DSERR_INVALIDPARAM;
    if (!ValidFormat(*desc->format)) return DSERR_BADFORMAT;
    if (desc->bufferBytes < desc->format->blockAlign || desc->bufferBytes > DSBSIZE_MAX)
        return DSERR_INVALIDPARAM;
    try {
        voice->samples = std::make_shared<std::vector<uint8_t>>(desc->bufferBytes);
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    voice->format = *desc->format;
    voice->length = desc->bufferBytes;
    voice->frequency = desc->format->samplesPerSec;
    UpdateGains(*voice);
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->voices.push_back(voice.get());
    *buffer = new SoundBuffer(core_, voice);
    return DS_OK;
}

HRESULT SoundDevice::DuplicateSoundBuffer(SoundBuffer* original, SoundBuffer** duplicate) {
    if (!original || !duplicate) return DSERR_INVALIDPARAM;
    *duplicate = nullptr;
    std::lock_guard<std::mutex> lock(core_->mutex);
    const Voice& source = *original->voice_;
    if (source.primary) return DSERR_INVALIDCALL;
    auto voice = std::make_shared<Voice>();
    voice->samples = source.samples;
    voice->format = source.format;
    voice->flags = source.flags;
    voice->length = source.length;
    voice->volume = source.volume;
    voice->pan = source.pan;
    voice->frequency = source.frequency;
    UpdateGains(*voice);
    core_->voices.push_back(voice.get());
    *duplicate = new SoundBuffer(core_, voice);
    return DS_OK;
}

HRESULT DirectSoundCreate(SoundDevice** device) {
    if (!device) return DSERR_INVALIDPARAM;
    *device = nullptr;
    auto core = std::make_shared<DeviceCore>();
    if (g_manualClock) {
        std::lock_guard<std::mutex> lock(g_manualMutex);
        g_manualCore = core;
        *device = new SoundDevice(core);
        return DS_OK;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return DSERR_NODRIVER;
    SDL_AudioSpec want{};
    want.freq = kDeviceRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = AudioCallback;
    want.userdata = core.get();
    core->output = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (core->output == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return DSERR_NODRIVER;
    }
    SDL_PauseAudioDevice(core->output, 0);
    *device = new SoundDevice(core);
    return DS_OK;
}

void SetSynthSource(MixSource source, void* context) {
    std::lock_guard<std::mutex> lock(g_synthMutex);
    g_synthSource = source;
    g_synthContext = context;
}

void SetCurrentThreadTimeCritical() {
    SDL_SetThreadPriority(SDL_THREAD_PRIORITY_TIME_CRITICAL);
}

void UseManualSoundClock(bool manual) {
    g_manualClock = manual;
}

bool RenderManualSound(int16_t* out, int frames) {
    std::shared_ptr<DeviceCore> core;
    {
        std::lock_guard<std::mutex> lock(g_manualMutex);
        core = g_manualCore.lock();
    }
    if (!core) {
        std::fill(out, out + std::max(frames, 0) * 2, int16_t(0));
        return false;
    }
    core->Render(out, frames);
    return true;
}

} // namespace sys
