#include "install/wizard/wizardwindows.h"

#include "SYS/msgbox.h"
#include "install/messages.h"
#include "install/resources.h"
#include "install/wizard/installstep.h"
#include "install/wizard/layout.h"
#include "install/wizard/procedures.h"

namespace wiz {
namespace {

constexpr int kWindowIcon = 111;
// The package picture's place on every page.
constexpr int kPackagePictureX = 17, kPackagePictureY = 102;

sys::Rect ToRect(const Box& box) {
    return {box.x, box.y, box.x + box.width, box.y + box.height};
}

ui::TextAlign AlignOf(unsigned style) {
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: return ui::TextAlign::Centre;
    case SS_RIGHT: return ui::TextAlign::Right;
    default: return ui::TextAlign::Left;
    }
}

bool IsSingleLine(unsigned style) {
    const unsigned type = style & SS_TYPEMASK;
    return type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
}

} // namespace

bool WizardWindows::AddControls(const DialogTemplate& dialog) {
    inst::InstallerApp& app = session_.app;
    const inst::Skin& skin = app.skin;
    for (const ControlTemplate& c : dialog.controls) {
        const sys::Rect rect =
            ToRect(ScaleToPage({c.x, c.y, c.width, c.height}, dialog.width, dialog.height,
                               skin.background.width, skin.background.height));
        const std::string text = inst::LocaliseText(app, c.text);
        ui::Control* control = nullptr;
        switch (c.cls) {
        case ControlClass::kButton:
            if (c.style & BS_CHECKBOX) {
                control = window_.AddCheck(c.id, text, rect, c.ticked);
            } else {
                // The skin, not the template, places a push button: its face frame drawn with
                // the anchor at the page's origin.
                const int normal = ButtonFaceFrame(c.id, false),
                          focused = ButtonFaceFrame(c.id, true);
                if (normal < 0 || size_t(focused) >= skin.buttonFrames.size()) return false;
                control = window_.AddButton(c.id, text, skin.buttons, skin.buttonFrames[normal],
                                            skin.buttonFrames[focused]);
                if (c.style & BS_DEFPUSHBUTTON) window_.SetDefaultButton(c.id);
            }
            break;
        case ControlClass::kStatic:
            control = window_.AddStatic(c.id, text, rect, AlignOf(c.style), IsSingleLine(c.style));
            break;
        case ControlClass::kEdit:
            if (c.style & ES_MULTILINE) {
                control = window_.AddTextView(c.id, rect);
                control->SetText(text);
            } else {
                control = window_.AddEdit(c.id, text, rect);
            }
            break;
        case ControlClass::kProgress: control = window_.AddProgressBar(c.id, rect); break;
        case ControlClass::kListView: control = window_.AddListView(c.id, rect); break;
        }
        control->SetTabStop((c.style & WS_TABSTOP) != 0);
        // Hidden controls (the picture placeholder, the start box of the done page) stay out
        // of sight and out of the tab order unless the page procedure shows them.
        control->Show((c.style & WS_VISIBLE) != 0);
    }
    return true;
}

bool WizardWindows::ShowPage(int page) {
    window_.Close();
    shown_ = -1;
    const WizardPage& row = WizardPages()[page];
    const DialogTemplate* dialog = FindDialog(row.dialog);
    inst::InstallerApp& app = session_.app;
    const inst::Skin& skin = app.skin;
    if (!dialog || !window_.Create(inst::LocaliseText(app, dialog->caption), skin.background.width,
                                   skin.background.height))
        return false;
    if (!AddControls(*dialog)) {
        window_.Close();
        return false;
    }
    inst::ResourceData icon;
    if (inst::FindResource(kWindowIcon, "ICON", &icon)) window_.SetIconPng(icon.data, icon.size);

    const int frame = row.frame;
    window_.SetBackgroundPainter([&skin, frame](ui::Canvas& canvas) {
        canvas.Draw(skin.background, 0, 0);
        if (size_t(frame) < skin.pictureFrames.size())
            canvas.DrawFrame(skin.pictures, skin.pictureFrames[size_t(frame)], 0, 0);
        canvas.Draw(skin.package, kPackagePictureX, kPackagePictureY);
    });
    const PageProcedure procedure = row.procedure;
    window_.SetHook([this, procedure](ui::Page& window, const sys::Msg& msg) {
        return ProcedureMessage(procedure, window, msg, session_);
    });
    window_.SetCommandHandler(
        [this](ui::Page&, int id, int code, sys::LPARAM) { HandleCommand(id, code); });
    InitProcedure(procedure, window_, session_);
    shown_ = page;
    window_.Show();
    return true;
}

void WizardWindows::HandleCommand(int id, int code) {
    if (code != ui::kNotifyClicked) return;
    if (id == kEndCancel) {
        const bool confirm = shown_ >= 0 && WizardPages()[shown_].confirmCancel;
        if (!confirm || inst::ShowMessage(session_.app, "StrExitInstall", "StrExitInstallTitle",
                                          sys::MB_YESNO | sys::MB_ICONQUESTION |
                                              sys::MB_DEFBUTTON2) == sys::IDYES)
            window_.SetEndCode(kEndCancel);
        return;
    }
    // Check boxes only change their tick.
    if (dynamic_cast<ui::SkinCheck*>(window_.Item(id))) return;
    window_.SetEndCode(id);
}

int WizardWindows::RunPage(int page) {
    if (WizardPages()[page].runsInstall) return RunInstallStep(window_, session_);
    return window_.Run();
}

void WizardWindows::ClosePage(int page, int endCode) {
    LeaveProcedure(WizardPages()[page].procedure, window_, endCode, session_);
    window_.Close();
    shown_ = -1;
}

} // namespace wiz
