// The widget tree: every element on screen, screens included, is a Widget; the screens are the
// children of one root widget, which the main loop drives.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "SYS/winmsg.h"

class Font;
class Sprite;

// Widget states.
constexpr int STATE_IGNORE = 0; // disabled: never focused, gets no messages through dispatch
constexpr int STATE_NORMAL = 1; // enabled, not focused
constexpr int STATE_ACTIVE = 2; // focused or under the pointer
constexpr int STATE_PRESS = 3;  // held down by a key or a mouse button

class Widget {
public:
    Widget* parent = nullptr;                      // none for the root
    std::vector<std::unique_ptr<Widget>> children; // in drawing order
    std::string caption;                           // key `name`
    int currentIndex = -1; // containers: the focused child, -1 for none; value lists: the item
    int16_t x = 0, y = 0;
    int16_t width = 0, height = 0; // keys `xs`, `ys`
    int state = STATE_NORMAL;
    int16_t xalign = 0;
    int16_t homeX = 0, homeY = 0; // the position read from the file
    int16_t x1 = 0, x2 = 0, y1 = 0,
            y2 = 0;                // transition offsets: opening (x1, y1), closing (x2, y2)
    std::vector<Sprite*> pictures; // one counted reference per state (a wide button has 12)
    Font* font = nullptr;          // counted reference
    float clock = 0.0f;            // ms accumulated by updates since creation
    std::string sndNormalActive;   // sound played on normal -> active
    std::string sndActivePress;    // sound played on active -> press
    int hidden = 0;

    Widget() = default;
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;
    // Destroys the children and drops the picture and font references.
    virtual ~Widget();

    // Reads the widget from a section of a screen description file.
    virtual void Load(const char* file, const char* section);
    // Non-zero when the message was consumed. Containers hit-test mouse messages against their
    // children (moving the focus) and pass every message to the focused child.
    virtual int HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam);
    // A child was activated or changed its value; the default passes it on to the parent.
    virtual int OnChildAction(Widget* child);
    virtual int OnFocusChanged();
    // Advances the clock and updates the children from the last to the first, stopping at the
    // first that returns non-zero (so a menu screen freezes what lies below it).
    virtual int Update(float elapsedMs);
    // Draws the children from the first to the last; hidden widgets draw nothing.
    virtual int Draw();
    // Appends the child, lends it this widget's font and focuses it (the newest screen gets input).
    virtual Widget* AddChild(std::unique_ptr<Widget> child);
    // Takes the child out and destroys it; 0 when it is not a child of this widget. During a
    // message or an update of the root the destruction waits until that call has returned, so
    // a handler whose action removed its own screen may still finish.
    virtual int RemoveChild(Widget* child);
    virtual void SetValue(float value);
    virtual float GetValue();
    // Stores the state; leaving the parent's focus when disabled.
    virtual void SetState(int newState);
    // A hook for the widget classes; the base does nothing.
    virtual void Notify(int value);
    // Screens: carry out the choice after the closing transition.
    virtual void OnResult();

    int ChildCount() const { return int(children.size()); }
    Widget* FocusedChild() const;
    // Moves the focus to child `index`, or onwards in steps of `step` (0: towards `index`) to the
    // next enabled one; a non-zero step announces the change (the child's sound plays).
    void MoveFocus(int index, int step);
    // Replaces the font reference.
    void SetFont(Font* newFont);
    bool Contains(int px, int py) const;
};

// The mouse messages that containers hit-test (move, and down and up of the three buttons).
bool IsPointerMessage(unsigned message);
// The pointer position of a mouse message: low and high 16 bits of lParam.
int PointerX(sys::LPARAM lParam);
int PointerY(sys::LPARAM lParam);

// The root widget: its children are the screens.
Widget& RootWidget();

// Pushes a screen on top.
Widget* PushScreen(std::unique_ptr<Widget> screen);
// Destroys `old` and, when `next` is given, pushes it; nothing when `old` is no longer a screen.
void ReplaceScreen(Widget* old, std::unique_ptr<Widget> next);
// Destroys every screen, the oldest first, then pushes `next` if given. With nothing to push the
// game closes after its next logic tick.
void ReplaceAllScreens(std::unique_ptr<Widget> next);
