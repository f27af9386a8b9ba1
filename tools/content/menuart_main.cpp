// content_menuart GAMEDIR: the shared frame, buttons, caps, arrows, tracks and fields.
#include <cstdio>

#include "art.h"

using namespace content;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: content_menuart GAMEDIR\n");
        return 2;
    }
    return DrawMenuArt(argv[1]) ? 0 : 1;
}
