#include "paint.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>

namespace content {

Rgb Mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

namespace {

double Clamp01(double v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

// Composites colour with coverage a over a straight-alpha pixel.
void Over(uint8_t* p, Rgb c, double a) {
    a = Clamp01(a);
    if (a <= 0) return;
    const double da = p[3] / 255.0;
    const double oa = a + da * (1 - a);
    const double src[3] = {Clamp01(c.r), Clamp01(c.g), Clamp01(c.b)};
    for (int i = 0; i < 3; ++i) {
        const double d = p[i] / 255.0;
        const double v = (src[i] * a + d * da * (1 - a)) / oa;
        p[i] = static_cast<uint8_t>(std::lround(Clamp01(v) * 255));
    }
    p[3] = static_cast<uint8_t>(std::lround(oa * 255));
}

// Signed distance to a rounded rectangle: negative inside.
double RoundRectDistance(double px, double py, double x, double y, double w, double h, double r) {
    const double cx = x + w / 2, cy = y + h / 2;
    const double qx = std::fabs(px - cx) - (w / 2 - r);
    const double qy = std::fabs(py - cy) - (h / 2 - r);
    const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - r;
}

} // namespace

void PaintBevelRect(Image& img, double x, double y, double w, double h, double radius,
                    const BevelStyle& s) {
    // Light from the upper left, a little toward the viewer.
    const double lx = -0.55, ly = -0.70, lz = 0.75;
    const double ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    for (int py = 0; py < img.height; ++py)
        for (int px = 0; px < img.width; ++px) {
            const double fx = px + 0.5, fy = py + 0.5;
            const double d = RoundRectDistance(fx, fy, x, y, w, h, radius);
            const double coverage = Clamp01(0.5 - d);
            if (coverage <= 0) continue;
            const double inside = -d; // distance from the edge, inward
            // Outward normal of the edge.
            const double e = 0.5;
            double gx = RoundRectDistance(fx + e, fy, x, y, w, h, radius) -
                        RoundRectDistance(fx - e, fy, x, y, w, h, radius);
            double gy = RoundRectDistance(fx, fy + e, x, y, w, h, radius) -
                        RoundRectDistance(fx, fy - e, x, y, w, h, radius);
            const double gl = std::sqrt(gx * gx + gy * gy);
            if (gl > 1e-9) {
                gx /= gl;
                gy /= gl;
            }
            double slope = 0;
            if (s.bevel > 0 && inside < s.bevel)
                slope = std::cos(inside / s.bevel * M_PI / 2) * 1.6 * s.relief;
            double nx = gx * slope, ny = gy * slope, nz = 1;
            const double nl = std::sqrt(nx * nx + ny * ny + nz * nz);
            nx /= nl;
            ny /= nl;
            nz /= nl;
            const double diffuse = (nx * lx + ny * ly + nz * lz) / ll;
            const double flat = lz / ll;
            double shade = 1 + (diffuse - flat) * 0.9;
            const double vertical = h > 0 ? (fy - y) / h : 0.5;
            shade *= 1 + s.topLight * (0.5 - vertical) * 2;
            Rgb c{s.base.r * shade, s.base.g * shade, s.base.b * shade};
            // Specular glint where the rim faces the light.
            const double hx = lx / ll, hy = ly / ll, hz = lz / ll + 1;
            const double hl = std::sqrt(hx * hx + hy * hy + hz * hz);
            const double specular = std::pow(std::max(0.0, (nx * hx + ny * hy + nz * hz) / hl), 40);
            if (slope > 0.05)
                c = Mix(c, palette::kWhite, Clamp01(specular * 0.8 * std::fabs(s.relief)));
            if (s.gloss > 0) {
                const double gd = RoundRectDistance(fx, fy, x + s.bevel * 0.6, y + s.bevel * 0.35,
                                                    w - s.bevel * 1.2, h * 0.48,
                                                    std::max(1.0, radius - s.bevel * 0.5));
                const double sheen = Clamp01(0.5 - gd) * (1 - Clamp01((fy - y) / (h * 0.55)));
                c = Mix(c, palette::kWhite, sheen * s.gloss);
            }
            if (s.outlineWidth > 0) c = Mix(s.outline, c, Clamp01(inside - s.outlineWidth + 0.5));
            Over(img.At(px, py), c, coverage);
        }
}

void PaintShadow(Image& img, double x, double y, double w, double h, double radius, double blur,
                 double opacity) {
    for (int py = 0; py < img.height; ++py)
        for (int px = 0; px < img.width; ++px) {
            const double d = RoundRectDistance(px + 0.5, py + 0.5, x, y, w, h, radius);
            const double t = Clamp01(0.5 - d / (2 * blur));
            const double a = opacity * t * t * (3 - 2 * t);
            if (a > 0) Over(img.At(px, py), palette::kNavy, a);
        }
}

void PaintBubble(Image& img, double cx, double cy, double radius, Rgb colour) {
    for (int py = 0; py < img.height; ++py)
        for (int px = 0; px < img.width; ++px) {
            const double dx = (px + 0.5 - cx) / radius, dy = (py + 0.5 - cy) / radius;
            const double r2 = dx * dx + dy * dy;
            const double coverage = Clamp01((1 - std::sqrt(r2)) * radius + 0.5);
            if (coverage <= 0) continue;
            const double nz = std::sqrt(std::max(0.0, 1 - r2));
            const double diffuse = std::max(0.0, -0.5 * dx - 0.6 * dy + 0.62 * nz);
            Rgb c = Mix(Mix(colour, palette::kNavy, 0.35), colour, Clamp01(diffuse * 1.3));
            const double glint =
                std::exp(-((dx + 0.38) * (dx + 0.38) + (dy + 0.42) * (dy + 0.42)) / 0.035);
            c = Mix(c, palette::kWhite, Clamp01(glint * 0.95));
            const double rimLight = Clamp01((std::sqrt(r2) - 0.82) / 0.18) * Clamp01(dx + dy);
            c = Mix(c, palette::kWhite, rimLight * 0.35);
            c = Mix(palette::kNavy, c, Clamp01((1 - std::sqrt(r2)) * radius - 0.6));
            Over(img.At(px, py), c, coverage);
        }
}

cairo_surface_t* ToCairo(const Image& img) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, img.width, img.height);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < img.height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < img.width; ++x) {
            const uint8_t* p = img.At(x, y);
            const uint32_t a = p[3];
            auto pre = [a](uint8_t v) { return (static_cast<uint32_t>(v) * a + 127) / 255; };
            row[x] = (a << 24) | (pre(p[0]) << 16) | (pre(p[1]) << 8) | pre(p[2]);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

void SetColour(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void DrawLabel(cairo_t* cr, const char* text, double cx, double cy, double size, Rgb fill,
               Rgb outline, double outlineWidth, bool bold) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text, &ext);
    cairo_move_to(cr, cx - ext.width / 2 - ext.x_bearing, cy - ext.height / 2 - ext.y_bearing);
    cairo_text_path(cr, text);
    if (outlineWidth > 0) {
        SetColour(cr, outline);
        cairo_set_line_width(cr, outlineWidth);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr);
    }
    SetColour(cr, fill);
    cairo_fill(cr);
}

