// content_pages GAMEDIR: the title, the logo, the help pages, the relax and exit pages.
#include <cstdio>

#include "art.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: content_pages GAMEDIR\n");
        return 2;
    }
    return DrawPages(argv[1]) ? 0 : 1;
}
