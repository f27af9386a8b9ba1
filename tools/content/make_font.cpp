// content_font FONTFILE PIXELS GAMEDIR NAME
// Writes the font picture NAME (e.g. DATA\FontMenu.tga) with its mask and its ".fh" table.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "font_raster.h"
#include "picture.h"

using namespace content;

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: content_font FONTFILE PIXELS GAMEDIR NAME\n");
        return 2;
    }
    const int pixels = std::atoi(argv[2]);
    if (pixels < 6 || pixels > 96) {
        std::fprintf(stderr, "content_font: pixel size %s out of range 6..96\n", argv[2]);
        return 2;
    }
    Image atlas;
    GlyphTable table;
    std::string error;
    if (!RasterizeFont(argv[1], pixels, &atlas, &table, &error)) {
        std::fprintf(stderr, "content_font: %s\n", error.c_str());
        return 1;
    }
    const std::string name = argv[4];
    if (!SavePicture(argv[3], name, atlas, PictureKind::Masked)) return 1;
    const std::string fh = name.substr(0, name.find_last_of('.')) + ".fh";
    if (!WriteGlyphTable(GamePath(argv[3], fh), table, &error)) {
        std::fprintf(stderr, "content_font: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
