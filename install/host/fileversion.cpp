#include "install/host/fileversion.h"

#include "install/host/hostfile.h"

#include <cstdio>
#include <sys/stat.h>
#include <vector>

namespace host {
namespace {

const uint32_t kResourceTypeVersion = 16;
const uint32_t kFixedInfoSignature = 0xFEEF04BD;

// Bounds-checked little-endian reads over the file image.
struct Image {
    const unsigned char* data;
    size_t size;
    bool U16(size_t at, uint32_t* v) const {
        if (at > size || size - at < 2) return false;
        *v = data[at] | static_cast<uint32_t>(data[at + 1]) << 8;
        return true;
    }
    bool U32(size_t at, uint32_t* v) const {
        if (at > size || size - at < 4) return false;
        *v = data[at] | static_cast<uint32_t>(data[at + 1]) << 8 |
             static_cast<uint32_t>(data[at + 2]) << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
        return true;
    }
};

struct Section {
    uint32_t virtualAddress, virtualSize, rawSize, rawOffset;
};

bool RvaToOffset(const std::vector<Section>& sections, uint32_t rva, size_t* offset) {
    for (const Section& s : sections) {
        const uint32_t span = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
        if (rva >= s.virtualAddress && rva - s.virtualAddress < span) {
            const uint64_t within = rva - s.virtualAddress;
            if (within >= s.rawSize) return false;
            *offset = static_cast<size_t>(s.rawOffset + within);
            return true;
        }
    }
    return false;
}

// The first entry of a resource directory with the given id (or any entry when id is null):
// its OffsetToData word.
bool FindEntry(const Image& image, size_t directory, const uint32_t* id, uint32_t* target) {
    uint32_t named = 0, ids = 0;
    if (!image.U16(directory + 12, &named) || !image.U16(directory + 14, &ids)) return false;
    for (uint32_t i = 0; i < named + ids; ++i) {
        uint32_t name = 0, data = 0;
        if (!image.U32(directory + 16 + 8 * i, &name) || !image.U32(directory + 20 + 8 * i, &data))
            return false;
        if (!id || (!(name & 0x80000000u) && name == *id)) {
            *target = data;
            return true;
        }
    }
    return false;
}

} // namespace

bool FileVersionFromBytes(const unsigned char* data, size_t size, FileVersion* out) {
    const Image image{data, size};
    uint32_t peOffset = 0, signature = 0, sectionCount = 0, optionalSize = 0, magic = 0;
    if (size < 2 || data[0] != 'M' || data[1] != 'Z' || !image.U32(0x3C, &peOffset) ||
        !image.U32(peOffset, &signature) || signature != 0x00004550)
        return false;
    const size_t coff = static_cast<size_t>(peOffset) + 4;
    const size_t optional = coff + 20;
    if (!image.U16(coff + 2, &sectionCount) || !image.U16(coff + 16, &optionalSize) ||
        !image.U16(optional, &magic))
        return false;
    const size_t directories = magic == 0x10B ? optional + 96 : magic == 0x20B ? optional + 112 : 0;
    uint32_t directoryCount = 0, resourceRva = 0;
    if (!directories || !image.U32(directories - 4, &directoryCount) || directoryCount < 3 ||
        !image.U32(directories + 16, &resourceRva) || resourceRva == 0)
        return false;
    std::vector<Section> sections;
    const size_t table = optional + optionalSize;
    for (uint32_t i = 0; i < sectionCount; ++i) {
        Section s{};
        const size_t at = table + 40 * static_cast<size_t>(i);
        if (!image.U32(at + 8, &s.virtualSize) || !image.U32(at + 12, &s.virtualAddress) ||
            !image.U32(at + 16, &s.rawSize) || !image.U32(at + 20, &s.rawOffset))
            return false;
        sections.push_back(s);
    }
    size_t root = 0;
    if (!RvaToOffset(sections, resourceRva, &root)) return false;
    // Three levels: type (the version type), name (the first), language (the first).
    uint32_t entry = 0;
    const uint32_t versionType = kResourceTypeVersion;
    size_t directory = root;
    for (int level = 0; level < 3; ++level) {
        if (!FindEntry(image, directory, level == 0 ? &versionType : nullptr, &entry)) return false;
        const bool isDirectory = (entry & 0x80000000u) != 0;
        if (isDirectory != (level < 2)) return false;
        directory = root + (entry & 0x7FFFFFFFu);
    }
    uint32_t dataRva = 0, dataSize = 0;
    size_t record = 0;
    if (!image.U32(directory, &dataRva) || !image.U32(directory + 4, &dataSize) ||
        !RvaToOffset(sections, dataRva, &record) || dataSize < 40 + 16)
        return false;
    // VS_VERSIONINFO: three words, the wide key "VS_VERSION_INFO" with its terminator, padding to
    // a 4-byte boundary, then the fixed record.
    uint32_t fixedSignature = 0;
    if (!image.U32(record + 40, &fixedSignature) || fixedSignature != kFixedInfoSignature ||
        !image.U32(record + 48, &out->ms) || !image.U32(record + 52, &out->ls))
        return false;
    return true;
}

bool ReadFileVersion(const std::string& windowsName, FileVersion* out) {
    const std::string path = HostPath(windowsName);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<uint64_t>(st.st_size) > kMaxVersionFileSize)
        return false;
    std::vector<unsigned char> bytes(static_cast<size_t>(st.st_size));
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return FileVersionFromBytes(bytes.data(), got, out);
}

} // namespace host
