// Single instance: the running copy holds a per-user lock named after its window name and
// listens on a per-user socket of the same name; a later copy finds the lock taken, asks the
// running one to come to the front and ends.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "SYS/window.h"
#include "SYS/window_internal.h"

namespace sys {
namespace {

constexpr char kFrontRequest[] = "front\n";
constexpr size_t kFrontRequestLength = sizeof(kFrontRequest) - 1;

struct Instance {
    std::string lockPath;
    pid_t owner = 0; // a forked child inherits the descriptors but is not the running copy
    int lockFd = -1;
    int listenFd = -1;
    std::string socketPath;
};

Instance gInstance;
int gFrontRequestsServed = 0;

// The window name as a file-name part: safe characters kept, the rest replaced, and a hash of
// the whole name so that names differing only in replaced characters stay apart.
std::string FileNamePart(const std::string& windowName) {
    uint32_t hash = 2166136261u;
    std::string part;
    for (char c : windowName) {
        hash = (hash ^ uint8_t(c)) * 16777619u;
        bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '-' || c == '_' || c == '.';
        if (part.size() < 40) part += safe ? c : '_';
    }
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "-%08x", unsigned(hash));
    return part + suffix;
}

std::string InstancePath(const std::string& windowName, const char* extension) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder;
    if (runtime && *runtime) {
        folder = std::string(runtime) + "/reefpop-";
    } else {
        folder = "/tmp/reefpop-" + std::to_string(unsigned(getuid())) + "-";
    }
    return folder + FileNamePart(windowName) + extension;
}

bool SocketAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

int Listen(const std::string& path) {
    sockaddr_un address;
    if (!SocketAddress(path, address)) return -1;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    unlink(path.c_str()); // left behind by a copy that crashed: we hold the lock now
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 4) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

void AskToComeToFront(const std::string& path) {
    sockaddr_un address;
    if (!SocketAddress(path, address)) return;
    // The running copy may have taken the lock but not be listening yet.
    for (int attempt = 0; attempt < 25; ++attempt) {
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return;
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            ssize_t sent = send(fd, kFrontRequest, kFrontRequestLength, MSG_NOSIGNAL);
            (void)sent; // nothing more can be done for a copy that does not listen
            close(fd);
            return;
        }
        close(fd);
        usleep(20000);
    }
}

void ReleaseInstance() {
    const bool owner = gInstance.owner == getpid();
    if (gInstance.listenFd >= 0) close(gInstance.listenFd);
    if (owner && !gInstance.socketPath.empty()) unlink(gInstance.socketPath.c_str());
    if (gInstance.lockFd >= 0) close(gInstance.lockFd);
    gInstance = Instance{};
}

} // namespace

bool BringRunningCopyToFront(const char* windowName) {
    const std::string name = windowName ? windowName : "";
    const std::string lockPath = InstancePath(name, ".lock");
    if (gInstance.lockFd >= 0 && gInstance.owner == getpid() && gInstance.lockPath == lockPath)
        return false; // this process is the running copy
    ReleaseInstance();

    int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false; // nobody can be found without the lock file: run
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        if (error != EWOULDBLOCK) return false;
        AskToComeToFront(InstancePath(name, ".sock"));
        return true;
    }
    gInstance.lockPath = lockPath;
    gInstance.owner = getpid();
    gInstance.lockFd = fd;
    gInstance.socketPath = InstancePath(name, ".sock");
    gInstance.listenFd = Listen(gInstance.socketPath);
    return false;
}

void ServeFrontRequests() {
    if (gInstance.listenFd < 0 || gInstance.owner != getpid()) return;
    for (;;) {
        int connection = accept4(gInstance.listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) return;
        char request[16] = {};
        ssize_t length = 0;
        pollfd readable{connection, POLLIN, 0};
        if (poll(&readable, 1, 100) > 0) length = recv(connection, request, sizeof request, 0);
        close(connection);
        if (length == ssize_t(kFrontRequestLength) &&
            std::memcmp(request, kFrontRequest, kFrontRequestLength) == 0) {
            ++gFrontRequestsServed;
            BringMainWindowToFront();
        }
    }
}

int FrontRequestsServed() {
    return gFrontRequestsServed;
}

} // namespace sys
