// The wizard's dialog templates: the eight pages as data, in dialog units, with the
// string-table keys (or variables) their texts are localised from.
#pragma once
#include <vector>

namespace wiz {

// Window classes of template controls.
enum class ControlClass { kButton, kStatic, kEdit, kProgress, kListView };

// Style bits with their Win32 values.
constexpr unsigned WS_VISIBLE = 0x10000000;
constexpr unsigned WS_TABSTOP = 0x00010000;
constexpr unsigned WS_VSCROLL = 0x00200000;
constexpr unsigned BS_DEFPUSHBUTTON = 0x1;
constexpr unsigned BS_CHECKBOX = 0x2; // the check-box bit
constexpr unsigned BS_AUTOCHECKBOX = 0x3;
constexpr unsigned SS_CENTER = 0x1;
constexpr unsigned SS_RIGHT = 0x2;
constexpr unsigned SS_TYPEMASK = 0x1F;
constexpr unsigned SS_SIMPLE = 0xB;
constexpr unsigned SS_LEFTNOWORDWRAP = 0xC;
constexpr unsigned ES_MULTILINE = 0x4;
constexpr unsigned ES_AUTOHSCROLL = 0x80;
constexpr unsigned ES_READONLY = 0x800;
constexpr unsigned LVS_SINGLESEL = 0x4;

// Labels without an identifier of their own.
constexpr int kNoId = -1;

struct ControlTemplate {
    ControlClass cls;
    int id;
    const char* text;        // "%Key%" for a string-table text, "%NAME%" for a variable
    int x, y, width, height; // dialog units
    unsigned style;
    bool ticked = false; // check boxes
};

struct DialogTemplate {
    int id;
    const char* caption;
    int width, height;                     // dialog units
    std::vector<ControlTemplate> controls; // in tab order
};

// Every page dialog is this big.
constexpr int kDialogWidth = 253;
constexpr int kDialogHeight = 222;

// The template of dialog id (113-118, 126, 129), or null.
const DialogTemplate* FindDialog(int id);

} // namespace wiz
