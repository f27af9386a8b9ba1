// The page window: creation, keyboard navigation, hover-to-focus, the hook, the end code, the
// background painter and modal layers.
#include "ui_test_util.h"

namespace {

using uitest::PageTest;

inst::Picture Flat(int w, int h, uint32_t colour) {
    inst::Picture p;
    p.width = w;
    p.height = h;
    p.pixels.assign(size_t(w) * size_t(h), colour);
    return p;
}

inst::AnimFrame Face(int left, int top) {
    inst::AnimFrame f{};
    f.minusLeft = int16_t(-left);
    f.right16 = int16_t(left + 60);
    f.minusTop = int16_t(-top);
    f.bottom16 = int16_t(top + 20);
    return f;
}

class NavigationTest : public PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        if (IsSkipped()) return;
        page.AddStatic(100, "Folder", {10, 10, 200, 30});
        edit = page.AddEdit(1014, "C:\\Games", {10, 40, 200, 60});
        check = page.AddCheck(1022, "Start", {10, 70, 200, 90}, false);
        hidden = page.AddCheck(1023, "Hidden", {10, 100, 200, 120}, false);
        hidden->Show(false);
        back = page.AddButton(1010, "Back", sheet, Face(10, 320), Face(10, 320));
        next = page.AddButton(1007, "Next", sheet, Face(100, 320), Face(100, 320));
        cancel = page.AddButton(2, "Cancel", sheet, Face(200, 320), Face(200, 320));
        page.SetDefaultButton(1007);
        page.Show();
    }
    inst::Picture sheet = Flat(60, 20, ui::Rgb(1, 2, 3));
    ui::Edit* edit = nullptr;
    ui::SkinCheck *check = nullptr, *hidden = nullptr;
    ui::SkinButton *back = nullptr, *next = nullptr, *cancel = nullptr;
};

TEST_F(NavigationTest, TabCyclesOverVisibleTabStopsBothWays) {
    EXPECT_EQ(page.Focus(), edit); // the first tab stop when shown
    const std::vector<ui::Control*> forward{check, back, next, cancel, edit, check};
    for (ui::Control* expected : forward) {
        Key(sys::VK_TAB);
        EXPECT_EQ(page.Focus(), expected) << expected->Id();
    }
    const std::vector<ui::Control*> backward{edit, cancel, next};
    for (ui::Control* expected : backward) {
        KeyWith(sys::VK_SHIFT, sys::VK_TAB);
        EXPECT_EQ(page.Focus(), expected) << expected->Id();
    }
    EXPECT_FALSE(page.ShiftHeld());
    // Reached with Tab, the edit has its whole text selected.
    for (int i = 0; i < 3; ++i) KeyWith(sys::VK_SHIFT, sys::VK_TAB); // back, check, edit
    ASSERT_EQ(page.Focus(), edit) << page.Focus()->Id();
    EXPECT_EQ(edit->SelectionStart(), 0u);
    EXPECT_EQ(edit->SelectionEnd(), edit->Text().size());
}

TEST_F(NavigationTest, ArrowsMoveBetweenButtonsButStayInsideTheEdit) {
    page.SetFocus(back);
    Key(sys::VK_RIGHT);
    EXPECT_EQ(page.Focus(), next);
    Key(sys::VK_DOWN);
    EXPECT_EQ(page.Focus(), cancel);
    Key(sys::VK_LEFT);
    EXPECT_EQ(page.Focus(), next);
    page.SetFocus(edit);
    Key(sys::VK_LEFT);
    EXPECT_EQ(page.Focus(), edit);
    EXPECT_EQ(edit->Caret(), edit->Text().size() - 1);
}

TEST_F(NavigationTest, EnterEscapeAndClosingBecomeCommands) {
    struct Case {
        const char* what;
        std::function<void()> act;
        CommandSeen expected;
    } cases[] = {
        {"Enter in the edit clicks the default button",
         [&] {
             page.SetFocus(edit);
             Key(sys::VK_RETURN);
         },
         {1007, ui::kNotifyClicked, 0}},
        {"Enter on a button clicks that button",
         [&] {
             page.SetFocus(back);
             Key(sys::VK_RETURN);
         },
         {1010, ui::kNotifyClicked, 0}},
        {"Escape is the command of id 2",
         [&] {
             page.SetFocus(edit);
             Key(sys::VK_ESCAPE);
         },
         {2, ui::kNotifyClicked, 0}},
        {"closing the window too", [&] { Post(sys::WM_CLOSE); }, {2, ui::kNotifyClicked, 0}},
    };
    for (const Case& c : cases) {
        commands.clear();
        c.act();
        EXPECT_EQ(commands, std::vector<CommandSeen>{c.expected}) << c.what;
        EXPECT_TRUE(page.IsOpen());
    }
    // Enter on the check box ticks it instead.
    commands.clear();
    page.SetFocus(check);
    Key(sys::VK_RETURN);
    EXPECT_TRUE(check->Checked());
    EXPECT_TRUE(commands.empty());
}

