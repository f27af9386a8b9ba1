// A whole file mapped read-only into memory, so packages are never read in whole.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace host {

class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps the host file; false when it cannot be opened or mapped. An empty file maps to an
    // empty image.
    bool Open(const std::string& hostPath);
    void Close();
    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

} // namespace host
