// The installer program: start-up, one launch mode, its exit code.
#include "install/host/diskops.h"
#include "install/startup.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::string exePath = host::OwnExecutablePath(argv[0]);
    // The shell has already split the command line into its tokens.
    const std::vector<std::string> tokens(argv + 1, argv + argc);
    return inst::InstallerMain(exePath, tokens);
}
