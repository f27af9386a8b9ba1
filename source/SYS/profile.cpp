#include "SYS/profile.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "SYS/files.h"
#include "SYS/textcodec.h"

namespace sys {
namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";

std::string_view Trim(std::string_view text) {
    size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return text.substr(text.size());
    size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// One line of an INI file, as offsets into the text and views of its parts.
struct Line {
    enum Kind { kBlank, kComment, kSection, kKey };
    Kind kind = kBlank;
    size_t begin = 0; // first byte
    size_t end = 0;   // end of the content, before the line end
    size_t next = 0;  // first byte of the next line
    std::string_view name;
    std::string_view value; // keys only; without the surrounding blanks
};

Line ParseLine(std::string_view text, size_t begin) {
    Line line;
    line.begin = begin;
    size_t newline = text.find('\n', begin);
    line.next = newline == std::string_view::npos ? text.size() : newline + 1;
    line.end = newline == std::string_view::npos ? text.size() : newline;
    if (line.end > begin && text[line.end - 1] == '\r') --line.end;
    std::string_view content = Trim(text.substr(begin, line.end - begin));
    if (content.empty()) {
        line.kind = Line::kBlank;
    } else if (content[0] == ';') {
        line.kind = Line::kComment;
    } else if (content[0] == '[') {
        // The name runs to the last ']'; a header missing it takes the rest of the line.
        line.kind = Line::kSection;
        size_t close = content.rfind(']');
        if (close == 0) close = std::string_view::npos;
        line.name = Trim(content.substr(1, close == std::string_view::npos ? close : close - 1));
    } else {
        // A line without '=' is a key with an empty value.
        line.kind = Line::kKey;
        size_t equals = content.find('=');
        line.name = Trim(content.substr(0, equals));
        if (equals != std::string_view::npos) line.value = Trim(content.substr(equals + 1));
    }
    return line;
}

std::vector<Line> ParseIni(std::string_view text) {
    std::vector<Line> lines;
    for (size_t begin = 0; begin < text.size();) {
        lines.push_back(ParseLine(text, begin));
        begin = lines.back().next;
    }
    return lines;
}

constexpr size_t kNone = size_t(-1);

// Index of the header of the first section called `name`, or kNone.
size_t FindSection(const std::vector<Line>& lines, std::string_view name, size_t from = 0) {
    for (size_t i = from; i < lines.size(); ++i)
        if (lines[i].kind == Line::kSection && EqualIgnoringCase(lines[i].name, name)) return i;
    return kNone;
}

// One past the last line of the section whose header is lines[header].
size_t SectionEnd(const std::vector<Line>& lines, size_t header) {
    size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != Line::kSection) ++i;
    return i;
}

size_t FindKey(const std::vector<Line>& lines, size_t header, std::string_view key) {
    for (size_t i = header + 1, end = SectionEnd(lines, header); i < end; ++i)
        if (lines[i].kind == Line::kKey && EqualIgnoringCase(lines[i].name, key)) return i;
    return kNone;
}

// Names listed once each, as the first match hides later ones.
void AddUnique(std::vector<std::string_view>& names, std::string_view name) {
    for (std::string_view known : names)
        if (EqualIgnoringCase(known, name)) return;
    names.push_back(name);
}

std::vector<std::string_view> SectionNames(const std::vector<Line>& lines) {
    std::vector<std::string_view> names;
    for (const Line& line : lines)
        if (line.kind == Line::kSection) AddUnique(names, line.name);
    return names;
}

std::vector<std::string_view> KeyNames(const std::vector<Line>& lines, size_t header) {
    std::vector<std::string_view> names;
    for (size_t i = header + 1, end = SectionEnd(lines, header); i < end; ++i)
        if (lines[i].kind == Line::kKey) AddUnique(names, lines[i].name);
    return names;
}

// A value in matching quotes (double or single, as Windows documents) is read without them.
std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

size_t CopyValue(std::string_view value, char* buffer, size_t size) {
    size_t length = value.size() < size - 1 ? value.size() : size - 1;
    if (length > 0) std::memcpy(buffer, value.data(), length); // an empty view may have no data
    buffer[length] = '\0';
    return length;
}

// Names each ended by '\0', the list by a second '\0'; a list too long for the buffer is cut and
// still ends in two '\0', and the result is then size - 2, as Windows does.
size_t CopyList(const std::vector<std::string_view>& names, char* buffer, size_t size) {
    if (size < 2) {
        if (size == 1) buffer[0] = '\0';
        return 0;
    }
    std::string joined;
    for (std::string_view name : names) {
        joined.append(name);
        joined += '\0';
    }
    if (joined.size() + 1 <= size) {
        std::memcpy(buffer, joined.data(), joined.size());
        buffer[joined.size()] = '\0';
        if (joined.empty()) buffer[1] = '\0';
        return joined.size();
    }
    std::memcpy(buffer, joined.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

bool LoadText(const char* fileName, std::string& text) {
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(fileName, bytes)) return false;
    text.assign(bytes.begin(), bytes.end());
    return true;
}

// The value of section/key, or null when either is missing.
const std::string_view* FindValue(const std::vector<Line>& lines, const char* section,
                                  const char* key) {
    size_t header = FindSection(lines, Trim(section));
    if (header == kNone) return nullptr;
    size_t found = FindKey(lines, header, Trim(key));
    return found == kNone ? nullptr : &lines[found].value;
}

// New lines follow the file's own line ends; new files get the Windows ones.
std::string LineEndOf(std::string_view text) {
    size_t newline = text.find('\n');
    if (newline != std::string_view::npos && (newline == 0 || text[newline - 1] != '\r'))
        return "\n";
    return "\r\n";
}

bool HasLineBreak(const char* text) {
    return text && std::strpbrk(text, "\r\n");
}

// Text of the file with the lines [first, last) removed.
std::string WithoutLines(std::string_view text, const std::vector<Line>& lines, size_t first,
                         size_t last) {
    std::string result(text.substr(0, lines[first].begin));
    result.append(text.substr(last < lines.size() ? lines[last].begin : text.size()));
    return result;
}

std::string WithoutSection(std::string_view text, std::string_view section) {
    std::string result(text);
    for (;;) {
        std::vector<Line> lines = ParseIni(result);
        size_t header = FindSection(lines, section);
        if (header == kNone) return result;
        result = WithoutLines(result, lines, header, SectionEnd(lines, header));
    }
}

std::string WithoutKey(std::string_view text, std::string_view section, std::string_view key) {
    std::string result(text);
    for (;;) {
        std::vector<Line> lines = ParseIni(result);
        size_t header = FindSection(lines, section);
        size_t found = header == kNone ? kNone : FindKey(lines, header, key);
        if (found == kNone) return result;
        result = WithoutLines(result, lines, found, found + 1);
    }
}

std::string WithValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value) {
    std::vector<Line> lines = ParseIni(text);
    std::string eol = LineEndOf(text);
    std::string entry = std::string(key) + "=" + std::string(value);
    size_t header = FindSection(lines, section);
    if (header == kNone) {
        std::string result(text);
        if (!result.empty() && result.back() != '\n') result += eol;
        return result + "[" + std::string(section) + "]" + eol + entry + eol;
    }
    size_t found = FindKey(lines, header, key);
    if (found != kNone) {
        // Rewrite from the key name on, keeping its spelling and the line's indentation.
        const Line& line = lines[found];
        size_t nameAt = size_t(line.name.data() - text.data());
        return std::string(text.substr(0, nameAt)) + std::string(line.name) + "=" +
               std::string(value) + std::string(text.substr(line.end));
    }
    // Append after the section's last non-blank line, so blank separators stay where they are.
    size_t last = header;
    for (size_t i = header + 1, end = SectionEnd(lines, header); i < end; ++i)
        if (lines[i].kind != Line::kBlank) last = i;
    const Line& after = lines[last];
    if (text[after.next - 1] != '\n') // the file's last line, without a line end
        return std::string(text) + eol + entry;
    return std::string(text.substr(0, after.next)) + entry + eol +
           std::string(text.substr(after.next));
}

} // namespace

