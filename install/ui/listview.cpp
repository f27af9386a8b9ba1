#include "install/ui/controls.h"

#include <algorithm>

#include "install/ui/page.h"
#include "install/ui/scrollbar.h"

namespace ui {
namespace {

constexpr int kWheelRows = 3;
constexpr int kPadding = 2;
constexpr uint32_t kBorder = Rgb(122, 122, 122);
constexpr uint32_t kSelected = Rgb(0, 120, 215);
constexpr uint32_t kSelectedUnfocused = Rgb(205, 205, 205);

} // namespace

ListView::ListView(int id, const sys::Rect& rect) : Control(id, rect) {
    SetTabStop(true);
    SetBackground(kWhite);
}

void ListView::SetImageList(const inst::Picture* images, int imageWidth) {
    images_ = images;
    imageWidth_ = images ? std::max(imageWidth, 0) : 0;
    Invalidate();
}

void ListView::SetColumnWidth(int width) {
    columnWidth_ = std::max(width, 0);
    Invalidate();
}

int ListView::ColumnWidth() const {
    return columnWidth_ >= 0 ? columnWidth_ : std::max(Rect().right - Rect().left - 2, 0);
}

int ListView::AddRow(const std::string& text, int image) {
    rows_.push_back({text, image});
    Invalidate();
    return int(rows_.size()) - 1;
}

void ListView::ClearRows() {
    rows_.clear();
    selected_ = -1;
    top_ = 0;
    Invalidate();
}

const std::string& ListView::RowText(int row) const {
    static const std::string none;
    return row >= 0 && row < RowCount() ? rows_[size_t(row)].text : none;
}

int ListView::RowImage(int row) const {
    return row >= 0 && row < RowCount() ? rows_[size_t(row)].image : -1;
}

int ListView::RowHeight() const {
    const int image = images_ ? images_->height : 0;
    return std::max(image, FontLineHeight()) + 1;
}

int ListView::VisibleRows() const {
    const int height = Rect().bottom - Rect().top - 2;
    return RowHeight() > 0 ? std::max(height / RowHeight(), 1) : 1;
}

void ListView::ScrollTo(int row) {
    const int clamped = std::clamp(row, 0, std::max(RowCount() - VisibleRows(), 0));
    if (clamped == top_) return;
    top_ = clamped;
    Invalidate();
}

void ListView::Select(int row) {
    if (row < -1 || row >= RowCount()) return;
    selected_ = row;
    if (row >= 0) {
        if (row < top_) ScrollTo(row);
        if (row >= top_ + VisibleRows()) ScrollTo(row - VisibleRows() + 1);
    }
    Invalidate();
}

int ListView::RowAt(int y) const {
    if (y < 1) return -1;
    const int row = top_ + (y - 1) / RowHeight();
    return row < RowCount() ? row : -1;
}

namespace {

ScrollBar BarOf(const sys::Rect& r, int rows, int visible, int top) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    return {{w - 1 - kScrollBarWidth, 1, w - 1, h - 1}, rows, visible, top};
}

} // namespace

LRESULT ListView::Message(unsigned message, WPARAM wParam, LPARAM lParam) {
    const ScrollBar bar = BarOf(Rect(), RowCount(), VisibleRows(), top_);
    const bool barShown = bar.Range() > 0;
    const int x = sys::PointX(lParam), y = sys::PointY(lParam);
    switch (message) {
    case sys::WM_MOUSEWHEEL: ScrollTo(PositionAfterWheel(wParam, top_, kWheelRows)); return 0;
    case sys::WM_LBUTTONDOWN:
    case sys::WM_LBUTTONDBLCLK: {
        if (Owner()) Owner()->SetFocus(this);
        if (barShown && bar.HitTest(x, y) != ScrollBar::Part::None) {
            ScrollTo(bar.PositionAfterClick(bar.HitTest(x, y)));
            return 0;
        }
        const int row = RowAt(y);
        if (row >= 0) Select(row);
        if (message == sys::WM_LBUTTONDBLCLK && row >= 0) Notify(kNotifyDoubleClick, row);
        return 0;
    }
    case sys::WM_SETFOCUS:
    case sys::WM_KILLFOCUS: Invalidate(); return 0;
    case sys::WM_KEYDOWN:
        if (RowCount() > 0 && IsScrollKey(unsigned(wParam)))
            Select(PositionAfterKey(unsigned(wParam), selected_, VisibleRows(), RowCount() - 1));
        return 0;
    default: return 0;
    }
}

bool ListView::WantsKey(unsigned virtualKey) const {
    return IsScrollKey(virtualKey);
}

void ListView::Paint(Canvas& canvas) {
    const sys::Rect& r = Rect();
    canvas.Fill(r, Background());
    canvas.Outline(r, kBorder);
    const ScrollBar bar = BarOf(r, RowCount(), VisibleRows(), top_);
    const int right = std::min(r.left + 1 + ColumnWidth(),
                               bar.Range() > 0 ? r.left + bar.area.left : r.right - 1);
    const sys::Rect saved = canvas.clip;
    canvas.clip = {std::max(saved.left, r.left + 1), std::max(saved.top, r.top + 1),
                   std::min(saved.right, right), std::min(saved.bottom, r.bottom - 1)};
    const bool focused = HasFocus();
    for (int row = top_; row < RowCount() && row <= top_ + VisibleRows(); ++row) {
        const int top = r.top + 1 + (row - top_) * RowHeight();
        const Row& item = rows_[size_t(row)];
        int x = r.left + 1 + kPadding;
        if (images_ && imageWidth_ > 0 && item.image >= 0) {
            canvas.Blit(*images_, item.image * imageWidth_, 0, imageWidth_, images_->height, x,
                        top + (RowHeight() - images_->height) / 2);
        }
        if (images_) x += imageWidth_ + kPadding;
        const int textWidth = TextWidth(item.text);
        const int lineTop = top + (RowHeight() - FontLineHeight()) / 2;
        uint32_t colour = kBlack;
        if (row == selected_) {
            canvas.Fill({x - 1, lineTop, x + textWidth + 1, lineTop + FontLineHeight()},
                        focused ? kSelected : kSelectedUnfocused);
            if (focused) colour = kWhite;
        }
        DrawText(canvas, x, lineTop + FontAscent(), item.text, colour);
    }
    canvas.clip = saved;
    if (bar.Range() > 0) bar.Paint(canvas, r.left, r.top);
}

} // namespace ui