void DrawTitle(cairo_t* cr, const char* text, double cx, double cy, double size, Rgb top,
               Rgb bottom, Rgb outline, double outlineWidth) {
    cairo_save(cr);
    cairo_select_font_face(cr, "Comfortaa", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text, &ext);
    const double x = cx - ext.width / 2 - ext.x_bearing, y = cy - ext.height / 2 - ext.y_bearing;
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, x + outlineWidth * 0.6, y + outlineWidth * 0.8);
    cairo_text_path(cr, text);
    SetColour(cr, palette::kNavy, 0.45);
    cairo_set_line_width(cr, outlineWidth * 2);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, text);
    SetColour(cr, outline);
    cairo_set_line_width(cr, outlineWidth * 2);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* fill =
        cairo_pattern_create_linear(0, cy - ext.height / 2, 0, cy + ext.height / 2);
    cairo_pattern_add_color_stop_rgb(fill, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(fill, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);
    // A sheen on the upper half of the letters.
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, text);
    cairo_clip(cr);
    cairo_rectangle(cr, cx - ext.width, cy - ext.height / 2 - 2, ext.width * 2, ext.height * 0.42);
    SetColour(cr, palette::kWhite, 0.35);
    cairo_fill(cr);
    cairo_restore(cr);
}

Image PanelPlate(int w, int h) {
    using namespace palette;
    Image img(w, h);
    PaintShadow(img, 3, 4, w - 5, h - 5, 16, 2.0, 0.35);
    BevelStyle rim;
    rim.base = Mix(kSun, kSand, 0.35);
    rim.bevel = 7;
    rim.outlineWidth = 1.8;
    rim.topLight = 0;
    PaintBevelRect(img, 1, 1, w - 5, h - 5, 15, rim);
    BevelStyle well;
    well.base = kPanel;
    well.relief = -0.9;
    well.bevel = 4;
    well.outlineWidth = 1.2;
    well.outline = Mix(kNavy, kPanel, 0.35);
    well.topLight = 0;
    PaintBevelRect(img, 11, 11, w - 22, h - 22, 7, well);
    // The backdrop leaves a screen's panel undrawn from 8 pixels inside its edge, so nothing there
    // may be translucent: the last frame would show through the rounded corners' soft edge.
    for (int y = 8; y < h - 8; ++y)
        for (int x = 8; x < w - 8; ++x) img.At(x, y)[3] = 255;
    return img;
}

void ReleaseFontCaches() {
    cairo_debug_reset_static_data();
    FcFini();
}

} // namespace content
