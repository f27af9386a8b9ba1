#include "install/gameinfo.h"

#include "install/host/codepage.h"

#include <cctype>
#include <cstdio>

namespace inst {
namespace {

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

// The code page named by "//codepage N" right after the byte-order mark, else 1252.
unsigned CodePageOf(const unsigned char* data, size_t size) {
    static const char kLine[] = "//codepage ";
    const size_t lineChars = sizeof kLine - 1;
    if (size < 13 || size < 2 * (1 + lineChars)) return 1252;
    for (size_t i = 0; i < lineChars; ++i) {
        const unsigned char low = data[2 + 2 * i], high = data[3 + 2 * i];
        if (high != 0 || std::tolower(low) != kLine[i]) return 1252;
    }
    unsigned codePage = 0;
    for (size_t at = 2 * (1 + lineChars); at + 1 < size; at += 2) {
        if (data[at + 1] != 0 || data[at] < '0' || data[at] > '9') break;
        codePage = codePage * 10 + (data[at] - '0');
        if (codePage > 99999) return 1252;
    }
    return codePage;
}

std::string TrimEnd(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

} // namespace

std::string GameInfoText(const unsigned char* data, size_t size) {
    if (size < 2 || data[0] != 0xFF || data[1] != 0xFE)
        return std::string(reinterpret_cast<const char*>(data), size);
    const unsigned codePage = CodePageOf(data, size);
    bool known = true;
    std::string text = host::Utf16ToCodePage(data + 2, size - 2, codePage, &known);
    if (!known)
        std::fprintf(stderr,
                     "install: package information uses unknown code page %u; read as 1252\n",
                     codePage);
    return text;
}

void ParseGameInfo(const unsigned char* data, size_t size, NameMap& values) {
    const std::string text = GameInfoText(data, size);
    const size_t n = text.size();
    size_t i = 0;
    auto skipLine = [&] {
        while (i < n && !IsLineBreak(text[i])) ++i;
    };
    auto store = [&](const std::string& key, const std::string& value) {
        if (!key.empty()) values[key] = value;
    };
    while (i < n) {
        while (i < n && (text[i] == ' ' || IsLineBreak(text[i]))) ++i;
        if (i >= n) break;
        if (text[i] == '#' || text[i] == ';' || text.compare(i, 2, "//") == 0 ||
            text.compare(i, 2, "\\\\") == 0) {
            skipLine();
            continue;
        }
        const size_t keyStart = i;
        while (i < n && text[i] != '=' && !IsLineBreak(text[i])) ++i;
        if (i >= n || IsLineBreak(text[i])) continue; // no "=" on the line: the key is dropped
        const std::string key = TrimEnd(text.substr(keyStart, i - keyStart));
        ++i;
        while (i < n && text[i] == ' ') ++i;
        if (i >= n || IsLineBreak(text[i])) {
            store(key, std::string());
            continue;
        }
        if (text[i] == '"') {
            std::string value;
            bool closed = false;
            for (++i; i < n; ++i) {
                if (text[i] == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                if ((text[i] == '\\' || text[i] == '/') && i + 1 < n) ++i;
                value += text[i];
            }
            if (closed) store(key, value); // a quote still open at the end delivers nothing
            skipLine();
            continue;
        }
        const size_t valueStart = i;
        skipLine();
        store(key, TrimEnd(text.substr(valueStart, i - valueStart)));
    }
}

} // namespace inst
