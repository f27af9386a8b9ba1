#include "install/stringtable.h"

#include <cctype>

namespace inst {

static const size_t kKeyTable = 24;

uint32_t StringTable::Word(size_t offset) const {
    return static_cast<uint32_t>(data_[offset]) | static_cast<uint32_t>(data_[offset + 1]) << 8 |
           static_cast<uint32_t>(data_[offset + 2]) << 16 |
           static_cast<uint32_t>(data_[offset + 3]) << 24;
}

bool StringTable::Load(const unsigned char* data, size_t size) {
    data_ = data;
    size_ = size;
    count_ = 0;
    auto fail = [this] {
        data_ = nullptr;
        size_ = 0;
        count_ = 0;
        return false;
    };
    if (!data || size < kKeyTable || data[0] != 's' || data[1] != 't' || data[2] != 'r' ||
        data[3] != '2' || Word(4) != 1)
        return fail();
    const uint64_t count = Word(8), textTable = Word(12);
    if (kKeyTable + 8 * count > size || textTable + 8 * count > size) return fail();
    // Each name and text must lie inside the table, so a lookup never reads past it.
    for (uint64_t i = 0; i < count; ++i) {
        for (uint64_t entry : {kKeyTable + 8 * i, textTable + 8 * i}) {
            const uint64_t offset = Word(static_cast<size_t>(entry));
            const uint64_t length = Word(static_cast<size_t>(entry + 4));
            if (offset + length > size) return fail();
        }
    }
    count_ = static_cast<size_t>(count);
    textTable_ = static_cast<size_t>(textTable);
    return true;
}

// Negative when the wanted key sorts before the entry's name.
static int CompareKey(const char* key, size_t length, const unsigned char* name,
                      size_t nameLength) {
    if (length != nameLength) return length < nameLength ? -1 : 1;
    for (size_t i = 0; i < length; ++i) {
        const int a = std::tolower(static_cast<unsigned char>(key[i]));
        const int b = std::tolower(name[i]);
        if (a != b) return a - b;
    }
    return 0;
}

bool StringTable::Lookup(const char* key, size_t length, std::string* text) const {
    size_t low = 0, high = count_;
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        const size_t entry = kKeyTable + 8 * middle;
        const int order = CompareKey(key, length, data_ + Word(entry), Word(entry + 4));
        if (order == 0) {
            const size_t textEntry = textTable_ + 8 * middle;
            text->assign(reinterpret_cast<const char*>(data_ + Word(textEntry)),
                         Word(textEntry + 4));
            return true;
        }
        if (order < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return false;
}

} // namespace inst
