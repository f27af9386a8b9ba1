#include "install/host/registry.h"

#include "install/host/userdirs.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <strings.h>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace host {
namespace {

struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    }
};

struct Key {
    std::map<std::string, std::unique_ptr<Key>, NoCase> subkeys;
    std::map<std::string, RegValue, NoCase> values;
};

const char kMagic[] = "REEFPOP-HIVE 1";

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> names;
    std::string current;
    for (char c : path) {
        if (c == '\\') {
            if (!current.empty()) names.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) names.push_back(current);
    return names;
}

Key* FindKey(Key& root, const std::string& path) {
    Key* key = &root;
    for (const std::string& name : SplitPath(path)) {
        auto it = key->subkeys.find(name);
        if (it == key->subkeys.end()) return nullptr;
        key = it->second.get();
    }
    return key;
}

Key* CreateKey(Key& root, const std::string& path, bool* created) {
    Key* key = &root;
    *created = false;
    for (const std::string& name : SplitPath(path)) {
        auto& slot = key->subkeys[name];
        *created = !slot;
        if (!slot) slot = std::make_unique<Key>();
        key = slot.get();
    }
    return key;
}

// Names and values may hold any byte; the few that the line format uses are written as %XX.
std::string Escape(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F || c == '%' || c == '=' || c == '\\') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool Unescape(const std::string& text, std::string* out) {
    out->clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            *out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        unsigned value = 0;
        for (size_t k = i + 1; k <= i + 2; ++k) {
            const char c = text[k];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) return false;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        *out += static_cast<char>(value);
        i += 2;
    }
    return true;
}

void WriteKey(FILE* f, const Key& key, const std::string& path) {
    if (!path.empty()) std::fprintf(f, "K %s\n", path.c_str());
    for (const auto& [name, value] : key.values) {
        if (value.type == RegValue::Type::Dword)
            std::fprintf(f, "D %s=%u\n", Escape(name).c_str(), value.number);
        else
            std::fprintf(f, "S %s=%s\n", Escape(name).c_str(), Escape(value.text).c_str());
    }
    for (const auto& [name, child] : key.subkeys)
        WriteKey(f, *child, path.empty() ? Escape(name) : path + "\\" + Escape(name));
}

bool ParseValueLine(const std::string& body, std::string* name, std::string* value) {
    const size_t eq = body.find('=');
    return eq != std::string::npos && Unescape(body.substr(0, eq), name) &&
           Unescape(body.substr(eq + 1), value);
}

bool ParseHive(const std::string& data, Key& root) {
    size_t pos = 0;
    auto nextLine = [&](std::string* line) {
        if (pos >= data.size()) return false;
        size_t end = data.find('\n', pos);
        if (end == std::string::npos) end = data.size();
        *line = data.substr(pos, end - pos);
        pos = end + 1;
        return true;
    };
    std::string line;
    if (!nextLine(&line) || line != kMagic) return false;
    Key* current = &root;
    while (nextLine(&line)) {
        if (line.size() < 2 || line[1] != ' ') return false;
        const std::string body = line.substr(2);
        if (line[0] == 'K') {
            Key* key = &root;
            for (const std::string& escaped : SplitPath(body)) {
                std::string name;
                if (!Unescape(escaped, &name)) return false;
                auto& slot = key->subkeys[name];
                if (!slot) slot = std::make_unique<Key>();
                key = slot.get();
            }
            current = key;
        } else if (line[0] == 'S' || line[0] == 'D') {
            std::string name, text;
            if (!ParseValueLine(body, &name, &text)) return false;
            RegValue value;
            if (line[0] == 'D') {
                char* end = nullptr;
                const unsigned long number = std::strtoul(text.c_str(), &end, 10);
                if (text.empty() || *end || number > 0xFFFFFFFFul) return false;
                value.type = RegValue::Type::Dword;
                value.number = static_cast<uint32_t>(number);
            } else {
                value.text = text;
            }
            current->values[name] = value;
        } else {
            return false;
        }
    }
    return true;
}

const char* RootFileStem(RegRoot root) {
    switch (root) {
    case RegRoot::ClassesRoot: return "HKCR";
    case RegRoot::CurrentUser: return "HKCU";
    case RegRoot::LocalMachine: return "HKLM";
    }
    return "HKLM";
}

std::string HiveFolder() {
    return InstallerStateFolder() + "/registry";
}

bool LoadHive(RegRoot root, Key& key) {
    const std::string path = HiveFilePath(root);
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return true; // a hive never written is empty
    std::string data;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.append(buffer, got);
    std::fclose(f);
    if (!ParseHive(data, key)) {
        std::fprintf(stderr, "install: registry hive %s is damaged; left unchanged\n",
                     path.c_str());
        return false;
    }
    return true;
}

