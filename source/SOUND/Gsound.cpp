#include "SOUND/Gsound.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <strings.h>
#include <thread>

#include "BASE/errlog.h"
#include "BASE/settings.h"
#include "SOUND/music.h"
#include "SOUND/volume_curve.h"
#include "SYS/files.h"
#include "SYS/profile.h"
#include "SYS/sound_device.h"

namespace {

constexpr size_t kListCapacity = 100;
constexpr size_t kListGrowth = 10;
constexpr size_t kSectionNamesBytes = 4096;

float g_channelVolume[3] = {1.0f, 1.0f, 1.0f};
sys::SoundDevice* g_device = nullptr;
std::vector<Sound*> g_sounds;

// Held by the stream thread while it walks the list, and by the game thread while it changes
// the list or the streaming state of a sound, so a refill never meets a half-changed sound.
std::recursive_mutex g_streamLock;

std::mutex g_threadMutex;
std::condition_variable g_threadWake;
bool g_threadStop = false;

void StopStreamThread();

// The stream thread is stopped when the program ends without closing the sound, as when the
// display's library exits the program on losing its server: a std::thread still running when it
// is destroyed would abort the program. Declared after what stopping it uses, so it goes first.
struct StreamThread {
    std::thread thread;
    ~StreamThread() { StopStreamThread(); }
} g_streamThread;

void StreamThreadMain() {
    sys::SetCurrentThreadTimeCritical();
    std::unique_lock<std::mutex> wait(g_threadMutex);
    while (!g_threadStop) {
        {
            std::lock_guard<std::recursive_mutex> lock(g_streamLock);
            for (Sound* s : g_sounds)
                if (s && s->Has(kSoundStreamFed)) s->StreamStep();
        }
        g_threadWake.wait_for(wait, std::chrono::milliseconds(50), [] { return g_threadStop; });
    }
}

void StopStreamThread() {
    if (!g_streamThread.thread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(g_threadMutex);
        g_threadStop = true;
    }
    g_threadWake.notify_all();
    g_streamThread.thread.join();
    g_threadStop = false;
}

void AddToList(Sound* sound) {
    std::lock_guard<std::recursive_mutex> lock(g_streamLock);
    auto empty = std::find(g_sounds.begin(), g_sounds.end(), nullptr);
    if (empty != g_sounds.end()) {
        *empty = sound;
        return;
    }
    if (g_sounds.capacity() < kListCapacity) g_sounds.reserve(kListCapacity);
    if (g_sounds.size() == g_sounds.capacity()) g_sounds.reserve(g_sounds.size() + kListGrowth);
    g_sounds.push_back(sound);
}

void RemoveFromList(Sound* sound) {
    std::lock_guard<std::recursive_mutex> lock(g_streamLock);
    for (Sound*& slot : g_sounds)
        if (slot == sound) slot = nullptr;
}

Sound* FindSound(const char* name) {
    for (Sound* s : g_sounds)
        if (s && strcasecmp(s->name.c_str(), name) == 0) return s;
    return nullptr;
}

void ReleaseFinishedOneShots() {
    for (size_t i = 0; i < g_sounds.size(); ++i) {
        Sound* s = g_sounds[i];
        if (s && s->Has(kSoundOneShot) && !s->IsPlaying()) s->Release();
    }
}

sys::WaveFormat DeviceFormat() {
    sys::WaveFormat f;
    f.formatTag = sys::WAVE_FORMAT_PCM;
    f.channels = 2;
    f.samplesPerSec = sys::kDeviceRate;
    f.bitsPerSample = 16;
    f.blockAlign = 4;
    f.avgBytesPerSec = sys::kDeviceRate * 4;
    return f;
}

} // namespace

void LogSoundFailure(long value, const char* expression, int line, const char* text) {
    if (text)
        LogFailureWithText(value, expression, __FILE__, line, text);
    else
        LogFailure(value, expression, __FILE__, line);
}

