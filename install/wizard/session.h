// What one wizard run works with: the installer, the loaded packages, the licence text and the
// requirements measured against the machine.
#pragma once
#include <string>

#include "install/app.h"
#include "install/package/storage.h"
#include "install/requirements.h"
#include "install/wizard/pagetable.h"

namespace wiz {

struct WizardSession {
    inst::InstallerApp& app;
    const pkg::PackageStorage& storage;
    std::string licence;
    inst::Requirements requirements;
    inst::SystemInfo system;
};

// Measures the machine and reads the package's "Req..." keys.
void ReadRequirements(WizardSession& session);

// The decisions' view of the session now. The free space is measured again for the games
// folder the user may have changed on the settings page.
DecisionInputs CurrentDecisionInputs(WizardSession& session);

} // namespace wiz
