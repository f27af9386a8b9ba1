// The files that play changes: settings, key bindings, high scores and the error log. They live in
// the game folder while it can be written, as they always have; in a read-only install (a
// distribution package, a system-wide folder) they live in the user's config folder instead,
// which is first seeded with the defaults found in the game folder.
#pragma once
#include <string>

// Decides where the files live; called once at start-up, in the game folder, before any of them
// is read. When the config folder cannot be made either, the names stay in the game folder (the
// writes then fail silently, as writing where one may not always has).
void ChooseUserFilesFolder();

// The folder chosen, as a host path; empty for the game folder.
const std::string& UserFilesFolder();

// Where the named file is read and written: game.ini, controls.ini, highscore.ini and gerr.log
// (any letter case) in the chosen folder; every other name as it is.
std::string UserFilePath(const char* name);
