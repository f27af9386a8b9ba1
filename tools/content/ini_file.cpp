#include "ini_file.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

#include "file_bytes.h"

namespace content {

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

namespace {
std::string Trim(const std::string& s) {
    size_t begin = 0, end = s.size();
    while (begin < end && (s[begin] == ' ' || s[begin] == '\t'))
        ++begin;
    while (end > begin && (s[end - 1] == ' ' || s[end - 1] == '\t' || s[end - 1] == '\r'))
        --end;
    return s.substr(begin, end - begin);
}
} // namespace

bool IniFile::Load(const std::string& path) {
    std::string text;
    if (!ReadFileBytes(path, &text)) return false;
    Parse(text);
    return true;
}

void IniFile::Parse(const std::string& text) {
    sections_.clear();
    std::istringstream in(text);
    std::string line;
    Section* current = nullptr;
    while (std::getline(in, line)) {
        const std::string t = Trim(line);
        if (t.empty() || t[0] == ';') continue;
        if (t[0] == '[') {
            const size_t close = t.find(']');
            sections_.push_back(
                {Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1)),
                 {}});
            current = &sections_.back();
            continue;
        }
        const size_t eq = t.find('=');
        if (!current || eq == std::string::npos) continue;
        current->keys.emplace_back(Trim(t.substr(0, eq)), Trim(t.substr(eq + 1)));
    }
}

const IniFile::Section* IniFile::Find(const std::string& section) const {
    for (const Section& s : sections_)
        if (EqualsIgnoringCase(s.name, section)) return &s;
    return nullptr;
}

bool IniFile::HasSection(const std::string& section) const {
    return Find(section) != nullptr;
}

std::string IniFile::Get(const std::string& section, const std::string& key) const {
    const Section* s = Find(section);
    if (!s) return {};
    for (const auto& kv : s->keys)
        if (EqualsIgnoringCase(kv.first, key)) return kv.second;
    return {};
}

int IniFile::GetInt(const std::string& section, const std::string& key) const {
    return std::atoi(Get(section, key).c_str());
}

std::vector<std::string> IniFile::SectionNames() const {
    std::vector<std::string> names;
    for (const Section& s : sections_)
        names.push_back(s.name);
    return names;
}

const std::vector<std::pair<std::string, std::string>>*
IniFile::Keys(const std::string& section) const {
    const Section* s = Find(section);
    return s ? &s->keys : nullptr;
}

} // namespace content
