// content_icon SVG GAMEDIR: the game's icon in GAMEDIR/icons, as its SVG source (reefpop.svg) and
// as PNGs of the sizes desktops ask for (reefpop-N.png), rendered with librsvg.
#include <librsvg/rsvg.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

bool RenderPng(RsvgHandle* svg, int size, const std::string& path) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    const RsvgRectangle viewport{0, 0, double(size), double(size)};
    GError* error = nullptr;
    bool ok = rsvg_handle_render_document(svg, cr, &viewport, &error);
    if (!ok) {
        std::fprintf(stderr, "content_icon: %s\n", error ? error->message : "cannot render");
        if (error) g_error_free(error);
    }
    cairo_destroy(cr);
    if (ok && cairo_surface_write_to_png(surface, path.c_str()) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "content_icon: cannot write %s\n", path.c_str());
        ok = false;
    }
    cairo_surface_destroy(surface);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: content_icon SVG GAMEDIR\n");
        return 2;
    }
    const std::string source = argv[1], out = argv[2];
    GError* error = nullptr;
    RsvgHandle* svg = rsvg_handle_new_from_file(source.c_str(), &error);
    if (!svg) {
        std::fprintf(stderr, "content_icon: %s: %s\n", source.c_str(),
                     error ? error->message : "unreadable");
        if (error) g_error_free(error);
        return 1;
    }
    std::error_code ec;
    fs::create_directories(fs::path(out) / "icons", ec);
    fs::copy_file(source, fs::path(out) / "icons" / "reefpop.svg",
                  fs::copy_options::overwrite_existing, ec);
    bool ok = !ec;
    if (ec)
        std::fprintf(stderr, "content_icon: cannot copy %s: %s\n", source.c_str(),
                     ec.message().c_str());
    for (int size : {16, 32, 48, 64, 128, 256})
        ok = ok &&
             RenderPng(
                 svg, size,
                 (fs::path(out) / "icons" / ("reefpop-" + std::to_string(size) + ".png")).string());
    g_object_unref(svg);
    return ok ? 0 : 1;
}
