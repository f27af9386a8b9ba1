// The controls a page window holds: the three skinned classes of the wizard (push button, check
// box, static text) and the standard ones it keeps (single-line edit, read-only multi-line text
// with a scroll bar, progress bar, single-column list view). Each control lives in page
// coordinates (its rectangle is relative to the page's client area), is owned by its Page, and
// gets its messages from the page: keyboard messages while it has the focus, mouse messages
// while the pointer is over it or while it holds the capture, with positions translated to the
// control's own client coordinates (origin at the rectangle's top-left corner).
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "SYS/window.h"
#include "install/skin.h"
#include "install/ui/canvas.h"

namespace ui {

using sys::LPARAM;
using sys::LRESULT;
using sys::WPARAM;

// WM_COMMAND's wParam: control identifier in the low word, notification code in the high word.
constexpr WPARAM MakeCommand(int id, int code) {
    return WPARAM((uint32_t(code & 0xFFFF) << 16) | uint32_t(id & 0xFFFF));
}
constexpr int CommandId(WPARAM wParam) {
    return int(wParam & 0xFFFF);
}
constexpr int CommandCode(WPARAM wParam) {
    return int((wParam >> 16) & 0xFFFF);
}

// Notification codes carried by WM_COMMAND.
constexpr int kNotifyClicked = 0;          // push button clicked (BN_CLICKED)
constexpr int kNotifyEditChanged = 0x0300; // the edit's text changed (EN_CHANGE)
constexpr int kNotifyDoubleClick = 0xFFFD; // list row double-clicked (NM_DBLCLK); lParam = row

// State byte of the skinned push buttons and check boxes.
constexpr uint8_t kStateFocused = 1;
constexpr uint8_t kStatePressed = 2;
constexpr uint8_t kStateTicked = 4;

// Width of the vertical scroll bar of the text view and the list view.
constexpr int kScrollBarWidth = 16;

class Page;

class Control {
public:
    Control(int id, const sys::Rect& rect);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // "KVLBBtnClass", "KVLBCheckClass", "KVLBStaticClass", "Edit", "TextView",
    // "msctls_progress32", "SysListView32".
    virtual const char* ClassName() const = 0;

    int Id() const { return id_; }
    const sys::Rect& Rect() const { return rect_; }
    void Move(const sys::Rect& rect);
    const std::string& Text() const { return text_; } // Windows-1252
    virtual void SetText(const std::string& text);
    bool Visible() const { return visible_; }
    // A hidden control is not drawn, gets no input and is skipped by keyboard navigation.
    void Show(bool visible);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop) { tabStop_ = tabStop; }
    // Colour behind the control's text (the skin colour unless changed; white on the licence).
    uint32_t Background() const { return background_; }
    void SetBackground(uint32_t colour);
    bool HasFocus() const;
    Page* Owner() const { return page_; }

    // Win32-style requests (BM_GETCHECK, BM_SETCHECK, ...) and the input messages the page
    // routes here; unknown ones answer 0.
    virtual LRESULT Message(unsigned message, WPARAM wParam, LPARAM lParam);
    // Draws the control at its rectangle; the canvas's clip is the rectangle.
    virtual void Paint(Canvas& canvas) = 0;
    // Keys the control uses itself, so the page does not navigate with them (arrows, Enter...).
    virtual bool WantsKey(unsigned virtualKey) const;
    // Whether hovering gives the control the focus (skinned buttons and check boxes).
    virtual bool FocusOnHover() const { return false; }

protected:
    void Invalidate();
    void Notify(int code, LPARAM lParam = 0); // WM_COMMAND to the page

private:
    friend class Page;
    int id_;
    sys::Rect rect_;
    std::string text_;
    bool visible_ = true;
    bool tabStop_ = false;
    uint32_t background_ = kSkinBackground;
    Page* page_ = nullptr;
};

// What every push button does: mouse down takes the focus, sets pressed and captures the mouse;
// up while pressed clears it, releases the capture and sends WM_COMMAND(id, kNotifyClicked) to
// the page. Enter or Space down/up do the same without capture. Losing the focus clears focused
// and pressed; losing the capture clears pressed.
class PushButton : public Control {
public:
    PushButton(int id, const std::string& text, const sys::Rect& rect);
    uint8_t State() const { return state_; }
    LRESULT Message(unsigned message, WPARAM wParam, LPARAM lParam) override;
    bool WantsKey(unsigned virtualKey) const override;

protected:
    uint8_t state_ = 0;
};

