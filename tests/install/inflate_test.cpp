#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <vector>

#include "install/package/inflate.h"

namespace {

// The zlib stream of `first` ended by a sync flush, then of `rest` to the end.
std::vector<uint8_t> Deflate(const std::vector<uint8_t>& first, const std::vector<uint8_t>& rest,
                             size_t* flushedSize) {
    z_stream stream{};
    EXPECT_EQ(deflateInit(&stream, Z_DEFAULT_COMPRESSION), Z_OK);
    std::vector<uint8_t> packed(compressBound(uLong(first.size() + rest.size())) + 64);
    stream.next_out = packed.data();
    stream.avail_out = uInt(packed.size());
    stream.next_in = const_cast<Bytef*>(first.data());
    stream.avail_in = uInt(first.size());
    EXPECT_EQ(deflate(&stream, Z_SYNC_FLUSH), Z_OK);
    *flushedSize = packed.size() - stream.avail_out;
    stream.next_in = const_cast<Bytef*>(rest.data());
    stream.avail_in = uInt(rest.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    packed.resize(packed.size() - stream.avail_out);
    deflateEnd(&stream);
    return packed;
}

// One input piece that inflates to exactly one full output buffer: zlib then needs more input
// and has no output pending, and says so with Z_BUF_ERROR, which is no fault of the stream.
// Some game files happen to compress this way; they were reported as damaged.
TEST(Inflate, APieceEndingWithAFullOutputBufferIsNotADamagedStream) {
    std::vector<uint8_t> first(pkg::kPiece), rest(1000, 'r');
    std::vector<uint8_t> packed;
    bool aligned = false;
    // Noise compresses to slightly more than itself; trailing zeros bring the flushed stream
    // (header included) down to exactly one piece.
    for (size_t zeros = 0; zeros < 3000 && !aligned; ++zeros) {
        uint32_t state = 12345;
        for (size_t i = 0; i < first.size(); ++i) {
            state = state * 1103515245u + 12345u;
            first[i] = i < first.size() - zeros ? uint8_t(state >> 24) : 0;
        }
        size_t flushed = 0;
        packed = Deflate(first, rest, &flushed);
        aligned = flushed == pkg::kPiece;
    }
    ASSERT_TRUE(aligned) << "no stream whose first piece ends with its first full buffer";

    std::vector<uint8_t> out;
    EXPECT_TRUE(pkg::InflateStream(
        packed.data(), packed.size(), first.size() + rest.size(),
        [&](const uint8_t* bytes, size_t n) {
            out.insert(out.end(), bytes, bytes + n);
            return true;
        },
        nullptr));
    std::vector<uint8_t> expected = first;
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(out, expected);
}

// A stream cut short at that same point still fails: the fix must not accept missing input.
TEST(Inflate, AStreamThatStopsShortFails) {
    std::vector<uint8_t> data(200000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 7 % 251);
    size_t flushed = 0;
    const std::vector<uint8_t> packed = Deflate(data, {}, &flushed);
    for (size_t cut : {flushed, packed.size() - 1, size_t(10)})
        EXPECT_FALSE(pkg::InflateStream(
            packed.data(), cut, data.size(), [](const uint8_t*, size_t) { return true; }, nullptr))
            << cut;
}

} // namespace
