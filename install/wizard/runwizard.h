// The wizard's walk over its pages: show a page, let it run to an end code, follow the page
// table to the next one.
#pragma once
#include "install/wizard/pagetable.h"

namespace wiz {

// The windows side of the walk.
class PageHost {
public:
    virtual ~PageHost() = default;
    // Replaces the previous page's window by this page's; false when it cannot be made.
    virtual bool ShowPage(int page) = 0;
    // The page's install step or message loop, until it has an end code.
    virtual int RunPage(int page) = 0;
    // The page's window goes; its procedure sees the end code first.
    virtual void ClosePage(int page, int endCode) = 0;
    // Asked when a transition is decided.
    virtual DecisionInputs Decide() = 0;
};

// Results: 0 done (also an end code without a transition), 2 ended on the failure page,
// 4 a page window could not be made.
constexpr int kWizardOk = 0;
constexpr int kWizardFailed = 2;
constexpr int kWizardNoWindow = 4;

int RunWizard(PageHost& host, int firstPage = kPageWelcome);

} // namespace wiz
