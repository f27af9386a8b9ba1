// Texts from the string table, expanded, and the message boxes that show them.
#pragma once
#include <string>
#include <vector>

#include "install/app.h"

namespace inst {

// Lookup and ExpandText; an unknown key gives the empty text.
std::string MessageText(InstallerApp& app, const std::string& key);
// Returns the button pressed.
int ShowMessage(InstallerApp& app, const std::string& textKey, const std::string& titleKey,
                unsigned style);
// The expanded text is a format whose "%s" placeholders take the arguments in turn.
int ShowMessageF(InstallerApp& app, const std::string& textKey, const std::string& titleKey,
                 unsigned style, const std::vector<std::string>& arguments);
// The text a window or control shows for the text of its template: a key of the table written
// between '%' or '#' (blanks around it ignored) gives that key's message, anything else is
// expanded as it stands. The wizard applies it to every window it creates.
std::string LocaliseText(InstallerApp& app, const std::string& templateText);
// The formatting ShowMessageF does: "%s" takes the next argument (empty when none is left),
// "%%" is one per-cent sign, anything else is copied as it stands; the result is cut to 8191
// characters. Variable values reach the format, so it must never read more than it is given.
std::string FormatMessage(const std::string& format, const std::vector<std::string>& arguments);

} // namespace inst
