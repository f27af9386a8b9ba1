#include "install/wizard/session.h"

#include "install/host/hostfile.h"
#include "install/host/sysinfo.h"

namespace wiz {

static std::string GamesFolder(const inst::InstallerApp& app) {
    const auto it = app.variables.find("DIR_GAMES");
    return host::HostPath(it == app.variables.end() ? std::string() : it->second);
}

void ReadRequirements(WizardSession& session) {
    session.system = host::MeasureSystem(GamesFolder(session.app));
    inst::ReadRequirementKeys(session.app.variables, &session.requirements);
}

DecisionInputs CurrentDecisionInputs(WizardSession& session) {
    session.system.freeDiskMB = host::FreeDiskMB(GamesFolder(session.app));
    return {inst::RequirementCheckSkipped(session.app),
            inst::AllRequirementsMet(session.requirements, session.system),
            (session.app.flags & inst::kRebootPending) != 0};
}

} // namespace wiz
