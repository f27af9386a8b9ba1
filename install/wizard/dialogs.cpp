#include "install/wizard/dialogs.h"

namespace wiz {
namespace {

constexpr unsigned kPush = WS_VISIBLE | WS_TABSTOP;
constexpr unsigned kLabel = WS_VISIBLE;
constexpr unsigned kOneLine = WS_VISIBLE | SS_LEFTNOWORDWRAP;
constexpr unsigned kCheck = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr unsigned kEdit = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;

// Texts sit in the right-hand column of the page: the page picture and the package picture
// take the left one. Push buttons get their places from the skin, so their rectangles here
// only keep the row the template was drawn with.
constexpr int kColumn = 98, kColumnWidth = 141, kButtonRow = 200;

ControlTemplate Button(int id, const char* text, int x, unsigned extra = 0) {
    return {ControlClass::kButton, id, text, x, kButtonRow, 50, 14, kPush | extra};
}
ControlTemplate Label(const char* text, int y, int height, unsigned style = kLabel,
                      int id = kNoId) {
    return {ControlClass::kStatic, id, text, kColumn, y, kColumnWidth, height, style};
}
// The picture placeholder every template holds; the host removes it.
ControlTemplate Placeholder() {
    return {ControlClass::kStatic, 1000, "", 8, 8, 80, 120, 0};
}

const std::vector<DialogTemplate>& Dialogs() {
    static const std::vector<DialogTemplate> dialogs = {
        {113,
         "%WelcomeWndTitle%",
         kDialogWidth,
         kDialogHeight,
         {Button(1007, "%BtnNext%", 130, BS_DEFPUSHBUTTON), Button(2, "%BtnCancel%", 190),
          Button(1009, "%BtnSettings%", 10), Label("%WelcomeTitle%", 12, 48),
          Label("%WelcomeDir%", 68, 10), Label("%DIR_GAMES%", 80, 20),
          Label("%WelcomeGroup%", 106, 20), Label("%GRP_GAMES%", 128, 10, kOneLine),
          Placeholder()}},
        {114,
         "%SettingsWndTitle%",
         kDialogWidth,
         kDialogHeight,
         {Button(1007, "%BtnNext%", 130, BS_DEFPUSHBUTTON),
          Button(2, "%BtnCancel%", 190),
          Button(1010, "%BtnBack%", 70),
          Label("%SettingsTitle%", 12, 20),
          Label("%SettingsDir%", 40, 10),
          {ControlClass::kEdit, 1014, "", kColumn, 52, kColumnWidth, 12, kEdit},
          Button(1011, "%BtnBrowse%", 190),
          Label("%SettingsGroup%", 86, 20),
          {ControlClass::kEdit, 1013, "", kColumn, 108, kColumnWidth, 12, kEdit},
          Placeholder()}},
        {129,
         "%SysReqWndTitle%",
         kDialogWidth,
         kDialogHeight,
         {Button(1007, "%BtnNext%", 130, BS_DEFPUSHBUTTON),
          Button(2, "%BtnCancel%", 190),
          Button(1010, "%BtnBack%", 70),
          Label("%SysReqTitle%", 12, 48),
          {ControlClass::kListView, 1025, "", kColumn, 64, kColumnWidth, 120,
           WS_VISIBLE | WS_TABSTOP | LVS_SINGLESEL},
          Placeholder()}},
        {115,
         "%LicenceWndTitle%",
         kDialogWidth,
         kDialogHeight,
         {Button(1019, "%BtnAgree%", 130, BS_DEFPUSHBUTTON),
          Button(2, "%BtnDisagree%", 190),
          Label("%LicenceTitle%", 12, 10, kOneLine),
          {ControlClass::kEdit, 1015, "", kColumn, 26, kColumnWidth, 160,
           WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY},
          Placeholder()}},
        {116,
         "%CopyWndTitle%",
         kDialogWidth,
         kDialogHeight,
         {Button(2, "%BtnCancel%", 190),
          Label("%CopyTitle%", 12, 30),
          Label("%CopyProgTotal%", 60, 10, kOneLine, 1016),
          {ControlClass::kProgress, 1018, "", kColumn, 72, kColumnWidth, 10, WS_VISIBLE},
          Label("%CopyProgCurr%", 92, 10, kOneLine, 1017),
          {ControlClass::kProgress, 1019, "", kColumn, 104, kColumnWidth, 10, WS_VISIBLE},
          Placeholder()}},
        {126,
         "%AllOkReStartWndTitle%",
         kDialogWidth,
         kDialogHeight,
         {Button(2, "%BtnFinish%", 190),
          Label("%AllOkReStartTitle%", 12, 48),
          {ControlClass::kButton, 1023, "%AllOkReStartStartGameCheck%", kColumn, 70, kColumnWidth,
           12, kCheck},
          Placeholder()}},
        {117,
         "%AllOkWndTitle%",
         kDialogWidth,
         kDialogHeight,
         {Button(2, "%BtnFinish%", 190),
          Label("%AllOkTitle%", 12, 40),
          {ControlClass::kButton, 1022, "%AllOkStartGameCheck%", kColumn, 62, kColumnWidth, 12,
           kCheck & ~WS_VISIBLE},
          Placeholder()}},
        {118,
         "%FailedWndTitle%",
         kDialogWidth,
         kDialogHeight,
         {Button(2, "%BtnFinish%", 190), Label("%FailedSupport%", 62, 48),
          Label("%FailedTitle%", 12, 40), Placeholder()}},
    };
    return dialogs;
}

} // namespace

const DialogTemplate* FindDialog(int id) {
    for (const DialogTemplate& dialog : Dialogs())
        if (dialog.id == id) return &dialog;
    return nullptr;
}

} // namespace wiz
