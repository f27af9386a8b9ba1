#include "jpeg_in.h"

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include <vector>

namespace content {

namespace {
struct ErrorExit {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};
void OnError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorExit*>(cinfo->err)->jump, 1);
}
} // namespace

bool ReadJpeg(const std::string& path, Image* image, std::string* error) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        if (error) *error = path + ": missing";
        return false;
    }
    jpeg_decompress_struct cinfo;
    ErrorExit err;
    cinfo.err = jpeg_std_error(&err.manager);
    err.manager.error_exit = OnError;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        std::fclose(f);
        if (error) *error = path + ": not a readable JPEG";
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3) {
        jpeg_destroy_decompress(&cinfo);
        std::fclose(f);
        if (error) *error = path + ": not a colour JPEG";
        return false;
    }
    Image out(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
    std::vector<JSAMPLE> row(static_cast<size_t>(out.width) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&cinfo, rows, 1);
        for (int x = 0; x < out.width; ++x) {
            uint8_t* p = out.At(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = row[static_cast<size_t>(x) * 3 + c];
            p[3] = 255;
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    *image = std::move(out);
    return true;
}

} // namespace content
