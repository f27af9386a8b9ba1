// pkgbuild [--append-to EXE] OUTPUT BLOCK...
//   BLOCK is either
//     --folder DIR [--type T] [--id I] [--word20 N] [--word24 N] [--store]
//         a container block of the tree below DIR (its "~Info" folder included), every file
//         zlib-compressed when that makes it smaller (never with --store), with its file time;
//     --single DEST FILE
//         a single-file block that writes FILE's content to DEST (variables allowed).
//   With --append-to, OUTPUT is a copy of EXE with the blocks appended, marked executable.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "install/package/builder.h"
#include "install/host/diskops.h"

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "pkgbuild: %s\n", message.c_str());
    std::exit(1);
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail("cannot read " + path.string());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint64_t FileTimeOf(const fs::path& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) Fail("cannot read the time of " + path.string());
    return host::FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
}

// Entries in name order, so the same tree always gives the same block.
std::vector<pkg::BuildNode> ReadTree(const fs::path& folder, bool compress, int depth) {
    if (depth > 64) Fail("folders nested too deeply below " + folder.string());
    std::vector<fs::path> paths;
    for (const auto& item : fs::directory_iterator(folder)) paths.push_back(item.path());
    std::sort(paths.begin(), paths.end());
    std::vector<pkg::BuildNode> nodes;
    for (const fs::path& path : paths) {
        pkg::BuildNode node;
        node.name = path.filename().string();
        node.fileTime = FileTimeOf(path);
        if (fs::is_directory(path)) {
            node.folder = true;
            node.children = ReadTree(path, compress, depth + 1);
        } else {
            node.content = ReadAll(path);
            if (node.content.size() > 0xFFFFFFFFu) Fail(path.string() + " is too large");
            node.compress = compress;
        }
        nodes.push_back(std::move(node));
    }
    return nodes;
}

uint32_t Number(const char* text) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 0);
    if (!*text || *end || value > 0xFFFFFFFFul) Fail(std::string("not a 32-bit number: ") + text);
    return uint32_t(value);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    auto need = [&](size_t i, size_t n) {
        if (i + n >= args.size()) Fail(args[i] + " needs " + std::to_string(n) + " argument(s)");
    };
    std::string exe;
    size_t i = 0;
    if (i < args.size() && args[i] == "--append-to") {
        need(i, 1);
        exe = args[i + 1];
        i += 2;
    }
    if (i >= args.size())
        Fail("usage: pkgbuild [--append-to EXE] OUTPUT --folder DIR ... | --single DEST FILE ...");
    const std::string output = args[i++];
    std::vector<std::vector<uint8_t>> blocks;
    while (i < args.size()) {
        if (args[i] == "--single") {
            need(i, 2);
            blocks.push_back(pkg::BuildSingleFile(args[i + 1], ReadAll(args[i + 2])));
            i += 3;
        } else if (args[i] == "--folder") {
            need(i, 1);
            const fs::path folder = args[i + 1];
            i += 2;
            pkg::ContainerHeader header;
            bool compress = true;
            for (; i < args.size() && args[i] != "--folder" && args[i] != "--single"; ++i) {
                if (args[i] == "--store") {
                    compress = false;
                    continue;
                }
                need(i, 1);
                const std::string& value = args[i + 1];
                if (args[i] == "--type")
                    header.type = value;
                else if (args[i] == "--id")
                    header.id = value;
                else if (args[i] == "--word20")
                    header.word20 = Number(value.c_str());
                else if (args[i] == "--word24")
                    header.word24 = Number(value.c_str());
                else
                    Fail("unknown option " + args[i]);
                ++i;
            }
            if (!fs::is_directory(folder)) Fail(folder.string() + " is not a folder");
            blocks.push_back(pkg::BuildContainer(header, ReadTree(folder, compress, 0)));
        } else {
            Fail("unknown argument " + args[i]);
        }
    }
    if (blocks.empty()) Fail("no block to write");
    const std::string temporary = output + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!exe.empty()) out << ReadAll(exe);
        for (const auto& block : blocks)
            out.write(reinterpret_cast<const char*>(block.data()), std::streamsize(block.size()));
        if (!out.flush()) Fail("cannot write " + temporary);
    }
    if (!exe.empty()) ::chmod(temporary.c_str(), 0755);
    std::error_code ec;
    fs::rename(temporary, output, ec);
    if (ec) Fail("cannot write " + output + ": " + ec.message());
    return 0;
}
