// Writing wave and Ogg Vorbis files, and reading any sound back through the game's decoders.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

#include <vorbis/vorbisenc.h>

#include "SOUND/decoder.h"
#include "audio.h"

namespace soundtools {

namespace {

int16_t ToPcm16(float s) {
    float scaled = std::round(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
    return int16_t(scaled);
}

void PutLe(std::vector<unsigned char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

bool WritePage(FILE* out, const ogg_page& page) {
    return std::fwrite(page.header, 1, size_t(page.header_len), out) == size_t(page.header_len) &&
           std::fwrite(page.body, 1, size_t(page.body_len), out) == size_t(page.body_len);
}

} // namespace

bool WriteWave(const std::string& path, const Audio& audio) {
    const uint32_t dataBytes = uint32_t(audio.samples.size() * 2);
    const uint16_t blockAlign = uint16_t(audio.channels * 2);
    std::vector<unsigned char> bytes;
    bytes.reserve(44 + dataBytes);
    for (char c : std::string("RIFF")) bytes.push_back(static_cast<unsigned char>(c));
    PutLe(bytes, 36 + dataBytes, 4);
    for (char c : std::string("WAVEfmt ")) bytes.push_back(static_cast<unsigned char>(c));
    PutLe(bytes, 16, 4);
    PutLe(bytes, 1, 2); // PCM
    PutLe(bytes, uint32_t(audio.channels), 2);
    PutLe(bytes, uint32_t(audio.rate), 4);
    PutLe(bytes, uint32_t(audio.rate) * blockAlign, 4);
    PutLe(bytes, blockAlign, 2);
    PutLe(bytes, 16, 2);
    for (char c : std::string("data")) bytes.push_back(static_cast<unsigned char>(c));
    PutLe(bytes, dataBytes, 4);
    for (float s : audio.samples) PutLe(bytes, uint16_t(ToPcm16(s)), 2);
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && ok;
}

bool WriteVorbis(const std::string& path, const Audio& audio, float quality) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, audio.channels, audio.rate, quality) != 0) {
        vorbis_info_clear(&info);
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
    ogg_stream_init(&stream, 0x52656566); // a fixed serial keeps the build reproducible
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    bool ok = true;
    ogg_page page;
    while (ogg_stream_flush(&stream, &page)) ok = WritePage(out, page) && ok;

    const size_t frames = audio.Frames();
    const size_t chunk = 4096;
    bool ended = false;
    for (size_t done = 0; !ended;) {
        size_t n = std::min(chunk, frames - done);
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, int(n));
            for (size_t i = 0; i < n; ++i)
                for (int c = 0; c < audio.channels; ++c) buffer[c][i] = audio.At(done + i, c);
            vorbis_analysis_wrote(&dsp, int(n));
            done += n;
        } else {
            vorbis_analysis_wrote(&dsp, 0);
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page)) {
                    ok = WritePage(out, page) && ok;
                    if (ogg_page_eos(&page)) ended = true;
                }
            }
        }
        if (n == 0 && !ended) {
            while (ogg_stream_flush(&stream, &page)) ok = WritePage(out, page) && ok;
            ended = true;
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return std::fclose(out) == 0 && ok;
}

bool ReadSound(const std::string& path, Audio& audio, std::string& error) {
    std::unique_ptr<Decoder> decoder = CreateDecoder(path);
    if (!decoder) {
        error = "no reader for this kind of file";
        return false;
    }
    if (decoder->Open(path.c_str()) != 0) {
        error = "does not open as sound";
        return false;
    }
    const sys::WaveFormat& format = decoder->Format();
    if (format.formatTag != sys::WAVE_FORMAT_PCM || format.bitsPerSample != 16 ||
        (format.channels != 1 && format.channels != 2)) {
        error = "not 16-bit PCM in one or two channels";
        return false;
    }
    audio.rate = int(format.samplesPerSec);
    audio.channels = format.channels;
    std::vector<int16_t> pcm(decoder->DataLength() / 2);
    int got = decoder->Read(pcm.data(), int(pcm.size() * 2), false);
    decoder->Close();
    if (got < 0 || size_t(got) < pcm.size() * 2) {
        error = "its data ends early";
        return false;
    }
    audio.samples.resize(pcm.size());
    for (size_t i = 0; i < pcm.size(); ++i) audio.samples[i] = float(pcm[i]) / 32768.0f;
    if (audio.Frames() == 0) {
        error = "holds no samples";
        return false;
    }
    return true;
}

} // namespace soundtools
