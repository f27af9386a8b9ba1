// The installer program: start-up, one launch mode, its exit code.
#include "install/startup.h"

#include <climits>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    char self[PATH_MAX] = {};
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    const std::string exePath = length > 0 ? std::string(self, static_cast<size_t>(length)) : argv[0];
    // The shell has already split the command line into its tokens.
    const std::vector<std::string> tokens(argv + 1, argv + argc);
    return inst::InstallerMain(exePath, tokens);
}
