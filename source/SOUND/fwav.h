// Wave files: a RIFF "WAVE" form with a "fmt " chunk (PCM format) and a "data" chunk.
#pragma once
#include <cstdio>

#include "SOUND/decoder.h"

class WaveReader : public Decoder {
public:
    ~WaveReader() override { Close(); }
    int Open(const char* file) override;
    void Rewind() override;
    int Read(void* buffer, int length, bool loop) override;
    void Close() override;

private:
    struct Chunk {
        uint64_t dataOffset = 0;
        uint32_t size = 0;
    };
    bool FindChunk(const char* id, uint64_t from, uint64_t end, Chunk& found);

    FILE* file_ = nullptr;
    uint64_t fileSize_ = 0;
    uint64_t riffEnd_ = 0; // end of the RIFF chunk's data, never past the end of the file
    uint64_t dataOffset_ = 0;
    uint32_t position_ = 0; // bytes of the data chunk read so far
};
