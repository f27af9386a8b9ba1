// content_sheet MANIFEST GAMEDIR OUTDIR
// Renders the content for review into PNG pages: every picture of DATA on a chequerboard, both
// fonts, and every screen of the manifest laid out as the game lays out its widgets, with the
// menu font read from its own picture and table. Drawn from our files alone, not by the game.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>

#include "content_check.h"
#include "glyph_table.h"
#include "ini_file.h"
#include "jpeg_in.h"
#include "manifest.h"
#include "paint.h"
#include "picture.h"
#include "play_pages.h"
#include "tga.h"

using namespace content;

namespace fs = std::filesystem;

namespace {

std::string g_root;

// A picture with the alpha the game gives it: its own (32-bit) or that of its "_name" mask.
const Image* Picture(const std::string& name) {
    static std::map<std::string, Image> cache;
    auto found = cache.find(name);
    if (found != cache.end()) return found->second.width ? &found->second : nullptr;
    Image img;
    std::string error;
    const bool jpeg = name.size() > 4 && name.compare(name.size() - 4, 4, ".jpg") == 0;
    if (jpeg) {
        ReadJpeg(GamePath(g_root, name), &img, &error);
    } else if (ReadTga(GamePath(g_root, name), &img, &error)) {
        Image mask;
        if (ReadTga(GamePath(g_root, MaskName(name)), &mask, nullptr) && mask.width == img.width &&
            mask.height == img.height)
            for (int y = 0; y < img.height; ++y)
                for (int x = 0; x < img.width; ++x)
                    img.At(x, y)[3] = mask.At(x, y)[2];
    }
    Image& slot = cache[name] = img;
    return slot.width ? &slot : nullptr;
}

// Alpha blending as the game does it: up to 15 leaves the target, from 240 up copies.
void Blend(Image& dst, int dx, int dy, const Image& src, int sx, int sy) {
    if (dx < 0 || dy < 0 || dx >= dst.width || dy >= dst.height) return;
    const uint8_t* s = src.At(sx, sy);
    uint8_t* d = dst.At(dx, dy);
    if (s[3] < 16) return;
    for (int c = 0; c < 3; ++c)
        d[c] = static_cast<uint8_t>(s[3] > 239 ? s[c] : d[c] + (s[3] * (s[c] - d[c]) >> 8));
}

void Stretch(Image& dst, int dx, int dy, int dw, int dh, const Image& src, int sx, int sy, int sw,
             int sh) {
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    for (int y = 0; y < dh; ++y)
        for (int x = 0; x < dw; ++x)
            Blend(dst, dx + x, dy + y, src, sx + x * sw / dw, sy + y * sh / dh);
}

void Draw(Image& dst, int x, int y, const Image* src) {
    if (src) Stretch(dst, x, y, src->width, src->height, *src, 0, 0, src->width, src->height);
}

struct BitmapFont {
    const Image* picture = nullptr;
    FontLayout layout{};

