#include "install/package/integritywnd.h"

namespace pkg {

LoadProgress IntegrityCheckWindow::Progress() {
    return [this](double fileFraction, double blockFraction) { Step(fileFraction, blockFraction); };
}

void IntegrityCheckWindow::Step(double fileFraction, double blockFraction) {
    const auto now = std::chrono::steady_clock::now();
    if (!started_) {
        started_ = true;
        start_ = now;
    }
    // Without a display there is no window; the check goes on all the same. One attempt: a
    // window that cannot be made now will not be made a kilobyte later.
    if (!tried_ && now - start_ > delay_) {
        tried_ = true;
        shown_ = window_.Open(app_, inst::kIntegrityDialog);
    }
    if (!window_.IsOpen()) return;
    // Steps come every 1024 bytes; the window is redrawn only when a percentage moves.
    window_.SetPos(1024, int(fileFraction * 100));
    window_.SetPos(1021, int(blockFraction * 100));
    window_.Pump();
}

} // namespace pkg
