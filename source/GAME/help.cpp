#include "GAME/help.h"

#include "BASE/settings.h"
#include "GAME/hero.h"
#include "GAME/menu.h"

namespace {

constexpr int kOkIndex = 0;
constexpr int kPageIndex = 1;

class HelpScreen : public Screen {
public:
    explicit HelpScreen(int page) : Screen(kHelpIni, 0) {
        // The page names have three places; any other page number shows the first page.
        if (page < 0 || page >= kHelpPages) page = 0;
        extra = page;
        static const char* const kPageSections[kHelpPages] = {"page_1", "page_2", "page_3"};
        AddWideButton("OK");
        AddFromFile(std::make_unique<Spinner>(), "Page", STATE_NORMAL)->SetValue(float(page));
        AddLabel(kPageSections[page]);
        TheHero.event(0);
        FocusFirst(0);
        escapeIndex = 0;
        transitionStart = kOpenAtOnce;
    }

    // Acts at once; this screen is gone afterwards.
    int OnChildAction(Widget* child) override {
        const int index = IndexOf(child);
        if (index == kOkIndex) {
            ReturnFromPage(this);
            return 1;
        }
        if (index == kPageIndex) {
            ReplaceScreen(this, MakeHelpScreen(int(child->GetValue())));
            return 1;
        }
        return 0;
    }
};

} // namespace

std::unique_ptr<Screen> MakeHelpScreen(int page) {
    return std::make_unique<HelpScreen>(page);
}
