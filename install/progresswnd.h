// The small progress windows: uninstalling one package (dialog 125), uninstalling all of them
// (127) and the integrity check of a package file (128). They are plain dialogs, not skinned:
// caption and labels come from the string table, the bars are standard progress bars. Closing
// the window or pressing Escape is its command, which stops the work it shows. Without a
// display, and in an unattended run, there is no window and the work runs without one.
#pragma once
#include "install/app.h"
#include "install/ui/page.h"

namespace inst {

struct ProgressDialog {
    struct Bar {
        const char* label; // template text of the label above the bar; null for none
        int id;
    };
    const char* caption; // template text, localised as every window's
    Bar bars[2];
    int barCount;
};

extern const ProgressDialog kUninstallDialog;    // 125: bar 1020
extern const ProgressDialog kUninstallAllDialog; // 127: logs done 1024, current log 1021
extern const ProgressDialog kIntegrityDialog;    // 128: whole file 1024, current block 1021

class ProgressWindow {
public:
    // False when no window can be made (no display, an unattended run, or another window open).
    // Every bar starts with the range 0-100 at 0.
    bool Open(InstallerApp& app, const ProgressDialog& dialog);
    bool IsOpen() const { return page_.IsOpen(); }
    void SetRange(int barId, int low, int high);
    void SetPos(int barId, int position);
    // Handles waiting messages and shows the bars as they stand; false once the window has had
    // a command (it was closed, or Escape was pressed).
    bool Pump();
    void Close() { page_.Close(); }
    // What the window shows, for tests.
    const ui::Page& Page() const { return page_; }

private:
    ui::ProgressBar* Bar(int barId) const;

    ui::Page page_;
};

} // namespace inst