bool SaveHive(RegRoot root, const Key& key) {
    const std::string path = HiveFilePath(root);
    const std::string temp = path + ".new." + std::to_string(::getpid());
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "%s\n", kMagic);
    WriteKey(f, key, "");
    bool ok = std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
    ok = std::fclose(f) == 0 && ok;
    if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
    std::remove(temp.c_str());
    return false;
}

// Holds the hive's lock file for one transaction.
class HiveLock {
public:
    explicit HiveLock(RegRoot root) {
        if (!MakeFolders(HiveFolder())) return;
        fd_ = ::open((HiveFolder() + "/" + RootFileStem(root) + ".lock").c_str(),
                     O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~HiveLock() {
        if (fd_ >= 0) ::close(fd_); // closing releases the lock
    }
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Runs change on the loaded hive under the lock; writes the hive back when it reports a change.
template <class Change> bool Transact(RegRoot root, Change change) {
    HiveLock lock(root);
    Key key;
    if (!lock.held() || !LoadHive(root, key)) return false;
    bool changed = false;
    if (!change(key, &changed)) return false;
    return !changed || SaveHive(root, key);
}

template <class Read> bool Inspect(RegRoot root, Read read) {
    Key key; // renames are atomic, so a reader never sees a torn hive and needs no lock
    return LoadHive(root, key) && read(key);
}

} // namespace

std::string HiveFilePath(RegRoot root) {
    return HiveFolder() + "/" + RootFileStem(root) + ".hive";
}

bool RegCreateKey(RegRoot root, const std::string& path, bool* created) {
    bool isNew = false;
    const bool ok = Transact(root, [&](Key& hive, bool* changed) {
        CreateKey(hive, path, &isNew);
        *changed = isNew;
        return true;
    });
    if (created) *created = ok && isNew;
    return ok;
}

bool RegKeyExists(RegRoot root, const std::string& path) {
    return Inspect(root, [&](Key& hive) { return FindKey(hive, path) != nullptr; });
}

bool RegQueryKeyInfo(RegRoot root, const std::string& path, RegKeyInfo* info) {
    return Inspect(root, [&](Key& hive) {
        const Key* key = FindKey(hive, path);
        if (!key) return false;
        info->subkeys = key->subkeys.size();
        info->namedValues = key->values.size() - key->values.count("");
        return true;
    });
}

bool RegGetValue(RegRoot root, const std::string& path, const std::string& name, RegValue* value) {
    return Inspect(root, [&](Key& hive) {
        const Key* key = FindKey(hive, path);
        if (!key) return false;
        auto it = key->values.find(name);
        if (it == key->values.end()) return false;
        *value = it->second;
        return true;
    });
}

bool RegGetText(RegRoot root, const std::string& path, const std::string& name, std::string* text) {
    RegValue value;
    if (!RegGetValue(root, path, name, &value)) return false;
    *text = value.type == RegValue::Type::Dword ? std::to_string(value.number) : value.text;
    return true;
}

bool RegSetValue(RegRoot root, const std::string& path, const std::string& name,
                 const RegValue& value) {
    return Transact(root, [&](Key& hive, bool* changed) {
        Key* key = FindKey(hive, path);
        if (!key) return false;
        key->values[name] = value;
        *changed = true;
        return true;
    });
}

bool RegDeleteValue(RegRoot root, const std::string& path, const std::string& name) {
    return Transact(root, [&](Key& hive, bool* changed) {
        Key* key = FindKey(hive, path);
        *changed = key && key->values.erase(name) > 0;
        return *changed;
    });
}

static bool DeleteKeyIf(RegRoot root, const std::string& path, bool wholeTree) {
    const std::vector<std::string> names = SplitPath(path);
    if (names.empty()) return false; // the root itself cannot go
    return Transact(root, [&](Key& hive, bool* changed) {
        std::string parentPath;
        for (size_t i = 0; i + 1 < names.size(); ++i) parentPath += names[i] + "\\";
        Key* parent = FindKey(hive, parentPath);
        if (!parent) return false;
        auto it = parent->subkeys.find(names.back());
        if (it == parent->subkeys.end()) return false;
        if (!wholeTree && !it->second->subkeys.empty()) return false;
        parent->subkeys.erase(it);
        *changed = true;
        return true;
    });
}

bool RegDeleteKey(RegRoot root, const std::string& path) {
    return DeleteKeyIf(root, path, false);
}
bool RegDeleteTree(RegRoot root, const std::string& path) {
    return DeleteKeyIf(root, path, true);
}

} // namespace host
