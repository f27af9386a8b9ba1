#include "install/wizard/runwizard.h"

namespace wiz {

int RunWizard(PageHost& host, int firstPage) {
    int page = firstPage;
    for (;;) {
        if (!host.ShowPage(page)) return kWizardNoWindow;
        const int endCode = host.RunPage(page);
        host.ClosePage(page, endCode);
        const std::optional<int> next = NextPage(page, endCode, [&] { return host.Decide(); });
        if (!next || *next == kEndWizardOk) return kWizardOk;
        if (*next == kEndWizardFailed) return kWizardFailed;
        page = *next;
    }
}

} // namespace wiz
