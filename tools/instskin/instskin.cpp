// Draws the installer's skin pictures with Cairo: a bright reef under falling water, candy
// colours, soft shading lit from the upper left, rounded shapes. Writes the PNG sheets, their
// "anim" frame tables, the 8-bit requirement-mark bitmap and the window icon.
//   instskin <output folder>
#include <cairo.h>
#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Rgb {
    double r, g, b;
};

const Rgb kSea{0.13, 0.55, 0.78}, kDeep{0.05, 0.25, 0.48}, kFoam{0.93, 0.98, 1.0};
const Rgb kCoral{1.0, 0.45, 0.45}, kCandy{1.0, 0.78, 0.25}, kMint{0.45, 0.88, 0.62};
const Rgb kBerry{0.70, 0.38, 0.92}, kSkin{239 / 255.0, 245 / 255.0, 228 / 255.0};

void SetColour(cairo_t* cr, Rgb c, double alpha = 1.0) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// A bubble lit from the upper left.
void Bubble(cairo_t* cr, double x, double y, double radius, Rgb colour) {
    cairo_pattern_t* p =
        cairo_pattern_create_radial(x - radius * 0.4, y - radius * 0.4, radius * 0.1, x, y, radius);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 0.95);
    cairo_pattern_add_color_stop_rgba(p, 0.35, colour.r, colour.g, colour.b, 0.9);
    cairo_pattern_add_color_stop_rgba(p, 1, colour.r * 0.6, colour.g * 0.6, colour.b * 0.6, 0.9);
    cairo_set_source(cr, p);
    cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// Rounded coral branches rising from the sea floor.
void Coral(cairo_t* cr, double x, double y, double height, Rgb colour) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetColour(cr, colour);
    cairo_set_line_width(cr, height * 0.14);
    for (int branch = -2; branch <= 2; ++branch) {
        cairo_move_to(cr, x, y);
        cairo_curve_to(cr, x + branch * height * 0.05, y - height * 0.4, x + branch * height * 0.2,
                       y - height * 0.6, x + branch * height * 0.22,
                       y - height * (0.8 + 0.05 * (branch % 2)));
        cairo_stroke(cr);
    }
}

// A skin-coloured rounded area with its shadow offset to the lower right.
void Card(cairo_t* cr, double x, double y, double w, double h, double radius, double shadow) {
    SetColour(cr, {0, 0, 0}, 0.18);
    RoundedRect(cr, x + shadow, y + shadow, w, h, radius);
    cairo_fill(cr);
    SetColour(cr, kSkin);
    RoundedRect(cr, x, y, w, h, radius);
    cairo_fill(cr);
}

