#include "install/wizard/procedures.h"

#include "install/gamefolders.h"
#include "install/host/guard.h"
#include "install/host/hostfile.h"
#include "install/host/restart.h"
#include "install/messages.h"
#include "install/ui/folderchooser.h"
#include "install/ui/scrollbar.h"
#include "install/wizard/finish.h"
#include "install/wizard/installstep.h"
#include "install/wizard/reqlist.h"
#include "SYS/msgbox.h"

namespace wiz {
namespace {

constexpr int kMarkWidth = 18; // bitmap 128 holds two marks of this width

std::string Value(const inst::InstallerApp& app, const char* name) {
    for (const inst::NameMap* map : {&app.scriptParams, &app.variables}) {
        const auto it = map->find(name);
        if (it != map->end()) return it->second;
    }
    return std::string();
}

bool Ticked(ui::Page& page, int id) {
    const auto* box = page.ItemAs<ui::SkinCheck>(id);
    return box && box->Visible() && box->Checked();
}

void InitSettings(ui::Page& page, const inst::InstallerApp& app) {
    const std::string group = Value(app, "GRP_GAMES");
    page.Item(kGroupEdit)->SetText(group.empty() ? "Zorvane" : group);
    page.Item(kFolderEdit)->SetText(Value(app, "DIR_GAMES"));
}

// Next and Back both keep what the user typed. A folder that is not a full path would put the
// games below the root or the installer's current folder, so the page says so and stays.
bool StoreSettings(ui::Page& page, inst::InstallerApp& app) {
    const std::string folder = page.Item(kFolderEdit)->Text();
    const std::string hostFolder = host::HostPath(folder);
    if (folder.find_first_not_of(' ') == std::string::npos || hostFolder.empty() ||
        hostFolder[0] != '/') {
        inst::ShowMessageF(app, "MsgUserErrDirCreate", "MsgUserErrTitlePackage",
                           sys::MB_OK | sys::MB_ICONERROR, {folder});
        return false;
    }
    inst::StoreGameFolders(app, folder, page.Item(kGroupEdit)->Text());
    // The install may now create and change things in the folder the user chose.
    if (app.variables["DIR_GAMES"] == folder) host::AddTouchableFolder(hostFolder);
    return true;
}

void Browse(ui::Page& page, inst::InstallerApp& app) {
    ui::Control* folder = page.Item(kFolderEdit);
    const std::optional<std::string> chosen =
        ui::ChooseFolder(inst::MessageText(app, "StrBrowseFolderTitle"), folder->Text());
    if (chosen) folder->SetText(*chosen);
}

void InitRequirementList(ui::Page& page, WizardSession& session) {
    auto* list = page.ItemAs<ui::ListView>(kRequirementList);
    list->SetImageList(&session.app.skin.marks, kMarkWidth);
    list->SetColumnWidth(list->Rect().right - list->Rect().left - ui::kScrollBarWidth);
    for (const RequirementLine& line :
         RequirementLines(session.app, session.requirements, session.system))
        list->AddRow(line.text, line.met ? 0 : 1);
}

void InitLicence(ui::Page& page, const std::string& licence) {
    page.Item(kLicenceText)->SetText(licence);
    // The licence reads black on white, its labels with it.
    for (ui::Control* control : page.Controls())
        if (control->Id() == kLicenceText || dynamic_cast<ui::SkinStatic*>(control))
            control->SetBackground(ui::kWhite);
}

void InitInstall(ui::Page& page) {
    for (int id : {kTotalBar, kFileBar}) {
        auto* bar = page.ItemAs<ui::ProgressBar>(id);
        bar->SetRange(0, 100);
        bar->SetPos(0);
    }
}

void InitDone(ui::Page& page, const inst::InstallerApp& app) {
    if (!app.scriptParams.count("GEXE")) return;
    auto* box = page.ItemAs<ui::SkinCheck>(kStartGameCheck);
    box->Show(true);
    box->SetCheck(1);
}

} // namespace

void InitProcedure(PageProcedure procedure, ui::Page& page, WizardSession& session) {
    switch (procedure) {
    case PageProcedure::kSettings: InitSettings(page, session.app); break;
    case PageProcedure::kRequirementList: InitRequirementList(page, session); break;
    case PageProcedure::kLicence: InitLicence(page, session.licence); break;
    case PageProcedure::kInstall: InitInstall(page); break;
    case PageProcedure::kRestart: page.ItemAs<ui::SkinCheck>(kRestartCheck)->SetCheck(1); break;
    case PageProcedure::kDone: InitDone(page, session.app); break;
    case PageProcedure::kNone: break;
    }
}

bool ProcedureMessage(PageProcedure procedure, ui::Page& page, const sys::Msg& msg,
                      WizardSession& session) {
    if (msg.message != sys::WM_COMMAND) return false;
    const int id = ui::CommandId(msg.wParam), code = ui::CommandCode(msg.wParam);
    if (procedure == PageProcedure::kSettings && code == ui::kNotifyClicked) {
        if (id == kEndBrowse) {
            Browse(page, session.app);
            return true;
        }
        // A folder that cannot be used keeps the page open.
        return id != kEndCancel && !StoreSettings(page, session.app);
    }
    // Refusing the licence is an answer already: it leads to the failure page unasked.
    if (procedure == PageProcedure::kLicence && id == kEndCancel && code == ui::kNotifyClicked) {
        page.SetEndCode(kEndCancel);
        return true;
    }
    if (procedure == PageProcedure::kRequirementList && id == kRequirementList &&
        code == ui::kNotifyDoubleClick) {
        const std::vector<RequirementLine> lines =
            RequirementLines(session.app, session.requirements, session.system);
        if (msg.lParam >= 0 && size_t(msg.lParam) < lines.size())
            ShowRequirementHelp(session.app, lines[size_t(msg.lParam)]);
        return true;
    }
    return false;
}

void LeaveProcedure(PageProcedure procedure, ui::Page& page, int endCode, WizardSession& session) {
    if (endCode != kEndCancel) return;
    if (procedure == PageProcedure::kRestart && Ticked(page, kRestartCheck)) {
        host::RestartMachine();
    } else if (procedure == PageProcedure::kDone) {
        if (const auto program =
                ProgramToStart(session.app.scriptParams, Ticked(page, kStartGameCheck)))
            StartInstalledProgram(*program);
    }
}

} // namespace wiz
