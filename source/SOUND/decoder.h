// Decoders turn a sound file into 16- or 8-bit PCM for the sound buffers. The format and data
// length are known after Open; Read delivers the data in order.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "SYS/sound_device.h"

class Decoder {
public:
    virtual ~Decoder() = default;
    // 0 on success.
    virtual int Open(const char* file) = 0;
    // Back to the first byte of the data.
    virtual void Rewind() = 0;
    // Copies up to `length` bytes into buffer and returns how many were delivered. With loop
    // set, the data continues from its start when it runs out.
    virtual int Read(void* buffer, int length, bool loop) = 0;
    virtual void Close() = 0;

    const sys::WaveFormat& Format() const { return format_; }
    uint32_t DataLength() const { return dataLength_; }

protected:
    sys::WaveFormat format_;
    uint32_t dataLength_ = 0;
};

// The reader for the file's extension (after the last dot, any case): ".wav" or ".ogg";
// none for anything else.
std::unique_ptr<Decoder> CreateDecoder(const std::string& file);

// The extension after the last dot, lower-cased ("" when there is no dot).
std::string FileExtension(const std::string& file);
