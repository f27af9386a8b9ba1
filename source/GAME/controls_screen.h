// Key redefinition: the keys of the four game actions and the dialog that waits for a new key.
#pragma once
#include <memory>
#include <string>

#include "GAME/Screen.h"

constexpr const char* kRedefineIni = "DATA\\redefine.ini";
constexpr const char* kKeyDialogIni = "DATA\\keydlg.ini";

// A button caption followed by the names of an action's keys: "caption" + key 1 + (when both
// names are non-empty) the "or" text + key 2.
std::string KeyCaption(const std::string& caption, int action, const char* languageFile);

std::unique_ptr<Screen> MakeRedefineScreen();
// Waits for the key of `action` (1 left, 2 right, 3 shot, 4 swap).
std::unique_ptr<Screen> MakeKeyDialog(int action);
