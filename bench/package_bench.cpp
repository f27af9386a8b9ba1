// Package speed: verification of a 200 MB block through the installer's block check (the
// container's rotate-xor checksum against the plain byte-at-a-time loop, the single-file block's
// CRC-32 against one zlib crc32 call), and extraction of a package of mixed compressible and
// incompressible files against plain zlib inflating the same entries into the same files, once
// with the same 64 KiB pieces and once with one write per file. The extraction also reports its
// peak heap, sampled before every piece it writes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <malloc.h>
#include <unistd.h>
#include <zlib.h>

#include "install/app.h"
#include "install/package/blocks.h"
#include "install/package/builder.h"
#include "install/package/entries.h"
#include "install/package/extract.h"
#include "install/package/inflate.h"
#include "install/script.h"
#include "paired.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kMiB = 1u << 20;

std::vector<uint8_t> Noise(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) {
        seed = seed * 214013u + 2531011u;
        b = uint8_t(seed >> 16);
    }
    return bytes;
}

std::string Words(size_t size, uint32_t seed) {
    const std::string words = "reef bubble coral wave shell pearl fish tide ";
    std::string text;
    text.reserve(size + 5);
    while (text.size() < size) {
        seed = seed * 214013u + 2531011u;
        text.append(words, (seed >> 16) % 40, 5);
    }
    text.resize(size);
    return text;
}

const std::vector<uint8_t>& SingleFileBlock200() {
    static const std::vector<uint8_t> block =
        pkg::BuildSingleFile("%DIR_GAME%\\big.dat", Words(200 * kMiB, 3));
    return block;
}

// The installer's check of a whole block, with a progress callback as the integrity window has.
paired::Body Verify(pkg::BlockKind kind, const std::vector<uint8_t>& (*block)()) {
    return [kind, block](benchmark::State& state) {
        const std::vector<uint8_t>& b = block();
        size_t seen = 0;
        for (auto _ : state) {
            if (!pkg::VerifyBlock(kind, b.data(), uint32_t(b.size()),
                                  [&seen](size_t done, size_t) { seen = done; }))
                state.SkipWithError("block does not verify");
            benchmark::DoNotOptimize(seen);
        }
    };
}

// A package of `megabytes` MiB: 4 MiB files, alternately text-like and random.
struct BenchPackage {
    std::vector<uint8_t> block;
    pkg::PackageBlock view;
    std::string folder;
    ~BenchPackage() {
        std::error_code ec;
        if (!folder.empty()) fs::remove_all(folder, ec);
    }
};

BenchPackage& Package(int megabytes) {
    static std::map<int, BenchPackage> packages;
    BenchPackage& p = packages[megabytes];
    if (!p.block.empty()) return p;
    std::vector<pkg::BuildNode> files;
    for (int i = 0; i < megabytes / 4; ++i) {
        pkg::BuildNode node;
        node.name = "file" + std::to_string(i) + ".dat";
        if (i % 2) {
            const auto noise = Noise(4 * kMiB, uint32_t(i));
            node.content.assign(noise.begin(), noise.end());
        } else {
            node.content = Words(4 * kMiB, uint32_t(i));
        }
        files.push_back(std::move(node));
    }
    p.block = pkg::BuildContainer({}, files);
    p.view = {pkg::BlockKind::kContainer, p.block.data(), uint32_t(p.block.size()), 0};
    char pattern[] = "/tmp/package_bench_XXXXXX";
    p.folder = ::mkdtemp(pattern);
    return p;
}

const std::vector<uint8_t>& Container200() {
    return Package(200).block;
}

size_t g_peakHeap = 0; // the largest extraction heap seen, over every run

paired::Body ExtractFiles(int megabytes) {
    return [megabytes](benchmark::State& state) {
        BenchPackage& p = Package(megabytes);
        inst::InstallerApp app;
        const size_t before = mallinfo2().uordblks;
        for (auto _ : state) {
            inst::ScriptRunner runner(app);
            const bool ok =
                pkg::ExtractFiles(runner, p.view, "", p.folder, true, [&](double, double) {
                    const size_t now = mallinfo2().uordblks;
                    if (now > before) g_peakHeap = std::max(g_peakHeap, now - before);
                    return true;
                });
            if (!ok) state.SkipWithError("extraction failed");
        }
    };
}

