// Every path below a folder with what it holds, never following links: a file's bytes, a
// folder's mark, a link's target. Comparing two snapshots shows what an install or uninstall
// changed.
#pragma once
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

using TreeSnapshot = std::map<std::string, std::string>;

inline TreeSnapshot SnapshotTree(const std::string& root) {
    namespace fs = std::filesystem;
    TreeSnapshot tree;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const fs::path& path = it->path();
        const std::string rel = path.string().substr(root.size());
        // Lock files of the hives come and go with every registry access.
        if (rel.size() > 5 && rel.compare(rel.size() - 5, 5, ".lock") == 0) continue;
        if (it->is_symlink()) {
            tree[rel] = "<link>" + fs::read_symlink(path).string();
        } else if (it->is_directory()) {
            tree[rel] = "<dir>";
        } else {
            std::ifstream in(path, std::ios::binary);
            tree[rel] =
                std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    return tree;
}

// The differences between two snapshots, one line each ("" when equal).
inline std::string TreeChanges(const TreeSnapshot& before, const TreeSnapshot& after) {
    std::string changes;
    for (const auto& [path, content] : before) {
        auto it = after.find(path);
        if (it == after.end())
            changes += "lost " + path + "\n";
        else if (it->second != content)
            changes += "changed " + path + "\n";
    }
    for (const auto& [path, content] : after)
        if (!before.count(path)) changes += "added " + path + "\n";
    return changes;
}
