// A page window: the one top-level window of the installer (sys window layer), with a client
// area of a given size centred on the desktop, a caption and an icon, holding child controls in
// tab order and drawn into a 32-bit canvas that is presented after every change.
//
// Messages: the page takes them from the window's queue (PumpMessages / Run). Each message goes
// first to the hook (the wizard's page procedure), which may consume it; otherwise the page
// routes it: keyboard messages to the focused control, mouse messages to the control holding
// the capture or else the one under the pointer. Keyboard navigation: Tab / Shift+Tab move the
// focus over the visible tab-stop controls; Enter clicks the default button unless the focused
// control takes Enter itself (a skinned button clicks itself); Escape is the command of id 2;
// the arrow keys move between buttons and check boxes. Moving the mouse over a skinned button or
// check box with the tab-stop style gives it the focus. Closing the window is the command of
// id 2 as well.
//
// Commands (WM_COMMAND, wParam = MakeCommand(id, code)) that controls send also pass the hook
// first, then go to the command handler. Nothing ends a page by itself: the handler sets the
// end code, after which PumpMessages returns false. The hook and the handler may also close the
// page (or replace themselves) while they run.
#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SYS/window.h"
#include "install/skin.h"
#include "install/ui/canvas.h"
#include "install/ui/controls.h"

namespace ui {

class Page {
public:
    Page() = default;
    ~Page(); // closes the window
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // Creates the window (hidden) with a client area of clientWidth x clientHeight centred on the
    // desktop, bordered with `caption` (Windows-1252). False when there is no display or another
    // window (page or progress window) is open. Controls and callbacks start empty.
    bool Create(const std::string& caption, int clientWidth, int clientHeight);
    // Shows the window, draws it and gives the focus to the first tab stop if none has it.
    void Show();
    // Destroys the window and every control; the Page can be created again.
    void Close();
    bool IsOpen() const { return open_; }

    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return contents_.caption; }
    // The window icon from a PNG (icon group 111); false when it is not a PNG.
    bool SetIconPng(const unsigned char* data, size_t size);
    int Width() const { return canvas_.width; }
    int Height() const { return canvas_.height; }

    // Adding controls: each is owned by the page and takes the next place in the tab order.
    // Rectangles are client coordinates. Identifiers need not be unique (Item finds the first).
    // Skinned push button at its face frame's rectangle (anchor at the page's origin); the
    // sheet must outlive the page. Buttons have the tab-stop style.
    SkinButton* AddButton(int id, const std::string& text, const inst::Picture& sheet,
                          const inst::AnimFrame& normal, const inst::AnimFrame& focused);
    // Standard push button with the tab-stop style.
    PlainButton* AddPlainButton(int id, const std::string& text, const sys::Rect& rect);
    // Skinned check box with the tab-stop style.
    SkinCheck* AddCheck(int id, const std::string& text, const sys::Rect& rect, bool ticked);
    SkinStatic* AddStatic(int id, const std::string& text, const sys::Rect& rect,
                          TextAlign align = TextAlign::Left, bool singleLine = false);
    // Edit field with the tab-stop style.
    Edit* AddEdit(int id, const std::string& text, const sys::Rect& rect);
    // Read-only multi-line text with a vertical scroll bar, tab-stop style.
    TextView* AddTextView(int id, const sys::Rect& rect);
    ProgressBar* AddProgressBar(int id, const sys::Rect& rect);
    // Single-selection list view, tab-stop style.
    ListView* AddListView(int id, const sys::Rect& rect);

    // The first control with this identifier, or null (GetDlgItem).
    Control* Item(int id) const;
    template <class T> T* ItemAs(int id) const { return dynamic_cast<T*>(Item(id)); }
    // Control::Message of the first control with this id; 0 when there is none.
    LRESULT SendItemMessage(int id, unsigned message, WPARAM wParam, LPARAM lParam);
    // Every control in tab order.
    std::vector<Control*> Controls() const;

