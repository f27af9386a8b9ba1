// Ogg Vorbis files decoded to 16-bit signed little-endian PCM with libvorbisfile.
#pragma once
#include <cstdio>

#include <vorbis/vorbisfile.h>

#include "SOUND/decoder.h"

class OggReader : public Decoder {
public:
    ~OggReader() override { Close(); }
    int Open(const char* file) override;
    void Rewind() override;
    // Without loop the rest of the buffer is filled with silence (not counted in the result).
    int Read(void* buffer, int length, bool loop) override;
    void Close() override;

private:
    // Decodes until `length` bytes are delivered or the data ends; never loops.
    int ReadOnce(char* buffer, int length);

    FILE* file_ = nullptr;
    OggVorbis_File vorbis_{};
    uint32_t position_ = 0;
};