bool WritePng(cairo_surface_t* surface, const std::string& path) {
    if (cairo_surface_write_to_png(surface, path.c_str()) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "instskin: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool DrawBackground(const std::string& out) {
    const int w = 381, h = 359;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(s);
    cairo_pattern_t* water = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(water, 0, 0.55, 0.85, 0.97);
    cairo_pattern_add_color_stop_rgb(water, 0.5, kSea.r, kSea.g, kSea.b);
    cairo_pattern_add_color_stop_rgb(water, 1, kDeep.r, kDeep.g, kDeep.b);
    cairo_set_source(cr, water);
    cairo_paint(cr);
    cairo_pattern_destroy(water);
    // The waterfall: pale streaks falling at the back.
    for (int i = 0; i < 14; ++i) {
        SetColour(cr, kFoam, 0.10 + 0.03 * (i % 3));
        RoundedRect(cr, 150 + i * 9, -10, 5 + (i % 4), h * 0.55, 3);
        cairo_fill(cr);
    }
    // Sand and coral along the bottom, under the button row.
    SetColour(cr, {0.98, 0.85, 0.62});
    cairo_move_to(cr, 0, h);
    cairo_curve_to(cr, w * 0.3, h - 40, w * 0.7, h - 30, w, h - 45);
    cairo_line_to(cr, w, h);
    cairo_close_path(cr);
    cairo_fill(cr);
    Coral(cr, 30, h - 20, 70, kCoral);
    Coral(cr, 355, h - 25, 60, kBerry);
    // The skin-coloured card that holds the page's texts and controls.
    Card(cr, 10, 10, w - 24, 300, 14, 4);
    for (int i = 0; i < 9; ++i) Bubble(cr, 20 + i * 43, 316 - (i % 3) * 3, 2 + i % 2, kFoam);
    // The tray the button row sits on: the button faces are opaque and share its colour at
    // their rounded corners.
    Card(cr, 10, 321, w - 20, 29, 10, 2);
    cairo_destroy(cr);
    const bool ok = WritePng(s, out + "/skin_background.png");
    cairo_surface_destroy(s);
    return ok;
}

struct Frame {
    int x, y, w, h;       // in the sheet
    int anchorX, anchorY; // the sheet frame's top-left seen from the anchor (page origin)
};

void PutU16(std::vector<uint8_t>& v, unsigned value) {
    v.push_back(value & 0xFF);
    v.push_back((value >> 8) & 0xFF);
}
void PutU32(std::vector<uint8_t>& v, uint32_t value) {
    for (int i = 0; i < 4; ++i) v.push_back((value >> (8 * i)) & 0xFF);
}
void PutFloat(std::vector<uint8_t>& v, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    PutU32(v, bits);
}

// "anim": magic, format word 4, frame count, then per frame the rectangle as fractions of the
// sheet, the extents around the anchor (minus left, right, minus top, bottom), the pixel origin.
bool WriteAnim(const std::string& path, const std::vector<Frame>& frames, int sheetW, int sheetH) {
    std::vector<uint8_t> v = {'a', 'n', 'i', 'm'};
    PutU16(v, 4);
    PutU16(v, static_cast<unsigned>(frames.size()));
    for (const Frame& f : frames) {
        PutFloat(v, static_cast<float>(f.x) / sheetW);
        PutFloat(v, static_cast<float>(f.y) / sheetH);
        PutFloat(v, static_cast<float>(f.x + f.w) / sheetW);
        PutFloat(v, static_cast<float>(f.y + f.h) / sheetH);
        PutU16(v, static_cast<uint16_t>(static_cast<int16_t>(-f.anchorX)));
        PutU16(v, static_cast<uint16_t>(static_cast<int16_t>(f.anchorX + f.w)));
        PutU16(v, static_cast<uint16_t>(static_cast<int16_t>(-f.anchorY)));
        PutU16(v, static_cast<uint16_t>(static_cast<int16_t>(f.anchorY + f.h)));
        PutU16(v, static_cast<unsigned>(f.x));
        PutU16(v, static_cast<unsigned>(f.y));
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(v.data(), 1, v.size(), file) == v.size();
    return std::fclose(file) == 0 && ok;
}

// Twelve faces (six buttons, each not focused and focused) in two columns of 112 x 20 cells;
// each frame's anchor offset places its button on the page: the row along the bottom, Browse
// under the settings page's folder field.
bool DrawButtons(const std::string& out) {
    const int w = 224, h = 120, faceW = 84, faceH = 20;
    // Per button (in frame order 0/1, 2/3, ...): Settings, Cancel, Next, Back, Agree, Browse.
    const struct {
        int pageX, pageY;
        Rgb colour;
    } buttons[6] = {{16, 326, kMint},  {286, 326, kCoral}, {196, 326, kCandy},
                    {106, 326, kMint}, {196, 326, kCandy}, {275, 108, kBerry}};
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(s);
    std::vector<Frame> frames;
    for (int button = 0; button < 6; ++button) {
        for (int focused = 0; focused < 2; ++focused) {
            const int x = focused * 112, y = button * 20;
            const Rgb c = buttons[button].colour;
            const double lift = focused ? 1.0 : 0.82;
            SetColour(cr, kSkin); // the tray or the card shows at the corners
            cairo_rectangle(cr, x, y, faceW, faceH);
            cairo_fill(cr);
            cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x, y + faceH);
            cairo_pattern_add_color_stop_rgb(p, 0, std::fmin(1, c.r * lift + 0.25),
                                             std::fmin(1, c.g * lift + 0.25),
                                             std::fmin(1, c.b * lift + 0.25));
            cairo_pattern_add_color_stop_rgb(p, 1, c.r * lift * 0.8, c.g * lift * 0.8,
                                             c.b * lift * 0.8);
            cairo_set_source(cr, p);
            RoundedRect(cr, x + 0.5, y + 0.5, faceW - 1, faceH - 1, 9);
            cairo_fill_preserve(cr);
            cairo_pattern_destroy(p);
            SetColour(cr, focused ? Rgb{1, 1, 1} : Rgb{0.3, 0.2, 0.3}, focused ? 0.95 : 0.5);
            cairo_set_line_width(cr, focused ? 1.6 : 1.0);
            cairo_stroke(cr);
            SetColour(cr, kFoam, 0.55); // the shine of the light from the upper left
            RoundedRect(cr, x + 5, y + 2.5, faceW * 0.45, 4, 2);
            cairo_fill(cr);
            frames.push_back({x, y, faceW, faceH, buttons[button].pageX, buttons[button].pageY});
        }
    }
    cairo_destroy(cr);
    bool ok = WritePng(s, out + "/skin_buttons.png");
    cairo_surface_destroy(s);
    return WriteAnim(out + "/skin_buttons.anim", frames, w, h) && ok;
}

// Eight page pictures, four by two, each a small reef scene with the page's own motif.
bool DrawPictures(const std::string& out) {
    const int w = 253, h = 114, cellW = 63, cellH = 57;
    const Rgb motif[8] = {kCandy, kMint, kBerry, kCoral, kSea, kMint, kCandy, kCoral};
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(s);
    std::vector<Frame> frames;
    for (int i = 0; i < 8; ++i) {
        const int x = (i % 4) * cellW, y = (i / 4) * cellH;
        cairo_save(cr);
        RoundedRect(cr, x + 1, y + 1, cellW - 2, cellH - 2, 10);
        cairo_clip_preserve(cr);
        cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x, y + cellH);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.6, 0.88, 0.98);
        cairo_pattern_add_color_stop_rgb(p, 1, kSea.r, kSea.g, kSea.b);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
        Coral(cr, x + 12, y + cellH, 26, kCoral);
        Bubble(cr, x + cellW * 0.6, y + cellH * 0.45, 12 + (i % 3) * 2, motif[i]);
        Bubble(cr, x + cellW * 0.3, y + cellH * 0.3, 5, kFoam);
        cairo_restore(cr);
        // Above the package picture, which every page shows at (17, 102).
        frames.push_back({x, y, cellW, cellH, 44, 30});
    }
    cairo_destroy(cr);
    bool ok = WritePng(s, out + "/skin_pictures.png");
    cairo_surface_destroy(s);
    return WriteAnim(out + "/skin_pictures.anim", frames, w, h) && ok;
}

