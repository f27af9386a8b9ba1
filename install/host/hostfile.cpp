#include "install/host/hostfile.h"

#include "SYS/files.h"
#include "SYS/textcodec.h"
#include "install/host/diskops.h"

namespace host {

std::string LinkDiskName(const std::string& windowsName) {
    const size_t n = windowsName.size();
    if (n >= 4 && sys::EqualIgnoringCase(std::string_view(windowsName).substr(n - 4), ".lnk"))
        return windowsName.substr(0, n - 4) + ".desktop";
    return windowsName;
}

std::string HostPath(const std::string& windowsName) {
    return sys::ResolvePath(LinkDiskName(windowsName));
}

bool PathExists(const std::string& windowsName) {
    return KindOf(HostPath(windowsName)) != EntryKind::kMissing;
}

bool IsFolder(const std::string& windowsName) {
    return KindOf(HostPath(windowsName)) == EntryKind::kFolder;
}

} // namespace host
