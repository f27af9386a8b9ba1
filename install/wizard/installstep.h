// The install page's run: every block installed while the page's two bars follow the progress
// and its Cancel button stays live.
#pragma once
#include "install/ui/page.h"
#include "install/wizard/session.h"

namespace wiz {

// Bars of the install page.
constexpr int kTotalBar = 1018;
constexpr int kFileBar = 1019;

// The install step's result: Next (1007), or 2 when it failed or was cancelled.
int RunInstallStep(ui::Page& page, WizardSession& session);

} // namespace wiz
