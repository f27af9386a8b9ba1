#include "install/host/hostfile.h"

#include "SYS/files.h"

#include <strings.h>
#include <sys/stat.h>

namespace host {

std::string LinkDiskName(const std::string& windowsName) {
    const size_t n = windowsName.size();
    if (n >= 4 && strcasecmp(windowsName.c_str() + n - 4, ".lnk") == 0)
        return windowsName.substr(0, n - 4) + ".desktop";
    return windowsName;
}

std::string HostPath(const std::string& windowsName) {
    return sys::ResolvePath(LinkDiskName(windowsName));
}

bool PathExists(const std::string& windowsName) {
    struct stat st;
    return ::lstat(HostPath(windowsName).c_str(), &st) == 0;
}

bool IsFolder(const std::string& windowsName) {
    struct stat st;
    return ::stat(HostPath(windowsName).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace host
