// Screen: a panel read from section `main` of a screen description file, holding its widgets as
// children, with 300 ms opening and closing transitions and a frame drawn from the shared menu
// pictures when it has no picture of its own.
#pragma once
#include <memory>
#include <string>

#include "GAME/widgets.h"

constexpr float kTransitionMs = 300.0f;
// Transition start of dialogs that open at once, without animation, and take input at once.
constexpr float kOpenAtOnce = -600.0f;

class Screen : public Button {
public:
    std::string file; // the screen description file
    int result = -1;  // -1 while open; the chosen child's index once a choice was made
    float transitionStart = 0.0f;
    int escapeIndex = -1; // the child that Escape activates; -1: Escape does nothing
    int flyMode = 0;      // 1: bounces in, children fly from the sides, the water closes over it
    int extra = 0;        // one value of the screen's own choosing

    // Reads `main` of `file` with the menu font.
    Screen(const char* descriptionFile, int fly);

    // Adds a widget read from `section` of this screen's file in `initialState` (normal for
    // buttons, ignore for labels); a fly-mode screen gives it a fly-in offset when it has none.
    Widget* AddFromFile(std::unique_ptr<Widget> widget, const char* section, int initialState);
    Widget* AddButton(const char* section) {
        return AddFromFile(std::make_unique<Button>(), section, STATE_NORMAL);
    }
    Widget* AddLabel(const char* section) {
        return AddFromFile(std::make_unique<Button>(), section, STATE_IGNORE);
    }
    Widget* AddWideButton(const char* section) {
        return AddFromFile(std::make_unique<WideButton>(), section, STATE_NORMAL);
    }
    // Focuses child `index` quietly, as if nothing had the focus before (the builder's last step).
    void FocusFirst(int index);
    int IndexOf(const Widget* child) const;
    // Less than 300 ms since the transition start: input is ignored.
    bool InTransition() const { return clock - transitionStart < kTransitionMs; }
    // Moves the panel and every child `dy` pixels down, current and home position.
    void ShiftDown(int dy);

    int HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) override;
    // Stores the reporting child as the result and starts the closing transition.
    int OnChildAction(Widget* child) override;
    int Update(float elapsedMs) override;
    int Draw() override;
};

// The eight shared frame pictures; each load takes one reference and release drops it.
void LoadMenuPictures();
void ReleaseMenuPictures();
// The frame at (x, y) with size (w, h): corners, stretched edges and a filled inside.
void DrawMenuFrame(int x, int y, int w, int h);
