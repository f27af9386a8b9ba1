// Inflating a zlib stream from a block in pieces: input fed at most kPiece bytes at a time
// through a kPiece output buffer, so memory does not grow with the stream.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

namespace pkg {

constexpr size_t kPiece = 65536;
// For a stream whose inflated size is not declared: its own end is its end.
constexpr size_t kUnknownSize = SIZE_MAX;

// Takes each piece of output; false stops with failure.
using InflateSink = std::function<bool(const uint8_t* bytes, size_t size)>;
// Called before each input piece with the input bytes consumed so far; false stops with failure.
using InflateProgress = std::function<bool(size_t consumed)>;

// True when the stream inflates to exactly `expectedSize` bytes and ends within `packedSize`
// bytes (any size for kUnknownSize); output past that size or a stream that stops short fails.
bool InflateStream(const uint8_t* packed, size_t packedSize, size_t expectedSize,
                   const InflateSink& sink, const InflateProgress& progress);

} // namespace pkg
