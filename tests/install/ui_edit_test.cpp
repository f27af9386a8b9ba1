// The single-line edit: typing, caret, selection, deleting, clipboard and the mouse.
#include "ui_test_util.h"

#include "SYS/clipboard.h"

namespace {

using uitest::PageTest;

class EditTest : public PageTest {
public:
    void SetUp() override {
        PageTest::SetUp();
        if (IsSkipped()) return;
        edit = page.AddEdit(1014, "", {10, 40, 300, 62});
        page.AddEdit(1013, "", {10, 80, 300, 102});
        page.Show();
        ASSERT_EQ(page.Focus(), edit);
    }
    void Shifted(unsigned vk) { KeyWith(sys::VK_SHIFT, vk); }
    void Ctrl(unsigned vk) { KeyWith(sys::VK_CONTROL, vk); }
    ui::Edit* edit = nullptr;
};

TEST_F(EditTest, KeysEditTheTextAroundTheCaret) {
    // Each step starts from "folder" with the caret at the end.
    const struct {
        const char* what;
        std::function<void(EditTest&)> keys;
        const char* text;
        size_t caret;
    } cases[] = {
        {"typing appends", [](EditTest& t) { t.Type("/x"); }, "folder/x", 8},
        {"Backspace", [](EditTest& t) { t.Type("\b\b"); }, "fold", 4},
        {"Home then typing",
         [](EditTest& t) {
             t.Key(sys::VK_HOME);
             t.Type("my ");
         },
         "my folder", 3},
        {"Delete at the end does nothing", [](EditTest& t) { t.Key(sys::VK_DELETE); }, "folder", 6},
        {"Left, Delete",
         [](EditTest& t) {
             t.Key(sys::VK_LEFT);
             t.Key(sys::VK_LEFT);
             t.Key(sys::VK_DELETE);
         },
         "foldr", 4},
        {"Backspace at the start does nothing",
         [](EditTest& t) {
             t.Key(sys::VK_HOME);
             t.Type("\b");
         },
         "folder", 0},
        {"Shift+Left twice selects, typing replaces",
         [](EditTest& t) {
             t.Shifted(sys::VK_LEFT);
             t.Shifted(sys::VK_LEFT);
             t.Type("ks");
         },
         "foldks", 6},
        {"Shift+Home selects to the start, Delete removes",
         [](EditTest& t) {
             t.Key(sys::VK_LEFT);
             t.Shifted(sys::VK_HOME);
             t.Key(sys::VK_DELETE);
         },
         "r", 0},
        {"Ctrl+A then typing replaces everything",
         [](EditTest& t) {
             t.Ctrl('A');
             t.Type("new");
         },
         "new", 3},
        {"End after Home",
         [](EditTest& t) {
             t.Key(sys::VK_HOME);
             t.Key(sys::VK_END);
             t.Type("!");
         },
         "folder!", 7},
        {"Right at the end stays",
         [](EditTest& t) {
             t.Key(sys::VK_RIGHT);
             t.Type("s");
         },
         "folders", 7},
        {"control characters are not typed", [](EditTest& t) { t.Type("\t\r\x1b\x7f"); }, "folder",
         6},
    };
    for (const auto& c : cases) {
        edit->SetText("folder");
        c.keys(*this);
        EXPECT_EQ(edit->Text(), c.text) << c.what;
        EXPECT_EQ(edit->Caret(), c.caret) << c.what;
    }
}

TEST_F(EditTest, CtrlArrowsJumpByWords) {
    edit->SetText("C:\\Games\\Zorvane big");
    const size_t stops[] = {17, 9, 3, 0, 0}; // Ctrl+Left from the end
    for (size_t expected : stops) {
        Ctrl(sys::VK_LEFT);
        EXPECT_EQ(edit->Caret(), expected);
    }
    const size_t forward[] = {3, 9, 17, 20, 20};
    for (size_t expected : forward) {
        Ctrl(sys::VK_RIGHT);
        EXPECT_EQ(edit->Caret(), expected);
    }
    // With Shift they select.
    Key(sys::VK_HOME);
    Post(sys::WM_KEYDOWN, sys::VK_SHIFT, 0);
    Ctrl(sys::VK_RIGHT);
    Post(sys::WM_KEYUP, sys::VK_SHIFT, 0);
    EXPECT_EQ(edit->SelectionStart(), 0u);
    EXPECT_EQ(edit->SelectionEnd(), 3u);
}

TEST_F(EditTest, LeftOrRightCollapsesASelectionToItsEnd) {
    edit->SetText("abcdef");
    edit->Select(1, 4);
    Key(sys::VK_LEFT);
    EXPECT_EQ(edit->Caret(), 1u);
    EXPECT_EQ(edit->SelectionStart(), edit->SelectionEnd());
    edit->Select(4, 1);
    Key(sys::VK_RIGHT);
    EXPECT_EQ(edit->Caret(), 4u);
}

TEST_F(EditTest, ChangesAreReportedOnlyWhenTheTextChanges) {
    edit->SetText("ab");
    Type("c");
    Key(sys::VK_LEFT);
    Key(sys::VK_DELETE);
    Key(sys::VK_DELETE); // nothing right of the caret now
    EXPECT_EQ(commands, (std::vector<CommandSeen>{{1014, ui::kNotifyEditChanged, 0},
                                                  {1014, ui::kNotifyEditChanged, 0}}));
}

TEST_F(EditTest, LimitCutsTypingAndPasting) {
    edit->SetLimit(5);
    Type("abcdefg");
    EXPECT_EQ(edit->Text(), "abcde");
    edit->SetText("0123456789");
    EXPECT_EQ(edit->Text(), "01234");
}

TEST_F(EditTest, ClipboardCopyCutAndPaste) {
    if (!sys::SetClipboardText("probe")) GTEST_SKIP() << "no clipboard";
    edit->SetText("/home/games");
    edit->Select(5, 11);
    Ctrl('C');
    EXPECT_EQ(sys::ClipboardText(), "/games");
    Key(sys::VK_END);
    Ctrl('V');
    EXPECT_EQ(edit->Text(), "/home/games/games");
    edit->Select(0, 5);
    Ctrl('X');
    EXPECT_EQ(edit->Text(), "/games/games");
    EXPECT_EQ(sys::ClipboardText(), "/home");
    Key(sys::VK_HOME);
    Shifted(sys::VK_INSERT);
    EXPECT_EQ(edit->Text(), "/home/games/games");
    // Line ends and other control characters of a pasted text are dropped.
    ASSERT_TRUE(sys::SetClipboardText("a\r\nb\tc"));
    edit->SetText("");
    Ctrl('V');
    EXPECT_EQ(edit->Text(), "abc");
    // Shift+Delete cuts, Ctrl+Insert copies.
    edit->Select(0, 2);
    KeyWith(sys::VK_CONTROL, sys::VK_INSERT);
    EXPECT_EQ(sys::ClipboardText(), "ab");
    Shifted(sys::VK_DELETE);
    EXPECT_EQ(edit->Text(), "c");
}

TEST_F(EditTest, MousePlacesTheCaretAndDragSelects) {
    edit->SetText("abcdefghij");
    page.SetFocus(page.Item(1013));
    const int left = edit->Rect().left + 3; // the text starts inside the border
    const int third = left + ui::TextWidth("abc");
    Click(third, 50);
    EXPECT_EQ(page.Focus(), edit);
    EXPECT_EQ(edit->Caret(), 3u);
    Down(left, 50);
    Move(third, 50, sys::MK_LBUTTON);
    Up(third, 50);
    EXPECT_EQ(edit->SelectionStart(), 0u);
    EXPECT_EQ(edit->SelectionEnd(), 3u);
    // Shift+click extends the selection from its anchor to the click.
    Down(left + ui::TextWidth("abcde"), 50, sys::MK_LBUTTON | sys::MK_SHIFT);
    Up(left + ui::TextWidth("abcde"), 50);
    EXPECT_EQ(edit->SelectionStart(), 0u);
    EXPECT_EQ(edit->SelectionEnd(), 5u);
    // A double-click selects the word under the pointer.
    edit->SetText("/home/user games/x");
    const int inUser = left + ui::TextWidth("/home/us");
    Post(sys::WM_LBUTTONDBLCLK, sys::MK_LBUTTON, sys::MakePointLParam(inUser, 50));
    EXPECT_EQ(edit->SelectionStart(), 6u);
    EXPECT_EQ(edit->SelectionEnd(), 10u);
}

TEST_F(EditTest, DrawsCaretAndSelectionOnlyWhileFocused) {
    edit->SetText("abc");
    edit->Select(0, 3);
    const sys::Rect r = edit->Rect();
    const uint32_t highlight = ui::Rgb(0, 120, 215);
    EXPECT_GT(Count(r, highlight), 20);
    EXPECT_GT(Count(r, ui::kWhite), 20); // field and selected text
    page.SetFocus(page.Item(1013));
    EXPECT_EQ(Count(r, highlight), 0);
    // A long text keeps the caret in view: its last character is drawn.
    edit->SetText(std::string(200, 'W') + "|");
    page.SetFocus(edit);
    const ui::Canvas& c = Drawn();
    int ink = 0;
    for (int y = r.top + 1; y < r.bottom - 1; ++y)
        for (int x = r.right - 12; x < r.right - 1; ++x) ink += c.At(x, y) != ui::kWhite;
    EXPECT_GT(ink, 0);
}

} // namespace
