// The generated ".rdr" animation: no file is read, the name only selects the kind. Opening
// draws 20 frames of moving light lines from a smooth random field, using the program-wide
// rand(), so every opened .rdr continues the sequence of the one before.
#pragma once
#include <vector>

#include "GRAPH/PictureReader.h"

class RdrGenerator : public ConvertingReader {
public:
    int Open(const char* fileName) override;

protected:
    bool FrameAt(int position, PixelSource& source) override;

private:
    // The animation plays forward and back, so frame j and frame 19 - j are one stored image.
    std::vector<uint8_t> images_;
};
