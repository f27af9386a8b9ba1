#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "art.h"
#include "paint.h"
#include "picture.h"

namespace content {

namespace {

using namespace palette;

// Draws with Cairo onto a picture and takes the result back.
template <typename F> void WithCairo(Image& img, F draw) {
    cairo_surface_t* surface = ToCairo(img);
    cairo_t* cr = cairo_create(surface);
    draw(cr);
    cairo_destroy(cr);
    img = FromCairo(surface);
    cairo_surface_destroy(surface);
}

const Rgb kLetterColours[] = {kCoral, kSun, kLime, kPink, kSun, kCoral, kLavender};

// The game's name in chunky candy letters, each its own colour, outlined in navy and glazed.
void CandyTitle(cairo_t* cr, const char* text, double cx, double baselineY, double size) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text, &ext);
    double x = cx - ext.x_advance / 2;
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int pass = 0; pass < 3; ++pass) {
        double pen = x;
        for (size_t i = 0; text[i]; ++i) {
            const char letter[2] = {text[i], 0};
            cairo_text_extents_t le;
            cairo_text_extents(cr, letter, &le);
            // Letters bob a little, like bubbles on a string.
            const double bob = std::sin(i * 1.7) * size * 0.05;
            cairo_new_path(cr);
            cairo_move_to(cr, pen, baselineY + bob);
            cairo_text_path(cr, letter);
            if (pass == 0) {
                cairo_save(cr);
                cairo_translate(cr, 2.5, 3.5);
                SetColour(cr, kNavy, 0.45);
                cairo_set_line_width(cr, size * 0.16);
                cairo_stroke(cr);
                cairo_restore(cr);
            } else if (pass == 1) {
                SetColour(cr, kNavy);
                cairo_set_line_width(cr, size * 0.13);
                cairo_stroke_preserve(cr);
                const Rgb c = kLetterColours[i % 7];
                cairo_pattern_t* grad = cairo_pattern_create_linear(
                    0, baselineY + bob - size * 0.75, 0, baselineY + bob);
                cairo_pattern_add_color_stop_rgb(grad, 0, Mix(c, kWhite, 0.45).r,
                                                 Mix(c, kWhite, 0.45).g, Mix(c, kWhite, 0.45).b);
                cairo_pattern_add_color_stop_rgb(grad, 0.55, c.r, c.g, c.b);
                cairo_pattern_add_color_stop_rgb(grad, 1, Mix(c, kNavy, 0.25).r,
                                                 Mix(c, kNavy, 0.25).g, Mix(c, kNavy, 0.25).b);
                cairo_set_source(cr, grad);
                cairo_fill(cr);
                cairo_pattern_destroy(grad);
            } else {
                // Glaze: the upper part of each letter catches the light.
                cairo_save(cr);
                cairo_clip(cr);
                cairo_rectangle(cr, pen - 4, baselineY + bob - size, le.x_advance + 8, size * 0.52);
                SetColour(cr, kWhite, 0.35);
                cairo_fill(cr);
                cairo_restore(cr);
            }
            pen += le.x_advance - size * 0.02;
        }
    }
}

void Text(cairo_t* cr, const char* text, double x, double y, double size, Rgb colour,
          bool bold = false) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_move_to(cr, x, y);
    SetColour(cr, colour);
    cairo_show_text(cr, text);
}

void Bubbles(Image& img, const std::vector<std::array<double, 4>>& list) {
    const Rgb colours[] = {kCoral, kSun, kLime, kPink, kLavender, Mix(kDeepSea, kFoam, 0.3)};
    for (const auto& b : list)
        PaintBubble(img, b[0], b[1], b[2], colours[static_cast<int>(b[3]) % 6]);
}

bool Title(const std::string& root) {
    Image img(390, 110);
    Bubbles(img, {{20, 30, 9, 5}, {368, 24, 7, 1}, {378, 70, 5, 0}, {12, 78, 5, 2}});
    WithCairo(img, [](cairo_t* cr) { CandyTitle(cr, "Reefpop", 195, 84, 78); });
    return SavePicture(root, "DATA\\game.tga", img, PictureKind::Masked);
}

bool Logo(const std::string& root) {
    Image img(360, 200);
    Bubbles(img, {{180, 58, 40, 5},
                  {128, 72, 26, 0},
                  {234, 70, 28, 1},
                  {92, 40, 12, 2},
                  {270, 30, 10, 3},
                  {300, 62, 7, 4},
                  {60, 70, 6, 1}});
    WithCairo(img, [](cairo_t* cr) {
        CandyTitle(cr, "Reefpop", 180, 160, 64);
        DrawLabel(cr, "a bubble adventure under the waterfall", 180, 188, 13, kNavy, kWhite, 3);
    });
    return SavePicture(root, "DATA\\logo.tga", img, PictureKind::Masked);
}

struct Page {
    const char* file;
    const char* heading;
    std::vector<const char*> lines; // "*" starts a point, the lines after it explain it
    const char* tip;
};

