#include "install/retry.h"

#include "SYS/msgbox.h"
#include "install/messages.h"

namespace inst {

bool WithRetry(InstallerApp& app, const char* textKey, const char* titleKey,
               const std::string& argument, const std::function<bool()>& operation) {
    for (int attempt = 0; attempt <= kMaxRetries; ++attempt) {
        if (operation()) return true;
        const int answer = ShowMessageF(
            app, textKey, titleKey,
            sys::MB_ABORTRETRYIGNORE | sys::MB_ICONERROR | sys::MB_DEFBUTTON2, {argument});
        if (answer == sys::IDIGNORE) return true;
        if (answer != sys::IDRETRY) return false;
    }
    return false;
}

} // namespace inst
