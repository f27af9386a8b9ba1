// The integrity-check window of a package file's verification: shown only once verifying has
// taken longer than the delay, with one bar for the file and one for the current block.
#pragma once
#include <chrono>

#include "install/app.h"
#include "install/package/storage.h"
#include "install/progresswnd.h"

namespace pkg {

class IntegrityCheckWindow {
public:
    explicit IntegrityCheckWindow(inst::InstallerApp& app,
                                  std::chrono::milliseconds delay = std::chrono::milliseconds(3000))
        : app_(app), delay_(delay) {}
    // The verification progress callback of one file; the window closes when this object goes.
    LoadProgress Progress();
    bool WasShown() const { return shown_; }
    const inst::ProgressWindow& Window() const { return window_; }

private:
    void Step(double fileFraction, double blockFraction);

    inst::InstallerApp& app_;
    std::chrono::milliseconds delay_;
    bool started_ = false;
    bool tried_ = false;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_;
    inst::ProgressWindow window_;
};

} // namespace pkg