// ---- Sound ----

void Sound::Release() {
    if (--references > 0) return;
    RemoveFromList(this); // the stream thread can no longer reach it
    delete this;
}

Sound* Sound::Duplicate() {
    AddRef();
    return this;
}

void Sound::SetChannel(int channel) {
    channel = std::clamp(channel, 0, 2);
    flags = uint8_t((flags.load() & ~kSoundChannelMask) | (channel << 4));
}

// ---- BufferSound ----

BufferSound::~BufferSound() {
    std::lock_guard<std::recursive_mutex> lock(g_streamLock);
    Unload();
    if (decoder) decoder->Close();
}

namespace {

// Locks the whole buffer and fills it from the decoder; what the decoder does not deliver is
// silence. Returns the bytes delivered (a failed lock leaves the buffer as it was: 0).
int FillWholeBuffer(sys::SoundBuffer* buffer, Decoder& decoder, bool loop) {
    void *region1 = nullptr, *region2 = nullptr;
    uint32_t size1 = 0, size2 = 0;
    if (buffer->Lock(0, 0, &region1, &size1, &region2, &size2, sys::DSBLOCK_ENTIREBUFFER) !=
        sys::DS_OK)
        return 0;
    int n = decoder.Read(region1, int(size1), loop);
    if (uint32_t(n) < size1) std::memset(static_cast<char*>(region1) + n, 0, size1 - uint32_t(n));
    long hr = buffer->Unlock(region1, size1, region2, size2);
    if (hr) LogSoundFailure(hr, "lpDSBuffer->Unlock( lpData1, dwSize1, lpData2, dwSize2 )", 188);
    return n;
}

} // namespace

void BufferSound::FillRing() {
    written = FillWholeBuffer(buffer, *decoder, Has(kSoundLoop));
}

void BufferSound::Load() {
    if (file.empty() || !g_device) return;
    std::unique_ptr<Decoder> reader = CreateDecoder(file);
    if (!reader || reader->Open(file.c_str()) != 0) return;
    sys::BufferDesc desc;
    desc.format = &reader->Format();
    const uint32_t controls =
        sys::DSBCAPS_CTRLFREQUENCY | sys::DSBCAPS_CTRLPAN | sys::DSBCAPS_CTRLVOLUME;
    std::lock_guard<std::recursive_mutex> lock(g_streamLock);
    if (reader->DataLength() > kStaticSoundLimit || Channel() == kChannelMusic) {
        desc.bufferBytes = kStreamRingBytes;
        desc.flags = controls | sys::DSBCAPS_GETCURRENTPOSITION2;
        long hr = g_device->CreateSoundBuffer(&desc, &buffer, nullptr);
        if (hr) {
            LogSoundFailure(hr, "lpDS->CreateSoundBuffer( &dsbd, &lpDSBuffer, 0 )", 166);
            return;
        }
        decoder = std::move(reader);
        FillRing();
        return;
    }
    desc.bufferBytes = reader->DataLength();
    desc.flags = sys::DSBCAPS_STATIC | controls;
    long hr = g_device->CreateSoundBuffer(&desc, &buffer, nullptr);
    if (hr) {
        LogSoundFailure(hr, "lpDS->CreateSoundBuffer( &dsbd, &lpDSBuffer, 0 )", 158);
        return;
    }
    written = FillWholeBuffer(buffer, *reader, false);
    reader->Close();
}

void BufferSound::Unload() {
    std::lock_guard<std::recursive_mutex> lock(g_streamLock);
    ClearFlags(kSoundStreamFed);
    if (!buffer) return;
    buffer->Stop();
    buffer->Release();
    buffer = nullptr;
}

