// content_sheet MANIFEST GAMEDIR OUTDIR
// Renders the content for review into PNG pages, all drawn by the game's own code in the game
// folder: every picture of DATA on a chequerboard, both fonts, every hero text in the hero's
// balloon, every screen of the manifest as the game shows it, and the pages of play.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "GAME/game_ini.h"
#include "GAME/hero.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/font.h"
#include "GRAPH/graph.h"
#include "canvas.h"
#include "ini_file.h"
#include "manifest.h"
#include "picture.h"
#include "play_pages.h"
#include "screen_pages.h"

using namespace content;

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kPaper = 0xffffffff;

// Dark text with its top-left at (x, y), in the hero's narrow face.
void Label(Canvas& page, int x, int y, const std::string& text) {
    DrawText(page.get(), LoadFont("DATA\\herofont.tga"), x, y, text.c_str(), 0.0f, -1, -1);
}

void Chequer(Canvas& page, int x, int y, int w, int h) {
    for (int py = 0; py < h; py += 8)
        for (int px = 0; px < w; px += 8) {
            const bool dark = (px / 8 + py / 8) % 2;
            page->FillRect(x + px, y + py, x + std::min(px + 8, w), y + std::min(py + 8, h),
                           dark ? 0xffc8c8c8 : 0xffe6e6e6);
        }
}

// The shared mask the manifest gives a picture, or null for its own "_name" mask.
const char* SharedMask(const Manifest& manifest, const std::string& name) {
    for (const ManifestEntry& e : manifest.entries)
        if (!e.mask.empty() && EqualsIgnoringCase(e.name, name)) return e.mask.c_str();
    return nullptr;
}

// Every picture of DATA, TGA and JPEG, loaded and blended as the game does (masks applied, not
// shown on their own), packed into pages.
bool PicturePages(const Manifest& manifest, const std::string& out) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator("DATA")) {
        const std::string file = entry.path().filename().string();
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || file[0] == '_' || (ext != ".tga" && ext != ".jpg"))
            continue;
        // Hero strips have a page of their own, frame by frame.
        if (entry.path().parent_path().filename() == "HERO") continue;
        std::string rel = entry.path().string();
        std::replace(rel.begin(), rel.end(), '/', '\\');
        names.push_back(rel);
    }
    std::sort(names.begin(), names.end());
    const int pageW = 1400, pageH = 1000, gap = 12;
    Canvas page(pageW, pageH);
    int x = gap, y = 30, rowH = 0, count = 0;
    auto start = [&](const char* title) {
        page->FillRect(0, 0, pageW, pageH, kPaper);
        Label(page, gap, 8, title);
        x = gap, y = 30, rowH = 0;
    };
    auto flush = [&]() {
        return WritePng(page.ToImage(),
                        out + "/contact-pictures-" + std::to_string(++count) + ".png");
    };
    start("Pictures");
    for (const std::string& name : names) {
        Sprite* p = LoadSprite(name.c_str(), SharedMask(manifest, name), false);
        if (!p || p->width <= 0) continue;
        const int scale = p->width <= 40 && p->frameHeight <= 40 ? 2 : 1;
        const int sw = p->width * scale, sh = p->frameHeight * scale;
        const std::string label =
            name.substr(5) + " " + std::to_string(p->width) + "x" + std::to_string(p->frameHeight);
        const int w = std::max(sw, TextWidth(LoadFont("DATA\\herofont.tga"), label.c_str(), -1)),
                  h = sh + 18;
        if (x + w > pageW) {
            x = gap;
            y += rowH + gap;
            rowH = 0;
        }
        if (y + h > pageH) {
            if (!flush()) return false;
            start("Pictures (continued)");
        }
        Chequer(page, x, y, sw, sh);
        page->StretchBlit(x, y, sw, sh, p, 0, 0, p->width, p->frameHeight, OP_ALPHA, 0.0f);
        Label(page, x, y + sh + 2, label);
        x += w + gap;
        rowH = std::max(rowH, h);
    }
    const bool ok = flush();
    // The screens load these pictures again, some with other masks, as the game does.
    DestroyUnheldSprites();
    return ok;
}

// Both fonts, every character from the space up, drawn by the game's text drawing.
bool FontPage(const std::string& out) {
    Canvas page(900, 300);
    page->FillRect(0, 0, page.Width(), page.Height(), kPaper);
    int y = 8;
    for (const char* name : {"DATA\\FontMenu.tga", "DATA\\herofont.tga"}) {
        Label(page, 10, y, name);
        y += 20;
        Font* font = LoadFont(name);
        for (int line = 0; line < 4; ++line) {
            std::string text;
            for (int c = 32 + line * 56; c < 32 + (line + 1) * 56 && c < 256; ++c)
                text += static_cast<char>(c);
            DrawText(page.get(), font, 10, y, text.c_str(), 0.0f, -1, -1);
            y += font->GlyphHeight();
        }
        y += 14;
    }
    return WritePng(page.ToImage(), out + "/contact-fonts.png");
}

// Every hero text as the hero shows it: its balloon and lines drawn by the hero itself on a
// screen of its own, cut out around the balloon.
bool HeroPage(const std::string& out) {
    TheHero.load();
    const int cols = 8, gap = 14, left = Hero::kBalloonX - 8, top = Hero::kBalloonY - 8;
    const int bw = 640 - left, bh = (TheHero.balloon ? TheHero.balloon->frameHeight : 80) + 16;
    const int rows = (Hero::kTexts + cols - 1) / cols;
    Canvas page(cols * (bw + gap) + gap, rows * (bh + gap + 16) + 40);
    page->FillRect(0, 0, page.Width(), page.Height(), kPaper);
    Label(page, gap, 8, "Hero texts in the hero's balloon");
    for (int n = 1; n <= Hero::kTexts; ++n) {
        const int i = n - 1, x = gap + (i % cols) * (bw + gap),
                  y = 36 + (i / cols) * (bh + gap + 16);
        Label(page, x, y, Hero::TextKey(n) ? Hero::TextKey(n) : "(none)");
        Canvas screen(640, 480);
        screen->FillRect(0, 0, 640, 480, 0xff2f6f8f);
        TheHero.anim = 0;
        TheHero.text = n;
        {
            DrawingInto into(screen);
            TheHero.draw();
        }
        page->BlitRect(x, y + 16, bw, bh, screen.get(), left, top, 0, 0);
    }
    TheHero.release();
    TheHero = Hero{};
    return WritePng(page.ToImage(), out + "/contact-hero.png");
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
    std::error_code ec;
    fs::create_directories(argv[3], ec);
    const std::string out = fs::absolute(argv[3]).string();
    // The game reads its files from its folder.
    fs::current_path(argv[2], ec);
    if (ec) {
        std::fprintf(stderr, "content_sheet: cannot enter %s\n", argv[2]);
        return 1;
    }
    ReadGameIni(); // the language file of the hero's texts
    std::vector<std::string> screens;
    for (const ManifestEntry& e : manifest.entries)
        if (e.kind == "screen") screens.push_back(e.name);
    const bool ok = PicturePages(manifest, out) && FontPage(out) && HeroPage(out) &&
                    DrawScreenPages(screens, out) && DrawPlayPages(out);
    DestroyUnheldSprites();
    return ok ? 0 : 1;
}
