#include "GRAPH/JpegReader.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// A compressed picture can claim a size far beyond its file; the decode buffer is bounded.
constexpr long kMaxJpegPixels = 1L << 24;
// Progressive files with endless scans would keep the decoder busy for minutes.
constexpr int kMaxScans = 256;
constexpr long kDecoderMemory = 256L << 20;

struct ErrorJump {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JumpBack(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorJump*>(cinfo->err)->jump, 1);
}

// Warnings about damaged data are not errors: the picture still loads.
void IgnoreMessage(j_common_ptr) {}

void LimitScans(j_common_ptr cinfo) {
    if (cinfo->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        JumpBack(cinfo);
}

struct Decoded {
    int width = 0;
    int height = 0;
    int components = 0;
};

// No C++ object with a destructor lives in this frame, so the decoder's error exit may jump
// straight back into it.
bool Decode(const uint8_t* data, size_t size, std::vector<uint8_t>& pixels, Decoded& out) {
    jpeg_decompress_struct cinfo;
    ErrorJump error;
    jpeg_progress_mgr progress{};
    cinfo.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JumpBack;
    error.manager.output_message = IgnoreMessage;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    progress.progress_monitor = LimitScans;
    cinfo.progress = &progress;
    cinfo.mem->max_memory_to_use = kDecoderMemory;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.image_width > unsigned(kMaxPictureSide) ||
        cinfo.image_height > unsigned(kMaxPictureSide) ||
        long(cinfo.image_width) * long(cinfo.image_height) > kMaxJpegPixels) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    const size_t rowBytes = size_t(cinfo.output_width) * size_t(cinfo.output_components);
    pixels.assign(rowBytes * cinfo.output_height, 0);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.data() + rowBytes * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    out.width = int(cinfo.output_width);
    out.height = int(cinfo.output_height);
    out.components = cinfo.output_components;
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

} // namespace

int JpegReader::Open(const char* fileName) {
    *this = JpegReader();
    std::vector<uint8_t> file;
    if (!ReadPictureFile(fileName, file)) return 1;
    Decoded decoded;
    if (!Decode(file.data(), file.size(), pixels_, decoded) || decoded.width == 0 ||
        decoded.height == 0) {
        pixels_.clear();
        return 1;
    }
    width = decoded.width;
    height = decoded.height;
    bitsPerPixel = 8 * decoded.components;
    frameCount = 1;
    length = 0;
    return 0;
}

bool JpegReader::FrameAt(int, PixelSource& source) {
    if (bitsPerPixel != 24 || pixels_.empty()) return false;
    source.firstRow = pixels_.data();
    source.bytesPerPixel = 3;
    source.pitch = width * 3;
    source.width = width;
    source.height = height;
    source.bottomUp = false;
    source.red = {8, 0};
    source.green = {8, 8};
    source.blue = {8, 16};
    source.channel = source.red;
    return true;
}