    bool Load(const std::string& name) {
        picture = Picture(name);
        GlyphTable table;
        if (!picture ||
            !ReadGlyphTable(GamePath(g_root, name.substr(0, name.find_last_of('.')) + ".fh"),
                            &table, nullptr))
            return false;
        layout = ResolveLayout(&table, picture->width, picture->height);
        return true;
    }
    int Width(const std::string& text) const {
        int w = 0;
        for (unsigned char c : text)
            w += c < 33 ? layout.spaceAdvance : layout.width[c];
        return w;
    }
    // Black ink along the glyphs' alpha, aligned like the game's text drawing.
    void Text(Image& dst, int x, int y, const std::string& text, int halign, int valign) const {
        if (!picture) return;
        if (halign == 0)
            x -= Width(text) / 2;
        else if (halign > 0)
            x -= Width(text);
        if (valign == 0)
            y -= layout.glyphHeight / 2;
        else if (valign > 0)
            y -= layout.glyphHeight;
        for (unsigned char c : text) {
            if (c < 33) {
                x += layout.spaceAdvance;
                continue;
            }
            for (int gy = 0; gy < layout.glyphHeight; ++gy)
                for (int gx = 0; gx < layout.width[c]; ++gx) {
                    const int px = x + gx, py = y + gy, sx = layout.x[c] + gx,
                              sy = layout.y[c] + gy;
                    if (px < 0 || py < 0 || px >= dst.width || py >= dst.height ||
                        sx >= picture->width || sy >= picture->height)
                        continue;
                    const int a = picture->At(sx, sy)[3];
                    if (a <= 15) continue;
                    uint8_t* d = dst.At(px, py);
                    for (int ch = 0; ch < 3; ++ch)
                        d[ch] = static_cast<uint8_t>(d[ch] + ((a * (0 - d[ch])) >> 8));
                }
            x += layout.width[c];
        }
    }
};

BitmapFont g_font;

struct Widget {
    int x = 0, y = 0, w = 0, h = 0, xalign = 0;
    std::string caption;
    std::vector<std::string> pictures;
};

Widget Read(const IniFile& ini, const std::string& section) {
    Widget w;
    w.x = ini.GetInt(section, "x");
    w.y = ini.GetInt(section, "y");
    w.w = ini.GetInt(section, "xs");
    w.h = ini.GetInt(section, "ys");
    w.xalign = ini.GetInt(section, "xalign");
    w.caption = ini.Get(section, "name");
    w.pictures = StatePictures(ini, section);
    return w;
}

const Image* StatePicture(const Widget& w, int state) {
    return state < static_cast<int>(w.pictures.size()) ? Picture(w.pictures[state]) : nullptr;
}

void Caption(Image& dst, const Widget& w, int state, int dx = 0) {
    if (w.caption.empty()) return;
    const int x = w.xalign < 0 ? w.x + dx : w.x + w.w / 2;
    g_font.Text(dst, x, w.y + w.h / 2 + (state == 3 ? 2 : 0), w.caption, w.xalign, 0);
}

void DrawButton(Image& dst, const Widget& w, int state) {
    Draw(dst, w.x, w.y, StatePicture(w, state));
    Caption(dst, w, state);
}

void DrawWide(Image& dst, const Widget& w, int state) {
    static const char* left[4] = {"DATA\\buttonleft_n.tga", "DATA\\buttonleft_n.tga",
                                  "DATA\\buttonleft_a.tga", "DATA\\buttonleft_p.tga"};
    static const char* right[4] = {"DATA\\buttonright_n.tga", "DATA\\buttonright_n.tga",
                                   "DATA\\buttonright_a.tga", "DATA\\buttonright_p.tga"};
    const Image* mid = StatePicture(w, state);
    const Image* l = Picture(left[state]);
    const Image* r = Picture(right[state]);
    if (mid && l && r) {
        Stretch(dst, w.x + l->width, w.y, w.w - l->width - r->width, mid->height, *mid, 0, 0,
                mid->width, mid->height);
        Draw(dst, w.x, w.y, l);
        Draw(dst, w.x + w.w - r->width, w.y, r);
    }
    Caption(dst, w, state);
}

void DrawSlider(Image& dst, const IniFile& ini, const std::string& section, const Widget& w,
                int state, double value) {
    const std::vector<std::string> items = ItemSections(ini, section);
    if (items.size() < 2) return;
    const Image* empty = StatePicture(Read(ini, items[0]), state);
    const Image* full = StatePicture(Read(ini, items[1]), state);
    const int split = static_cast<int>(std::lround((w.w - 16) * value)) + 8;
    if (full) Stretch(dst, w.x, w.y, split, w.h, *full, 0, 0, split, w.h);
    if (empty) Stretch(dst, w.x + split, w.y, w.w - split, w.h, *empty, split, 0, w.w - split, w.h);
}

void DrawSpinner(Image& dst, const IniFile& ini, const std::string& section, const Widget& w,
                 int state) {
    Draw(dst, w.x, w.y, StatePicture(w, state));
    Widget left = Read(ini, "left"), right = Read(ini, "right");
    left.x = w.x;
    left.y = w.y;
    right.x = w.x + w.w - right.w;
    right.y = w.y;
    DrawButton(dst, left, 1);
    DrawButton(dst, right, 1);
    const std::vector<std::string> items = ItemSections(ini, section);
    if (items.empty()) return;
    Widget item = Read(ini, items[0]);
    item.x = w.x + left.w;
    item.y = w.y;
    item.w = w.w - left.w - right.w;
    item.h = w.h;
    DrawButton(dst, item, 1);
}

// A stand-in for the water backdrop, which comes with the scene's own content.
Image Sea(int w, int h) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double t = static_cast<double>(y) / h;
            const double ray = 0.06 * std::max(0.0, std::sin((x * 0.6 + y * 0.25) * 0.03));
            uint8_t* p = img.At(x, y);
            p[0] = static_cast<uint8_t>(40 + 30 * (1 - t) + 200 * ray);
            p[1] = static_cast<uint8_t>(120 + 70 * (1 - t) + 200 * ray);
            p[2] = static_cast<uint8_t>(160 + 60 * (1 - t) + 200 * ray);
            p[3] = 255;
        }
    return img;
}

