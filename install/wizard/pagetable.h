// The wizard's pages in order, and where each page's end code leads.
#pragma once
#include <optional>
#include <vector>

namespace wiz {

// End codes are the identifiers of the controls that end a page.
enum EndCode : int {
    kEndCancel = 2, // also Finish and the window's close command
    kEndNext = 1007,
    kEndSettings = 1009,
    kEndBack = 1010,
    kEndBrowse = 1011,
    kEndAgree = 1019,
};

enum PageIndex : int {
    kPageWelcome = 0,
    kPageSettings = 1,
    kPageRequirements = 2,
    kPageLicence = 3,
    kPageInstall = 4,
    kPageRestart = 5,
    kPageDone = 6,
    kPageFailed = 7,
};
constexpr int kPageCount = 8;

// Next-page values beyond the pages end the wizard.
constexpr int kEndWizardOk = 9;      // result 0
constexpr int kEndWizardFailed = 10; // result 2

enum class PageProcedure {
    kNone,
    kSettings,
    kRequirementList,
    kLicence,
    kInstall,
    kRestart,
    kDone
};

// A transition that is decided when it is taken.
enum class Decision { kNone, kRequirements, kFinish };

struct Transition {
    int endCode;
    int next; // used when decision is kNone
    Decision decision = Decision::kNone;
};

struct WizardPage {
    int dialog;
    PageProcedure procedure;
    bool runsInstall; // the install step replaces the page's message loop
    int frame;        // picture frame from the page-picture sheet
    bool confirmCancel;
    std::vector<Transition> transitions;
};

const std::vector<WizardPage>& WizardPages();

// What the decisions depend on.
struct DecisionInputs {
    bool requirementCheckSkipped; // INST_PRM_CHECK_SYS_REQ set and not "1..."
    bool requirementsMet;
    bool rebootPending;
};

// The requirement list only when the check is made and something is not met.
int RequirementDecision(const DecisionInputs& in);
// The restart page when a step asked for a restart.
int FinishDecision(const DecisionInputs& in);

// The next-page value for an end code of page, or nothing when it has no transition.
// inputs is asked only when the transition is a decision.
template <typename Inputs> std::optional<int> NextPage(int page, int endCode, Inputs&& inputs) {
    for (const Transition& t : WizardPages()[page].transitions) {
        if (t.endCode != endCode) continue;
        switch (t.decision) {
        case Decision::kNone: return t.next;
        case Decision::kRequirements: return RequirementDecision(inputs());
        case Decision::kFinish: return FinishDecision(inputs());
        }
    }
    return std::nullopt;
}

} // namespace wiz
