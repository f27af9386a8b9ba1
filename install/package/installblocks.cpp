#include "install/package/installblocks.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>
#include <unistd.h>

#include "install/expand.h"
#include "install/fileops.h"
#include "install/gameinfo.h"
#include "install/host/hostfile.h"
#include "install/package/builder.h"
#include "install/package/entries.h"
#include "install/package/extract.h"
#include "install/package/inflate.h"
#include "install/retry.h"
#include "install/script.h"
#include "install/uninstall.h"

namespace pkg {

std::string PackageLogPath(inst::InstallerApp& app, const PackageBlock& block) {
    return app.variables["DIR_INST"] + "\\" + BlockTypeText(block) + "_" + BlockIdText(block) +
           ".log";
}

bool WriteReceipt(const std::string& logPath, const PackageBlock& block) {
    std::vector<uint8_t> receipt(20, 0);
    std::memcpy(receipt.data(), "bhdr", 4);
    PutWord(receipt, 4, 1);
    std::memcpy(receipt.data() + 8, block.data + 16, 12);  // block size and both header words
    FILE* f = std::fopen(host::HostPath(inst::ReceiptPathOf(logPath)).c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(receipt.data(), 1, receipt.size(), f) == receipt.size();
    return std::fclose(f) == 0 && written;
}

namespace {

// Moves the bars for block `index`: the file bar to the file fraction, the total bar forward
// only; false once the wizard was cancelled.
class InstallProgress {
public:
    InstallProgress(const PackageStorage& storage, InstallDisplay& display)
        : storage_(storage), display_(display) {}
    bool operator()(size_t index, double blockFraction, double fileFraction) {
        display_.SetFileBar(int(fileFraction * 100));
        const PackageBlock& block = storage_.blocks[index];
        const int total = int((double(block.size) * blockFraction + double(block.start)) *
                              storage_.ProgressScale());
        if (total > display_.TotalBar()) display_.SetTotalBar(total);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return display_.Pump();
    }

private:
    const PackageStorage& storage_;
    InstallDisplay& display_;
};

bool InstallContainer(inst::InstallerApp& app, const PackageStorage& storage, size_t index,
                      InstallProgress& progress) {
    const PackageBlock& block = storage.blocks[index];
    std::vector<uint8_t> bytes;
    const bool ownInfo = index >= 1 && ReadPackageFile(storage, index, "~Info\\gameinfo.inf", 0, &bytes);
    if (ownInfo) {
        app.savedVariables = app.variables;
        app.savedParams = app.scriptParams;
        app.scriptParams.clear();
        inst::ParseGameInfo(bytes.data(), bytes.size(), app.variables);
    }
    std::vector<uint8_t> script;
    ReadPackageFile(storage, index, "~Info\\Install.inf", 0, &script);  // absent: empty
    const std::string logPath = PackageLogPath(app, block);
    app.scriptParams["LOG_INST"] = logPath;
    WriteReceipt(logPath, block);

    bool ok;
    {
        inst::ScriptRunner runner(app);
        ok = runner.OpenLog(logPath);
        const char* text = reinterpret_cast<const char*>(script.data());
        const auto step = [&](double fraction) { return progress(index, fraction, fraction); };
        const ExtractProgress extractStep = [&](double blockPart, double filePart) {
            return progress(index, blockPart, filePart);
        };
        runner.extractFiles = [&](const std::string& source, const std::string& destination,
                                  bool overwrite) {
            return ExtractFiles(runner, block, source, destination, overwrite, extractStep);
        };
        if (ok) ok = runner.Run(text, script.size(), false, true, step);
        if (ok) ok = runner.Run(text, script.size(), false, false, step);
        if (ok && !runner.filesProcessed) {
            ok = ExtractFiles(runner, block, "", "", false, extractStep);
        }
        runner.FinishLog();
    }
    if (ownInfo) {
        app.variables = app.savedVariables;
        app.scriptParams = app.savedParams;
    }
    return ok;
}

bool InstallSingleFile(inst::InstallerApp& app, const PackageStorage& storage, size_t index,
                       InstallProgress& progress) {
    const PackageBlock& block = storage.blocks[index];
    const char* destination = reinterpret_cast<const char*>(block.data + kSingleFileHeaderSize);
    const std::string path = inst::ExpandText(app, destination);
    inst::ScriptRunner runner(app);  // no log: a single file is not uninstalled
    FILE* f = nullptr;
    bool existed = false;
    if (!inst::WithRetry(app, "MsgUserErrFileCreate", "MsgUserErrTitlePackage", path, [&] {
            return inst::CreateTargetFile(runner, path, false, &f, &existed);
        }))
        return false;
    if (!f) return true;  // ignored
    const uint32_t dataOffset = ReadWord(block.data + 16);
    const size_t packedSize = block.size - dataOffset;
    bool ok = ::ftruncate(::fileno(f), 0) == 0;
    // The block does not declare the inflated size; the stream's own end bounds it, and a
    // stream that runs on beyond what zlib can make of the block's bytes is refused.
    const size_t limit = std::min<uint64_t>(uint64_t(packedSize) * kMaxInflateRatio, SIZE_MAX);
    size_t written = 0;
    ok = ok && InflateStream(
                   block.data + dataOffset, packedSize, kUnknownSize,
                   [&](const uint8_t* bytes, size_t n) {
                       written += n;
                       return written <= limit && std::fwrite(bytes, 1, n, f) == n;
                   },
                   [&](size_t consumed) {
                       const double fraction = packedSize ? double(consumed) / double(packedSize) : 1;
                       return progress(index, fraction, fraction);
                   });
    if (std::fclose(f) != 0) ok = false;
    return ok;
}

} // namespace

int InstallAllBlocks(inst::InstallerApp& app, const PackageStorage& storage,
                     InstallDisplay& display) {
    InstallProgress progress(storage, display);
    for (size_t i = 0; i < storage.blocks.size(); ++i) {
        const bool ok = storage.blocks[i].kind == BlockKind::kContainer
                            ? InstallContainer(app, storage, i, progress)
                            : InstallSingleFile(app, storage, i, progress);
        if (!ok) return kStepFailed;
        if (display.EndCode()) return display.EndCode();
    }
    return kStepNext;
}

} // namespace pkg
