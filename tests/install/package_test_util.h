// Small packages for the package tests: built in memory and written below the sandbox.
#pragma once
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "install/package/builder.h"
#include "install/package/storage.h"

inline pkg::BuildNode PkgFile(const std::string& name, const std::string& content,
                              bool compress = true, uint64_t fileTime = 0) {
    pkg::BuildNode node;
    node.name = name;
    node.content = content;
    node.compress = compress;
    node.fileTime = fileTime;
    return node;
}

inline pkg::BuildNode PkgFolder(const std::string& name, std::vector<pkg::BuildNode> children) {
    pkg::BuildNode node;
    node.name = name;
    node.folder = true;
    node.children = std::move(children);
    return node;
}

inline std::vector<uint8_t> PkgContainer(const std::vector<pkg::BuildNode>& root,
                                         const std::string& type = "game",
                                         const std::string& id = "42") {
    pkg::ContainerHeader header;
    header.type = type;
    header.id = id;
    header.word20 = 0x11223344;
    header.word24 = 0x55667788;
    return pkg::BuildContainer(header, root);
}

inline void WriteBytes(const std::string& path, const std::vector<std::vector<uint8_t>>& parts) {
    std::ofstream out(path, std::ios::binary);
    for (const auto& part : parts)
        out.write(reinterpret_cast<const char*>(part.data()), std::streamsize(part.size()));
}

inline uint32_t WordAt(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

// Writes the block as the file and loads it into a fresh storage, as the installer does.
inline void LoadBlock(pkg::PackageStorage& storage, const std::string& file,
                      const std::vector<uint8_t>& block) {
    WriteBytes(file, {block});
    storage = pkg::PackageStorage();
    ASSERT_FALSE(pkg::LoadPackageFile(storage, file, false, true).corrupt);
}
