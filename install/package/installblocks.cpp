#include "install/package/installblocks.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>

#include "SYS/files.h"
#include "SYS/msgbox.h"

#include "install/expand.h"
#include "install/fileops.h"
#include "install/gameinfo.h"
#include "install/host/diskops.h"
#include "install/host/guard.h"
#include "install/host/hostfile.h"
#include "install/messages.h"
#include "install/package/builder.h"
#include "install/package/entries.h"
#include "install/package/extract.h"
#include "install/package/inflate.h"
#include "install/retry.h"
#include "install/script.h"
#include "install/uninstall.h"

namespace pkg {

bool PackageLogPath(inst::InstallerApp& app, const PackageBlock& block, std::string* path) {
    // The header texts become part of a file name: the same rules as entry names.
    const std::string type = BlockTypeText(block), id = BlockIdText(block);
    if (!IsSafeName(type) || !IsSafeName(id)) return false;
    *path = app.variables["DIR_INST"] + "\\" + type + "_" + id + ".log";
    return true;
}

bool WriteReceipt(const std::string& logPath, const PackageBlock& block) {
    std::vector<uint8_t> receipt(20, 0);
    std::memcpy(receipt.data(), "bhdr", 4);
    PutWord(receipt, 4, 1);
    std::memcpy(receipt.data() + 8, block.data + 16, 12); // block size and both header words
    const std::string target = host::HostPath(inst::ReceiptPathOf(logPath));
    const size_t slash = target.rfind('/');
    host::TempFile temp;
    if (!host::CreateTempFile(slash == std::string::npos ? "." : target.substr(0, slash + 1), "lb_",
                              &temp))
        return false;
    const bool written =
        std::fwrite(receipt.data(), 1, receipt.size(), temp.file) == receipt.size();
    if (!host::CloseTempFile(&temp) || !written ||
        (host::KindOf(target) != host::EntryKind::kMissing && !host::MayChange(target)) ||
        !host::RenameOver(temp.path, target)) {
        host::DiscardTempFile(&temp);
        return false;
    }
    return true;
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
        if (display_.Shown()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return display_.Pump();
    }

private:
    const PackageStorage& storage_;
    InstallDisplay& display_;
};

void ShowCorrupt(inst::InstallerApp& app) {
    inst::ShowMessage(app, "MsgUserErrFileCorrupt", "MsgUserErrTitlePackage",
                      sys::MB_OK | sys::MB_ICONERROR);
}

// What one container block's install added to its log, so a failed install can be undone.
struct Section {
    std::string logPath;
    uint64_t start = 0;
};

bool InstallContainer(inst::InstallerApp& app, const PackageStorage& storage, size_t index,
                      InstallProgress& progress, Section* section) {
    const PackageBlock& block = storage.blocks[index];
    std::vector<uint8_t> bytes;
    const bool ownInfo =
        index >= 1 && ReadPackageFile(storage, index, "~Info\\gameinfo.inf", 0, &bytes);
    if (ownInfo) {
        app.savedVariables = app.variables;
        app.savedParams = app.scriptParams;
        app.scriptParams.clear();
        inst::ParseGameInfo(bytes.data(), bytes.size(), app.variables);
    }
    // An absent script counts as empty; a damaged one is a damaged package.
    std::vector<uint8_t> script;
    StorageEntry scriptEntry;
    const bool hasScript = FindEntry(block, "~Info\\Install.inf", &scriptEntry) == Lookup::kFound &&
                           !scriptEntry.IsFolder();
    std::string logPath;
    bool ok = (!hasScript || ReadPackageFile(storage, index, "~Info\\Install.inf", 0, &script)) &&
              PackageLogPath(app, block, &logPath);
    if (!ok) ShowCorrupt(app);
    if (ok) {
        app.scriptParams["LOG_INST"] = logPath;
        section->logPath = logPath;
        WriteReceipt(logPath, block);
        inst::ScriptRunner runner(app);
        ok = runner.OpenLog(logPath);
        section->start = runner.LogStart();
        const char* text = reinterpret_cast<const char*>(script.data());
        // How many of the script's lines are done says nothing about how much of the block's
        // data is: the lines move the current bar, and the total follows the extraction (else
        // it stood near its end while the files were still being written).
        const auto step = [&](double fraction) { return progress(index, 0, fraction); };
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

// A failed or cancelled install runs what it logged backwards, so it leaves the machine as it
// found it; the log and receipt go back to what they were before.
void UndoSection(inst::InstallerApp& app, const Section& section) {
    if (section.logPath.empty()) return;
    const std::string hostLog = host::HostPath(section.logPath);
    std::vector<unsigned char> bytes;
    if (!sys::ReadWholeFile(hostLog, bytes) || bytes.size() < section.start) return;
    const std::string text(bytes.begin() + long(section.start), bytes.end());
    const inst::NameMap params = app.scriptParams;
    inst::ScriptRunner runner(app);
    if (runner.Run(text.data(), text.size(), true, true, nullptr))
        runner.Run(text.data(), text.size(), true, false, nullptr);
    app.scriptParams = params;
    if (section.start > 0) {
        host::TruncateFile(hostLog, section.start);
    } else {
        host::RemoveEntry(hostLog);
        host::RemoveEntry(host::HostPath(inst::ReceiptPathOf(section.logPath)));
    }
}

bool InstallSingleFile(inst::InstallerApp& app, const PackageStorage& storage, size_t index,
                       InstallProgress& progress) {
    const PackageBlock& block = storage.blocks[index];
    const char* destination = reinterpret_cast<const char*>(block.data + kSingleFileHeaderSize);
    const std::string path = inst::ExpandText(app, destination);
    inst::ScriptRunner runner(app); // no log: a single file is not uninstalled
    const uint32_t dataOffset = ReadWord(block.data + 16);
    const size_t packedSize = block.size - dataOffset;
    // The block does not declare the inflated size; the stream's own end bounds it, and a
    // stream that runs on beyond what zlib can make of the block's bytes is refused.
    const size_t limit = std::min<uint64_t>(uint64_t(packedSize) * kMaxInflateRatio, SIZE_MAX);
    bool damaged = false;
    const bool ok =
        inst::WithRetry(app, "MsgUserErrFileCreate", "MsgUserErrTitlePackage", path, [&] {
            inst::TargetFile file;
            if (!inst::CreateTargetFile(runner, path, false, &file)) return false;
            size_t written = 0;
            bool shortWrite = false, stopped = false;
            const bool inflated = InflateStream(
                block.data + dataOffset, packedSize, kUnknownSize,
                [&](const uint8_t* bytes, size_t n) {
                    written += n;
                    shortWrite = written > limit || std::fwrite(bytes, 1, n, file.handle()) != n;
                    return !shortWrite;
                },
                [&](size_t consumed) {
                    const double fraction = packedSize ? double(consumed) / double(packedSize) : 1;
                    stopped = !progress(index, fraction, fraction);
                    return !stopped;
                });
            if (!inflated) {
                inst::AbandonTargetFile(&file);
                damaged = !stopped;
                return true; // a damaged block or a stop is not retried
            }
            return inst::CommitTargetFile(runner, &file);
        });
    if (damaged) ShowCorrupt(app);
    return ok && !damaged;
}

} // namespace

int InstallAllBlocks(inst::InstallerApp& app, const PackageStorage& storage,
                     InstallDisplay& display) {
    InstallProgress progress(storage, display);
    std::vector<Section> done;
    int result = kStepNext;
    for (size_t i = 0; i < storage.blocks.size() && result == kStepNext; ++i) {
        Section section;
        const bool ok = storage.blocks[i].kind == BlockKind::kContainer
                            ? InstallContainer(app, storage, i, progress, &section)
                            : InstallSingleFile(app, storage, i, progress);
        done.push_back(section);
        if (!ok)
            result = kStepFailed;
        else if (display.EndCode())
            result = display.EndCode();
    }
    if (result != kStepNext) {
        for (auto it = done.rbegin(); it != done.rend(); ++it) UndoSection(app, *it);
    }
    return result;
}

} // namespace pkg
