#include "install/package/inflate.h"

#include <algorithm>
#include <memory>
#include <zlib.h>

namespace pkg {

bool InflateStream(const uint8_t* packed, size_t packedSize, size_t expectedSize,
                   const InflateSink& sink, const InflateProgress& progress) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return false;
    std::unique_ptr<z_stream, int (*)(z_stream*)> guard(&stream, inflateEnd);
    const auto buffer = std::make_unique<uint8_t[]>(kPiece);
    size_t consumed = 0;
    size_t produced = 0;
    int status = Z_OK;
    bool outputFull = false;
    while (status != Z_STREAM_END) {
        // A full output buffer may leave output pending inside zlib without any input left.
        if (stream.avail_in == 0 && !outputFull) {
            if (consumed == packedSize) return false; // the stream stops short
            if (progress && !progress(consumed)) return false;
            const size_t piece = std::min(kPiece, packedSize - consumed);
            stream.next_in = const_cast<Bytef*>(packed + consumed);
            stream.avail_in = uInt(piece);
            consumed += piece;
        }
        stream.next_out = buffer.get();
        stream.avail_out = uInt(kPiece);
        status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_BUF_ERROR && stream.avail_in == 0) {
            // The last call filled the buffer just as the input ran out, with nothing pending:
            // zlib needs the next piece, which the top of the loop reads (or finds missing).
            outputFull = false;
            continue;
        }
        if (status != Z_OK && status != Z_STREAM_END) return false;
        const size_t got = kPiece - stream.avail_out;
        outputFull = stream.avail_out == 0;
        if (got > expectedSize - produced) return false; // more than the entry declares
        produced += got;
        if (got && !sink(buffer.get(), got)) return false;
    }
    return expectedSize == kUnknownSize || produced == expectedSize;
}

} // namespace pkg
