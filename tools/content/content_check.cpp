#include "content_check.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "GRAPH/font.h"
#include "picture.h"
#include "picture_in.h"

namespace content {

std::vector<std::string> StatePictures(const IniFile& ini, const std::string& section) {
    std::vector<std::string> names;
    for (const char* key : {"ignore", "normal", "active", "press"}) {
        const std::string value = ini.Get(section, key);
        if (value.empty()) break;
        names.push_back(value);
    }
    return names;
}

std::vector<std::string> ItemSections(const IniFile& ini, const std::string& section) {
    std::vector<std::string> items;
    for (int i = 0; i <= 9; ++i) {
        const std::string value = ini.Get(section, std::to_string(i));
        if (value.empty()) break;
        items.push_back(value);
    }
    return items;
}

std::vector<std::string> SectionsOfWidget(const IniFile& ini, const ManifestWidget& widget) {
    std::vector<std::string> sections{widget.section};
    if (widget.widgetClass == "S" || widget.widgetClass == "Sp")
        for (const std::string& item : ItemSections(ini, widget.section)) sections.push_back(item);
    if (widget.widgetClass == "Sp") {
        sections.push_back("left");
        sections.push_back("right");
    }
    return sections;
}

namespace {

class Checker {
public:
    Checker(const std::string& gameDir) : dir_(gameDir) {}
    std::vector<std::string> problems;

    void Entry(const ManifestEntry& e) {
        if (e.kind == "file") {
            if (!std::filesystem::is_regular_file(GamePath(dir_, e.name))) Fail(e.name, "missing");
        } else if (e.kind == "picture") {
            PictureInfo info;
            if (Picture(e.name, e.pictureKind, &info) && e.pictureKind != "jpeg") Shape(e, info, 1);
        } else if (e.kind == "font") {
            Font(e.name);
        } else if (e.kind == "strip") {
            PictureInfo info;
            if (!Picture(e.name, "any", &info)) return;
            if (info.height % e.frames != 0)
                Fail(e.name, "height " + std::to_string(info.height) + " is not " +
                                 std::to_string(e.frames) + " equal frames");
            else
                Shape(e, info, e.frames);
        } else if (e.kind == "texture") {
            PictureInfo info;
            auto pow2 = [](int v) { return v > 0 && (v & (v - 1)) == 0; };
            if (!Picture(e.name, "any", &info)) return;
            if (!pow2(info.width) || !pow2(info.height))
                Fail(e.name, "a triangle texture needs power-of-two sides, has " +
                                 std::to_string(info.width) + "x" + std::to_string(info.height));
            Shape(e, info, 1);
        } else if (e.kind == "tiles") {
            Tiles(e);
        } else if (e.kind == "hero") {
            Hero(e);
        } else if (e.kind == "screen") {
            Screen(e);
        } else if (e.kind == "keys") {
            Keys(e);
        }
    }

private:
    void Fail(const std::string& name, const std::string& why) {
        problems.push_back(name + ": " + why);
    }

    // kind: "masked" needs a mask (or its own alpha), "opaque" must have none, "any" may have
    // either; a mask present must match the picture's size.
    bool Picture(const std::string& name, const std::string& kind, PictureInfo* infoOut = nullptr) {
        const std::string path = GamePath(dir_, name);
        if (!std::filesystem::exists(path)) {
            Fail(name, "missing");
            return false;
        }
        if (kind == "jpeg") {
            // The game picks its reader by the name.
            Image decoded;
            const bool named =
                name.size() > 4 && EqualsIgnoringCase(name.substr(name.size() - 4), ".jpg");
            if (!named || !ReadPicture(path, &decoded, nullptr)) {
                Fail(name, "is not a readable JPEG");
                return false;
            }
            return true;
        }
        PictureInfo info;
        std::string error;
        if (!ReadPictureInfo(path, &info, &error)) {
            problems.push_back(error);
            return false;
        }
        if (infoOut) *infoOut = info;
        const std::string maskPath = GamePath(dir_, MaskName(name));
        const bool hasMask = std::filesystem::exists(maskPath);
        if (kind == "opaque" && hasMask) Fail(name, "is listed opaque but has a mask");
        if (kind == "masked" && !hasMask && info.bitsPerPixel != 32) Fail(name, "has no mask");
        if (hasMask) {
            PictureInfo mask;
            if (!ReadPictureInfo(maskPath, &mask, &error))
                problems.push_back(error);
            else if (mask.width != info.width || mask.height != info.height)
                Fail(MaskName(name), "is " + std::to_string(mask.width) + "x" +
                                         std::to_string(mask.height) + " but its picture is " +
                                         std::to_string(info.width) + "x" +
                                         std::to_string(info.height));
        }
        return true;
    }

