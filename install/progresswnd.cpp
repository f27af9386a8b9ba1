#include "install/progresswnd.h"

#include "install/host/session.h"
#include "install/messages.h"
#include "install/resources.h"

namespace inst {
namespace {

// The grey face of a standard dialog.
constexpr uint32_t kDialogFace = ui::Rgb(240, 240, 240);
constexpr int kWidth = 320, kMargin = 12, kLabelHeight = 16, kBarHeight = 16, kGap = 4;

int RowHeight(const ProgressDialog::Bar& bar) {
    return (bar.label ? kLabelHeight + kGap : 0) + kBarHeight;
}

} // namespace

const ProgressDialog kUninstallDialog = {"%UnDlgInstTitle%", {{nullptr, 1020}}, 1};
const ProgressDialog kUninstallAllDialog = {
    "%UnDlgInstAllTitle%",
    {{"%UnDlgInstAllProgTotal%", 1024}, {"%UnDlgInstAllProgCurr%", 1021}},
    2};
const ProgressDialog kIntegrityDialog = {
    "%CrcCheckTitle%", {{"%CrcCheckAll%", 1024}, {"%CrcCheckCurr%", 1021}}, 2};

bool ProgressWindow::Open(InstallerApp& app, const ProgressDialog& dialog) {
    Close();
    if (host::Unattended()) return false;
    int height = kMargin;
    for (int i = 0; i < dialog.barCount; ++i) height += RowHeight(dialog.bars[i]) + kMargin;
    if (!page_.Create(LocaliseText(app, dialog.caption), kWidth, height)) return false;
    ResourceData icon;
    if (FindResource(111, "ICON", &icon)) page_.SetIconPng(icon.data, icon.size);
    page_.SetBackgroundPainter([](ui::Canvas& canvas) { canvas.Fill(canvas.clip, kDialogFace); });
    int top = kMargin;
    for (int i = 0; i < dialog.barCount; ++i) {
        const ProgressDialog::Bar& bar = dialog.bars[i];
        if (bar.label) {
            ui::Control* label = page_.AddStatic(
                -1, LocaliseText(app, bar.label),
                {kMargin, top, kWidth - kMargin, top + kLabelHeight}, ui::TextAlign::Left, true);
            label->SetBackground(kDialogFace);
            top += kLabelHeight + kGap;
        }
        page_.AddProgressBar(bar.id, {kMargin, top, kWidth - kMargin, top + kBarHeight});
        top += kBarHeight + kMargin;
    }
    // Every command the window gets (its close box, Escape) is the request to stop.
    page_.SetCommandHandler(
        [](ui::Page& page, int id, int, sys::LPARAM) { page.SetEndCode(id != 0 ? id : 2); });
    page_.Show();
    return true;
}

ui::ProgressBar* ProgressWindow::Bar(int barId) const {
    return page_.IsOpen() ? page_.ItemAs<ui::ProgressBar>(barId) : nullptr;
}

void ProgressWindow::SetRange(int barId, int low, int high) {
    if (ui::ProgressBar* bar = Bar(barId)) bar->SetRange(low, high);
}

void ProgressWindow::SetPos(int barId, int position) {
    if (ui::ProgressBar* bar = Bar(barId)) bar->SetPos(position);
}

bool ProgressWindow::Pump() {
    return !page_.IsOpen() || page_.PumpMessages();
}

} // namespace inst