void DrawFrame(Image& dst, int x, int y, int w, int h) {
    const Image* c00 = Picture("DATA\\Menu00.tga");
    if (!c00) return;
    const int cw = c00->width, ch = c00->height;
    for (int py = y + ch; py < y + h - ch; ++py)
        for (int px = x + cw; px < x + w - cw; ++px)
            if (px >= 0 && py >= 0 && px < dst.width && py < dst.height) {
                uint8_t* p = dst.At(px, py);
                p[0] = 0x8d, p[1] = 0xc1, p[2] = 0xf9;
            }
    auto stretch = [&](const char* name, int dx, int dy, int dw, int dh) {
        if (const Image* s = Picture(name))
            Stretch(dst, dx, dy, dw, dh, *s, 0, 0, s->width, s->height);
    };
    Draw(dst, x, y, c00);
    Draw(dst, x + w - cw, y, Picture("DATA\\Menu01.tga"));
    Draw(dst, x, y + h - ch, Picture("DATA\\Menu10.tga"));
    Draw(dst, x + w - cw, y + h - ch, Picture("DATA\\Menu11.tga"));
    stretch("DATA\\MenuUp.tga", x + cw, y, w - 2 * cw, ch);
    if (const Image* down = Picture("DATA\\MenuDown.tga"))
        stretch("DATA\\MenuDown.tga", x + cw, y + h - ch, w - 2 * cw, down->height);
    stretch("DATA\\MenuLeft.tga", x, y + ch, cw, h - 2 * ch);
    stretch("DATA\\MenuRight.tga", x + w - cw, y + ch, cw, h - 2 * ch);
}

// "Left or Joy left": the key names of an action's first binding row, as the key-redefinition
// screen appends them to its buttons' captions.
std::string KeyNamesOf(int action) {
    IniFile texts;
    texts.Load(GamePath(g_root, "DATA\\english.ini"));
    FILE* f = std::fopen(GamePath(g_root, "DATA\\controls.ini").c_str(), "r");
    if (!f) return {};
    int a = 0, k1 = 0, k2 = 0;
    char line[256];
    std::string names;
    while (std::fgets(line, sizeof line, f)) {
        k1 = k2 = 0;
        if (std::sscanf(line, "%d %d %d", &a, &k1, &k2) >= 2 && a == action) {
            names = texts.Get("key", std::to_string(k1));
            const std::string second = k2 ? texts.Get("key", std::to_string(k2)) : "";
            if (!names.empty() && !second.empty()) names += texts.Get("main", "or") + second;
            break;
        }
    }
    std::fclose(f);
    return names;
}