TEST_F(NavigationTest, HoverGivesTheFocusToSkinnedTabStops) {
    page.SetFocus(edit);
    Move(110, 330);
    EXPECT_EQ(page.Focus(), next);
    EXPECT_EQ(next->State(), ui::kStateFocused);
    Move(20, 80);
    EXPECT_EQ(page.Focus(), check);
    // Not the edit, and not a button without the tab-stop style.
    Move(20, 50);
    EXPECT_EQ(page.Focus(), check);
    cancel->SetTabStop(false);
    Move(210, 330);
    EXPECT_EQ(page.Focus(), check);
    // Not while another control holds the mouse.
    Down(20, 330);
    EXPECT_EQ(page.Focus(), back);
    Move(110, 330, sys::MK_LBUTTON);
    EXPECT_EQ(page.Focus(), back);
}

TEST_F(PageTest, HookSeesEveryMessageFirstAndMayConsumeIt) {
    std::vector<unsigned> seen;
    page.SetHook([&](ui::Page&, const sys::Msg& msg) {
        seen.push_back(msg.message);
        return msg.message == sys::WM_COMMAND && ui::CommandId(msg.wParam) == 1011;
    });
    page.AddEdit(1014, "", {10, 40, 200, 60});
    page.Show();
    seen.clear();
    Post(sys::WM_CHAR, 'x', 1);
    page.Command(1011, ui::kNotifyClicked);
    page.Command(1007, ui::kNotifyClicked);
    EXPECT_EQ(seen, (std::vector<unsigned>{sys::WM_CHAR, sys::WM_COMMAND, sys::WM_COMMAND,
                                           sys::WM_COMMAND})); // the edit's change note too
    EXPECT_EQ(commands, (std::vector<CommandSeen>{{1014, ui::kNotifyEditChanged, 0},
                                                  {1007, ui::kNotifyClicked, 0}}));
    // A consumed key never reaches the control.
    page.SetHook([](ui::Page&, const sys::Msg& msg) { return msg.message == sys::WM_CHAR; });
    Post(sys::WM_CHAR, 'y', 1);
    EXPECT_EQ(page.ItemAs<ui::Edit>(1014)->Text(), "x");
}

TEST_F(PageTest, EndCodeStopsThePumpAndLeavesLaterMessagesQueued) {
    page.SetCommandHandler([](ui::Page& p, int id, int code, sys::LPARAM) {
        if (code == ui::kNotifyClicked) p.SetEndCode(id);
    });
    ui::Edit* edit = page.AddEdit(1014, "", {10, 40, 200, 60});
    page.Show();
    EXPECT_TRUE(page.PumpMessages());
    sys::PostMessage(sys::WM_CLOSE, 0, 0);
    sys::PostMessage(sys::WM_CHAR, 'z', 1);
    EXPECT_FALSE(page.PumpMessages());
    EXPECT_EQ(page.EndCode(), 2);
    EXPECT_FALSE(page.PumpMessages());
    EXPECT_EQ(edit->Text(), "");
    EXPECT_EQ(page.Run(), 2);
    page.SetEndCode(0);
    EXPECT_TRUE(page.PumpMessages());
    EXPECT_EQ(edit->Text(), "z");
}

TEST_F(PageTest, HandlerOrHookMayCloseThePageWhileTheyRun) {
    const inst::Picture sheet = Flat(60, 20, ui::Rgb(1, 2, 3));
    for (bool fromHook : {false, true}) {
        if (!page.IsOpen()) {
            ASSERT_TRUE(page.Create("Again", 100, 100));
        }
        page.AddButton(1007, "Next", sheet, Face(10, 20), Face(10, 20));
        auto close = [](ui::Page& p) { p.Close(); };
        if (fromHook) {
            page.SetHook([&](ui::Page& p, const sys::Msg& msg) {
                if (msg.message == sys::WM_COMMAND) close(p);
                return false;
            });
        } else {
            page.SetCommandHandler([&](ui::Page& p, int, int, sys::LPARAM) { close(p); });
        }
        page.Show();
        sys::PostMessage(sys::WM_LBUTTONDOWN, sys::MK_LBUTTON, sys::MakePointLParam(15, 25));
        sys::PostMessage(sys::WM_LBUTTONUP, 0, sys::MakePointLParam(15, 25));
        EXPECT_FALSE(page.PumpMessages()) << fromHook;
        EXPECT_FALSE(page.IsOpen());
        EXPECT_FALSE(sys::MainWindowExists());
    }
}