void BufferSound::Play(bool loop) {
    loop ? SetFlags(kSoundLoop) : ClearFlags(kSoundLoop);
    if (GetChannelVolume(Channel()) == 0.0f || !buffer) return;
    std::lock_guard<std::recursive_mutex> lock(g_streamLock);
    uint32_t status = 0;
    long hr = buffer->GetStatus(&status);
    if (hr) LogSoundFailure(hr, "lpDSBuffer->GetStatus(&dwStatus)", 211);
    if (status & sys::DSBSTATUS_BUFFERLOST) {
        hr = buffer->Restore();
        if (hr) LogSoundFailure(hr, "lpDSBuffer->Restore()", 213);
    }
    // After a stop the ring still holds old data: start over from a freshly filled ring, so the
    // replay begins with the stream's first byte instead of a lap of stale sound.
    if (Streams() && written == 0) FillRing();
    hr = buffer->Play(0, 0, loop || Streams() ? sys::DSBPLAY_LOOPING : 0);
    if (hr)
        LogSoundFailure(hr, "lpDSBuffer->Play( 0, 0, bLoop || fsnd ? DSBPLAY_LOOPING : 0 )", 214);
    SetVolume(volume);
    SetFlags(Streams() ? kSoundPlaying | kSoundStreamFed : kSoundPlaying);
}

void BufferSound::Stop() {
    std::lock_guard<std::recursive_mutex> lock(g_streamLock);
    ClearFlags(kSoundStreamFed);
    if (buffer) {
        long hr = buffer->Stop();
        if (hr) LogSoundFailure(hr, "lpDSBuffer->Stop()", 223);
        hr = buffer->SetCurrentPosition(0);
        if (hr) LogSoundFailure(hr, "lpDSBuffer->SetCurrentPosition( 0L )", 224);
        if (Streams()) {
            written = 0;
            decoder->Rewind();
        }
    }
    ClearFlags(kSoundPlaying);
}

void BufferSound::Pause() {
    std::lock_guard<std::recursive_mutex> lock(g_streamLock);
    ClearFlags(kSoundStreamFed);
    if (buffer) {
        long hr = buffer->Stop();
        if (hr) LogSoundFailure(hr, "lpDSBuffer->Stop()", 232);
    }
    ClearFlags(kSoundPlaying);
}

void BufferSound::SetVolume(float v) {
    volume = v;
    if (!buffer) return;
    float channel = GetChannelVolume(Channel());
    if (channel < 0.01f) {
        Stop();
        return;
    }
    long hr = buffer->SetVolume(ToDirectVolume(channel * volume));
    if (hr)
        LogSoundFailure(hr, "lpDSBuffer->SetVolume( ToDirectVolume(sndVolume[sndMode]*volume) )",
                        242);
}

void BufferSound::SetFrequency(int hz) {
    if (!buffer) return;
    long hr = buffer->SetFrequency(uint32_t(std::max(hz, 0)));
    if (hr) LogSoundFailure(hr, "lpDSBuffer -> SetFrequency( frq )", 248);
}

void BufferSound::SetPan(float p) {
    pan = p;
    if (!buffer) return;
    long hr = buffer->SetPan(ToDirectPan(p));
    if (hr) LogSoundFailure(hr, "lpDSBuffer -> SetPan( ipan )", 254);
}

int BufferSound::GetFrequency() {
    if (!buffer) return 100;
    uint32_t hz = 0;
    long hr = buffer->GetFrequency(&hz);
    if (hr) LogSoundFailure(hr, "lpDSBuffer -> GetFrequency( &frq )", 261);
    return int(hz);
}

float BufferSound::GetVolume() {
    float channel = GetChannelVolume(Channel());
    if (!buffer || channel < 0.01f) return volume;
    long level = 0;
    long hr = buffer->GetVolume(&level);
    if (hr) {
        LogSoundFailure(hr, "lpDSBuffer->GetVolume( &volume )", 268);
        return volume;
    }
    volume = FromDirectVolume(level) / channel;
    return volume;
}