    void SetFocus(Control* control); // null removes the focus; hidden controls are refused
    Control* Focus() const { return contents_.focus; }
    // The button Enter clicks when the focused control does not take Enter (0: none).
    void SetDefaultButton(int id) { contents_.defaultButton = id; }
    int DefaultButton() const { return contents_.defaultButton; }

    // Whether Shift / Ctrl are held, as the key messages the page has seen tell (the mouse
    // messages' MK_SHIFT / MK_CONTROL bits say the same for a click).
    bool ShiftHeld() const { return shiftHeld_; }
    bool ControlHeld() const { return controlHeld_; }

    // Mouse capture (the pointer's messages go to `control` until released); a control that
    // loses the capture gets WM_CAPTURECHANGED.
    void SetCapture(Control* control);
    void ReleaseCapture();
    Control* Capture() const { return capture_; }

    // Sees every message first (from the queue, and the commands controls send); true when it
    // consumed the message.
    using Hook = std::function<bool(Page& page, const sys::Msg& msg)>;
    void SetHook(Hook hook) { contents_.hook = std::move(hook); }
    // Receives the commands the hook did not consume: control id and notification code (and
    // the command's lParam, the row for kNotifyDoubleClick).
    using CommandHandler = std::function<void(Page& page, int id, int code, LPARAM lParam)>;
    void SetCommandHandler(CommandHandler handler) {
        contents_.commandHandler = std::move(handler);
    }
    // Erases the background before the controls are drawn (the skin colour without one).
    using Painter = std::function<void(Canvas& canvas)>;
    void SetBackgroundPainter(Painter painter);

    // Delivers a command as a control does: hook first, then the command handler.
    void Command(int id, int code, LPARAM lParam = 0);

    // The end code: 0 while the page runs. Setting it makes PumpMessages return false.
    void SetEndCode(int code) { contents_.endCode = code; }
    int EndCode() const { return contents_.endCode; }
    // Handles the waiting messages without blocking, then redraws what changed; false once
    // the end code is set (or the window is gone). Messages behind the one that set the end
    // code stay queued (a new window starts with an empty queue).
    bool PumpMessages();
    // Waits for and handles messages until the end code is set; returns it (2 when the window
    // disappears).
    int Run();

    // A modal layer over the same window (the page's own folder chooser): the page's caption,
    // controls, focus, default button, callbacks and end code are put aside, `build` fills the
    // emptied page, messages are handled until an end code is set, then everything put aside
    // comes back. Returns the layer's end code (2 when the window disappears).
    int RunModal(const std::function<void(Page& page)>& build);

    // Marks the page for drawing on the next pump; Redraw draws and presents at once.
    void Invalidate() { dirty_ = true; }
    void Redraw();
    // The picture last drawn, for tests and screenshots.
    const Canvas& Pixels() const { return canvas_; }

    // The open page, or null: owner of message boxes, target of the window's messages.
    static Page* Current();

    // Handles one message as if it came from the queue (hook, then routing).
    void Dispatch(const sys::Msg& msg);

private:
    static sys::LRESULT WindowProc(unsigned message, WPARAM wParam, LPARAM lParam);
    template <class T> T* Adopt(std::unique_ptr<T> control);
    void Route(const sys::Msg& msg);
    void RouteKey(const sys::Msg& msg);
    void RouteMouse(const sys::Msg& msg);
    bool Navigate(unsigned virtualKey);
    void MoveFocus(int step, bool buttonsOnly);
    Control* ControlAt(int x, int y) const;
    void Paint();
    void Present();

    // What RunModal puts aside.
    struct Contents {
        std::string caption;
        std::vector<std::unique_ptr<Control>> controls;
        Control* focus = nullptr;
        int defaultButton = 0;
        int endCode = 0;
        Hook hook;
        CommandHandler commandHandler;
        Painter painter;
    };
    void SwapContents(Contents& other);
    void ForgetInput(); // capture released, keys released

    bool open_ = false;
    bool dirty_ = false;
    bool shiftHeld_ = false, controlHeld_ = false;
    Canvas canvas_;
    Contents contents_;
    Control* capture_ = nullptr;
};

} // namespace ui