// KVLBBtnClass: a face frame from the button sheet, focused and not; text centred with its
// baseline 15 pixels below the top, in the skin font on a transparent background. Its
// rectangle is the normal face frame drawn with its anchor at the page's origin.
class SkinButton : public PushButton {
public:
    SkinButton(int id, const std::string& text, const inst::Picture& sheet,
               const inst::AnimFrame& normal, const inst::AnimFrame& focused);
    const char* ClassName() const override { return "KVLBBtnClass"; }
    void Paint(Canvas& canvas) override;
    bool FocusOnHover() const override { return TabStop(); }

private:
    const inst::Picture& sheet_;
    inst::AnimFrame normal_, focused_;
};

// A standard push button ("Button"): raised grey face, text centred, sunken while pressed,
// focus rectangle inside when focused. For the installer's own plain windows.
class PlainButton : public PushButton {
public:
    PlainButton(int id, const std::string& text, const sys::Rect& rect);
    const char* ClassName() const override { return "Button"; }
    void Paint(Canvas& canvas) override;
};

// KVLBCheckClass: skin-coloured area, 13 x 13 box at the left, text from x = 17 in black, focus
// rectangle from x = 15. A click or Enter/Space flips the tick; no command is sent.
// BM_GETCHECK answers the tick; BM_SETCHECK ticks exactly when wParam is 1.
class SkinCheck : public Control {
public:
    SkinCheck(int id, const std::string& text, const sys::Rect& rect, bool ticked);
    const char* ClassName() const override { return "KVLBCheckClass"; }
    uint8_t State() const { return state_; }
    bool Checked() const { return (state_ & kStateTicked) != 0; }
    void SetCheck(WPARAM value); // ticked exactly when value is 1
    LRESULT Message(unsigned message, WPARAM wParam, LPARAM lParam) override;
    void Paint(Canvas& canvas) override;
    bool WantsKey(unsigned virtualKey) const override;
    bool FocusOnHover() const override { return TabStop(); }

private:
    uint8_t state_ = 0;
};

enum class TextAlign { Left, Centre, Right };

// KVLBStaticClass: black text on the background colour; word-wrapped unless single-line.
class SkinStatic : public Control {
public:
    SkinStatic(int id, const std::string& text, const sys::Rect& rect, TextAlign align,
               bool singleLine);
    const char* ClassName() const override { return "KVLBStaticClass"; }
    TextAlign Align() const { return align_; }
    bool SingleLine() const { return singleLine_; }
    void Paint(Canvas& canvas) override;

private:
    TextAlign align_;
    bool singleLine_;
};

// Single-line edit in the skin font: caret (Ctrl+arrows jump by words, blanks and path
// separators ending them), selection (Shift with the caret keys, mouse drag, Shift+click,
// double-click selects a word, Ctrl+A all), typing through WM_CHAR, Backspace/Delete, clipboard
// copy (Ctrl+C, Ctrl+Insert), cut (Ctrl+X, Shift+Delete) and paste (Ctrl+V, Shift+Insert).
// Sends WM_COMMAND(id, kNotifyEditChanged) after every change the user makes.
class Edit : public Control {
public:
    Edit(int id, const std::string& text, const sys::Rect& rect);
    const char* ClassName() const override { return "Edit"; }
    void SetText(const std::string& text) override; // caret to the end, no selection
    // Most characters the field holds (typing and pasting beyond it are cut off).
    void SetLimit(size_t limit);
    size_t Caret() const { return caret_; }
    // Selected range [SelectionStart, SelectionEnd); empty when they are equal.
    size_t SelectionStart() const;
    size_t SelectionEnd() const;
    // Selects [anchor, caret) (either order); positions beyond the text are clamped.
    void Select(size_t anchor, size_t caret);
    LRESULT Message(unsigned message, WPARAM wParam, LPARAM lParam) override;
    void Paint(Canvas& canvas) override;
    bool WantsKey(unsigned virtualKey) const override;

private:
    void Replace(const std::string& with); // replaces the selection, caret after it
    void MoveCaret(size_t to, bool extend);
    size_t PositionAt(int x) const;
    int TextX(size_t position) const; // canvas-free x of a position inside the field