// What the game appends to captions at run time, so the sheet shows realistic lengths.
std::string SampleValue(const std::string& screen, const std::string& section) {
    if (screen == "DATA\\levelup.ini") {
        if (section == "level") return "4";
        if (section == "time") return "02:05";
        if (section == "shot") return "1250";
        if (section == "score") return "15300";
    }
    if (screen == "DATA\\redefine.ini") {
        const char* actions[] = {"left", "right", "shot", "swap"};
        for (int i = 0; i < 4; ++i)
            if (section == actions[i]) return KeyNamesOf(i + 1);
    }
    return {};
}

// The help screen shows one page at a time; the sheet shows the first.
bool ShownOnScreen(const std::string& screen, const std::string& section) {
    return screen != "DATA\\help.ini" || (section != "page_2" && section != "page_3");
}

// The screen as the game shows it once its opening is over; the first enabled widget has focus.
Image RenderScreen(const ManifestEntry& screen) {
    Image img = Sea(640, 480);
    IniFile ini;
    ini.Load(GamePath(g_root, screen.name));
    const bool mainMenu = screen.name == "DATA\\main.ini";
    const int shift = mainMenu ? 40 : 0; // the main menu sits 40 pixels lower than its file says
    Widget panel = Read(ini, "main");
    panel.y += shift;
    if (const Image* own = StatePicture(panel, 0))
        Draw(img, panel.x, panel.y, own);
    else
        DrawFrame(img, panel.x, panel.y, panel.w, panel.h);
    if (mainMenu) Draw(img, 125, 80, Picture("DATA\\game.tga"));
    bool focused = false;
    for (const ManifestWidget& mw : screen.widgets) {
        const bool isScoreRow =
            screen.name == "DATA\\score.ini" && (mw.section == "start" || mw.section == "score");
        if (!ShownOnScreen(screen.name, mw.section)) continue;
        for (int row = 0; row < (isScoreRow ? 10 : 1); ++row) {
            Widget w = Read(ini, mw.section);
            w.caption += SampleValue(screen.name, mw.section);
            w.y += shift + row * w.h;
            int state = mw.widgetClass == "L" ? 0 : 1;
            if (state == 1 && !focused) {
                state = 2;
                focused = true;
            }
            if (isScoreRow && mw.section == "score") w.caption += std::to_string(5000 - 500 * row);
            if (isScoreRow && mw.section == "start" && row == 0)
                w.pictures.assign(1, "DATA\\select.tga");
            if (mw.widgetClass == "W")
                DrawWide(img, w, state);
            else if (mw.widgetClass == "S")
                DrawSlider(img, ini, mw.section, w, state, 0.65);
            else if (mw.widgetClass == "Sp")
                DrawSpinner(img, ini, mw.section, w, state);
            else if (mw.widgetClass == "T") {
                Draw(img, w.x, w.y, StatePicture(w, state));
                g_font.Text(img, w.x + 7, w.y + w.h / 2, "Player", -1, 0);
            } else
                DrawButton(img, w, state);
        }
    }
    return img;
}

void Label(Image& page, int x, int y, const std::string& text, double size = 11) {
    cairo_surface_t* s = ToCairo(page);
    cairo_t* cr = cairo_create(s);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_move_to(cr, x, y);
    cairo_set_source_rgb(cr, 0.1, 0.15, 0.25);
    cairo_show_text(cr, text.c_str());
    cairo_destroy(cr);
    page = FromCairo(s);
    cairo_surface_destroy(s);
}

Image Blank(int w, int h) {
    Image img(w, h);
    for (size_t i = 0; i < img.rgba.size(); i += 4)
        img.rgba[i] = img.rgba[i + 1] = img.rgba[i + 2] = img.rgba[i + 3] = 255;
    return img;
}

