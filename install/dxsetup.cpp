#include "install/dxsetup.h"

#include "SYS/msgbox.h"
#include "install/host/hostfile.h"
#include "install/messages.h"
#include "install/retry.h"
#include "install/script.h"

#include "install/host/library.h"
#include "install/ui/page.h"
#include "install/wizard/installstep.h"

namespace inst {
namespace {

using SetCallbackFn = int (*)(DsetupCallback);
using ShowEulaFn = int (*)(void* window);
using SetupFn = int (*)(void* window, const char* folder, unsigned flags);

// The installer whose set-up is running; the library's callback carries no user value.
InstallerApp* gRunningFor = nullptr;

// The wizard's install page, when the set-up runs inside it: its bars show the set-up's
// progress (the phase on the current bar, the whole on the total bar) and get their positions
// back afterwards.
using wiz::kFileBar;
using wiz::kTotalBar;

ui::ProgressBar* PageBar(int id) {
    ui::Page* page = ui::Page::Current();
    return page ? page->ItemAs<ui::ProgressBar>(id) : nullptr;
}

class SavedBars {
public:
    SavedBars() {
        for (int i = 0; i < 2; ++i)
            if (ui::ProgressBar* bar = PageBar(kIds[i])) positions_[i] = bar->Pos();
    }
    ~SavedBars() {
        for (int i = 0; i < 2; ++i)
            if (ui::ProgressBar* bar = PageBar(kIds[i])) bar->SetPos(positions_[i]);
    }

private:
    static constexpr int kIds[2] = {kTotalBar, kFileBar};
    int positions_[2] = {0, 0};
};

int Percent(unsigned done, unsigned total) {
    return total ? int(uint64_t(done) * 100 / total) : 0;
}

// Shows the library's messages under the set-up's title and its progress on the page's bars.
// Nothing can cancel the set-up half-way, so it is told to go on.
unsigned Callback(unsigned kind, unsigned style, const char* text, const DsetupProgress* progress) {
    if ((kind == kDsetupMessage || kind == kDsetupWarning) && text && gRunningFor)
        return static_cast<unsigned>(
            sys::MessageBox(text, MessageText(*gRunningFor, "DxSetQuestTit"), style));
    if (kind == kDsetupProgress && progress) {
        if (ui::ProgressBar* bar = PageBar(kFileBar))
            bar->SetPos(Percent(progress->inPhaseProgress, progress->inPhaseMaximum));
        if (ui::ProgressBar* bar = PageBar(kTotalBar))
            bar->SetPos(Percent(progress->overallProgress, progress->overallMaximum));
        if (ui::Page* page = ui::Page::Current()) page->PumpMessages();
    }
    return 1;
}

// One attempt: false when the library is missing or the set-up reports failure.
bool Attempt(ScriptRunner& runner, const std::string& folder, bool showLicence, bool* missing) {
    const std::string library = folder + "\\DSETUP.dll";
    host::Library loaded;
    *missing = !loaded.Load(library);
    if (*missing) return false;
    auto setCallback = reinterpret_cast<SetCallbackFn>(loaded.Entry("DirectXSetupSetCallback"));
    auto showEula = reinterpret_cast<ShowEulaFn>(loaded.Entry("DirectXSetupShowEULA"));
    auto setup = reinterpret_cast<SetupFn>(loaded.Entry("DirectXSetupA"));
    bool ok = false;
    if (setCallback && showEula && setup && (!showLicence || showEula(nullptr) == sys::IDYES)) {
        setCallback(Callback);
        gRunningFor = &runner.app;
        int result;
        {
            const SavedBars bars;
            result = setup(nullptr, host::HostPath(folder).c_str(), kDsetupFlagsAll);
        }
        gRunningFor = nullptr;
        ok = result == 0 || result == 1;
        if (result == 1) runner.app.flags |= kRebootPending;
    }
    return ok;
}

} // namespace

bool RunDirectXSetup(ScriptRunner& runner, const std::string& folder, bool silent,
                     bool showLicence) {
    InstallerApp& app = runner.app;
    if (!silent && ShowMessage(app, "DxSetQuestTxt", "DxSetQuestTit",
                               sys::MB_OKCANCEL | sys::MB_ICONQUESTION) == sys::IDCANCEL)
        return true;
    return WithRetry(app, "DxSetErrFailed", "DxSetQuestTit", "", [&] {
        bool missing = false;
        if (Attempt(runner, folder, showLicence, &missing)) return true;
        if (missing)
            ShowMessageF(app, "DxSetErrNoFiles", "DxSetQuestTit", sys::MB_OK | sys::MB_ICONERROR,
                         {folder});
        return false;
    });
}

} // namespace inst
