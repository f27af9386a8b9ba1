// Pixel loops in blocks of a fixed length: GCC at -O2 turns a loop into vector code only when
// its length is known, so a row is walked as whole blocks and then the pixels left over.
#pragma once

// The pixel loops are the hot path of drawing and presenting. GCC vectorises loops of unknown
// length at -O2 only with its dynamic cost model, so the loop functions ask for it (and stay out
// of line, as inlining would compile them with the caller's options). Clang vectorises them at
// -O2 anyway. On x86-64 each is also built for AVX2, chosen at start-up where the processor has
// it: the lanes are twice as wide and the integer results the same.
#if defined(__GNUC__) && !defined(__clang__) && defined(__OPTIMIZE__) && defined(__x86_64__)
#define PIXEL_LOOP                                                                                 \
    __attribute__((noinline, target_clones("avx2", "default"),                                     \
                   optimize("tree-loop-vectorize", "vect-cost-model=dynamic")))
#elif defined(__GNUC__) && !defined(__clang__) && defined(__OPTIMIZE__)
#define PIXEL_LOOP                                                                                 \
    __attribute__((noinline, optimize("tree-loop-vectorize", "vect-cost-model=dynamic")))
#else
#define PIXEL_LOOP
#endif

namespace sys {

// out[i] = convert(in, i) for every i in [first, end); `in` and `out` do not overlap.
template <int Block, class In, class Out, class Convert>
inline void ConvertInBlocks(const In* __restrict in, Out* __restrict out, int first, int end,
                            Convert convert) {
    int i = first;
    for (; i + Block <= end; i += Block)
        for (int j = 0; j < Block; ++j) out[i + j] = convert(in, i + j);
    for (; i < end; ++i) out[i] = convert(in, i);
}

} // namespace sys