void Chequer(Image& page, int x, int y, int w, int h) {
    for (int py = y; py < y + h && py < page.height; ++py)
        for (int px = x; px < x + w && px < page.width; ++px) {
            const bool dark = ((px - x) / 8 + (py - y) / 8) % 2;
            uint8_t* p = page.At(px, py);
            p[0] = p[1] = p[2] = dark ? 200 : 230;
        }
}

// Every picture of DATA, TGA and JPEG (masks applied, not shown on their own), packed into pages.
bool PicturePages(const std::string& out) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(g_root) / "DATA")) {
        const std::string file = entry.path().filename().string();
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || file[0] == '_' || (ext != ".tga" && ext != ".jpg"))
            continue;
        // Hero strips have a page of their own, frame by frame.
        if (entry.path().parent_path().filename() == "HERO") continue;
        std::string rel = fs::relative(entry.path(), g_root).string();
        std::replace(rel.begin(), rel.end(), '/', '\\');
        names.push_back(rel);
    }
    std::sort(names.begin(), names.end());
    const int pageW = 1400, pageH = 1000, gap = 12;
    Image page = Blank(pageW, pageH);
    int x = gap, y = 30, rowH = 0, count = 0;
    Label(page, gap, 20, "Pictures", 16);
    auto flush = [&]() {
        if (!WritePng(page, out + "/contact-pictures-" + std::to_string(++count) + ".png"))
            return false;
        page = Blank(pageW, pageH);
        Label(page, gap, 20, "Pictures (continued)", 16);
        x = gap, y = 30, rowH = 0;
        return true;
    };
    for (const std::string& name : names) {
        const Image* p = Picture(name);
        if (!p) continue;
        const int scale = p->width <= 40 && p->height <= 40 ? 2 : 1;
        const int w = std::max(p->width * scale, 110), h = p->height * scale + 16;
        if (x + w > pageW) {
            x = gap;
            y += rowH + gap;
            rowH = 0;
        }
        if (y + h > pageH && !flush()) return false;
        Chequer(page, x, y, p->width * scale, p->height * scale);
        Stretch(page, x, y, p->width * scale, p->height * scale, *p, 0, 0, p->width, p->height);
        Label(page, x, y + p->height * scale + 12,
              name.substr(5) + " " + std::to_string(p->width) + "x" + std::to_string(p->height), 9);
        x += w + gap;
        rowH = std::max(rowH, h);
    }
    return WritePng(page, out + "/contact-pictures-" + std::to_string(++count) + ".png");
}

bool FontPage(const std::string& out) {
    Image page = Blank(900, 260);
    int y = 30;
    for (const char* name : {"DATA\\FontMenu.tga", "DATA\\herofont.tga"}) {
        BitmapFont font;
        Label(page, 10, y - 8, name, 12);
        if (!font.Load(name)) {
            Label(page, 10, y + 12, "(missing)");
            y += 110;
            continue;
        }
        for (int line = 0; line < 4; ++line) {
            std::string text;
            for (int c = 32 + line * 56; c < 32 + (line + 1) * 56 && c < 256; ++c)
                text += static_cast<char>(c);
            font.Text(page, 10, y + line * font.layout.glyphHeight, text, -1, -1);
        }
        y += 4 * font.layout.glyphHeight + 24;
    }
    return WritePng(page, out + "/contact-fonts.png");
}

