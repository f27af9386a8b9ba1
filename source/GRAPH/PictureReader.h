// Picture readers: turn a picture file (or the generated .rdr animation) into pixels of the
// current 16-bit format and 8-bit alpha planes, frame by frame.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

class PictureReader {
public:
    int width = 0;        // may be negative for some formats; the sprite takes the magnitude
    int height = 0;       // of one frame
    int bitsPerPixel = 0; // 8, 16, 24 or 32
    int frameCount = 1;
    int length = 0; // animation length (ms for AVI and .rdr); 0 for still pictures

    virtual ~PictureReader() = default;
    // 0 on success, non-zero on failure.
    virtual int Open(const char* fileName) = 0;
    // Writes one channel per destination pixel (alpha planes). -1 when unsupported.
    virtual int ReadChannel(uint8_t* dst, int position, int bytesPerPixel, int pitch, int bits,
                            int shift, int width, int height) = 0;
    // Writes colour pixels, little-endian, keeping destination bits outside the written channels.
    // -1 when unsupported.
    virtual int ReadPixels(uint8_t* dst, int position, int bytesPerPixel, int pitch, int redBits,
                           int greenBits, int blueBits, int alphaBits, int redShift,
                           int greenShift, int blueShift, int alphaShift, int width,
                           int height) = 0;
};

// Picks a reader by a case-insensitive substring test of the name, in the order
// ".tga", ".avi", ".bmp", ".jpg", ".rdr", ".tva"; none when no kind matches.
std::unique_ptr<PictureReader> ReaderFor(const char* fileName);
