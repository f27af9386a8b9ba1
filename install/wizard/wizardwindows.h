// The wizard's pages as page windows: each built from its dialog template, sized to the skin's
// background, skinned, and run by its page procedure and the common page handler.
#pragma once
#include "install/ui/page.h"
#include "install/wizard/dialogs.h"
#include "install/wizard/runwizard.h"
#include "install/wizard/session.h"

namespace wiz {

class WizardWindows : public PageHost {
public:
    explicit WizardWindows(WizardSession& session) : session_(session) {}

    bool ShowPage(int page) override;
    int RunPage(int page) override;
    void ClosePage(int page, int endCode) override;
    DecisionInputs Decide() override { return CurrentDecisionInputs(session_); }

    // The page window on screen (tests and the install step drive it).
    ui::Page& Window() { return window_; }
    int PageShown() const { return shown_; }

private:
    bool AddControls(const DialogTemplate& dialog);
    void HandleCommand(int id, int code);

    WizardSession& session_;
    ui::Page window_;
    int shown_ = -1;
};

} // namespace wiz
