// The licence text view, the progress bar and the list view.
#include "ui_test_util.h"

#include <string>

namespace {

using uitest::PageTest;

std::string Lines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "Line " + std::to_string(i) + "\r\n";
    return text;
}

TEST_F(PageTest, TextViewScrollsWithWheelKeysAndBar) {
    ui::TextView* view = page.AddTextView(1015, {20, 20, 360, 220});
    page.Show();
    view->SetText(Lines(100));
    EXPECT_EQ(view->LineCount(), 101); // the text ends with a line end
    const int visible = view->VisibleLines();
    ASSERT_GT(visible, 5);
    const int last = view->LineCount() - visible;
    const struct {
        const char* what;
        std::function<void()> act;
        int top;
    } steps[] = {
        {"wheel down one notch", [&] { Wheel(100, 100, -1); }, 3},
        {"wheel up beyond the top", [&] { Wheel(100, 100, 5); }, 0},
        {"Down", [&] { Key(sys::VK_DOWN); }, 1},
        {"Page Down", [&] { Key(sys::VK_NEXT); }, 1 + visible},
        {"End", [&] { Key(sys::VK_END); }, last},
        {"wheel beyond the end", [&] { Wheel(100, 100, -10); }, last},
        {"Home", [&] { Key(sys::VK_HOME); }, 0},
        {"down arrow of the bar", [&] { Click(350, 215); }, 1},
        {"track below the thumb", [&] { Click(350, 200); }, 1 + visible},
        {"up arrow of the bar", [&] { Click(350, 25); }, visible},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_EQ(view->TopLine(), s.top) << s.what;
    }
    EXPECT_EQ(page.Focus(), view);
    // Dragging the thumb to the bottom shows the end.
    view->ScrollTo(0);
    Down(350, 40);
    EXPECT_EQ(page.Capture(), view);
    Move(350, 400, sys::MK_LBUTTON);
    Up(350, 400);
    EXPECT_EQ(view->TopLine(), last);
    EXPECT_EQ(page.Capture(), nullptr);
}

TEST_F(PageTest, TextViewWrapsAndShowsControlBytesAsBlanks) {
    ui::TextView* view = page.AddTextView(1015, {20, 20, 120, 220});
    std::string text = "one two three four five six seven eight nine ten eleven twelve";
    view->SetText(text);
    EXPECT_GT(view->LineCount(), 2);
    // A view too narrow for one character still breaks its text: a character a line.
    ui::TextView* sliver = page.AddTextView(2, {0, 0, 22, 60});
    sliver->SetText("abc");
    EXPECT_EQ(sliver->LineCount(), 3);
    std::string withNul("a\0b\x01"
                        "c\tz",
                        7);
    view->SetText(withNul);
    EXPECT_EQ(view->LineCount(), 1);
    EXPECT_EQ(view->Text(), withNul); // the text itself is kept
    // What is drawn has no glyph boxes: only the letters' ink.
    page.AddTextView(1, {20, 230, 200, 300})->SetText("a b c z");
    const ui::Canvas& c = Drawn();
    int inkNul = 0, inkPlain = 0;
    for (int y = 22; y < 40; ++y)
        for (int x = 22; x < 100; ++x) {
            inkNul += c.At(x, y) != ui::kWhite;
            inkPlain += c.At(x, y + 210) != ui::kWhite;
        }
    EXPECT_EQ(inkNul, inkPlain);
}

TEST_F(PageTest, TextViewTakesALargeLicence) {
    ui::TextView* view = page.AddTextView(1015, {20, 20, 360, 220});
    std::string text;
    const std::string paragraph(2000, 'x');
    while (text.size() < 10'000'000) text += paragraph + " and some words\n";
    text.push_back('\xff');
    view->SetText(text);
    page.SetFocus(view);
    EXPECT_GT(view->LineCount(), 10000);
    Key(sys::VK_END);
    EXPECT_EQ(view->TopLine(), view->LineCount() - view->VisibleLines());
    EXPECT_TRUE(page.PumpMessages());
}

TEST_F(PageTest, ProgressBarClampsAndFillsItsShare) {
    ui::ProgressBar* bar = page.AddProgressBar(1018, {10, 100, 112, 114});
    EXPECT_EQ(bar->Low(), 0);
    EXPECT_EQ(bar->High(), 100);
    const uint32_t fill = ui::Rgb(6, 176, 37);
    const struct {
        int position, expectedPos, filledColumns;
    } cases[] = {{0, 0, 0},       {50, 50, 50}, {100, 100, 100},
                 {150, 100, 100}, {-5, 0, 0},   {25, 25, 25}};
    for (const auto& c : cases) {
        bar->SetPos(c.position);
        EXPECT_EQ(bar->Pos(), c.expectedPos);
        EXPECT_EQ(Count({10, 107, 112, 108}, fill), c.filledColumns) << c.position;
    }
    bar->SetRange(0, 400);
    bar->SetPos(100);
    EXPECT_EQ(Count({10, 107, 112, 108}, fill), 25);
    bar->SetRange(10, 5); // an empty range holds the position at its low end
    EXPECT_EQ(bar->Pos(), 10);
}