bool DrawPackagePicture(const std::string& out) {
    const int w = 116, h = 89;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(s);
    RoundedRect(cr, 2, 2, w - 4, h - 4, 12);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.6, 0.88, 0.98);
    cairo_pattern_add_color_stop_rgb(p, 1, kDeep.r, kDeep.g, kDeep.b);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    const Rgb colours[5] = {kCoral, kCandy, kMint, kBerry, kSea};
    for (int i = 0; i < 5; ++i) Bubble(cr, 22 + i * 18, 60 - (i % 2) * 16, 10, colours[i]);
    Coral(cr, 96, h - 4, 34, kCoral);
    cairo_destroy(cr);
    const bool ok = WritePng(s, out + "/skin_package.png");
    cairo_surface_destroy(s);
    return ok;
}

bool DrawIcon(const std::string& out) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 32, 32);
    cairo_t* cr = cairo_create(s);
    Bubble(cr, 16, 16, 14, kCoral);
    Bubble(cr, 11, 11, 3, kFoam);
    cairo_destroy(cr);
    const bool ok = WritePng(s, out + "/skin_icon.png");
    cairo_surface_destroy(s);
    return ok;
}

// Two 18 x 16 marks side by side (met: a green tick, not met: a red cross), 8 bits per pixel
// (three colours used). The installer reads every picture as PNG, so the bitmap is a
// palettised PNG of the bitmap's size and depth.
bool WriteMarks(const std::string& out) {
    const int w = 36, h = 16;
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h, 0); // 0: skin colour
    auto put = [&](int x, int y, uint8_t index) {
        if (x >= 0 && x < w && y >= 0 && y < h) pixels[static_cast<size_t>(y) * w + x] = index;
    };
    for (int t = 0; t < 5; ++t) { // the tick
        for (int d = 0; d < 2; ++d) put(3 + t, 7 + t + d, 1);
    }
    for (int t = 0; t < 8; ++t) {
        for (int d = 0; d < 2; ++d) put(8 + t, 11 - t + d, 1);
    }
    for (int t = 0; t < 10; ++t) { // the cross
        for (int d = 0; d < 2; ++d) {
            put(22 + t + d, 3 + t, 2);
            put(31 - t + d, 3 + t, 2);
        }
    }
    // A full 256-entry palette, so the picture is stored at 8 bits a pixel.
    uint8_t palette[256 * 3] = {239, 245, 228, 40, 170, 60, 220, 50, 50}; // RGB
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = w;
    image.height = h;
    image.format = PNG_FORMAT_RGB_COLORMAP;
    image.colormap_entries = 256;
    const std::string path = out + "/skin_marks.png";
    if (!png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), w, palette)) {
        std::fprintf(stderr, "instskin: cannot write %s: %s\n", path.c_str(), image.message);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: instskin <output folder>\n");
        return 2;
    }
    const std::string out = argv[1];
    const bool ok = DrawBackground(out) && DrawButtons(out) && DrawPictures(out) &&
                    DrawPackagePicture(out) && DrawIcon(out) && WriteMarks(out);
    if (!ok) std::fprintf(stderr, "instskin: failed to write the skin into %s\n", out.c_str());
    return ok ? 0 : 1;
}
