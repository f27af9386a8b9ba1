#include "SOUND/decoder.h"

#include <cctype>

#include "SOUND/fwav.h"
#include "SOUND/ogg_reader.h"

std::string FileExtension(const std::string& file) {
    size_t dot = file.rfind('.');
    if (dot == std::string::npos) return "";
    std::string ext = file.substr(dot + 1);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

std::unique_ptr<Decoder> CreateDecoder(const std::string& file) {
    std::string ext = FileExtension(file);
    if (ext == "wav") return std::make_unique<WaveReader>();
    if (ext == "ogg") return std::make_unique<OggReader>();
    return nullptr;
}
