// The page procedures: what the settings, requirement, licence, install, restart and done pages
// do beyond the common page handler.
#pragma once
#include "install/ui/page.h"
#include "install/wizard/pagetable.h"
#include "install/wizard/session.h"

namespace wiz {

// Controls the procedures work with.
constexpr int kGroupEdit = 1013;
constexpr int kFolderEdit = 1014;
constexpr int kLicenceText = 1015;
constexpr int kStartGameCheck = 1022;
constexpr int kRestartCheck = 1023;
constexpr int kRequirementList = 1025;

// Fills the page's controls when it is made.
void InitProcedure(PageProcedure procedure, ui::Page& page, WizardSession& session);
// Sees each message before the page handler; true when it consumed it.
bool ProcedureMessage(PageProcedure procedure, ui::Page& page, const sys::Msg& msg,
                      WizardSession& session);
// Acts on the page's end code before its window goes.
void LeaveProcedure(PageProcedure procedure, ui::Page& page, int endCode, WizardSession& session);

} // namespace wiz
