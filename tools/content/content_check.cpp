#include "content_check.h"

#include <filesystem>

#include "glyph_table.h"
#include "jpeg_in.h"
#include "picture.h"
#include "tga.h"

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
        for (const std::string& item : ItemSections(ini, widget.section))
            sections.push_back(item);
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
            Picture(e.name, e.pictureKind);
        } else if (e.kind == "font") {
            Font(e.name);
        } else if (e.kind == "strip") {
            TgaInfo info;
            if (Picture(e.name, "any", &info) && info.height % e.frames != 0)
                Fail(e.name, "height " + std::to_string(info.height) + " is not " +
                                 std::to_string(e.frames) + " equal frames");
        } else if (e.kind == "texture") {
            TgaInfo info;
            auto pow2 = [](int v) { return v > 0 && (v & (v - 1)) == 0; };
            if (Picture(e.name, "any", &info) && (!pow2(info.width) || !pow2(info.height)))
                Fail(e.name, "a triangle texture needs power-of-two sides, has " +
                                 std::to_string(info.width) + "x" + std::to_string(info.height));
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
    bool Picture(const std::string& name, const std::string& kind, TgaInfo* infoOut = nullptr) {
        const std::string path = GamePath(dir_, name);
        if (!std::filesystem::exists(path)) {
            Fail(name, "missing");
            return false;
        }
        if (kind == "jpeg") {
            Image decoded;
            std::string error;
            if (!ReadJpeg(path, &decoded, &error)) {
                problems.push_back(error);
                return false;
            }
            return true;
        }
        TgaInfo info;
        std::string error;
        if (!ReadTgaInfo(path, &info, &error)) {
            problems.push_back(error);
            return false;
        }
        if (infoOut) *infoOut = info;
        const std::string maskPath = GamePath(dir_, MaskName(name));
        const bool hasMask = std::filesystem::exists(maskPath);
        if (kind == "opaque" && hasMask) Fail(name, "is listed opaque but has a mask");
        if (kind == "masked" && !hasMask && info.bitsPerPixel != 32) Fail(name, "has no mask");
        if (hasMask) {
            TgaInfo mask;
            if (!ReadTgaInfo(maskPath, &mask, &error))
                problems.push_back(error);
            else if (mask.width != info.width || mask.height != info.height)
                Fail(MaskName(name), "is " + std::to_string(mask.width) + "x" +
                                         std::to_string(mask.height) + " but its picture is " +
                                         std::to_string(info.width) + "x" +
                                         std::to_string(info.height));
        }
        return true;
    }

    void Font(const std::string& name) {
        TgaInfo info;
        if (!Picture(name, "masked", &info)) return;
        std::string fh = name.substr(0, name.find_last_of('.')) + ".fh";
        GlyphTable table;
        std::string error;
        if (!ReadGlyphTable(GamePath(dir_, fh), &table, &error)) {
            problems.push_back(error);
            return;
        }
        if (table.glyphHeight <= 0 || table.glyphHeight > info.height)
            Fail(fh, "glyph height does not fit the picture");
        for (const GlyphLine& g : table.lines)
            if (g.x + g.width > info.width || g.y + table.glyphHeight > info.height)
                Fail(fh, "glyph " + std::to_string(g.code) + " lies outside the picture");
        const FontLayout layout = ResolveLayout(&table, info.width, info.height);
        for (int c = 33; c < 127; ++c)
            if (layout.width[c] == 0)
                Fail(fh, "printable character " + std::to_string(c) + " has no glyph");
        if (layout.spaceAdvance <= 0) Fail(fh, "spaces would not advance");
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
            for (const std::string& s : SectionsOfWidget(ini, w))
                sections.push_back(s);
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

std::vector<std::string> CheckContent(const std::string& gameDir, const Manifest& manifest) {
    Checker checker(gameDir);
    for (const ManifestEntry& e : manifest.entries)
        checker.Entry(e);
    return checker.problems;
}

} // namespace content
