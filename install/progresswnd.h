// The plain progress windows of uninstalling: a caption and one or two bars, drawn in a small
// SDL window. Without a display there is no window and the work runs without one.
#pragma once
#include <string>

namespace inst {

class ProgressWindow {
public:
    ProgressWindow() = default;
    ~ProgressWindow() { Close(); }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // False when no window can be made (no display, or another window is open).
    bool Open(const std::string& title, int bars);
    bool IsOpen() const { return open_; }
    // Sets bar index to position within 0..range and redraws.
    void SetBar(int index, int position, int range);
    // Handles waiting messages; false once the window was told to close (or Escape was pressed).
    bool Pump();
    void Close();

private:
    void Draw();

    bool open_ = false;
    int bars_ = 1;
    double fractions_[2] = {0, 0};
};

} // namespace inst
