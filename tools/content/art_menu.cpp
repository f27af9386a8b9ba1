#include <cmath>
#include <string>

#include "art.h"
#include "paint.h"
#include "picture.h"

namespace content {

namespace {

using namespace palette;

// Widget states in the order the screen descriptions name their pictures.
const char* const kStateSuffix[4] = {"_i", "_n", "_a", "_p"};
const char* const kCapSuffix[4] = {"", "_n", "_a", "_p"};

struct Look {
    Rgb base;
    double relief;
    double gloss;
    double lift; // how far the face sits above its shadow
};

Look ButtonLook(int state) {
    switch (state) {
    case 0: return {kMist, 0.6, 0.15, 1};
    case 1: return {kFoam, 1.0, 0.55, 2};
    case 2: return {kSun, 1.0, 0.65, 2};
    default: return {Mix(kCoral, kSun, 0.35), -0.8, 0.2, 0};
    }
}

// A pill-shaped button face of the whole picture's size, with its shadow.
Image Pill(int w, int h, int state) {
    Image img(w, h);
    const Look look = ButtonLook(state);
    const double faceW = w - 4, faceH = h - 4, radius = faceH / 2;
    PaintShadow(img, 3, 3, faceW, faceH, radius, 1.6, state == 3 ? 0.15 : 0.35);
    BevelStyle style;
    style.base = look.base;
    style.relief = look.relief;
    style.gloss = look.gloss;
    style.bevel = 7;
    const double offset = 2 - look.lift;
    PaintBevelRect(img, 1 + offset, 1 + offset, faceW, faceH, radius, style);
    return img;
}

bool SaveStates(const std::string& root, const std::string& stem, Image (*draw)(int, int, int),
                int w, int h) {
    for (int s = 0; s < 4; ++s)
        if (!SavePicture(root, "DATA\\" + stem + kStateSuffix[s] + ".tga", draw(w, h, s),
                         PictureKind::Masked))
            return false;
    return true;
}

// The shared panel frame: a rounded golden rim around the engine's sky-blue fill. Drawn whole at
// three times the corner size and cut into corners and edges; every shade depends only on the
// distance to the edge, so the middle cuts stretch without seams.
bool Frame(const std::string& root) {
    const int c = 32, size = 3 * c;
    Image img = PanelPlate(size, size);
    // The fill must meet the engine's fill exactly where the pieces end.
    for (int y = 20; y < size - 20; ++y)
        for (int x = 20; x < size - 20; ++x) {
            uint8_t* p = img.At(x, y);
            p[0] = 141, p[1] = 193, p[2] = 249, p[3] = 255;
        }
    struct Cut {
        const char* name;
        int x, y;
    } cuts[] = {{"Menu00", 0, 0},         {"Menu01", 2 * c, 0},   {"Menu10", 0, 2 * c},
                {"Menu11", 2 * c, 2 * c}, {"MenuUp", c, 0},       {"MenuDown", c, 2 * c},
                {"MenuLeft", 0, c},       {"MenuRight", 2 * c, c}};
    for (const Cut& cut : cuts)
        if (!SavePicture(root, std::string("DATA\\") + cut.name + ".tga",
                         Crop(img, cut.x, cut.y, c, c), PictureKind::Masked))
            return false;
    return true;
}

// Wide buttons: the pill cut into a left cap, a middle that the game stretches, a right cap.
bool WideButton(const std::string& root) {
    const int w = 64, h = 36, cap = 18, mid = 16;
    for (int s = 0; s < 4; ++s) {
        const Image pill = Pill(w, h, s);
        const std::string suffix = kStateSuffix[s];
        if (!SavePicture(root, "DATA\\buttonmid" + suffix + ".tga",
                         Crop(pill, (w - mid) / 2, 0, mid, h), PictureKind::Masked))
            return false;
        if (s == 0) continue; // the game uses the normal caps for the ignore state
        const std::string capSuffix = kCapSuffix[s];
        if (!SavePicture(root, "DATA\\buttonleft" + capSuffix + ".tga", Crop(pill, 0, 0, cap, h),
                         PictureKind::Masked) ||
            !SavePicture(root, "DATA\\buttonright" + capSuffix + ".tga",
                         Crop(pill, w - cap, 0, cap, h), PictureKind::Masked))
            return false;
    }
    return true;
}

Image ArrowButton(int w, int h, int state, bool pointsRight) {
    Image img = Pill(w, h, state);
    cairo_surface_t* surface = ToCairo(img);
    cairo_t* cr = cairo_create(surface);
    const double cx = (w - 4) / 2.0 + 1 + (state == 3 ? 2 : 0),
                 cy = (h - 4) / 2.0 + 1 + (state == 3 ? 2 : 0);
    const double dir = pointsRight ? 1 : -1;
    cairo_move_to(cr, cx + dir * 6, cy);
    cairo_line_to(cr, cx - dir * 4, cy - 7);
    cairo_line_to(cr, cx - dir * 4, cy + 7);
    cairo_close_path(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 2.5);
    SetColour(cr, state == 0 ? Mix(kNavy, kMist, 0.5) : kNavy);
    cairo_fill_preserve(cr);
    cairo_stroke(cr);
    cairo_destroy(cr);
    Image out = FromCairo(surface);
    cairo_surface_destroy(surface);
    return out;
}
Image ArrowLeft(int w, int h, int s) {
    return ArrowButton(w, h, s, false);
}
Image ArrowRight(int w, int h, int s) {
    return ArrowButton(w, h, s, true);
}

// A sunken well: spinner plates and text fields. Focus lights it up in sunshine.
Image Well(int w, int h, int state, Rgb base) {
    Image img(w, h);
    BevelStyle style;
    style.base = state == 0 ? Mix(base, kMist, 0.6) : (state >= 2 ? Mix(base, kSun, 0.45) : base);
    style.relief = -0.9;
    style.bevel = 5;
    style.topLight = 0;
    style.outline = state >= 2 ? Mix(kCoral, kNavy, 0.3) : kNavy;
    style.outlineWidth = state >= 2 ? 2.2 : 1.4;
    PaintBevelRect(img, 0.5, 0.5, w - 1, h - 1, std::min(10.0, h / 2.0 - 1), style);
    return img;
}
Image SpinnerPlate(int w, int h, int s) {
    return Well(w, h, s, Mix(kFoam, kPanel, 0.35));
}
Image TextBox(int w, int h, int s) {
    return Well(w, h, s, kWhite);
}

// Slider items: the empty groove, and the same groove filled with warm light.
Image TrackEmpty(int w, int h, int state) {
    Image img(w, h);
    BevelStyle style;
    style.base = Mix(kPanel, kNavy, state >= 2 ? 0.2 : 0.3);
    style.relief = -1.0;
    style.bevel = 5;
    style.topLight = 0;
    PaintBevelRect(img, 0.5, 1.5, w - 1, h - 3, (h - 3) / 2.0, style);
    return img;
}
Image TrackFull(int w, int h, int state) {
    Image img(w, h);
    BevelStyle style;
    style.base = state == 0 ? kMist : kSun;
    style.relief = 1.0;
    style.bevel = 6;
    style.gloss = state >= 2 ? 0.7 : 0.5;
    PaintBevelRect(img, 0.5, 1.5, w - 1, h - 3, (h - 3) / 2.0, style);
    if (state != 0)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                // Coral at the start warming to sunshine at the end.
                uint8_t* p = img.At(x, y);
                const double t = 0.55 * (1.0 - static_cast<double>(x) / w);
                const Rgb tint = kCoral;
                p[0] = static_cast<uint8_t>(p[0] * (1 - t) + tint.r * p[0] * t);
                p[1] = static_cast<uint8_t>(p[1] * (1 - t) + tint.g * p[1] * t);
                p[2] = static_cast<uint8_t>(p[2] * (1 - t) + tint.b * p[2] * t);
            }
    return img;
}

// The loading bar keeps one look whatever state its screen gives it.
Image LoadingTrackEmpty(int w, int h, int) {
    return TrackEmpty(w, h, 1);
}
Image LoadingTrackFull(int w, int h, int) {
    return TrackFull(w, h, 1);
}

// Focus glow for text lines that can take the focus (the confirmation dialogs).
Image LineGlow(int w, int h, int state) {
    Image img(w, h);
    if (state >= 2) {
        BevelStyle style;
        style.base = Mix(kSun, kWhite, 0.3);
        style.relief = 0.4;
        style.bevel = 4;
        style.outlineWidth = 0;
        PaintBevelRect(img, 1, 1, w - 2, h - 2, (h - 2) / 2.0, style);
    }
    return img;
}

bool Single(const std::string& root, const char* name, Image img) {
    return SavePicture(root, std::string("DATA\\") + name, img, PictureKind::Masked);
}

// The highlight of a new high score, under a whole row of the table.
Image SelectBar() {
    Image img(420, 30);
    BevelStyle style;
    style.base = kSun;
    style.relief = 0.7;
    style.bevel = 5;
    style.gloss = 0.5;
    style.outline = Mix(kCoral, kNavy, 0.2);
    PaintBevelRect(img, 0.5, 2.5, 419, 25, 12.5, style);
    return img;
}

// The level-up screen's trays under the rows of bonus and colour icons.
Image Tray() {
    Image img(264, 40);
    BevelStyle style;
    style.base = Mix(kPanel, kNavy, 0.15);
    style.relief = -0.8;
    style.bevel = 5;
    style.topLight = 0;
    PaintBevelRect(img, 0.5, 0.5, 263, 39, 12, style);
    return img;
}

} // namespace

bool DrawMenuArt(const std::string& root) {
    return Frame(root) && WideButton(root) && SaveStates(root, "button", Pill, 260, 36) &&
           SaveStates(root, "arrowleft", ArrowLeft, 32, 32) &&
           SaveStates(root, "arrowright", ArrowRight, 32, 32) &&
           SaveStates(root, "spin", SpinnerPlate, 220, 32) &&
           SaveStates(root, "field", TextBox, 260, 32) &&
           SaveStates(root, "slider0", TrackEmpty, 220, 24) &&
           SaveStates(root, "slider1", TrackFull, 220, 24) &&
           SaveStates(root, "loadbar0", LoadingTrackEmpty, 300, 24) &&
           SaveStates(root, "loadbar1", LoadingTrackFull, 300, 24) &&
           SaveStates(root, "line", LineGlow, 300, 24) && Single(root, "select.tga", SelectBar()) &&
           Single(root, "tray.tga", Tray());
}

} // namespace content
