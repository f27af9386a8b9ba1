#include "install/host/session.h"

#include "SYS/msgbox.h"

namespace host {

static bool gUnattended = false;

void SetUnattended(bool unattended) {
    gUnattended = unattended;
    sys::SetHeadlessSafeAnswers(!unattended);
}

bool Unattended() {
    return gUnattended;
}

bool HasDisplay() {
    return sys::DisplayAvailable();
}

} // namespace host
