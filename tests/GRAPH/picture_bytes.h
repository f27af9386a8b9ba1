// Picture files built byte by byte for the reader tests: small, and exactly as each header says
// unless a test makes it lie.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "GRAPH/PictureReader.h"
#include "temp_folder.h"

namespace picturebytes {

struct Bytes {
    std::string data;
    Bytes& u8(unsigned v) {
        data.push_back(char(uint8_t(v)));
        return *this;
    }
    Bytes& u16(unsigned v) { return u8(v).u8(v >> 8); }
    Bytes& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& raw(const std::string& s) {
        data += s;
        return *this;
    }
};

inline std::string Pixels(std::initializer_list<unsigned> bytes) {
    std::string s;
    for (unsigned b : bytes) s.push_back(char(uint8_t(b)));
    return s;
}

// An uncompressed TGA; a non-empty `colourTable` (768 bytes) sets colour-map type 1.
inline std::string Tga(int w, int h, int bpp, unsigned descriptor, const std::string& pixels,
                       const std::string& colourTable = "") {
    Bytes b;
    b.u8(0).u8(colourTable.empty() ? 0 : 1).u8(colourTable.empty() ? 2 : 1).u8(0);
    b.u32(0).u32(0).u16(unsigned(w)).u16(unsigned(h)).u8(unsigned(bpp)).u8(descriptor);
    return b.raw(colourTable).raw(pixels).data;
}

// A 40-byte BITMAPINFOHEADER.
inline std::string BitmapInfo(int32_t w, int32_t h, int bpp, uint32_t compression = 0) {
    Bytes b;
    b.u32(40).u32(uint32_t(w)).u32(uint32_t(h)).u16(1).u16(unsigned(bpp)).u32(compression);
    b.u32(0).u32(2835).u32(2835).u32(0).u32(0);
    return b.data;
}

// A BMP file whose `rows` are already padded and in the stored order.
inline std::string Bmp(int32_t w, int32_t h, int bpp, const std::string& rows,
                       uint32_t compression = 0) {
    Bytes b;
    b.u8('B').u8('M').u32(uint32_t(54 + rows.size())).u32(0).u32(54);
    return b.raw(BitmapInfo(w, h, bpp, compression)).raw(rows).data;
}

inline std::string Chunk(const char* id, const std::string& body) {
    Bytes b;
    b.raw(std::string(id, 4)).u32(uint32_t(body.size())).raw(body);
    if (body.size() & 1) b.u8(0);
    return b.data;
}

inline std::string List(const char* type, const std::string& children) {
    return Chunk("LIST", std::string(type, 4) + children);
}

struct AviOptions {
    uint32_t scale = 1;
    uint32_t rate = 10;
    uint32_t declaredFrames = 0; // 0: the number of frames given
    uint32_t compression = 0;
    bool index = true;
    bool absoluteIndex = false; // idx1 offsets from the file start instead of from 'movi'
    bool audioFirst = false;    // an audio stream before the video stream
    bool recordLists = false;   // frames grouped in 'rec ' lists
};

inline std::string StreamList(const char* type, uint32_t scale, uint32_t rate, uint32_t samples,
                              const std::string& format) {
    Bytes h;
    h.raw(std::string(type, 4)).u32(0).u32(0).u16(0).u16(0).u32(0).u32(scale).u32(rate);
    h.u32(0).u32(samples).u32(0).u32(0).u32(0).u16(0).u16(0).u16(0).u16(0);
    return List("strl", Chunk("strh", h.data) + Chunk("strf", format));
}

// An AVI with one video stream of uncompressed frames (each already a padded bottom-up DIB).
inline std::string Avi(int w, int h, int bpp, const std::vector<std::string>& frames,
                       const AviOptions& o = {}) {
    const uint32_t samples = o.declaredFrames ? o.declaredFrames : uint32_t(frames.size());
    std::string streams;
    if (o.audioFirst) streams += StreamList("auds", 1, 22050, 100, std::string(16, '\0'));
    streams += StreamList("vids", o.scale, o.rate, samples, BitmapInfo(w, h, bpp, o.compression));
    const std::string hdrl = List("hdrl", Chunk("avih", std::string(56, '\0')) + streams);
    const char* id = o.audioFirst ? "01db" : "00db";

    std::string movieBody;
    std::vector<uint32_t> offsets; // from the 'movi' form type
    for (const std::string& frame : frames) {
        offsets.push_back(uint32_t(4 + movieBody.size()));
        movieBody += o.recordLists ? List("rec ", Chunk(id, frame)) : Chunk(id, frame);
    }
    if (o.recordLists)
        for (uint32_t& offset : offsets) offset += 12; // past the 'rec ' list header
    const std::string movi = List("movi", movieBody);

    const uint32_t moviFormType = uint32_t(12 + hdrl.size() + 8);
    Bytes index;
    for (size_t i = 0; i < frames.size(); ++i)
        index.raw(id)
            .u32(0x10)
            .u32(o.absoluteIndex ? moviFormType + offsets[i] : offsets[i])
            .u32(uint32_t(frames[i].size()));
    const std::string body = "AVI " + hdrl + movi + (o.index ? Chunk("idx1", index.data) : "");
    Bytes file;
    return file.raw("RIFF").u32(uint32_t(body.size())).raw(body).data;
}

// Encodes rows of `components` bytes per pixel with libjpeg, quality 100, no chroma subsampling.
inline std::string EncodeJpeg(int w, int h, int components, const std::string& pixels) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = JDIMENSION(w);
    cinfo.image_height = JDIMENSION(h);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    for (int c = 0; c < cinfo.num_components; ++c)
        cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row =
            reinterpret_cast<JSAMPROW>(const_cast<char*>(pixels.data()) +
                                       size_t(cinfo.next_scanline) * size_t(w * components));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string file(reinterpret_cast<char*>(out), size);
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return file;
}

// Reader tests run in a fresh current folder, since readers take names relative to it.
class ReaderTest : public TempFolderTest {
protected:
    // The opened reader for a file of these bytes, or null when the open fails.
    std::unique_ptr<PictureReader> Open(const std::string& name, const std::string& bytes) {
        WriteFile(name, bytes);
        std::unique_ptr<PictureReader> reader = ReaderFor(name.c_str());
        if (!reader || reader->Open(name.c_str()) != 0) return nullptr;
        return reader;
    }
};

// The frame at `position` as 5-6-5 pixels, row by row; empty when the reader refuses.
inline std::vector<uint16_t> Read565(PictureReader& reader, int position = 0) {
    std::vector<uint16_t> pixels(size_t(reader.width) * size_t(reader.height), 0);
    if (reader.ReadPixels(reinterpret_cast<uint8_t*>(pixels.data()), position, 2, reader.width * 2,
                          5, 6, 5, 0, 11, 5, 0, 0, reader.width, reader.height) != 0)
        return {};
    return pixels;
}

// The frame's channel (alpha plane) as bytes; empty when the reader refuses.
inline std::vector<uint8_t> ReadPlane(PictureReader& reader, int position = 0) {
    std::vector<uint8_t> plane(size_t(reader.width) * size_t(reader.height), 0);
    if (reader.ReadChannel(plane.data(), position, 1, reader.width, 8, 0, reader.width,
                           reader.height) != 0)
        return {};
    return plane;
}

} // namespace picturebytes