class ListTest : public PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        if (IsSkipped()) return;
        // Two 18-pixel images: red for "met", blue for "not met".
        images.width = 36;
        images.height = 16;
        images.pixels.resize(36 * 16);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 36; ++x)
                images.pixels[size_t(y) * 36 + size_t(x)] =
                    x < 18 ? ui::Rgb(255, 0, 0) : ui::Rgb(0, 0, 255);
        list = page.AddListView(1025, {20, 40, 300, 140});
        list->SetImageList(&images, 18);
        for (int i = 0; i < 12; ++i) list->AddRow("Row " + std::to_string(i), i % 2);
        page.Show();
    }
    int RowY(int row) const { // middle of a visible row
        return list->Rect().top + 1 + (row - list->TopRow()) * list->RowHeight() +
               list->RowHeight() / 2;
    }
    inst::Picture images;
    ui::ListView* list = nullptr;
};

TEST_F(ListTest, RowsShowTheirImagesAndText) {
    EXPECT_EQ(list->RowCount(), 12);
    EXPECT_GE(list->RowHeight(), 16);
    const ui::Canvas& c = Drawn();
    const int x = list->Rect().left + 3 + 9;
    EXPECT_EQ(c.At(x, RowY(0)), ui::Rgb(255, 0, 0));
    EXPECT_EQ(c.At(x, RowY(1)), ui::Rgb(0, 0, 255));
    EXPECT_EQ(Count({x - 9, RowY(0) - 8, x + 9, RowY(0) + 8}, ui::Rgb(255, 0, 0)), 18 * 16);
    // A column narrower than the list cuts the text off.
    int inkWide = 0;
    for (int y = RowY(0) - 6; y < RowY(0) + 6; ++y)
        for (int xx = 50; xx < 120; ++xx) inkWide += c.At(xx, y) != ui::kWhite;
    EXPECT_GT(inkWide, 0);
    list->SetColumnWidth(30);
    const ui::Canvas& narrow = Drawn();
    int inkNarrow = 0;
    for (int y = RowY(0) - 6; y < RowY(0) + 6; ++y)
        for (int xx = 51; xx < 120; ++xx) inkNarrow += narrow.At(xx, y) != ui::kWhite;
    EXPECT_EQ(inkNarrow, 0);
}

TEST_F(ListTest, SelectionFollowsClicksKeysAndDoubleClickNotifies) {
    Click(100, RowY(2));
    EXPECT_EQ(list->Selected(), 2);
    EXPECT_EQ(page.Focus(), list);
    Key(sys::VK_DOWN);
    EXPECT_EQ(list->Selected(), 3);
    Key(sys::VK_END);
    EXPECT_EQ(list->Selected(), 11);
    EXPECT_EQ(list->TopRow(), 12 - list->VisibleRows()); // scrolled into view
    Key(sys::VK_HOME);
    EXPECT_EQ(list->Selected(), 0);
    EXPECT_EQ(list->TopRow(), 0);
    EXPECT_TRUE(commands.empty());
    Post(sys::WM_LBUTTONDBLCLK, sys::MK_LBUTTON, sys::MakePointLParam(100, RowY(1)));
    EXPECT_EQ(list->Selected(), 1);
    EXPECT_EQ(commands, (std::vector<CommandSeen>{{1025, ui::kNotifyDoubleClick, 1}}));
    // Below the last row nothing changes.
    list->ClearRows();
    list->AddRow("only", 0);
    commands.clear();
    Post(sys::WM_LBUTTONDBLCLK, sys::MK_LBUTTON, sys::MakePointLParam(100, 130));
    EXPECT_EQ(list->Selected(), -1);
    EXPECT_TRUE(commands.empty());
}

TEST_F(ListTest, WheelScrollsWithinTheRows) {
    ASSERT_LT(list->VisibleRows(), 12);
    Wheel(100, 80, -1);
    EXPECT_EQ(list->TopRow(), 3);
    Wheel(100, 80, -10);
    EXPECT_EQ(list->TopRow(), 12 - list->VisibleRows());
    Wheel(100, 80, 10);
    EXPECT_EQ(list->TopRow(), 0);
}

} // namespace
