#include "install/wizard/installstep.h"

#include "install/package/installblocks.h"

namespace wiz {
namespace {

class PageBars : public pkg::InstallDisplay {
public:
    explicit PageBars(ui::Page& page)
        : page_(page), total_(page.ItemAs<ui::ProgressBar>(kTotalBar)),
          file_(page.ItemAs<ui::ProgressBar>(kFileBar)) {}
    void SetFileBar(int position) override {
        if (file_) file_->SetPos(position);
    }
    int TotalBar() const override { return total_ ? total_->Pos() : 0; }
    void SetTotalBar(int position) override {
        if (total_) total_->SetPos(position);
    }
    bool Pump() override { return page_.PumpMessages(); }
    int EndCode() const override { return page_.EndCode(); }

private:
    ui::Page& page_;
    ui::ProgressBar* total_;
    ui::ProgressBar* file_;
};

} // namespace

int RunInstallStep(ui::Page& page, WizardSession& session) {
    PageBars bars(page);
    return pkg::InstallAllBlocks(session.app, session.storage, bars);
}

} // namespace wiz
