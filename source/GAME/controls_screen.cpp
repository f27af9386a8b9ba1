#include "GAME/controls_screen.h"

#include <iterator>

#include "BASE/settings.h"
#include "GAME/hero.h"
#include "GAME/input.h"
#include "GAME/options.h"
#include "GAME/game_ini.h"

namespace {

constexpr int kActions = 4;
constexpr int kResetIndex = 4;
constexpr int kReturnIndex = 5;

class RedefineScreen : public Screen {
public:
    RedefineScreen() : Screen(kRedefineIni, 0) {
        for (const char* section : {"left", "right", "shot", "swap", "reset", "return"})
            AddWideButton(section);
        for (const char* section : {"strleft", "strright", "strshot", "strswap"}) AddLabel(section);
        for (int i = 0; i < kActions; ++i) {
            Widget& button = *children[size_t(i)];
            button.caption = KeyCaption(button.caption, i + 1, LanguageFile.c_str());
        }
        FocusFirst(kReturnIndex);
        escapeIndex = kReturnIndex;
        transitionStart = kOpenAtOnce;
    }

    int OnFocusChanged() override {
        static const int kEvents[] = {40, 41, 42,
                                      43, 44, 31}; // left, right, shot, swap, reset, return
        if (currentIndex >= 0 && currentIndex < int(std::size(kEvents)))
            TheHero.event(kEvents[currentIndex]);
        return 0;
    }

    // Acts at once; this screen is gone afterwards.
    int OnChildAction(Widget* child) override {
        const int index = IndexOf(child);
        if (index >= 0 && index < kActions) {
            TheHero.event(1);
            ReplaceScreen(this, MakeKeyDialog(index + 1));
        } else if (index == kResetIndex) {
            LoadBindings(kDefaultControlsIni);
            ReplaceScreen(this, MakeRedefineScreen());
        } else if (index == kReturnIndex) {
            ReplaceScreen(this, MakeOptionsScreen());
        } else {
            return 0;
        }
        return 1;
    }
};

class KeyDialog : public Screen {
public:
    explicit KeyDialog(int action) : Screen(kKeyDialogIni, 0) {
        extra = action;
        AddLabel("line1");
        AddLabel("line2");
        transitionStart = kOpenAtOnce;
    }

    // Takes input at once; a taken key or Escape brings the redefinition screen back.
    int HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) override {
        if (message == sys::WM_KEYUP && wParam == sys::VK_ESCAPE) {
            ReplaceScreen(this, MakeRedefineScreen());
            return 1;
        }
        if (Rebind(extra, message, wParam, lParam) == kRebindDone) {
            ReplaceScreen(this, MakeRedefineScreen());
            return 1;
        }
        return Button::HandleMessage(message, wParam, lParam);
    }
};

} // namespace

std::string KeyCaption(const std::string& caption, int action, const char* languageFile) {
    KeyNamePair names;
    if (KeyNames(languageFile, action, names) != 0) return caption;
    std::string text = caption + names.key1;
    const std::string second = names.key2.value_or("");
    if (!names.key1.empty() && !second.empty()) text += GetIniString(languageFile, "main", "or");
    return text + second;
}

std::unique_ptr<Screen> MakeRedefineScreen() {
    return std::make_unique<RedefineScreen>();
}

std::unique_ptr<Screen> MakeKeyDialog(int action) {
    return std::make_unique<KeyDialog>(action);
}
