// BMP pictures: a BITMAPFILEHEADER and a BITMAPINFOHEADER (or a later, longer info header)
// followed by uncompressed rows padded to 4 bytes; bottom-up unless the height is negative.
#pragma once
#include <vector>

#include "GRAPH/PictureReader.h"

class BmpReader : public ConvertingReader {
public:
    int Open(const char* fileName) override;

protected:
    bool FrameAt(int position, PixelSource& source) override;

private:
    std::vector<uint8_t> file_;
    size_t pixelOffset_ = 0;
    bool topDown_ = false;
};
