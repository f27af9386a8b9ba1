// Hostile .fh font descriptions: the parser must stay within the text and keep only lines the
// text really holds, with codes that index the 256-entry glyph table.
#include <cstdlib>

#include "GRAPH/GlyphTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const GlyphTableText table = ParseGlyphTable(reinterpret_cast<const char*>(data), size);
    // A glyph line takes at least four numbers and the spaces between them.
    if (table.lines.size() > size / 8 + 1) std::abort();
    if (table.missingLines < 0 || table.badCodes < 0) std::abort();
    if (int64_t(table.lines.size()) + table.badCodes > table.announcedLines) std::abort();
    return 0;
}