bool HelpPage(const std::string& root, const Page& page, int index) {
    Image img(440, 300);
    // A little scene: a cluster of bubbles and the launcher's aim.
    const double ox = 350, oy = 80;
    Bubbles(img, {{ox, oy, 14, 0.0 + index},
                  {ox + 28, oy, 14, 1.0 + index},
                  {ox + 56, oy, 14, 0.0 + index},
                  {ox + 14, oy + 24, 14, 0.0 + index},
                  {ox + 42, oy + 24, 14, 2.0 + index},
                  {ox + 28, oy + 48, 14, 3.0 + index}});
    PaintBubble(img, ox + 14, oy + 110, 14, index == 1 ? kSun : (index == 2 ? kLime : kCoral));
    WithCairo(img, [&](cairo_t* cr) {
        cairo_set_line_width(cr, 3);
        cairo_set_dash(cr, std::vector<double>{6, 5}.data(), 2, 0);
        SetColour(cr, kNavy, 0.6);
        cairo_move_to(cr, ox + 14, oy + 92);
        cairo_line_to(cr, ox + 14, oy + 52 + 14);
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0);
        DrawLabel(cr, page.heading, 160, 28, 30, kSun, kNavy, 5);
        double y = 74;
        for (const char* line : page.lines) {
            if (line[0] == '*') {
                if (y > 74) y += 10; // a breath before each new point
                SetColour(cr, kCoral);
                cairo_arc(cr, 16, y - 5, 4.5, 0, 2 * M_PI);
                cairo_fill(cr);
                Text(cr, line + 1, 28, y, 15, kNavy, true);
                y += 24;
            } else {
                Text(cr, line, 28, y, 14, kNavy);
                y += 20;
            }
        }
        DrawLabel(cr, page.tip, 220, 288, 14, Mix(kCoral, kNavy, 0.4), kNavy, 0);
    });
    return SavePicture(root, page.file, img, PictureKind::Masked);
}

bool HelpPages(const std::string& root) {
    const Page pages[] = {
        {"DATA\\help1.tga",
         "Arcade",
         {"*Aim and shoot", "Left and Right turn the launcher,", "Space, Up or a click fires.",
          "*Pop three of a kind", "Groups of three or more burst, and",
          "everything hanging below them drops.", "*Mind the line",
          "Reach the target score before the", "ceiling pushes the reef onto the line!"},
         "Tip: bounce shots off the walls!"},
        {"DATA\\help2.tga",
         "Puzzle",
         {"*Every bubble counts", "Each level is a hand-made riddle.",
          "Clear the whole field to win it.", "*Beat the clock",
          "Your time is your score: the faster", "you clear the reef, the higher you rank.",
          "*Swap to plan ahead", "Swap the loaded bubble with the next",
          "one to save a tricky colour."},
         "Tip: think two shots ahead."},
        {"DATA\\help3.tga",
         "Panic",
         {"*The ceiling races down", "New rows come faster and faster.",
          "Keep popping and never stop!", "*Grab the bonuses", "Bombs, freezes and double points",
          "hide inside the special bubbles.", "*Chain your shots",
          "Big drops earn the best shot bonus.", "How long can you hold the reef?"},
         "Tip: drop big clusters, not singles."},
    };
    for (int i = 0; i < 3; ++i)
        if (!HelpPage(root, pages[i], i)) return false;
    return true;
}

bool Relax(const std::string& root) {
    Image img = PanelPlate(300, 64);
    WithCairo(img, [](cairo_t* cr) {
        DrawLabel(cr, "Relax and enjoy the reef", 148, 26, 15, kNavy, kWhite, 0);
        DrawLabel(cr, "press any key to come back", 148, 44, 11, Mix(kNavy, kPanel, 0.3), kWhite, 0,
                  false);
    });
    return SavePicture(root, "DATA\\relax.tga", img, PictureKind::Masked);
}

bool Exit(const std::string& root) {
    Image img = PanelPlate(400, 300);
    Bubbles(img, {{40, 250, 9, 0}, {62, 262, 6, 1}, {360, 246, 8, 2}, {340, 262, 5, 3}});
    WithCairo(img, [](cairo_t* cr) {
        DrawLabel(cr, "Thanks for playing!", 198, 232, 22, kSun, kNavy, 4.5);
        DrawLabel(cr, "See you back at the reef.", 198, 262, 13, kNavy, kWhite, 0);
    });
    return SavePicture(root, "DATA\\exit.tga", img, PictureKind::Masked);
}

// Panels that bring their own heading: the shared plate with a title and a rule under it. The
// screens place their widgets below the rule.
bool HeadedPanels(const std::string& root) {
    struct Panel {
        const char* file;
        int w, h;
        const char* heading;
        double headingX; // centre; the high-score heading leaves room for its mode's name
    } panels[] = {
        {"DATA\\scorepanel.tga", 490, 440, "High scores", 150},
        {"DATA\\optionpanel.tga", 490, 440, "Options", 243},
        {"DATA\\controlspanel.tga", 490, 300, "Controls", 243},
        {"DATA\\levelpanel.tga", 490, 420, "Level complete!", 243},
        {"DATA\\pausepanel.tga", 300, 320, "Paused", 148},
    };
    for (const Panel& p : panels) {
        Image img = PanelPlate(p.w, p.h);
        WithCairo(img, [&](cairo_t* cr) {
            DrawTitle(cr, p.heading, p.headingX, 36, 25, Mix(kSun, kWhite, 0.35), kSun, kNavy, 2.5);
            SetColour(cr, kNavy, 0.35);
            cairo_rectangle(cr, 30, 56, p.w - 64, 2);
            cairo_fill(cr);
        });
        if (!SavePicture(root, p.file, img, PictureKind::Masked)) return false;
    }
    return true;
}

} // namespace

bool DrawPages(const std::string& root) {
    return Title(root) && Logo(root) && HelpPages(root) && Relax(root) && Exit(root) &&
           HeadedPanels(root);
}

} // namespace content
