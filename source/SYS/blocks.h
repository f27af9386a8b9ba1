// Pixel loops in blocks of a fixed length: GCC at -O2 turns a loop into vector code only when
// its length is known, so a row is walked as whole blocks and then the pixels left over.
#pragma once

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
