// The one top-level window of a program and its Win32-style message queue, over SDL2.
// Messages carry Win32 numbers (winmsg.h); key messages carry the virtual-key code in wParam and
// the PC set-1 scan code in bits 16-23 of lParam; mouse positions are back-buffer pixels (also
// for WM_MOUSEWHEEL, whose wParam has the turn in its high word, WHEEL_DELTA a notch).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "SYS/winmsg.h"

namespace sys {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

using WndProc = LRESULT (*)(unsigned message, WPARAM wParam, LPARAM lParam);

// Brings up the windowing system for the main window (the window class, on Windows); false when
// there is no display. It stays up until the process ends.
bool RegisterWindowClass();

// Creates the borderless window (hidden until ShowMainWindow) at (x, y) with a client area of
// width x height; a new window starts with an empty message queue. Title is Windows-1252.
// False on failure.
bool CreateMainWindow(const char* title, int x, int y, int width, int height, WndProc proc);
bool MainWindowExists();
// Destroys the window; its procedure receives WM_DESTROY first. Messages for a window that does
// not exist are dropped.
void DestroyMainWindow();
// Shows the window; the first time it is activated as Windows does it: WM_ACTIVATEAPP 1,
// WM_SETFOCUS and WM_SIZE (SIZE_RESTORED) are sent to its procedure.
void ShowMainWindow();
void SetMainWindowTitle(const char* title);
// Gives the window the icon in a PNG file (a Windows-style name); false when it cannot be read.
bool SetMainWindowIcon(const std::string& pngFile);
// The same from PNG data in memory.
bool SetMainWindowIconPng(const unsigned char* data, size_t size);
// Gives the window a frame with its caption (windows start borderless).
void SetMainWindowBordered(bool bordered);

// A window shows the back buffer enlarged by a whole factor (1, the original size, by default;
// see ChooseWindowScale). Full screen is not affected.
void SetWindowScale(int factor);
int WindowScale();

// Window placement. Positions are in desktop pixels; sizes of the client area are in back-buffer
// pixels (the window's own size divided by the scale factor), so the program places the window
// as if it were unscaled. The client rect's origin is (0, 0). The window rect and
// MoveMainWindow's size are the outer ones, frame included.
Rect GetWindowRect();
Rect GetClientRect();
bool MoveMainWindow(int x, int y, int width, int height);
// Windowed: bordered window with caption; full screen: the desktop's own mode, picture scaled
// keeping its aspect. backBufferWidth/Height fix the mapping of mouse positions.
void SetFullScreen(bool fullScreen, int backBufferWidth, int backBufferHeight);
// The desktop of the monitor the window is on (the first monitor before there is a window).
int DesktopWidth();
int DesktopHeight();

// Uploads an RGB565 picture (pitch in bytes) and shows it in the client area; only the rectangle
// `clip` of the picture is copied. Without a graphics processor the picture goes straight into
// the window's own surface and only what changed since the last call is converted, so a frame
// shown there by other means is overwritten only where the picture changes.
void PresentRGB565(const uint16_t* pixels, int pitch, int width, int height, const Rect& clip);
// The same for a 32-bit picture of 0x00RRGGBB pixels.
void PresentRGB32(const uint32_t* pixels, int pitch, int width, int height, const Rect& clip);

// Message queue. PostMessage and PostQuitMessage may be called from any thread.
bool PeekMessage(Msg& msg);                 // takes the next message if one is waiting
void WaitMessage();                         // blocks until a message is waiting
void WaitMessageFor(unsigned milliseconds); // ... or until the time has passed
void TranslateMessage(const Msg& msg);      // queues WM_CHAR for key-downs that type a character
LRESULT DispatchMessage(const Msg& msg);
LRESULT DefWindowProc(unsigned message, WPARAM wParam, LPARAM lParam);
void PostMessage(unsigned message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(unsigned message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

// While captured, the pointer's messages keep coming when it leaves the window (a button held
// over a control and released outside it).
void SetMouseCapture(bool capture);

// Cursor.
void ShowCursor(bool show);
void SetCursorPos(int x, int y); // back-buffer pixels

// Single instance: true when another copy with this window name runs; it is asked to come to
// the front (minimised, then restored). Otherwise this process becomes the running copy.
bool BringRunningCopyToFront(const char* windowName);

} // namespace sys
