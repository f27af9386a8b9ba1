// TVA pictures: a multi-frame variant of the TGA layout. The reader checks and describes the
// file but offers no conversion, so a .tva picture cannot fill a sprite.
#pragma once
#include "GRAPH/PictureReader.h"

class TvaReader : public PictureReader {
public:
    int Open(const char* fileName) override;
    int ReadChannel(uint8_t*, int, int, int, int, int, int, int) override { return -1; }
    int ReadPixels(uint8_t*, int, int, int, int, int, int, int, int, int, int, int, int,
                   int) override {
        return -1;
    }
};
