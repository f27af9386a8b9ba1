// Compiles "Key = text" lines into the installer's "str2" string table:
//   header (magic, version 1, key count, text-table offset, language count 1, language-table
//   offset), key table (offset, length per key), one 32-byte language record "Eng", text table
//   (offset, length per key in key-table order), the texts, then the key names; each text and
//   name ends with a zero byte. The key table is sorted by name length, then ignoring case,
//   because the installer's lookup is a binary search in that order.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <strings.h>
#include <vector>

namespace {

struct Entry {
    std::string key, text;
};

bool KeyOrder(const Entry& a, const Entry& b) {
    if (a.key.size() != b.key.size()) return a.key.size() < b.key.size();
    return strcasecmp(a.key.c_str(), b.key.c_str()) < 0;
}

bool Unescape(const std::string& in, std::string* out, std::string* error) {
    out->clear();
    for (size_t i = 0; i < in.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(in[i]);
        if (c >= 0x80) {
            *error = "write characters beyond ASCII as \\xNN (Windows-1252)";
            return false;
        }
        if (c != '\\') {
            *out += static_cast<char>(c);
            continue;
        }
        if (++i >= in.size()) {
            *error = "a backslash ends the line";
            return false;
        }
        if (in[i] == 'n')
            *out += '\n';
        else if (in[i] == '\\')
            *out += '\\';
        else if (in[i] == 'x' && i + 2 < in.size() &&
                 std::isxdigit(static_cast<unsigned char>(in[i + 1])) &&
                 std::isxdigit(static_cast<unsigned char>(in[i + 2]))) {
            *out += static_cast<char>(std::stoi(in.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            *error = std::string("unknown escape \\") + in[i];
            return false;
        }
    }
    return true;
}

void PutWord(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

std::vector<uint8_t> Build(std::vector<Entry> entries) {
    std::sort(entries.begin(), entries.end(), KeyOrder);
    const size_t n = entries.size();
    const size_t keyTable = 24, languageTable = keyTable + 8 * n, textTable = languageTable + 32;
    std::vector<uint8_t> out(textTable + 8 * n, 0);
    std::copy_n("str2", 4, out.begin());
    PutWord(out, 4, 1);
    PutWord(out, 8, static_cast<uint32_t>(n));
    PutWord(out, 12, static_cast<uint32_t>(textTable));
    PutWord(out, 16, 1);
    PutWord(out, 20, static_cast<uint32_t>(languageTable));
    std::copy_n("Eng", 3, out.begin() + languageTable);
    auto append = [&out](const std::string& s) {
        const size_t at = out.size();
        out.insert(out.end(), s.begin(), s.end());
        out.push_back(0);
        return static_cast<uint32_t>(at);
    };
    // Texts are laid out in alphabetical key order, the key names after them.
    std::vector<size_t> alphabetical(n);
    for (size_t i = 0; i < n; ++i) alphabetical[i] = i;
    std::stable_sort(alphabetical.begin(), alphabetical.end(), [&](size_t a, size_t b) {
        return strcasecmp(entries[a].key.c_str(), entries[b].key.c_str()) < 0;
    });
    for (size_t i : alphabetical) {
        PutWord(out, textTable + 8 * i, append(entries[i].text));
        PutWord(out, textTable + 8 * i + 4, static_cast<uint32_t>(entries[i].text.size()));
    }
    for (size_t i = 0; i < n; ++i) {
        PutWord(out, keyTable + 8 * i, append(entries[i].key));
        PutWord(out, keyTable + 8 * i + 4, static_cast<uint32_t>(entries[i].key.size()));
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: strtable <source.txt> <table.bin>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "strtable: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<Entry> entries;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const size_t eq = line.find(" = ");
        Entry entry;
        std::string error = "expected \"Key = text\"";
        if (eq != std::string::npos) {
            entry.key = line.substr(0, eq);
            const bool keyOk =
                !entry.key.empty() && std::all_of(entry.key.begin(), entry.key.end(), [](char c) {
                    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
                });
            if (!keyOk)
                error = "a key is made of letters, digits and '_'";
            else if (Unescape(line.substr(eq + 3), &entry.text, &error))
                error.clear();
        }
        for (const Entry& other : entries)
            if (error.empty() && strcasecmp(other.key.c_str(), entry.key.c_str()) == 0)
                error = "key " + entry.key + " appears twice";
        if (!error.empty()) {
            std::fprintf(stderr, "%s:%d: %s\n", argv[1], number, error.c_str());
            return 1;
        }
        entries.push_back(entry);
    }
    const std::vector<uint8_t> table = Build(entries);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(table.data()),
              static_cast<std::streamsize>(table.size()));
    if (!out) {
        std::fprintf(stderr, "strtable: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