    // The size and shared mask a picture line asks for; frames > 1 for strips.
    void Shape(const ManifestEntry& e, const PictureInfo& info, int frames) {
        const int frameHeight = info.height / frames;
        if (e.width > 0 && (info.width != e.width || frameHeight != e.height))
            Fail(e.name, "is " + std::to_string(info.width) + "x" + std::to_string(frameHeight) +
                             (frames > 1 ? " a frame" : "") + ", must be " +
                             std::to_string(e.width) + "x" + std::to_string(e.height));
        if (e.mask.empty()) return;
        PictureInfo mask;
        std::string error;
        if (!std::filesystem::exists(GamePath(dir_, e.mask)))
            Fail(e.mask, "missing (the mask of " + e.name + ")");
        else if (!ReadPictureInfo(GamePath(dir_, e.mask), &mask, &error))
            problems.push_back(error);
        else if (mask.width != info.width || mask.height != info.height)
            Fail(e.mask, "is " + std::to_string(mask.width) + "x" + std::to_string(mask.height) +
                             " but " + e.name + " is " + std::to_string(info.width) + "x" +
                             std::to_string(info.height));
    }

    // A repeating picture's wrap must look like any other step between neighbouring rows
    // (columns): its mean difference may exceed the picture's own mean step only a little.
    void Tiles(const ManifestEntry& e) {
        Image img;
        std::string error;
        const std::string path = GamePath(dir_, e.name);
        if (!std::filesystem::exists(path)) {
            Fail(e.name, "missing");
            return;
        }
        if (!ReadPicture(path, &img, &error)) {
            problems.push_back(error);
            return;
        }
        const int period = e.tiling == "fall" ? img.height - 1 : img.height;
        if (period < 2 || img.width < 2) {
            Fail(e.name, "is too small to repeat");
            return;
        }
        const SeamMeasure rows = RowSeam(img, period);
        if (!rows.Seamless())
            Fail(e.name, "shows a seam where its rows wrap (step " + std::to_string(rows.wrap) +
                             ", its rows step " + std::to_string(rows.inner) + " on average)");
        if (e.tiling == "both") {
            const SeamMeasure columns = ColumnSeam(img);
            if (!columns.Seamless())
                Fail(e.name, "shows a seam where its columns wrap (step " +
                                 std::to_string(columns.wrap) + ", its columns step " +
                                 std::to_string(columns.inner) + " on average)");
        }
    }

    void Hero(const ManifestEntry& e) {
        IniFile ini;
        if (!ini.Load(GamePath(dir_, e.name))) {
            Fail(e.name, "missing");
            return;
        }
        for (const std::string& section : e.keys) {
            const std::string where = e.name + " [" + section + "]";
            const int frames = ini.GetInt(section, "length");
            const std::string picture = ini.Get(section, "name");
            if (frames <= 0 || ini.GetInt(section, "time") <= 0 || picture.empty()) {
                Fail(where, "needs a length, a time and a name");
                continue;
            }
            PictureInfo info;
            if (!Picture(picture, "masked", &info)) continue;
            if (info.height % frames != 0) {
                Fail(picture, "height " + std::to_string(info.height) + " is not " +
                                  std::to_string(frames) + " equal frames as " + where + " says");
                continue;
            }
            const int x = ini.GetInt(section, "x"), y = ini.GetInt(section, "y");
            if (x < 0 || y < 0 || x + info.width > 640 || y + info.height / frames > 480)
                Fail(where, "puts its frames off the screen");
        }
    }

