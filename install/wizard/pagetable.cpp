#include "install/wizard/pagetable.h"

namespace wiz {

const std::vector<WizardPage>& WizardPages() {
    using P = PageProcedure;
    constexpr Decision kReq = Decision::kRequirements, kFin = Decision::kFinish;
    static const std::vector<WizardPage> pages = {
        {113,
         P::kNone,
         false,
         7,
         true,
         {{kEndNext, 0, kReq}, {kEndCancel, kPageFailed}, {kEndSettings, kPageSettings}}},
        {114,
         P::kSettings,
         false,
         5,
         true,
         {{kEndNext, 0, kReq}, {kEndCancel, kPageFailed}, {kEndBack, kPageWelcome}}},
        {129,
         P::kRequirementList,
         false,
         6,
         false,
         {{kEndNext, kPageLicence}, {kEndCancel, kPageFailed}, {kEndBack, kPageWelcome}}},
        {115, P::kLicence, false, 3, true, {{kEndAgree, kPageInstall}, {kEndCancel, kPageFailed}}},
        {116, P::kInstall, true, 1, true, {{kEndCancel, kPageFailed}, {kEndNext, 0, kFin}}},
        {126, P::kRestart, false, 4, false, {{kEndCancel, kEndWizardOk}}},
        {117, P::kDone, false, 0, false, {{kEndCancel, kEndWizardOk}}},
        {118, P::kNone, false, 2, false, {{kEndCancel, kEndWizardFailed}}},
    };
    return pages;
}

int RequirementDecision(const DecisionInputs& in) {
    return in.requirementCheckSkipped || in.requirementsMet ? kPageLicence : kPageRequirements;
}

int FinishDecision(const DecisionInputs& in) {
    return in.rebootPending ? kPageRestart : kPageDone;
}

} // namespace wiz
