#include "glyph_table.h"

#include <fstream>

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
    for (const GlyphCell& g : table.lines)
        out << g.code << ' ' << g.x << ' ' << g.y << ' ' << g.width << " 0\r\n";
    out.close();
    if (!out) {
        if (error) *error = path + ": write failed";
        return false;
    }
    return true;
}

} // namespace content
