#include "install/package/packagemode.h"

#include <cstdio>

#include "install/cmdline.h"
#include "install/host/desktop.h"
#include "install/host/hostfile.h"
#include "install/package/checkpackages.h"
#include "install/package/installblocks.h"
#include "install/package/packageinfo.h"
#include "install/unattended.h"
#include "install/wizard/runwizard.h"
#include "install/wizard/session.h"
#include "install/wizard/wizardwindows.h"

namespace pkg {

PackageStorage& LoadedPackages() {
    static PackageStorage storage;
    return storage;
}

bool CheckModePackages(inst::InstallerApp& app, int value, const std::string& namedFile) {
    if (value < 0 || value > 3) return false;
    return CheckPackages(app, LoadedPackages(), PackageMode(value), namedFile);
}

namespace {

// An unattended install runs without a window: the bars are only remembered and nothing can
// cancel it.
class WindowlessDisplay : public InstallDisplay {
public:
    void SetFileBar(int) override {}
    int TotalBar() const override { return total_; }
    void SetTotalBar(int position) override {
        total_ = position;
        inst::LogProgress(position);
    }
    bool Pump() override { return true; }
    int EndCode() const override { return 0; }
    bool Shown() const override { return false; }

private:
    int total_ = 0;
};

} // namespace

// Downloaded package files (values 2 and 3) have served once installed.
static void DeleteDownloadedPackages(PackageStorage& storage, int value) {
    if (value != 2 && value != 3) return;
    storage.blocks.clear();
    for (const auto& file : storage.files) {
        file->image.Close();
        std::remove(host::HostPath(file->path).c_str());
    }
    storage.files.clear();
}

int InstallModePackages(inst::InstallerApp& app, int value) {
    PackageStorage& storage = LoadedPackages();
    std::string licence;
    if (!LoadPackageInfo(app, storage, &licence)) return inst::kExitNoPackageInfo;
    WindowlessDisplay display;
    if (InstallAllBlocks(app, storage, display) != kStepNext) return inst::kExitInstallFailed;
    DeleteDownloadedPackages(storage, value);
    return inst::kExitOk;
}

int WizardInstallModePackages(inst::InstallerApp& app, int value) {
    PackageStorage& storage = LoadedPackages();
    wiz::WizardSession session{app, storage, {}, {}, {}};
    if (!LoadPackageInfo(app, storage, &session.licence)) return inst::kExitNoPackageInfo;
    int result = wiz::kWizardNoWindow;
    if (host::DesktopPresent()) {
        wiz::ReadRequirements(session);
        wiz::WizardWindows windows(session);
        result = wiz::RunWizard(windows);
    }
    if (result == wiz::kWizardNoWindow)
        std::fprintf(stderr, "install: the wizard's window cannot be opened (is there a display? "
                             "--unattended installs without one)\n");
    if (result == wiz::kWizardOk) DeleteDownloadedPackages(storage, value);
    return result;
}

} // namespace pkg