    size_t caret_ = 0, anchor_ = 0;
    size_t limit_ = 32767;
    int scroll_ = 0; // pixels of text scrolled off at the left
    bool dragging_ = false;
};

// Read-only multi-line text (the licence) with a vertical scroll bar: word-wrapped to the
// width left of the bar, CR LF / LF line ends, NUL and other control bytes shown as blanks.
// Scrolls with the wheel (three lines a notch), Up/Down, Page Up/Down, Home/End, and by
// clicking or dragging the bar.
class TextView : public Control {
public:
    TextView(int id, const sys::Rect& rect);
    const char* ClassName() const override { return "TextView"; }
    void SetText(const std::string& text) override; // back to the top
    int LineCount() const { return int(lines_.size()); }
    int VisibleLines() const;
    int TopLine() const { return top_; }
    void ScrollTo(int line); // clamped to [0, LineCount - VisibleLines]
    LRESULT Message(unsigned message, WPARAM wParam, LPARAM lParam) override;
    void Paint(Canvas& canvas) override;
    bool WantsKey(unsigned virtualKey) const override;

private:
    void Layout();
    sys::Rect BarArea() const; // control coordinates

    std::string shown_;                            // the text with control bytes as blanks
    std::vector<std::pair<size_t, size_t>> lines_; // start and length in shown_
    bool laidOut_ = false;
    int layoutWidth_ = 0; // the text width the lines were broken for
    int top_ = 0;
    int dragOffset_ = -1; // pointer offset into the thumb while dragging it, else -1
};

// Progress bar: range [low, high] (0-100 at first), position clamped into it.
class ProgressBar : public Control {
public:
    ProgressBar(int id, const sys::Rect& rect);
    const char* ClassName() const override { return "msctls_progress32"; }
    void SetRange(int low, int high);
    void SetPos(int position);
    int Pos() const { return pos_; }
    int Low() const { return low_; }
    int High() const { return high_; }
    void Paint(Canvas& canvas) override;

private:
    int low_ = 0, high_ = 100, pos_ = 0;
};

// Single-column list with one selected row and an image list: image i of the list is the
// imageWidth-pixel-wide strip starting at x = i * imageWidth of `images`. Rows are selected with
// a click or Up/Down/Page Up/Page Down/Home/End and scroll with the wheel and with the scroll
// bar shown at the right when the rows do not fit; a double-click on a row selects it and sends
// WM_COMMAND(id, kNotifyDoubleClick) with the row in lParam.
class ListView : public Control {
public:
    ListView(int id, const sys::Rect& rect);
    const char* ClassName() const override { return "SysListView32"; }
    // The picture must outlive the control.
    void SetImageList(const inst::Picture* images, int imageWidth);
    // Width of the column (the whole list by default); text beyond it is cut off.
    void SetColumnWidth(int width);
    int ColumnWidth() const;
    int AddRow(const std::string& text, int image); // returns the row index
    void ClearRows();
    int RowCount() const { return int(rows_.size()); }
    const std::string& RowText(int row) const;
    int RowImage(int row) const;
    int Selected() const { return selected_; } // -1 when none
    void Select(int row);                      // -1 clears; scrolls the row into view
    int TopRow() const { return top_; }
    int RowHeight() const;
    int VisibleRows() const;
    LRESULT Message(unsigned message, WPARAM wParam, LPARAM lParam) override;
    void Paint(Canvas& canvas) override;
    bool WantsKey(unsigned virtualKey) const override;

private:
    struct Row {
        std::string text;
        int image;
    };
    int RowAt(int y) const; // control coordinates; -1 outside the rows
    void ScrollTo(int row);

    std::vector<Row> rows_;
    const inst::Picture* images_ = nullptr;
    int imageWidth_ = 0;
    int columnWidth_ = -1;
    int selected_ = -1;
    int top_ = 0;
};

} // namespace ui
