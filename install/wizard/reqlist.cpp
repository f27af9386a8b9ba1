#include "install/wizard/reqlist.h"

#include "SYS/msgbox.h"
#include "install/host/exec.h"

namespace wiz {
namespace {

// Requirement texts and their help are shown as the table holds them, without substitution.
std::string TableText(const inst::InstallerApp& app, const char* key) {
    std::string text;
    app.strings.Lookup(key, &text);
    return text;
}

} // namespace

std::vector<RequirementLine> RequirementLines(const inst::InstallerApp& app,
                                              const inst::Requirements& req,
                                              const inst::SystemInfo& info) {
    std::vector<RequirementLine> lines;
    for (const inst::RequirementRow& row : inst::RequirementRows(req))
        lines.push_back({inst::FormatRequirement(TableText(app, row.textKey), req),
                         inst::CheckRequirement(row.check, req, info), row});
    return lines;
}

void ShowRequirementHelp(const inst::InstallerApp& app, const RequirementLine& line) {
    const std::string title = TableText(app, line.row.helpTitleKey);
    if (line.met) {
        sys::MessageBox(TableText(app, "SysReqHelpOk"), title,
                        sys::MB_OK | sys::MB_ICONINFORMATION);
        return;
    }
    const unsigned buttons = line.row.askToDownload ? sys::MB_OKCANCEL : sys::MB_OK;
    const int answer = sys::MessageBox(TableText(app, line.row.helpTextKey), title,
                                       buttons | sys::MB_ICONINFORMATION);
    if (line.row.askToDownload && line.row.downloadAddress && answer == sys::IDOK)
        host::StartProgram(line.row.downloadAddress, {}, "", false);
}

} // namespace wiz
