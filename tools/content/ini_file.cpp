#include "ini_file.h"

#include <strings.h>

#include <filesystem>

#include "SYS/profile.h"

namespace content {

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

namespace {

// Large enough for every list of names the game's files hold; a longer list is cut by the
// reader, never overrun.
constexpr size_t kListBytes = 1 << 16;

// The '\0'-separated names the profile reader lists for a null section or key.
std::vector<std::string> NameList(const char* section, const std::string& path) {
    std::vector<char> buffer(kListBytes);
    const size_t length = sys::GetPrivateProfileString(section, nullptr, "", buffer.data(),
                                                       buffer.size(), path.c_str());
    std::vector<std::string> names;
    for (size_t at = 0; at < length;) {
        const std::string name(buffer.data() + at);
        if (name.empty()) break;
        names.push_back(name);
        at += name.size() + 1;
    }
    return names;
}

} // namespace

bool IniFile::Load(const std::string& path) {
    path_ = path;
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

bool IniFile::HasSection(const std::string& section) const {
    for (const std::string& name : SectionNames())
        if (EqualsIgnoringCase(name, section)) return true;
    return false;
}

std::string IniFile::Get(const std::string& section, const std::string& key) const {
    std::vector<char> value(kListBytes);
    const size_t length = sys::GetPrivateProfileString(section.c_str(), key.c_str(), "",
                                                       value.data(), value.size(), path_.c_str());
    return std::string(value.data(), length);
}

int IniFile::GetInt(const std::string& section, const std::string& key) const {
    return sys::GetPrivateProfileInt(section.c_str(), key.c_str(), 0, path_.c_str());
}

std::vector<std::string> IniFile::SectionNames() const {
    return NameList(nullptr, path_);
}

std::vector<std::pair<std::string, std::string>> IniFile::Keys(const std::string& section) const {
    std::vector<std::pair<std::string, std::string>> keys;
    for (const std::string& key : NameList(section.c_str(), path_))
        keys.emplace_back(key, Get(section, key));
    return keys;
}

} // namespace content
