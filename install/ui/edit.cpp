#include "install/ui/controls.h"

#include <algorithm>

#include "SYS/clipboard.h"
#include "install/ui/page.h"

namespace ui {
namespace {

constexpr int kPadding = 3; // between the border and the text
constexpr uint32_t kBorder = Rgb(122, 122, 122);
constexpr uint32_t kSelection = Rgb(0, 120, 215);

// Characters a single-line field keeps: line ends and other control bytes are dropped.
std::string Printable(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (uint8_t(c) >= 32 && c != 127) out.push_back(c);
    return out;
}

// Blanks and path separators end a word for Ctrl+arrows and double-clicks.
bool IsWordBreak(char c) {
    return c == ' ' || c == '\\' || c == '/';
}

// Ctrl+Left: the start of the word before `from` (over any breaks first).
size_t WordStartBefore(const std::string& text, size_t from) {
    size_t i = std::min(from, text.size());
    while (i > 0 && IsWordBreak(text[i - 1])) --i;
    while (i > 0 && !IsWordBreak(text[i - 1])) --i;
    return i;
}

// Ctrl+Right: the start of the next word after `from`.
size_t WordStartAfter(const std::string& text, size_t from) {
    size_t i = std::min(from, text.size());
    while (i < text.size() && !IsWordBreak(text[i])) ++i;
    while (i < text.size() && IsWordBreak(text[i])) ++i;
    return i;
}

} // namespace

Edit::Edit(int id, const std::string& text, const sys::Rect& rect) : Control(id, rect) {
    SetTabStop(true);
    SetBackground(kWhite);
    SetText(text);
}

void Edit::SetText(const std::string& text) {
    std::string kept = Printable(text);
    if (kept.size() > limit_) kept.resize(limit_);
    Control::SetText(kept);
    caret_ = anchor_ = kept.size();
    scroll_ = 0;
}

void Edit::SetLimit(size_t limit) {
    limit_ = limit;
    if (Text().size() > limit_) SetText(Text());
}

size_t Edit::SelectionStart() const {
    return std::min(caret_, anchor_);
}
size_t Edit::SelectionEnd() const {
    return std::max(caret_, anchor_);
}

void Edit::Select(size_t anchor, size_t caret) {
    anchor_ = std::min(anchor, Text().size());
    caret_ = std::min(caret, Text().size());
    Invalidate();
}

void Edit::MoveCaret(size_t to, bool extend) {
    caret_ = std::min(to, Text().size());
    if (!extend) anchor_ = caret_;
    Invalidate();
}

void Edit::Replace(const std::string& with) {
    std::string text = Text();
    const size_t start = SelectionStart(), end = SelectionEnd();
    std::string insert = Printable(with);
    const size_t room = limit_ - std::min(limit_, text.size() - (end - start));
    if (insert.size() > room) insert.resize(room);
    if (insert.empty() && start == end) return;
    text.replace(start, end - start, insert);
    Control::SetText(text);
    caret_ = anchor_ = start + insert.size();
    Notify(kNotifyEditChanged);
}

int Edit::TextX(size_t position) const {
    return kPadding + TextWidth(Text().data(), std::min(position, Text().size())) - scroll_;
}

size_t Edit::PositionAt(int x) const {
    const std::string& text = Text();
    int pen = kPadding - scroll_;
    for (size_t i = 0; i < text.size(); ++i) {
        const int advance = TextWidth(&text[i], 1);
        if (x < pen + advance / 2) return i;
        pen += advance;
    }
    return text.size();
}

LRESULT Edit::Message(unsigned message, WPARAM wParam, LPARAM lParam) {
    const bool shift = Owner() && Owner()->ShiftHeld();
    const bool control = Owner() && Owner()->ControlHeld();
    const std::string& text = Text();
    switch (message) {
    case sys::WM_SETFOCUS:
    case sys::WM_KILLFOCUS:
        dragging_ = false;
        Invalidate();
        return 0;
    case sys::WM_CAPTURECHANGED: dragging_ = false; return 0;
    case sys::WM_LBUTTONDOWN:
        if (Owner()) {
            Owner()->SetFocus(this);
            Owner()->SetCapture(this);
        }
        MoveCaret(PositionAt(sys::PointX(lParam)), (wParam & sys::MK_SHIFT) != 0);
        dragging_ = true;
        return 0;
    case sys::WM_MOUSEMOVE:
        if (dragging_) MoveCaret(PositionAt(sys::PointX(lParam)), true);
        return 0;
    case sys::WM_LBUTTONUP:
        if (dragging_ && Owner() && Owner()->Capture() == this) Owner()->ReleaseCapture();
        dragging_ = false;
        return 0;
    case sys::WM_LBUTTONDBLCLK: {
        // The word under the pointer (a folder name between separators).
        const size_t at = PositionAt(sys::PointX(lParam));
        size_t start = at, end = at;
        while (start > 0 && !IsWordBreak(text[start - 1])) --start;
        while (end < text.size() && !IsWordBreak(text[end])) ++end;
        Select(start, end);
        return 0;
    }
    case sys::WM_CHAR: {
        const uint8_t c = uint8_t(wParam);
        if (c == 8) { // Backspace
            if (SelectionStart() == SelectionEnd() && caret_ > 0) anchor_ = caret_ - 1;
            Replace("");
        } else if (c >= 32 && c != 127) {
            Replace(std::string(1, char(c)));
        }
        return 0;
    }
    case sys::WM_KEYDOWN: break;
    default: return 0;
    }
    // WM_KEYDOWN
    switch (unsigned(wParam)) {
    case sys::VK_LEFT:
        if (control)
            MoveCaret(WordStartBefore(text, caret_), shift);
        else if (!shift && SelectionStart() != SelectionEnd())
            MoveCaret(SelectionStart(), false);
        else
            MoveCaret(caret_ > 0 ? caret_ - 1 : 0, shift);
        break;
    case sys::VK_RIGHT:
        if (control)
            MoveCaret(WordStartAfter(text, caret_), shift);
        else if (!shift && SelectionStart() != SelectionEnd())
            MoveCaret(SelectionEnd(), false);
        else
            MoveCaret(caret_ + 1, shift);
        break;
    case sys::VK_HOME: MoveCaret(0, shift); break;
    case sys::VK_END: MoveCaret(text.size(), shift); break;
    case sys::VK_DELETE:
        if (shift) { // cut
            if (SelectionStart() != SelectionEnd()) {
                sys::SetClipboardText(
                    text.substr(SelectionStart(), SelectionEnd() - SelectionStart()));
                Replace("");
            }
            break;
        }
        if (SelectionStart() == SelectionEnd() && caret_ < text.size()) anchor_ = caret_ + 1;
        Replace("");
        break;
    case sys::VK_INSERT:
        if (shift)
            Replace(sys::ClipboardText());
        else if (control && SelectionStart() != SelectionEnd())
            sys::SetClipboardText(text.substr(SelectionStart(), SelectionEnd() - SelectionStart()));
        break;
    case 'A':
        if (control) Select(0, text.size());
        break;
    case 'C':
    case 'X':
        if (control && SelectionStart() != SelectionEnd()) {
            sys::SetClipboardText(text.substr(SelectionStart(), SelectionEnd() - SelectionStart()));
            if (wParam == 'X') Replace("");
        }
        break;
    case 'V':
        if (control) Replace(sys::ClipboardText());
        break;
    default: break;
    }
    return 0;
}

bool Edit::WantsKey(unsigned virtualKey) const {
    switch (virtualKey) {
    case sys::VK_LEFT:
    case sys::VK_RIGHT:
    case sys::VK_HOME:
    case sys::VK_END:
    case sys::VK_DELETE:
    case sys::VK_INSERT:
    case sys::VK_UP:
    case sys::VK_DOWN: return true;
    default: return false;
    }
}

void Edit::Paint(Canvas& canvas) {
    const sys::Rect& r = Rect();
    canvas.Fill(r, Background());
    canvas.Outline(r, kBorder);
    const std::string& text = Text();
    // Keep the caret inside the field.
    const int inner = std::max(r.right - r.left - 2 * kPadding, 1);
    const int caretOffset = TextWidth(text.data(), caret_);
    if (caretOffset - scroll_ > inner) scroll_ = caretOffset - inner;
    if (caretOffset < scroll_) scroll_ = caretOffset;
    const sys::Rect saved = canvas.clip;
    canvas.clip = {std::max(saved.left, r.left + 1), std::max(saved.top, r.top + 1),
                   std::min(saved.right, r.right - 1), std::min(saved.bottom, r.bottom - 1)};
    const int lineTop = r.top + (r.bottom - r.top - FontLineHeight()) / 2;
    const int baseline = lineTop + FontAscent();
    const bool focused = HasFocus();
    const size_t start = SelectionStart(), end = SelectionEnd();
    DrawText(canvas, r.left + TextX(0), baseline, text, kBlack);
    if (focused && start != end) {
        // Selected characters: white on the highlight.
        canvas.Fill(
            {r.left + TextX(start), lineTop, r.left + TextX(end), lineTop + FontLineHeight()},
            kSelection);
        DrawText(canvas, r.left + TextX(start), baseline, text.data() + start, end - start, kWhite);
    }
    if (focused) {
        const int x = r.left + TextX(caret_);
        canvas.Fill({x, lineTop, x + 1, lineTop + FontLineHeight()}, kBlack);
    }
    canvas.clip = saved;
}

} // namespace ui