// Every hero text in a plain balloon of the width the screen corner leaves (516 to 640), its
// lines placed as the hero places them.
bool HeroPage(const std::string& out) {
    BitmapFont font;
    IniFile texts;
    if (!font.Load("DATA\\herofont.tga") || !texts.Load(GamePath(g_root, "DATA\\english.ini")))
        return true; // nothing to show yet
    const auto* hero = texts.Keys("hero");
    if (!hero) return true;
    const int bw = 124, bh = 70, cols = 8, gap = 14;
    const int count = static_cast<int>(hero->size() / 3);
    Image page = Blank(cols * (bw + gap) + gap, (count + cols - 1) / cols * (bh + gap + 14) + 40);
    Label(page, gap, 20, "Hero texts (balloon 124 px wide)", 16);
    for (int i = 0; i < count; ++i) {
        const int x = gap + (i % cols) * (bw + gap), y = 36 + (i / cols) * (bh + gap + 14);
        const std::string key = (*hero)[static_cast<size_t>(i) * 3].first;
        Label(page, x, y + 10, key.substr(0, key.size() - 1), 9);
        Image balloon(bw, bh);
        BevelStyle style;
        style.base = palette::kWhite;
        style.relief = 0.3;
        style.bevel = 4;
        PaintBevelRect(balloon, 0.5, 0.5, bw - 1, bh - 1, 14, style);
        Draw(page, x, y + 14, &balloon);
        std::string line[3];
        for (int l = 0; l < 3; ++l)
            line[l] = (*hero)[static_cast<size_t>(i) * 3 + l].second;
        const int cx = x + bw / 2, top = y + 14;
        if (line[1].empty()) {
            font.Text(page, cx, top + bh / 2, line[0], 0, 0);
        } else if (!line[2].empty()) {
            for (int l = 0; l < 3; ++l)
                font.Text(page, cx, top + (l + 1) * bh / 4, line[l], 0, 0);
        } else {
            font.Text(page, cx, top + bh / 3, line[0], 0, 0);
            font.Text(page, cx, top - 8 + 2 * bh / 3, line[1], 0, 0);
        }
    }
    return WritePng(page, out + "/contact-hero.png");
}

bool ScreenPages(const Manifest& manifest, const std::string& out) {
    std::vector<const ManifestEntry*> screens;
    for (const ManifestEntry& e : manifest.entries)
        if (e.kind == "screen") screens.push_back(&e);
    const int perPage = 4;
    for (size_t first = 0; first < screens.size(); first += perPage) {
        Image page = Blank(2 * 640 + 30, 2 * 480 + 60);
        for (size_t i = first; i < std::min(screens.size(), first + perPage); ++i) {
            const int col = static_cast<int>((i - first) % 2),
                      row = static_cast<int>((i - first) / 2);
            const int ox = 10 + col * 650, oy = 24 + row * 510;
            Label(page, ox, oy - 6, screens[i]->name, 13);
            const Image shot = RenderScreen(*screens[i]);
            Stretch(page, ox, oy, 640, 480, shot, 0, 0, 640, 480);
        }
        if (!WritePng(page,
                      out + "/contact-screens-" + std::to_string(first / perPage + 1) + ".png"))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: content_sheet MANIFEST GAMEDIR OUTDIR\n");
        return 2;
    }
    Manifest manifest;
    std::string error;
    if (!LoadManifest(argv[1], &manifest, &error)) {
        std::fprintf(stderr, "content_sheet: %s\n", error.c_str());
        return 1;
    }
    g_root = argv[2];
    std::error_code ec;
    fs::create_directories(argv[3], ec);
    if (!g_font.Load("DATA\\FontMenu.tga"))
        std::fprintf(stderr, "content_sheet: no menu font, captions left out\n");
    const std::string out = fs::absolute(argv[3]).string();
    bool ok = PicturePages(out) && FontPage(out) && HeroPage(out) && ScreenPages(manifest, out);
    // The pages of play are drawn by the game's own loaders and blitters, from its folder.
    const fs::path here = fs::current_path();
    fs::current_path(g_root, ec);
    if (ec) {
        std::fprintf(stderr, "content_sheet: cannot enter %s\n", g_root.c_str());
        ok = false;
    }
    ok = ok && DrawPlayPages(out);
    fs::current_path(here, ec);
    ReleaseFontCaches();
    return ok ? 0 : 1;
}
