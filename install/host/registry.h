// The registry of the installer's machine: three hives (HKCR, HKCU, HKLM) kept in files under
// the user's config folder. Key and value names ignore case and keep the case they were created
// with. Every change is one transaction: the hive is locked, read, changed, written to a
// temporary file and renamed over the old one, so a killed writer leaves the old or the new hive.
#pragma once
#include <cstdint>
#include <string>

namespace host {

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine };

struct RegValue {
    enum class Type { String, Dword };
    Type type = Type::String;
    std::string text;    // String
    uint32_t number = 0; // Dword
};

struct RegKeyInfo {
    size_t subkeys = 0;
    size_t namedValues = 0; // values whose name is not empty
};

// Key paths use '\' between names; empty names are skipped.
// Creates the key and any missing parents; created tells whether the key itself was new.
bool RegCreateKey(RegRoot root, const std::string& path, bool* created);
bool RegKeyExists(RegRoot root, const std::string& path);
bool RegQueryKeyInfo(RegRoot root, const std::string& path, RegKeyInfo* info);
bool RegGetValue(RegRoot root, const std::string& path, const std::string& name, RegValue* value);
// The key must exist.
bool RegSetValue(RegRoot root, const std::string& path, const std::string& name,
                 const RegValue& value);
bool RegDeleteValue(RegRoot root, const std::string& path, const std::string& name);
// Deletes a key that has no subkeys.
bool RegDeleteKey(RegRoot root, const std::string& path);
// Deletes a key with its whole subtree.
bool RegDeleteTree(RegRoot root, const std::string& path);

// Text of a string value, or a DWORD in decimal; false when the value is missing.
bool RegGetText(RegRoot root, const std::string& path, const std::string& name, std::string* text);

// The host file that holds a hive.
std::string HiveFilePath(RegRoot root);

} // namespace host
