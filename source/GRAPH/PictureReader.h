// Picture readers: turn a picture file (or the generated .rdr animation) into pixels of the
// current 16-bit format and 8-bit alpha planes, frame by frame.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Pictures larger than this per side are refused: their headers are lying or hostile, and the
// sprite would allocate pixel memory for the claimed size.
constexpr int kMaxPictureSide = 16384;

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
                           int greenBits, int blueBits, int alphaBits, int redShift, int greenShift,
                           int blueShift, int alphaShift, int width, int height) = 0;
};

// Picks a reader by a case-insensitive substring test of the name, in the order
// ".tga", ".avi", ".bmp", ".jpg", ".rdr", ".tva"; none when no kind matches.
std::unique_ptr<PictureReader> ReaderFor(const char* fileName);

// --- Shared pixel conversion -------------------------------------------------------------------

struct ChannelLayout {
    int bits = 0; // 0: the source has no such channel
    int shift = 0;
};

// Where one frame of a reader's pixels lies in memory and how its channels are packed.
struct PixelSource {
    const uint8_t* firstRow = nullptr; // the first stored row (the bottom one when bottomUp)
    int bytesPerPixel = 0;
    int pitch = 0; // bytes from one stored row to the next
    int width = 0;
    int height = 0;
    bool bottomUp = false;
    // 8-bit sources index this table of 256 (blue, green, red) entries; a pixel then reads as
    // the entry's bytes 0, 1, 2 in bits 0-7, 8-15, 16-23.
    const uint8_t* colourTable = nullptr;
    ChannelLayout red, green, blue;
    ChannelLayout alpha;   // a real alpha channel, written by ReadPixels when asked for
    ChannelLayout channel; // the channel ReadChannel takes (alpha planes from mask files)
};

// Readers whose frames can be described as a PixelSource get both conversions from here.
class ConvertingReader : public PictureReader {
public:
    int ReadChannel(uint8_t* dst, int position, int bytesPerPixel, int pitch, int bits, int shift,
                    int width, int height) override;
    int ReadPixels(uint8_t* dst, int position, int bytesPerPixel, int pitch, int redBits,
                   int greenBits, int blueBits, int alphaBits, int redShift, int greenShift,
                   int blueShift, int alphaShift, int width, int height) override;

protected:
    // The frame shown at `position`; false when this picture's depth cannot be converted.
    virtual bool FrameAt(int position, PixelSource& source) = 0;
};

// Channels of the blue-green-red ordered formats (TGA, BMP, AVI) at 16, 24 or 32 bits, with the
// bytes per pixel; false for other depths. A 16-bit picture used as mask gives its blue channel.
bool SetBgrChannels(int bitsPerPixel, PixelSource& source);

// Reads a picture file whole; false (and an empty buffer) when it is missing, unreadable or empty.
bool ReadPictureFile(const char* fileName, std::vector<uint8_t>& bytes);

// Little-endian fields of picture headers; the caller has checked the bounds.
inline uint16_t ReadLE16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t ReadLE32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// The depths a device-independent bitmap may have (only 16, 24 and 32 are converted).
inline bool IsDibDepth(int bitsPerPixel) {
    return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 16 ||
           bitsPerPixel == 24 || bitsPerPixel == 32;
}

// Bytes of one row of a device-independent bitmap: rows are padded to 4 bytes.
inline int64_t DibStride(int64_t width, int bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}
