// content_check MANIFEST GAMEDIR: fails (exit 1, one line per problem on stderr) when the game
// folder lacks a file the manifest names or a file has the wrong shape.
#include <cstdio>

#include "content_check.h"

using namespace content;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: content_check MANIFEST GAMEDIR\n");
        return 2;
    }
    Manifest manifest;
    std::string error;
    if (!LoadManifest(argv[1], &manifest, &error)) {
        std::fprintf(stderr, "content_check: %s\n", error.c_str());
        return 1;
    }
    const std::vector<std::string> problems = CheckContent(argv[2], manifest);
    for (const std::string& p : problems) std::fprintf(stderr, "content_check: %s\n", p.c_str());
    return problems.empty() ? 0 : 1;
}
