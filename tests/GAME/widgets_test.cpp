#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GAME/Screen.h"
#include "GAME/widgets.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/font.h"
#include "GRAPH/graph.h"
#include "SYS/msgbox.h"
#include "screen_fixture.h"

namespace {

sys::LPARAM At(int x, int y) {
    return sys::LPARAM((uint32_t(y) << 16) | uint32_t(x));
}

// A screen that records which children reported to it, in a folder of small description files.
class Recorder : public Screen {
public:
    using Screen::Screen;
    int OnChildAction(Widget* child) override {
        reports.push_back(IndexOf(child));
        return choose ? Screen::OnChildAction(child) : 1;
    }
    std::vector<int> reports;
    bool choose = false; // make the choice (which closes the screen) or only record
};

class WidgetClasses : public AnsweredBoxesTest {
protected:
    // A screen over `ini` that takes input at once.
    static std::unique_ptr<Recorder> OpenScreen(const std::string& ini, int fly = 0) {
        WriteFile("DATA/s.ini", ini);
        auto screen = std::make_unique<Recorder>("DATA\\s.ini", fly);
        screen->transitionStart = kOpenAtOnce;
        return screen;
    }
};

TEST_F(WidgetClasses, FocusSkipsDisabledChildrenAndWraps) {
    auto screen = OpenScreen("[a]\nx=0\n");
    for (const char* section : {"a", "b", "c"}) screen->AddButton(section);
    screen->children[1]->state = STATE_IGNORE;
    screen->FocusFirst(0);
    EXPECT_EQ(screen->children[0]->state, STATE_ACTIVE);
    struct Step {
        unsigned key;
        int focused;
    };
    const Step steps[] = {{sys::VK_DOWN, 2}, {sys::VK_DOWN, 0}, {sys::VK_UP, 2},
                          {sys::VK_HOME, 0}, {sys::VK_END, 2},  {sys::VK_PRIOR, 0},
                          {sys::VK_NEXT, 2}};
    for (const Step& step : steps) {
        const int before = screen->currentIndex;
        screen->HandleMessage(sys::WM_KEYDOWN, step.key, 0);
        EXPECT_EQ(screen->currentIndex, before) << "no move on key down " << step.key;
        screen->HandleMessage(sys::WM_KEYUP, step.key, 0);
        EXPECT_EQ(screen->currentIndex, step.focused) << "after key " << step.key;
    }
    // Only the focused child is active; the one left behind is normal again.
    EXPECT_EQ(screen->children[0]->state, STATE_NORMAL);
    EXPECT_EQ(screen->children[2]->state, STATE_ACTIVE);
    // The joystick's up and down keys move the focus only when they come from the joystick.
    screen->HandleMessage(sys::WM_KEYUP, 61, 1);
    EXPECT_EQ(screen->currentIndex, 2);
    screen->HandleMessage(sys::WM_KEYUP, 61, 0);
    EXPECT_EQ(screen->currentIndex, 0);
}

TEST_F(WidgetClasses, ButtonPressesAndActivatesByKeyAndMouse) {
    auto screen = OpenScreen("[b]\nx=10\ny=10\nxs=100\nys=20\n");
    screen->choose = true;
    Widget* button = screen->AddButton("b");
    screen->AddButton("other");
    screen->FocusFirst(0);
    ASSERT_EQ(button->state, STATE_ACTIVE);

    EXPECT_EQ(screen->HandleMessage(sys::WM_KEYDOWN, 'A', 0), 0);
    EXPECT_EQ(button->state, STATE_ACTIVE);
    EXPECT_EQ(screen->HandleMessage(sys::WM_KEYDOWN, sys::VK_RETURN, 0), 1);
    EXPECT_EQ(button->state, STATE_PRESS);
    // A different select key also releases it: the keys are interchangeable.
    screen->HandleMessage(sys::WM_KEYUP, sys::VK_SPACE, 0);
    EXPECT_EQ(button->state, STATE_ACTIVE);
    EXPECT_EQ(screen->reports, std::vector<int>{0});
    EXPECT_EQ(screen->result, 0);

    // A release outside the button neither activates it nor leaves the press.
    screen->result = -1;
    screen->transitionStart = kOpenAtOnce; // open again
    screen->HandleMessage(sys::WM_LBUTTONDOWN, 0, At(50, 15));
    EXPECT_EQ(button->state, STATE_PRESS);
    screen->HandleMessage(sys::WM_LBUTTONUP, 0, At(300, 300));
    EXPECT_EQ(button->state, STATE_PRESS);
    screen->HandleMessage(sys::WM_LBUTTONUP, 0, At(20, 15));
    EXPECT_EQ(button->state, STATE_ACTIVE);
    EXPECT_EQ(screen->reports, (std::vector<int>{0, 0}));
}

TEST_F(WidgetClasses, InputIsIgnoredDuringTheOpeningTransition) {
    auto screen = OpenScreen("[b]\nxs=100\nys=20\n");
    screen->transitionStart = 0.0f;
    screen->choose = true;
    Widget* button = screen->AddButton("b");
    screen->FocusFirst(0);
    screen->Update(299.0f);
    EXPECT_EQ(screen->HandleMessage(sys::WM_LBUTTONDOWN, 0, At(5, 5)), 0);
    EXPECT_EQ(button->state, STATE_ACTIVE);
    screen->Update(1.0f);
    screen->HandleMessage(sys::WM_LBUTTONDOWN, 0, At(5, 5));
    screen->HandleMessage(sys::WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_EQ(screen->result, 0);
    EXPECT_EQ(screen->transitionStart, 300.0f); // the closing transition starts now
    // Once the choice is made the screen is closing and takes nothing more.
    EXPECT_EQ(screen->HandleMessage(sys::WM_KEYUP, sys::VK_DOWN, 0), 0);
}

TEST_F(WidgetClasses, EscapePressesTheEscapeChildQuietlyAndActivatesItOnRelease) {
    auto screen = OpenScreen("[a]\nxs=10\n");
    screen->AddButton("a");
    screen->AddButton("b");
    screen->escapeIndex = 1;
    screen->FocusFirst(0);
    EXPECT_EQ(screen->HandleMessage(sys::WM_KEYDOWN, sys::VK_ESCAPE, 0), 1);
    EXPECT_EQ(screen->currentIndex, 1);
    EXPECT_EQ(screen->children[1]->state, STATE_PRESS);
    EXPECT_TRUE(screen->reports.empty());
    EXPECT_EQ(screen->HandleMessage(sys::WM_KEYUP, sys::VK_ESCAPE, 0), 1);
    EXPECT_EQ(screen->reports, std::vector<int>{1});

    auto plain = OpenScreen("[a]\nxs=10\n");
    plain->AddButton("a");
    plain->FocusFirst(0);
    plain->HandleMessage(sys::WM_KEYDOWN, sys::VK_ESCAPE, 0);
    plain->HandleMessage(sys::WM_KEYUP, sys::VK_ESCAPE, 0);
    EXPECT_TRUE(plain->reports.empty()); // no escape index: Escape does nothing
}

TEST_F(WidgetClasses, SliderFollowsThePointerAndSnapsAtTheEnds) {
    auto screen = OpenScreen("[s]\nx=100\ny=0\nxs=216\nys=20\n");
    auto* slider =
        static_cast<Slider*>(screen->AddFromFile(std::make_unique<Slider>(), "s", STATE_NORMAL));
    screen->FocusFirst(0);
    struct Case {
        int px;
        float value;
    };
    // The track runs from x + 8 to x + width - 8 (200 pixels).
    const Case cases[] = {{108, 0.0f},  {110, 0.0f}, {112, 0.02f}, {208, 0.5f},
                          {304, 0.98f}, {306, 1.0f}, {308, 1.0f},  {315, 1.0f}};
    screen->HandleMessage(sys::WM_LBUTTONDOWN, 0, At(108, 5));
    for (const Case& c : cases) {
        screen->HandleMessage(sys::WM_MOUSEMOVE, 0, At(c.px, 5));
        EXPECT_NEAR(slider->GetValue(), c.value, 1e-6f) << "pointer at " << c.px;
    }
    // Moving outside keeps the value; a release anywhere ends the drag.
    screen->HandleMessage(sys::WM_MOUSEMOVE, 0, At(200, 50));
    EXPECT_EQ(slider->GetValue(), 1.0f);
    screen->HandleMessage(sys::WM_LBUTTONUP, 0, At(200, 50));
    EXPECT_EQ(slider->state, STATE_ACTIVE);
    screen->HandleMessage(sys::WM_MOUSEMOVE, 0, At(208, 5));
    EXPECT_EQ(slider->GetValue(), 1.0f);
    EXPECT_GE(screen->reports.size(), std::size(cases));
}

TEST_F(WidgetClasses, SliderWithoutTrackKeepsItsValue) {
    auto screen = OpenScreen("[s]\nxs=16\nys=20\n");
    Widget* slider = screen->AddFromFile(std::make_unique<Slider>(), "s", STATE_NORMAL);
    screen->FocusFirst(0);
    slider->SetValue(0.25f);
    screen->HandleMessage(sys::WM_LBUTTONDOWN, 0, At(8, 5));
    screen->HandleMessage(sys::WM_MOUSEMOVE, 0, At(9, 5));
    EXPECT_EQ(slider->GetValue(), 0.25f);
}

TEST_F(WidgetClasses, ItemsAreReadUpToTheFirstEmptyKeyAndPlacedOverTheList) {
    auto screen = OpenScreen("[list]\nx=50\ny=60\nxs=120\nys=30\n0=one\n1=two\n3=four\n"
                             "[one]\nname=One\nx=5\n[two]\nname=Two\n[four]\nname=Four\n");
    auto* list = static_cast<ValueList*>(
        screen->AddFromFile(std::make_unique<ValueList>(), "list", STATE_NORMAL));
    ASSERT_EQ(list->items.size(), 2u);
    EXPECT_EQ(list->items[1]->caption, "Two");
    for (const auto& item : list->items) {
        EXPECT_EQ(item->x, 50);
        EXPECT_EQ(item->y, 60);
        EXPECT_EQ(item->width, 120);
        EXPECT_EQ(item->height, 30);
        EXPECT_EQ(item->state, STATE_NORMAL);
    }
    EXPECT_EQ(list->GetValue(), 0.0f);
}

TEST_F(WidgetClasses, ValueListStepsForwardOnReleaseAndBackOnTheRightButton) {
    auto screen = OpenScreen("[list]\nxs=100\nys=20\n0=i\n1=i\n2=i\n[i]\nname=x\n");
    auto* list = static_cast<ValueList*>(
        screen->AddFromFile(std::make_unique<ValueList>(), "list", STATE_NORMAL));
    screen->FocusFirst(0);
    struct Case {
        unsigned message;
        sys::WPARAM key;
        sys::LPARAM where;
        int selected;
        int state;
    };
    const Case cases[] = {
        {sys::WM_KEYDOWN, sys::VK_RETURN, 0, 0, STATE_PRESS},
        {sys::WM_KEYUP, sys::VK_RETURN, 0, 1, STATE_ACTIVE},
        {sys::WM_KEYUP, sys::VK_RETURN, 0, 1, STATE_ACTIVE}, // not pressed: nothing
        {sys::WM_LBUTTONDOWN, 0, At(5, 5), 1, STATE_PRESS},
        {sys::WM_LBUTTONUP, 0, At(5, 5), 2, STATE_ACTIVE},
        {sys::WM_LBUTTONDOWN, 0, At(5, 5), 2, STATE_PRESS},
        {sys::WM_LBUTTONUP, 0, At(5, 5), 0, STATE_ACTIVE}, // after the last comes the first
        {sys::WM_RBUTTONDOWN, 0, At(5, 5), 0, STATE_PRESS},
        {sys::WM_RBUTTONUP, 0, At(5, 5), 2, STATE_ACTIVE}, // before the first comes the last
    };
    for (const Case& c : cases) {
        screen->HandleMessage(c.message, c.key, c.where);
        EXPECT_EQ(list->GetValue(), float(c.selected)) << "message " << c.message;
        EXPECT_EQ(list->state, c.state) << "message " << c.message;
    }
    EXPECT_EQ(screen->reports.size(), 4u);
}

TEST_F(WidgetClasses, SpinnerArrowsStepTheSelectionAndKeysDoNot) {
    auto screen = OpenScreen("[left]\nxs=20\nys=20\n[right]\nxs=30\nys=20\n"
                             "[spin]\nx=100\ny=10\nxs=200\nys=20\n0=i\n1=i\n2=i\n[i]\nname=x\n");
    auto* spinner = static_cast<Spinner*>(
        screen->AddFromFile(std::make_unique<Spinner>(), "spin", STATE_NORMAL));
    screen->FocusFirst(0);
    EXPECT_EQ(spinner->leftArrow->x, 100);
    EXPECT_EQ(spinner->rightArrow->x, 270);
    EXPECT_EQ(spinner->items[0]->x, 120);
    EXPECT_EQ(spinner->items[0]->width, 150);
    auto click = [&](int px) {
        screen->HandleMessage(sys::WM_LBUTTONDOWN, 0, At(px, 15));
        screen->HandleMessage(sys::WM_LBUTTONUP, 0, At(px, 15));
    };
    click(105);
    EXPECT_EQ(spinner->GetValue(), 2.0f); // before the first comes the last
    click(290);
    EXPECT_EQ(spinner->GetValue(), 0.0f);
    click(290);
    EXPECT_EQ(spinner->GetValue(), 1.0f);
    EXPECT_EQ(screen->reports, (std::vector<int>{0, 0, 0}));
    screen->HandleMessage(sys::WM_KEYDOWN, sys::VK_RETURN, 0);
    screen->HandleMessage(sys::WM_KEYUP, sys::VK_RETURN, 0);
    EXPECT_EQ(spinner->GetValue(), 1.0f);
    // Items added by code are placed between the arrows too.
    spinner->AddItem(std::make_unique<Button>());
    EXPECT_EQ(spinner->items.back()->x, 120);
    EXPECT_EQ(spinner->items.back()->width, 150);
}

TEST_F(WidgetClasses, TextFieldEditsAndRefusesTextAsWideAsItself) {
    Font* font = new Font();
    font->AddRef();
    for (int c = 33; c < 256; ++c) font->glyphWidth[c] = 10;
    {
        TextField field;
        field.SetFont(font);
        field.width = 100;
        for (char c : std::string("abcdefghij"))
            field.HandleMessage(sys::WM_CHAR, sys::WPARAM(uint8_t(c)), 0);
        EXPECT_EQ(field.caption, "abcdefghi"); // a tenth character would make it 100 wide
        EXPECT_EQ(field.GetValue(), 9.0f);

        struct Case {
            unsigned message;
            sys::WPARAM key;
            int result;
            const char* text;
            int caret;
        };
        const Case cases[] = {
            {sys::WM_KEYDOWN, sys::VK_HOME, 1, "abcdefghi", 0},
            {sys::WM_KEYDOWN, sys::VK_BACK, 0, "abcdefghi", 0},
            {sys::WM_KEYDOWN, sys::VK_DELETE, 0, "bcdefghi", 0},
            {sys::WM_KEYDOWN, sys::VK_LEFT, 1, "bcdefghi", 0},
            {sys::WM_KEYDOWN, sys::VK_RIGHT, 1, "bcdefghi", 1},
            {sys::WM_SYSKEYDOWN, sys::VK_BACK, 1, "cdefghi", 0},
            {sys::WM_KEYDOWN, sys::VK_END, 1, "cdefghi", 7},
            {sys::WM_KEYDOWN, sys::VK_RIGHT, 1, "cdefghi", 7},
            {sys::WM_KEYDOWN, sys::VK_DELETE, 0, "cdefghi", 7},
            {sys::WM_KEYDOWN, sys::VK_PRIOR, 1, "cdefghi", 0},
            {sys::WM_KEYDOWN, sys::VK_NEXT, 1, "cdefghi", 7},
            {sys::WM_KEYUP, sys::VK_HOME, 1, "cdefghi", 7},
            {sys::WM_KEYUP, sys::VK_LEFT, 0, "cdefghi", 7},
            {sys::WM_CHAR, 31, 0, "cdefghi", 7},
            {sys::WM_CHAR, 'x', 0, "cdefghix", 8},
        };
        for (const Case& c : cases) {
            EXPECT_EQ(field.HandleMessage(c.message, c.key, 0), c.result)
                << c.message << " " << c.key;
            EXPECT_EQ(field.caption, c.text) << c.message << " " << c.key;
            EXPECT_EQ(field.GetValue(), float(c.caret)) << c.message << " " << c.key;
        }
        // A caret set beyond the text edits at its end instead of past it.
        field.SetValue(40.0f);
        field.HandleMessage(sys::WM_KEYDOWN, sys::VK_BACK, 0);
        EXPECT_EQ(field.caption, "cdefghi");
        field.SetValue(-3.0f);
        field.HandleMessage(sys::WM_KEYDOWN, sys::VK_DELETE, 0);
        EXPECT_EQ(field.caption, "defghi");
    }
    EXPECT_EQ(font->refCount, 1);
    font->Release();
}

TEST_F(WidgetClasses, FlyModeGivesChildrenWithoutOffsetsAFlyInFromTheSides) {
    auto screen = OpenScreen("[left]\nx=100\nxs=100\n[centre]\nx=250\nxs=100\n"
                             "[right]\nx=400\nxs=100\n[own]\nx=400\nxs=100\ny1=7\nx2=3\n",
                             1);
    struct Case {
        const char* section;
        int x1;
    };
    // Centre 300...340 goes right only at an even child count.
    const Case cases[] = {
        {"left", -200}, {"centre", 990}, {"centre", -350}, {"right", 1140}, {"own", 0}};
    for (const Case& c : cases) EXPECT_EQ(screen->AddButton(c.section)->x1, c.x1) << c.section;
    EXPECT_EQ(screen->children.back()->y1, 7);
    EXPECT_EQ(screen->children.back()->x2, 3);

    auto plain = OpenScreen("[right]\nx=400\nxs=100\n");
    EXPECT_EQ(plain->AddButton("right")->x1, 0);
}

TEST_F(WidgetClasses, ChoiceRunsTheResultAfterTheClosingTransition) {
    struct Closing : Recorder {
        using Recorder::Recorder;
        void OnResult() override { ++results; }
        int results = 0;
    };
    WriteFile("DATA/s.ini", "[a]\nxs=5\n");
    Closing screen("DATA\\s.ini", 0);
    screen.transitionStart = kOpenAtOnce;
    screen.choose = true;
    screen.AddButton("a");
    screen.FocusFirst(0);
    screen.HandleMessage(sys::WM_KEYDOWN, sys::VK_RETURN, 0);
    screen.HandleMessage(sys::WM_KEYUP, sys::VK_RETURN, 0);
    EXPECT_EQ(screen.Update(200.0f), 1);
    EXPECT_EQ(screen.results, 0);
    screen.Update(100.0f);
    EXPECT_EQ(screen.results, 0); // exactly 300 ms is still the transition
    screen.Update(1.0f);
    EXPECT_EQ(screen.results, 1);
}

TEST_F(WidgetClasses, WideButtonKeepsItsCapsInSlotsFourToEleven) {
    WriteFile("DATA/s.ini", "[w]\nignore=DATA\\i.tga\n");
    {
        WideButton wide;
        wide.Load("DATA\\s.ini", "w");
        ASSERT_EQ(wide.pictures.size(), 12u);
        EXPECT_EQ(wide.pictures[1], nullptr);
        EXPECT_EQ(wide.pictures[4], wide.pictures[5]);
        EXPECT_EQ(wide.pictures[8], wide.pictures[9]);
    }
    for (const char* name : {"DATA\\i.tga", "DATA\\buttonleft_n.tga", "DATA\\buttonleft_a.tga",
                             "DATA\\buttonleft_p.tga", "DATA\\buttonright_n.tga",
                             "DATA\\buttonright_a.tga", "DATA\\buttonright_p.tga"})
        if (Sprite* cached = FindRegisteredSprite(name)) cached->Release();
}

} // namespace