float BufferSound::GetPan() {
    if (!buffer) return pan;
    long panning = 0;
    long hr = buffer->GetPan(&panning);
    if (hr) {
        LogSoundFailure(hr, "lpDSBuffer -> GetPan( &panning )", 275);
        return pan;
    }
    pan = FromDirectPan(panning);
    return pan;
}

int BufferSound::IsPlaying() {
    if (!buffer || !Has(kSoundPlaying)) return 0;
    uint32_t status = 0;
    long hr = buffer->GetStatus(&status);
    if (hr) LogSoundFailure(hr, "lpDSBuffer->GetStatus( &dwStatus )", 282);
    (status & sys::DSBSTATUS_PLAYING) ? SetFlags(kSoundPlaying) : ClearFlags(kSoundPlaying);
    return Has(kSoundPlaying) ? 1 : 0;
}

Sound* BufferSound::Duplicate() {
    auto* copy = new BufferSound;
    copy->references = 1;
    copy->file = file;
    copy->name = name;
    copy->volume = volume;
    copy->flags = uint8_t(flags.load() & (kSoundChannelMask | kSoundLoop | kSoundCopied));
    if (Streams()) {
        copy->Load(); // a stream is never shared: own decoder, own ring
    } else if (buffer && g_device) {
        long hr = g_device->DuplicateSoundBuffer(buffer, &copy->buffer);
        if (hr)
            LogSoundFailure(hr, "lpDS->DuplicateSoundBuffer( lpDSBuffer, &Sound->lpDSBuffer )",
                            299);
    }
    AddToList(copy);
    return copy;
}

void BufferSound::StreamStep() {
    std::lock_guard<std::recursive_mutex> lock(g_streamLock);
    if (!buffer || !decoder) return;
    uint32_t playCursor = 0, writeCursor = 0;
    long hr = buffer->GetCurrentPosition(&playCursor, &writeCursor);
    if (hr) {
        LogSoundFailure(hr, "lpDSBuffer->GetCurrentPosition( &dwPlayPos, &dwWritePos )", 196);
        return;
    }
    const int play = int(playCursor);
    const int w = int(written % kStreamRingBytes);
    const int space = w <= play ? play - w : play - w + kStreamRingBytes;
    if (space <= 0) return;
    // Bytes heard so far: everything written except what still waits between the cursors.
    const int64_t played = written + play - w - (w < play ? kStreamRingBytes : 0);

    void *region1 = nullptr, *region2 = nullptr;
    uint32_t size1 = 0, size2 = 0;
    if (buffer->Lock(uint32_t(w), uint32_t(space), &region1, &size1, &region2, &size2, 0) ==
        sys::DS_OK) {
        const bool loop = Has(kSoundLoop);
        int n = decoder->Read(region1, int(size1), loop);
        if (uint32_t(n) < size1)
            std::memset(static_cast<char*>(region1) + n, 0, size1 - uint32_t(n));
        if (region2 && size2) {
            int m = decoder->Read(region2, int(size2), loop);
            if (uint32_t(m) < size2)
                std::memset(static_cast<char*>(region2) + m, 0, size2 - uint32_t(m));
        }
        hr = buffer->Unlock(region1, size1, region2, size2);
        if (hr)
            LogSoundFailure(hr, "lpDSBuffer->Unlock( lpData1, dwSize1, lpData2, dwSize2 )", 188);
        // Silence after the end counts as written too, so the ring position follows the cursor
        // and the estimate below reaches the data length once the last byte has been heard.
        written += space;
    }
    if (!Has(kSoundLoop) && played >= int64_t(decoder->DataLength())) Stop();
}

// ---- the list, channels, set-up ----

const std::vector<Sound*>& SoundList() {
    return g_sounds;
}

bool SoundDeviceReady() {
    return g_device != nullptr;
}

float GetChannelVolume(int channel) {
    return channel >= 0 && channel < 3 ? g_channelVolume[channel] : 0.0f;
}

