// TGA pictures: an 18-byte header, an optional 256-entry colour table, then uncompressed pixels.
#pragma once
#include <vector>

#include "GRAPH/PictureReader.h"

class TgaReader : public ConvertingReader {
public:
    int Open(const char* fileName) override;

protected:
    bool FrameAt(int position, PixelSource& source) override;

private:
    std::vector<uint8_t> file_;
    bool hasColourTable_ = false;
    bool topDown_ = false;
    size_t pixelOffset_ = 0;
};
