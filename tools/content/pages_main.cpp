// content_pages GAMEDIR: the title, the logo, the help pages, the relax and exit pages.
#include <cstdio>

#include "art.h"
#include "paint.h"

using namespace content;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: content_pages GAMEDIR\n");
        return 2;
    }
    const bool ok = DrawPages(argv[1]);
    ReleaseFontCaches();
    return ok ? 0 : 1;
}
