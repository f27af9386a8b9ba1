// The "str2" string table: every text the installer shows, found by key.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace inst {

class StringTable {
public:
    // Checks the header and that every key and text lies inside the data; the data must
    // outlive the table. False (and an empty table) when the data is not a usable table.
    bool Load(const unsigned char* data, size_t size);
    bool Loaded() const { return data_ != nullptr; }
    size_t KeyCount() const { return count_; }
    // Binary search in the table's key order (length first, then ignoring case).
    bool Lookup(const char* key, size_t length, std::string* text) const;
    bool Lookup(const std::string& key, std::string* text) const {
        return Lookup(key.data(), key.size(), text);
    }

private:
    uint32_t Word(size_t offset) const;

    const unsigned char* data_ = nullptr;
    size_t size_ = 0;
    size_t count_ = 0;
    size_t textTable_ = 0;
};

} // namespace inst
