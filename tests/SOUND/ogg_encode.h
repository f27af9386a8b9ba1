// Writes small Ogg Vorbis files for tests and benchmarks: a tone of a given pitch.
#pragma once
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <vorbis/vorbisenc.h>

namespace testkit {

// `frames` frames of a sine tone of `hz` Hz at amplitude 0.5 in every channel. False on failure.
inline bool EncodeOggTone(const std::string& path, int channels, long rate, long frames, double hz) {
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent);
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.1f) != 0) {
        std::fclose(out);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1234);
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page)) {
        std::fwrite(page.header, 1, size_t(page.header_len), out);
        std::fwrite(page.body, 1, size_t(page.body_len), out);
    }
    const long chunk = 1024;
    for (long done = 0;;) {
        long n = std::min(chunk, frames - done);
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, int(n));
            for (long i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c)
                    buffer[c][i] = float(0.5 * std::sin(2.0 * M_PI * hz * double(done + i) / rate));
            vorbis_analysis_wrote(&dsp, int(n));
            done += n;
        } else {
            vorbis_analysis_wrote(&dsp, 0);
        }
        bool ended = false;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page)) {
                    std::fwrite(page.header, 1, size_t(page.header_len), out);
                    std::fwrite(page.body, 1, size_t(page.body_len), out);
                    if (ogg_page_eos(&page)) ended = true;
                }
            }
        }
        if (n <= 0 || ended) break;
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return std::fclose(out) == 0;
}

} // namespace testkit
