// Choosing a folder for Browse: the desktop's own chooser when one is there (zenity, then
// kdialog, looked up on PATH), else a folder list of our own drawn in the open page window
// (modal: Up, Open, OK and Cancel; the page's controls come back unchanged afterwards).
#pragma once
#include <optional>
#include <string>

namespace ui {

// `title` is Windows-1252; `startFolder` is a host path or a Windows-style name the installer's
// host file layer resolves (the nearest existing parent is shown when it does not exist yet).
// Returns the chosen folder as an absolute host path, or nothing when the user cancelled.
std::optional<std::string> ChooseFolder(const std::string& title, const std::string& startFolder);

// Which chooser ChooseFolder uses; tests set Own to get the built-in list under the dummy
// video driver. Desktop (the default) falls back to Own when no desktop chooser is found.
enum class FolderChooserKind { Desktop, Own };
void SetFolderChooserKind(FolderChooserKind kind);

} // namespace ui