size_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                               char* buffer, size_t size, const char* fileName) {
    if (!buffer || size == 0) return 0;
    std::string text;
    if (!fileName || !LoadText(fileName, text)) text.clear();
    std::vector<Line> lines = ParseIni(text);
    if (!section) return CopyList(SectionNames(lines), buffer, size);
    if (!key) {
        size_t header = FindSection(lines, Trim(section));
        std::vector<std::string_view> names;
        if (header != kNone) names = KeyNames(lines, header);
        return CopyList(names, buffer, size);
    }
    if (const std::string_view* value = FindValue(lines, section, key))
        return CopyValue(Unquote(*value), buffer, size);
    // Windows drops trailing blanks of the default.
    std::string_view fallback = defaultValue ? defaultValue : "";
    size_t last = fallback.find_last_not_of(" \t");
    return CopyValue(fallback.substr(0, last == std::string_view::npos ? 0 : last + 1), buffer,
                     size);
}

int GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                         const char* fileName) {
    std::string text;
    if (!section || !key || !fileName || !LoadText(fileName, text)) return defaultValue;
    std::vector<Line> lines = ParseIni(text);
    const std::string_view* found = FindValue(lines, section, key);
    if (!found) return defaultValue;
    std::string_view value = Trim(Unquote(*found));
    if (value.empty()) return defaultValue;
    // Optional sign, then the leading decimal digits; 32-bit arithmetic wraps as in Windows.
    size_t pos = 0;
    bool negative = value[0] == '-';
    if (value[0] == '-' || value[0] == '+') ++pos;
    uint32_t number = 0;
    for (; pos < value.size() && value[pos] >= '0' && value[pos] <= '9'; ++pos)
        number = number * 10u + uint32_t(value[pos] - '0');
    if (negative) number = 0u - number;
    return int32_t(number);
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* fileName) {
    if (!fileName) return false;
    // All null only flushes Windows' cache; there is none here.
    if (!section) return !key && !value;
    // A line break, a '=' in a key or a key that reads as a header or comment would change the
    // file's structure instead of storing the value.
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
    std::string_view sectionName = Trim(section);
    std::string_view keyName = key ? Trim(key) : std::string_view();
    if (key && (keyName.find('=') != std::string_view::npos ||
                (!keyName.empty() && (keyName[0] == '[' || keyName[0] == ';'))))
        return false;

    std::string text;
    bool exists = FileExists(fileName);
    if (exists && !LoadText(fileName, text)) return false; // never replace what we cannot read

    std::string updated;
    if (!key)
        updated = WithoutSection(text, sectionName);
    else if (!value)
        updated = WithoutKey(text, sectionName, keyName);
    else
        updated = WithValue(text, sectionName, keyName, value);
    if (updated == text) return true;
    return ReplaceFileAtomically(fileName, updated);
}

} // namespace sys
