#include "SOUND/ogg_reader.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "SYS/files.h"

int OggReader::Open(const char* name) {
    Close();
    file_ = sys::OpenFile(name, "rb");
    if (!file_) return 1;
    if (ov_open(file_, &vorbis_, nullptr, 0) != 0) {
        std::fclose(file_); // vorbisfile owns the file only once the open succeeded
        file_ = nullptr;
        return 1;
    }
    vorbis_info* info = ov_info(&vorbis_, -1);
    int channels = info ? info->channels : 0;
    long rate = info ? info->rate : 0;
    format_.formatTag = sys::WAVE_FORMAT_PCM;
    format_.channels = uint16_t(std::clamp(channels, 0, 0xFFFF));
    format_.samplesPerSec = uint32_t(std::max(rate, 0L));
    format_.bitsPerSample = 16;
    format_.blockAlign = uint16_t(format_.channels * 2);
    format_.avgBytesPerSec = format_.samplesPerSec * format_.blockAlign;
    format_.extraSize = 0;
    ogg_int64_t samples = ov_pcm_total(&vorbis_, 0);
    long long bytes = samples > 0 ? (long long)samples * 16 * channels / 8 : 0;
    dataLength_ = uint32_t(std::clamp<long long>(bytes, 0, INT_MAX));
    Rewind();
    return 0;
}

void OggReader::Rewind() {
    position_ = 0;
    if (!file_) return;
    // A damaged stream can defeat the exact seek; the page-level one still finds the start.
    // When neither works the data ends rather than playing on from the wrong place.
    if (ov_pcm_seek(&vorbis_, 0) != 0 && ov_raw_seek(&vorbis_, 0) != 0) dataLength_ = 0;
}

int OggReader::ReadOnce(char* buffer, int length) {
    int delivered = 0;
    int section = 0;
    while (delivered < length && position_ < dataLength_) {
        long got = ov_read(&vorbis_, buffer + delivered, length - delivered, 0, 2, 1, &section);
        if (got <= 0) {
            // A hole or a damaged page ends the data here, as if the file ended.
            dataLength_ = position_;
            break;
        }
        delivered += int(got);
        position_ += uint32_t(got);
    }
    return delivered;
}

int OggReader::Read(void* buffer, int length, bool loop) {
    if (length <= 0) return 0;
    auto* out = static_cast<char*>(buffer);
    if (!file_) {
        std::memset(out, 0, size_t(length));
        return 0;
    }
    int delivered = 0;
    bool restarted = position_ == 0;
    for (;;) {
        int got = ReadOnce(out + delivered, length - delivered);
        delivered += got;
        if (delivered >= length) return length;
        // A stream that yields nothing right after a rewind would loop forever.
        if (!loop || (got == 0 && restarted)) break;
        Rewind();
        restarted = true;
    }
    std::memset(out + delivered, 0, size_t(length - delivered));
    return delivered;
}

void OggReader::Close() {
    if (file_) ov_clear(&vorbis_); // also closes the file
    file_ = nullptr;
    dataLength_ = 0;
    position_ = 0;
}