// The same entries inflated by plain zlib into the same files: written in pieces of
// `pieceBytes` as our extraction writes them, or (0) each file inflated whole and written at once.
paired::Body PlainZlib(int megabytes, size_t pieceBytes) {
    return [megabytes, pieceBytes](benchmark::State& state) {
        BenchPackage& p = Package(megabytes);
        uint32_t count;
        pkg::TableCount(p.view, pkg::kContainerHeaderSize, &count);
        std::vector<uint8_t> out;
        for (auto _ : state) {
            for (uint32_t i = 0; i < count; ++i) {
                pkg::StorageEntry e;
                pkg::ReadEntry(p.view, pkg::kContainerHeaderSize, i, &e);
                const uint8_t* data = p.view.data + e.offset;
                FILE* f = std::fopen((p.folder + "/" + std::string(e.name)).c_str(), "wb");
                if (!e.IsCompressed()) {
                    for (size_t done = 0; done < e.size;) {
                        const size_t piece =
                            pieceBytes ? std::min<size_t>(pieceBytes, e.size - done) : e.size;
                        std::fwrite(data + done, 1, piece, f);
                        done += piece;
                    }
                } else if (pieceBytes == 0) {
                    out.resize(e.size);
                    uLongf size = e.size;
                    uncompress(out.data(), &size, data, e.packedSize);
                    std::fwrite(out.data(), 1, size, f);
                } else {
                    out.resize(pieceBytes);
                    z_stream z{};
                    inflateInit(&z);
                    z.next_in = const_cast<Bytef*>(data);
                    z.avail_in = e.packedSize;
                    int status = Z_OK;
                    while (status == Z_OK) {
                        z.next_out = out.data();
                        z.avail_out = uInt(pieceBytes);
                        status = inflate(&z, Z_NO_FLUSH);
                        std::fwrite(out.data(), 1, pieceBytes - z.avail_out, f);
                    }
                    inflateEnd(&z);
                }
                std::fclose(f);
            }
        }
    };
}

} // namespace

int main(int argc, char** argv) {
    using paired::Row;
    paired::Add(Row{"Verify 200 MB stgc checksum",
                    {"ours", Verify(pkg::BlockKind::kContainer, Container200)},
                    {{"byte-at-a-time rotate-xor loop", [](benchmark::State& state) {
                          const auto& block = Container200();
                          for (auto _ : state) {
                              uint32_t sum = 0;
                              for (size_t i = pkg::kContainerHeaderSize; i < block.size(); ++i)
                                  sum = ((sum << 3) | (sum >> 29)) ^ block[i];
                              benchmark::DoNotOptimize(sum);
                          }
                      }}}});
    paired::Add(Row{"Verify 200 MB sstg CRC-32",
                    {"ours", Verify(pkg::BlockKind::kSingleFile, SingleFileBlock200)},
                    {{"one zlib crc32 call over the block", [](benchmark::State& state) {
                          const auto& block = SingleFileBlock200();
                          for (auto _ : state)
                              benchmark::DoNotOptimize(crc32(
                                  crc32(0, Z_NULL, 0), block.data() + pkg::kSingleFileHeaderSize,
                                  uInt(block.size() - pkg::kSingleFileHeaderSize)));
                      }}}});
    for (int megabytes : {20, 200}) {
        const std::string name = "Extract " + std::to_string(megabytes) + " MB";
        paired::Add(Row{name,
                        {"ours", ExtractFiles(megabytes)},
                        {{"plain zlib, 64 KiB writes like ours", PlainZlib(megabytes, pkg::kPiece)},
                         {"plain zlib, one write per file", PlainZlib(megabytes, 0)}},
                        true,
                        0.5});
    }
    const int result = paired::Run(argc, argv, "Package verification and extraction");
    std::printf("\npeak extraction heap: %.0f KiB\n", double(g_peakHeap) / 1024.0);
    return result;
}
