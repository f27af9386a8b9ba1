#include "glyph_table.h"

#include <fstream>
#include <sstream>

#include "file_bytes.h"

namespace content {

bool WriteGlyphTable(const std::string& path, const GlyphTable& table, std::string* error) {
    std::ofstream out(path, std::ios::binary);
    if (!out) {
        if (error) *error = path + ": cannot create";
        return false;
    }
    out << table.spaceAdvance << "\r\n"
        << table.glyphHeight << "\r\n"
        << table.lines.size() << "\r\n";
    for (const GlyphLine& g : table.lines)
        out << g.code << ' ' << g.x << ' ' << g.y << ' ' << g.width << " 0\r\n";
    out.close();
    if (!out) {
        if (error) *error = path + ": write failed";
        return false;
    }
    return true;
}

bool ParseGlyphTable(const std::string& text, GlyphTable* table, std::string* error) {
    std::istringstream in(text);
    long count = 0;
    GlyphTable got;
    if (!(in >> got.spaceAdvance >> got.glyphHeight >> count)) {
        if (error) *error = "header is not three numbers";
        return false;
    }
    if (count < 0 || count > 4096) {
        if (error) *error = "glyph count out of range";
        return false;
    }
    for (long i = 0; i < count; ++i) {
        GlyphLine g;
        long ignored = 0;
        if (!(in >> g.code >> g.x >> g.y >> g.width >> ignored)) {
            if (error) *error = "glyph line " + std::to_string(i + 1) + " is incomplete";
            return false;
        }
        if (g.code < 0 || g.code > 255 || g.x < 0 || g.y < 0 || g.width < 0 || g.width > 255 ||
            g.x > 0x7FFF || g.y > 0x7FFF) {
            if (error) *error = "glyph line " + std::to_string(i + 1) + " is out of range";
            return false;
        }
        got.lines.push_back(g);
    }
    *table = got;
    return true;
}

bool ReadGlyphTable(const std::string& path, GlyphTable* table, std::string* error) {
    std::string text;
    if (!ReadFileBytes(path, &text)) {
        if (error) *error = path + ": missing";
        return false;
    }
    std::string why;
    if (ParseGlyphTable(text, table, &why)) return true;
    if (error) *error = path + ": " + why;
    return false;
}

FontLayout ResolveLayout(const GlyphTable* table, int pictureWidth, int frameHeight) {
    FontLayout layout{};
    for (int i = 0; i < 256; ++i) {
        layout.x[i] = 0;
        layout.y[i] = static_cast<int16_t>(i * frameHeight);
        layout.width[i] = static_cast<uint8_t>(pictureWidth & 0xFF);
    }
    layout.spaceAdvance = pictureWidth;
    layout.glyphHeight = frameHeight;
    if (!table) return layout;
    layout.spaceAdvance = table->spaceAdvance;
    layout.glyphHeight = table->glyphHeight;
    for (const GlyphLine& g : table->lines) {
        layout.x[g.code] = static_cast<int16_t>(g.x);
        layout.y[g.code] = static_cast<int16_t>(g.y);
        layout.width[g.code] = static_cast<uint8_t>(g.width);
        layout.spaceAdvance = g.width;
    }
    return layout;
}

} // namespace content