    // The font as the game's loader takes it from its picture and glyph table.
    void Font(const std::string& name) {
        PictureInfo info;
        if (!Picture(name, "masked", &info)) return;
        const std::string fh = name.substr(0, name.find_last_of('.')) + ".fh";
        if (!std::filesystem::exists(GamePath(dir_, fh))) {
            Fail(fh, "missing");
            return;
        }
        ::Font* font = LoadFont(GamePath(dir_, name).c_str());
        if (font->GlyphHeight() <= 0 || font->GlyphHeight() > info.height)
            Fail(fh, "glyph height does not fit the picture");
        for (int c = 33; c < 256; ++c)
            if (font->glyphWidth[c] > 0 && (font->glyphX[c] + font->glyphWidth[c] > info.width ||
                                            font->glyphY[c] + font->GlyphHeight() > info.height))
                Fail(fh, "glyph " + std::to_string(c) + " lies outside the picture");
        for (int c = 33; c < 127; ++c)
            if (font->glyphWidth[c] == 0)
                Fail(fh, "printable character " + std::to_string(c) + " has no glyph");
        if (font->SpaceAdvance() <= 0) Fail(fh, "spaces would not advance");
        ReleaseFont(font); // the registry's reference: the check holds no picture after it
    }

    void Screen(const ManifestEntry& e) {
        IniFile ini;
        if (!ini.Load(GamePath(dir_, e.name))) {
            Fail(e.name, "missing");
            return;
        }
        std::vector<std::string> sections{"main"};
        for (const ManifestWidget& w : e.widgets) {
            if (w.widgetClass == "S" && ItemSections(ini, w.section).size() < 2)
                Fail(e.name, "slider " + w.section + " needs items 0 and 1");
            for (const std::string& s : SectionsOfWidget(ini, w)) sections.push_back(s);
        }
        for (const std::string& s : sections) {
            if (!ini.HasSection(s)) {
                Fail(e.name, "section [" + s + "] is missing");
                continue;
            }
            StateKeysInOrder(ini, e.name, s);
            for (const std::string& picture : StatePictures(ini, s)) {
                const std::string path = GamePath(dir_, picture);
                if (!std::filesystem::exists(path))
                    Fail(e.name, "[" + s + "] names " + picture + ", which does not exist");
            }
        }
        if (ini.GetInt("main", "xs") <= 0 || ini.GetInt("main", "ys") <= 0)
            Fail(e.name, "[main] has no size");
    }

    // The game stops reading state pictures at the first missing one; any after it are lost.
    void StateKeysInOrder(const IniFile& ini, const std::string& file, const std::string& section) {
        const char* keys[] = {"ignore", "normal", "active", "press"};
        const char* gap = nullptr;
        for (const char* key : keys) {
            if (ini.Get(section, key).empty()) {
                if (!gap) gap = key;
            } else if (gap) {
                Fail(file, "[" + section + "] names a " + key + " picture after the missing " +
                               gap + " one; the game reads none after the gap");
                return;
            }
        }
    }

    void Keys(const ManifestEntry& e) {
        IniFile ini;
        if (!ini.Load(GamePath(dir_, e.name))) {
            Fail(e.name, "missing");
            return;
        }
        for (const std::string& key : e.keys)
            if (ini.Get(e.section, key).empty())
                Fail(e.name, "[" + e.section + "] " + key + " is empty");
    }

    std::string dir_;
};

} // namespace

SeamMeasure RowSeam(const Image& img, int period) {
    auto step = [&](int a, int b) {
        double sum = 0;
        for (int x = 0; x < img.width; ++x)
            for (int c = 0; c < 3; ++c) sum += std::abs(img.At(x, a)[c] - img.At(x, b)[c]);
        return sum / (img.width * 3);
    };
    SeamMeasure m;
    for (int y = 0; y + 1 < period; ++y) m.inner += step(y, y + 1);
    m.inner /= period - 1;
    m.wrap = step(period - 1, 0);
    return m;
}

SeamMeasure ColumnSeam(const Image& img) {
    Image turned(img.height, img.width);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            std::copy(img.At(x, y), img.At(x, y) + 4, turned.At(y, x));
    return RowSeam(turned, turned.height);
}

std::vector<std::string> CheckContent(const std::string& gameDir, const Manifest& manifest) {
    Checker checker(gameDir);
    for (const ManifestEntry& e : manifest.entries) checker.Entry(e);
    return checker.problems;
}

} // namespace content
