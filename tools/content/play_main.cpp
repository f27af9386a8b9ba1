// content_play SET GAMEDIR: draws one set of the pictures seen during play (bubbles, field,
// scene or hero); the build runs the sets side by side.
#include <cstdio>
#include <cstring>

#include "art.h"
#include "paint.h"

using namespace content;

int main(int argc, char** argv) {
    struct Set {
        const char* name;
        bool (*draw)(const std::string&);
    } const sets[] = {{"bubbles", DrawBubbleArt},
                      {"field", DrawFieldArt},
                      {"scene", DrawSceneArt},
                      {"hero", DrawHeroArt}};
    if (argc == 3)
        for (const Set& set : sets)
            if (std::strcmp(argv[1], set.name) == 0) {
                const bool ok = set.draw(argv[2]);
                ReleaseFontCaches();
                return ok ? 0 : 1;
            }
    std::fprintf(stderr, "usage: content_play bubbles|field|scene|hero GAMEDIR\n");
    return 2;
}
