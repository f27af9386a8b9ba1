// JPEG pictures, decoded whole with libjpeg from the file's bytes in memory.
#pragma once
#include <vector>

#include "GRAPH/PictureReader.h"

class JpegReader : public ConvertingReader {
public:
    int Open(const char* fileName) override;

protected:
    // Only colour (24-bit) output is converted; greyscale and CMYK pictures give no pixels.
    bool FrameAt(int position, PixelSource& source) override;

private:
    std::vector<uint8_t> pixels_; // output scanlines, top-down, red-green-blue
};
