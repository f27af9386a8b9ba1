// The install step: every loaded block in order, a container's script run with its log and
// receipt, a single-file block inflated to its destination.
#pragma once
#include <string>

#include "install/app.h"
#include "install/package/storage.h"

namespace pkg {

// The wizard's side of the install step.
class InstallDisplay {
public:
    virtual ~InstallDisplay() = default;
    virtual void SetFileBar(int position) = 0; // control 1019
    virtual int TotalBar() const = 0;          // control 1018
    virtual void SetTotalBar(int position) = 0;
    // Gives the window its messages; false once the wizard was cancelled.
    virtual bool Pump() = 0;
    // The wizard's end code once cancelled, else 0.
    virtual int EndCode() const = 0;
    // False when there is no window to keep alive between the steps.
    virtual bool Shown() const { return true; }
};

constexpr int kStepNext = 1007;
constexpr int kStepFailed = 2;

// The log "DIR_INST\T_I.log" of a container block of type T and identifier I; false when T
// or I is not a safe file name part.
bool PackageLogPath(inst::InstallerApp& app, const PackageBlock& block, std::string* path);
// Writes the 20-byte receipt beside the log; false when it cannot be written.
bool WriteReceipt(const std::string& logPath, const PackageBlock& block);

// A failed or cancelled step undoes what its blocks logged before it reports.
int InstallAllBlocks(inst::InstallerApp& app, const PackageStorage& storage,
                     InstallDisplay& display);

} // namespace pkg
