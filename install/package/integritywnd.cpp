#include "install/package/integritywnd.h"

#include "install/messages.h"

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
    // Without a display there is no window; the check goes on all the same.
    if (!shown_ && now - start_ > delay_) {
        shown_ = window_.Open(inst::MessageText(app_, "CrcCheckTitle"), 2);
        if (!shown_) delay_ = std::chrono::milliseconds::max();  // do not try again every step
    }
    if (!window_.IsOpen()) return;
    // Steps come every 1024 bytes; the bars are redrawn only when a percentage moves.
    const int bars[2] = {int(fileFraction * 100), int(blockFraction * 100)};
    for (int i = 0; i < 2; ++i) {
        if (bars[i] != shownBars_[i]) window_.SetBar(i, bars[i], 100);
        shownBars_[i] = bars[i];
    }
    window_.Pump();
}

} // namespace pkg
