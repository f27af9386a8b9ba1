#include "install/host/mappedfile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {

MappedFile::~MappedFile() {
    Close();
}

bool MappedFile::Open(const std::string& hostPath) {
    Close();
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok && st.st_size > 0) {
        void* view = ::mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        ok = view != MAP_FAILED;
        if (ok) {
            data_ = static_cast<const uint8_t*>(view);
            size_ = size_t(st.st_size);
        }
    }
    ::close(fd);
    return ok;
}

void MappedFile::Close() {
    if (data_) ::munmap(const_cast<uint8_t*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
}

} // namespace host