TEST_F(PageTest, OnePageAtATimeCentredWithTheClientSize) {
    EXPECT_EQ(ui::Page::Current(), &page);
    ui::Page second;
    EXPECT_FALSE(second.Create("Second", 100, 100));
    const sys::Rect client = sys::GetClientRect();
    EXPECT_EQ(client.right, uitest::kWidth);
    EXPECT_EQ(client.bottom, uitest::kHeight);
    page.Close();
    EXPECT_EQ(ui::Page::Current(), nullptr);
    EXPECT_FALSE(sys::MainWindowExists());
    ASSERT_TRUE(second.Create("Second", 100, 80));
    EXPECT_EQ(ui::Page::Current(), &second);
    EXPECT_EQ(second.Width(), 100);
    EXPECT_EQ(second.Controls().size(), 0u);
}

TEST_F(PageTest, BackgroundPainterRunsBeforeTheControls) {
    const inst::Picture picture = Flat(20, 10, ui::Rgb(9, 99, 199));
    page.SetBackgroundPainter([&](ui::Canvas& c) {
        c.Fill({0, 0, c.width, c.height}, ui::Rgb(1, 1, 1));
        c.Draw(picture, 17, 102);
    });
    page.AddStatic(1, "", {0, 0, 10, 10});
    const ui::Canvas& c = Drawn();
    EXPECT_EQ(c.At(0, 0), ui::kSkinBackground); // the static covers the background
    EXPECT_EQ(c.At(11, 0), ui::Rgb(1, 1, 1));
    EXPECT_EQ(c.At(17, 102), ui::Rgb(9, 99, 199));
    EXPECT_EQ(c.At(36, 111), ui::Rgb(9, 99, 199));
    EXPECT_EQ(c.At(37, 111), ui::Rgb(1, 1, 1));
    EXPECT_EQ(c.At(36, 112), ui::Rgb(1, 1, 1));
    // Hidden controls are not drawn.
    page.Item(1)->Show(false);
    EXPECT_EQ(Drawn().At(0, 0), ui::Rgb(1, 1, 1));
}

TEST_F(PageTest, FrameRectAndDrawFrameFollowTheAnchor) {
    inst::Picture sheet = Flat(50, 40, ui::Rgb(0, 0, 0));
    for (int y = 10; y < 20; ++y)
        for (int x = 30; x < 45; ++x)
            sheet.pixels[size_t(y) * 50 + size_t(x)] = ui::Rgb(50, 60, 70);
    inst::AnimFrame f{};
    f.minusLeft = 5, f.right16 = 10, f.minusTop = 2, f.bottom16 = 8; // 15 x 10
    f.x = 30, f.y = 10;
    const sys::Rect r = ui::FrameRect(f, 100, 50);
    EXPECT_EQ(r.left, 95);
    EXPECT_EQ(r.top, 48);
    EXPECT_EQ(r.right, 110);
    EXPECT_EQ(r.bottom, 58);
    page.SetBackgroundPainter([&](ui::Canvas& c) {
        c.Fill({0, 0, c.width, c.height}, ui::kWhite);
        c.DrawFrame(sheet, f, 100, 50);
    });
    EXPECT_EQ(Count({0, 0, uitest::kWidth, uitest::kHeight}, ui::Rgb(50, 60, 70)), 150);
    EXPECT_EQ(Drawn().At(95, 48), ui::Rgb(50, 60, 70));
    EXPECT_EQ(Drawn().At(109, 57), ui::Rgb(50, 60, 70));
}

TEST_F(PageTest, ModalLayerPutsThePageAsideAndBringsItBack) {
    ui::Edit* edit = page.AddEdit(1014, "kept", {10, 40, 200, 60});
    page.SetDefaultButton(1007);
    page.Show();
    ASSERT_EQ(page.Focus(), edit);
    sys::PostMessage(sys::WM_CHAR, 'q', 1);
    sys::PostMessage(sys::WM_KEYDOWN, sys::VK_ESCAPE, 0);
    std::vector<CommandSeen> inLayer;
    const int code = page.RunModal([&](ui::Page& p) {
        EXPECT_TRUE(p.Controls().empty());
        EXPECT_EQ(p.EndCode(), 0);
        p.SetCaption("Layer");
        p.AddEdit(5, "", {10, 10, 100, 30});
        p.SetCommandHandler([&](ui::Page& pp, int id, int code, sys::LPARAM) {
            inLayer.push_back({id, code, 0});
            if (id == 2) pp.SetEndCode(2);
        });
    });
    EXPECT_EQ(code, 2);
    EXPECT_EQ(inLayer.back(), (CommandSeen{2, ui::kNotifyClicked, 0}));
    EXPECT_EQ(page.Caption(), "Test page");
    EXPECT_EQ(page.Item(1014), edit);
    EXPECT_EQ(page.Item(5), nullptr);
    EXPECT_EQ(page.Focus(), edit);
    EXPECT_EQ(page.DefaultButton(), 1007);
    EXPECT_EQ(page.EndCode(), 0);
    EXPECT_EQ(edit->Text(), "kept");
    EXPECT_TRUE(commands.empty()); // the page's own handler saw none of the layer's commands
}

} // namespace
