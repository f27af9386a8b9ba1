// The game's INI files as the content tools look at them, read through the game's own profile
// reader (SYS/profile.h), so the tools see exactly the values the game sees.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace content {

class IniFile {
public:
    // False when the file does not exist. Paths are host paths.
    bool Load(const std::string& path);

    bool HasSection(const std::string& section) const;
    // Empty when the section or key is missing.
    std::string Get(const std::string& section, const std::string& key) const;
    int GetInt(const std::string& section, const std::string& key) const; // 0 when missing
    std::vector<std::string> SectionNames() const;
    // The keys of the section in file order with their values; empty for a missing section.
    std::vector<std::pair<std::string, std::string>> Keys(const std::string& section) const;

private:
    std::string path_;
};

bool EqualsIgnoringCase(const std::string& a, const std::string& b);

} // namespace content