void SetChannelVolume(float volume, int channel) {
    if (channel < 0 || channel >= 3) return;
    g_channelVolume[channel] = volume;
    for (size_t i = 0; i < g_sounds.size(); ++i)
        if (Sound* s = g_sounds[i]) s->SetVolume(s->volume);
}

bool SetUpSound(bool withStreamThread) {
    sys::SoundBuffer* primary = nullptr;
    if (!g_device && sys::DirectSoundCreate(&g_device) != sys::DS_OK) g_device = nullptr;
    bool ok = g_device && g_device->SetCooperativeLevel(sys::DSSCL_PRIORITY) == sys::DS_OK;
    if (ok) {
        sys::BufferDesc desc;
        desc.flags = sys::DSBCAPS_PRIMARYBUFFER;
        sys::WaveFormat format = DeviceFormat();
        ok = g_device->CreateSoundBuffer(&desc, &primary, nullptr) == sys::DS_OK &&
             primary->SetFormat(&format) == sys::DS_OK;
    }
    if (primary) primary->Release();
    if (!ok) {
        ShutDownSound();
        return false;
    }
    if (withStreamThread && !g_streamThread.thread.joinable())
        g_streamThread.thread = std::thread(StreamThreadMain);
    return true;
}

void ShutDownSound() {
    ReleaseMusicSlots();
    PauseCurrentMidi();
    StopStreamThread();
    for (size_t i = g_sounds.size(); i-- > 0;) {
        if (Sound* s = g_sounds[i]) {
            s->references = 1;
            s->Release();
        }
    }
    std::vector<Sound*>().swap(g_sounds);
    if (EndMidiSession()) {
        long ret = long(SendMciCommand("close all"));
        if (ret) LogSoundFailure(ret, "mciSendString( \"close all\", NULL, 0, NULL)", 388);
    }
    if (g_device) {
        g_device->SetCooperativeLevel(sys::DSSCL_NORMAL);
        g_device->Release();
        g_device = nullptr;
    }
}

// ---- finding, loading and playing by name ----

Sound* LoadSoundFile(const char* path, int channel) {
    std::string ext = FileExtension(path ? path : "");
    Sound* sound = nullptr;
    if (ext == "wav" || ext == "ogg")
        sound = new BufferSound;
    else if (ext == "mid" || ext == "midi")
        sound = new MidiMusic;
    else
        return nullptr;
    sound->references = 1;
    sound->file = path;
    sound->name = path;
    sound->SetChannel(channel);
    sound->Load();
    AddToList(sound);
    return sound;
}

Sound* GetSound(const char* name, int channel) {
    if (!name || !*name) return nullptr;
    if (Sound* known = FindSound(name)) return known->Duplicate();
    return LoadSoundFile(name, channel);
}

Sound* PlaySound(const char* name, int channel) {
    ReleaseFinishedOneShots();
    if (!name || !*name || !g_device || GetChannelVolume(channel) < 0.01f) return nullptr;
    Sound* sound = GetSound(name, channel);
    if (!sound) return nullptr;
    sound->SetFlags(kSoundOneShot);
    sound->Play(false);
    return sound;
}

void LoadSoundList(const char* file) {
    char names[kSectionNamesBytes] = {};
    size_t length = sys::GetPrivateProfileString(nullptr, nullptr, "", names, sizeof names,
                                                 sys::ResolvePath(file).c_str());
    length = std::min(length, sizeof names - 1);
    for (size_t at = 0; at < length && names[at];) {
        std::string section(names + at);
        at += section.size() + 1;
        std::string path = GetIniString(file, section.c_str(), "name");
        Sound* sound = LoadSoundFile(path.c_str(), kChannelEffects);
        if (!sound) continue;
        sound->name = section;
        sound->SetVolume(GetIniFloat(file, section.c_str(), "volume"));
        sound->SetPan(GetIniFloat(file, section.c_str(), "pan"));
    }
}
