// The two window requests the monkey run needs that xdotool cannot send: a window-manager ping
// (answered only while the game pumps its messages, so a missing answer is a hang) and the
// window manager's close request.
//   monkey_window ping <window id> <timeout ms>   exit 0 when answered in time, 1 otherwise
//   monkey_window close <window id>               asks the window to close
// Both exit with 3 when the window no longer exists.
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool g_windowGone = false;

int NoteError(Display*, XErrorEvent* error) {
    if (error->error_code == BadWindow) g_windowGone = true;
    return 0;
}

// Sends the request and waits until the server has taken it (or refused it).
bool Send(Display* display, Window window, XClientMessageEvent& message) {
    XSendEvent(display, window, False, NoEventMask, reinterpret_cast<XEvent*>(&message));
    XSync(display, False);
    return !g_windowGone;
}

XClientMessageEvent Protocol(Display* display, Window window, Atom request) {
    XClientMessageEvent message;
    std::memset(&message, 0, sizeof message);
    message.type = ClientMessage;
    message.window = window;
    message.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    message.format = 32;
    message.data.l[0] = long(request);
    message.data.l[1] = CurrentTime;
    message.data.l[2] = long(window);
    return message;
}

int Ping(Display* display, Window window, int timeoutMs) {
    const Window root = DefaultRootWindow(display);
    // The answer is sent to the root window, where a window manager would listen.
    XSelectInput(display, root, SubstructureNotifyMask);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    XClientMessageEvent message = Protocol(display, window, ping);
    if (!Send(display, window, message)) return 3;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage && event.xclient.window == root &&
                Atom(event.xclient.data.l[0]) == ping && Window(event.xclient.data.l[2]) == window)
                return 0;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return 1;
        pollfd fd = {ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, int(left.count()));
    }
}

int Close(Display* display, Window window) {
    XClientMessageEvent message =
        Protocol(display, window, XInternAtom(display, "WM_DELETE_WINDOW", False));
    return Send(display, window, message) ? 0 : 3;
}

} // namespace

int main(int argc, char** argv) {
    const bool ping = argc == 4 && std::strcmp(argv[1], "ping") == 0;
    const bool close = argc == 3 && std::strcmp(argv[1], "close") == 0;
    if (!ping && !close) {
        std::fprintf(stderr, "usage: %s ping <window id> <timeout ms> | close <window id>\n",
                     argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
        return 2;
    }
    XSetErrorHandler(NoteError);
    const Window window = Window(std::strtoul(argv[2], nullptr, 0));
    const int result = ping ? Ping(display, window, std::atoi(argv[3])) : Close(display, window);
    XCloseDisplay(display);
    return result;
}
