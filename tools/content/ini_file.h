// Read-only INI files with the game's rules: section and key names ignore case, the first match
// wins, values are trimmed of spaces and tabs, lines may end in CR LF.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace content {

class IniFile {
  public:
    bool Load(const std::string& path);
    void Parse(const std::string& text);

    bool HasSection(const std::string& section) const;
    // Empty when the section or key is missing.
    std::string Get(const std::string& section, const std::string& key) const;
    int GetInt(const std::string& section, const std::string& key) const; // leading digits, else 0
    std::vector<std::string> SectionNames() const;
    const std::vector<std::pair<std::string, std::string>>* Keys(const std::string& section) const;

  private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys;
    };
    const Section* Find(const std::string& section) const;
    std::vector<Section> sections_;
};

bool EqualsIgnoringCase(const std::string& a, const std::string& b);

} // namespace content
