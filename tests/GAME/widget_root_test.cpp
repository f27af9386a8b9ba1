#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "GAME/Widget.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/font.h"
#include "GRAPH/graph.h"
#include "SOUND/sound_test_util.h"
#include "SYS/msgbox.h"
#include "screen_fixture.h"

namespace {

// A widget that records what reaches it in a shared journal.
struct Journal {
    std::vector<std::string> events;
};

class Probe : public Widget {
public:
    Probe(Journal& journal, std::string name, int updateResult = 0)
        : journal_(journal), name_(std::move(name)), updateResult_(updateResult) {}
    ~Probe() override { journal_.events.push_back(name_ + " destroyed"); }

    int HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) override {
        journal_.events.push_back(name_ + " message " + std::to_string(message));
        return Widget::HandleMessage(message, wParam, lParam) + 1;
    }
    int Update(float elapsedMs) override {
        Widget::Update(elapsedMs);
        journal_.events.push_back(name_ + " update");
        if (removeSelfOnUpdate) {
            parent->RemoveChild(this); // destroys this widget: nothing may follow
            return 0;
        }
        return updateResult_;
    }
    int Draw() override {
        journal_.events.push_back(name_ + " draw");
        return 0;
    }
    int OnFocusChanged() override {
        journal_.events.push_back(name_ + " focus changed");
        return 0;
    }

    bool removeSelfOnUpdate = false;

private:
    Journal& journal_;
    std::string name_;
    int updateResult_;
};

Probe* AddProbe(Widget& parent, Journal& journal, const std::string& name, int updateResult = 0) {
    return static_cast<Probe*>(
        parent.AddChild(std::make_unique<Probe>(journal, name, updateResult)));
}

TEST(Widget, NewWidgetDefaults) {
    Widget w;
    EXPECT_EQ(w.parent, nullptr);
    EXPECT_EQ(w.ChildCount(), 0);
    EXPECT_EQ(w.currentIndex, -1);
    EXPECT_EQ(w.state, STATE_NORMAL);
    EXPECT_EQ(w.hidden, 0);
    EXPECT_EQ(w.font, nullptr);
    EXPECT_EQ(w.clock, 0.0f);
    EXPECT_EQ(w.GetValue(), 0.0f);
    EXPECT_EQ(w.OnChildAction(nullptr), 0); // no parent to pass it to
}

TEST(Widget, AddChildFocusesTheNewestAndLendsTheFont) {
    Font* font = new Font();
    font->AddRef();
    {
        Journal journal;
        Widget root;
        root.SetFont(font);
        Probe* a = AddProbe(root, journal, "a");
        Probe* b = AddProbe(root, journal, "b");
        EXPECT_EQ(a->parent, &root);
        EXPECT_EQ(root.currentIndex, 1);
        EXPECT_EQ(root.FocusedChild(), b);
        EXPECT_EQ(b->font, font);
        EXPECT_EQ(font->refCount, 4); // ours, the root's and one per child
    }
    EXPECT_EQ(font->refCount, 1);
    font->Release();
}

TEST(Widget, RemoveChildDestroysItAndKeepsTheFocusInRange) {
    Journal journal;
    Probe parent(journal, "parent");
    AddProbe(parent, journal, "a");
    Probe* b = AddProbe(parent, journal, "b");
    Probe* c = AddProbe(parent, journal, "c");
    Widget stranger;
    EXPECT_EQ(parent.RemoveChild(&stranger), 0);
    EXPECT_EQ(parent.ChildCount(), 3);

    EXPECT_EQ(parent.RemoveChild(c), 1); // the focused last one
    EXPECT_EQ(parent.currentIndex, 1);
    parent.currentIndex = 0;
    EXPECT_EQ(parent.RemoveChild(b), 1); // the focus stays where it is
    EXPECT_EQ(parent.ChildCount(), 1);
    EXPECT_EQ(parent.currentIndex, 0);
    EXPECT_EQ(journal.events,
              (std::vector<std::string>{"c destroyed", "parent focus changed", "b destroyed"}));
    journal.events.clear();
}

TEST(Widget, UpdateRunsFromTheTopScreenDownAndStopsAtOneThatHolds) {
    Journal journal;
    Widget root;
    AddProbe(root, journal, "game");
    AddProbe(root, journal, "menu", 1); // a menu screen freezes what lies below it
    AddProbe(root, journal, "fader");
    root.Update(10.0f);
    root.Update(2.5f);
    EXPECT_EQ(root.clock, 12.5f);
    EXPECT_EQ(journal.events, (std::vector<std::string>{"fader update", "menu update",
                                                        "fader update", "menu update"}));
}

TEST(Widget, AScreenMayRemoveItselfWhileItUpdates) {
    Journal journal;
    Widget root;
    AddProbe(root, journal, "below");
    AddProbe(root, journal, "top")->removeSelfOnUpdate = true;
    root.Update(10.0f);
    EXPECT_EQ(root.ChildCount(), 1);
    EXPECT_EQ(journal.events,
              (std::vector<std::string>{"top update", "top destroyed", "below update"}));
}

TEST(Widget, DrawPaintsBottomToTopAndHiddenWidgetsDrawNothing) {
    Journal journal;
    Widget root;
    AddProbe(root, journal, "a");
    AddProbe(root, journal, "b");
    root.Draw();
    root.hidden = 1;
    root.Draw();
    EXPECT_EQ(journal.events, (std::vector<std::string>{"a draw", "b draw"}));
}

TEST(Widget, MouseMessagesFocusTheChildUnderThePointer) {
    Journal journal;
    Widget root;
    Probe* left = AddProbe(root, journal, "left");
    left->width = 100, left->height = 50;
    Probe* disabled = AddProbe(root, journal, "disabled");
    disabled->x = 100, disabled->width = 100, disabled->height = 50;
    disabled->state = STATE_IGNORE;
    Probe* right = AddProbe(root, journal, "right");
    right->x = 100, right->width = 200, right->height = 50; // lies under the disabled one too
    root.currentIndex = 0;
    left->state = STATE_ACTIVE;

    EXPECT_EQ(root.HandleMessage(sys::WM_LBUTTONDOWN, 0, sys::MakePointLParam(150, 10)), 1);
    EXPECT_EQ(root.FocusedChild(), right);
    EXPECT_EQ(left->state, STATE_NORMAL);
    EXPECT_EQ(right->state, STATE_ACTIVE);

    // A point outside every child leaves the focus; keys go to the focused child.
    root.HandleMessage(sys::WM_MOUSEMOVE, 0, sys::MakePointLParam(400, 400));
    root.HandleMessage(sys::WM_KEYDOWN, sys::VK_RETURN, 0);
    EXPECT_EQ(journal.events, (std::vector<std::string>{"right message 513", "right message 512",
                                                        "right message 256"}));

    Widget empty;
    EXPECT_EQ(empty.HandleMessage(sys::WM_KEYDOWN, sys::VK_RETURN, 0), 0);
}

TEST(Widget, FocusSkipsDisabledChildrenAndWraps) {
    struct Case {
        int from, to, step, expected;
    };
    const Case cases[] = {
        {0, 1, 1, 2},   // Down from the first skips the disabled middle one
        {2, 3, 1, 0},   // Down from the last wraps to the first
        {2, 1, -1, 0},  // Up from the last skips the middle one
        {0, -1, -1, 2}, // Up from the first wraps to the last
        {0, 1, 0, 2},   // a quiet move towards a higher index goes on upwards
    };
    for (const Case& c : cases) {
        Journal journal;
        Widget root;
        for (const char* name : {"first", "middle", "last"}) AddProbe(root, journal, name);
        root.children[1]->state = STATE_IGNORE;
        root.currentIndex = c.from;
        root.children[size_t(c.from)]->state = STATE_ACTIVE;
        root.MoveFocus(c.to, c.step);
        EXPECT_EQ(root.currentIndex, c.expected) << c.from << " -> " << c.to << " step " << c.step;
        EXPECT_EQ(root.children[size_t(c.expected)]->state, STATE_ACTIVE);
        EXPECT_EQ(root.children[size_t(c.from)]->state, STATE_NORMAL);
    }

    Journal journal;
    Widget allDisabled;
    AddProbe(allDisabled, journal, "x")->state = STATE_IGNORE;
    allDisabled.currentIndex = -1;
    allDisabled.MoveFocus(0, 1);
    EXPECT_EQ(allDisabled.currentIndex, -1);
}

TEST(Widget, DisablingTheFocusedChildLeavesTheParentWithoutFocus) {
    Journal journal;
    Widget root;
    Probe* a = AddProbe(root, journal, "a");
    Probe* b = AddProbe(root, journal, "b");
    a->SetState(STATE_IGNORE); // not the focused one
    EXPECT_EQ(root.currentIndex, 1);
    b->SetState(STATE_IGNORE);
    EXPECT_EQ(root.currentIndex, -1);
}

class RootScreens : public ::testing::Test {
protected:
    void TearDown() override { ReplaceAllScreens(nullptr); }
    Journal journal_;
};

TEST_F(RootScreens, ReplaceAllRemovesTheOldestFirstThenPushes) {
    for (const char* name : {"title", "menu", "dialog"})
        PushScreen(std::make_unique<Probe>(journal_, name));
    ReplaceAllScreens(std::make_unique<Probe>(journal_, "game"));
    EXPECT_EQ(journal_.events,
              (std::vector<std::string>{"title destroyed", "menu destroyed", "dialog destroyed"}));
    ASSERT_EQ(RootWidget().ChildCount(), 1);
    EXPECT_EQ(RootWidget().currentIndex, 0);
}

TEST_F(RootScreens, ReplaceSwapsOneScreen) {
    Widget* game = PushScreen(std::make_unique<Probe>(journal_, "game"));
    Widget* pause = PushScreen(std::make_unique<Probe>(journal_, "pause"));
    ReplaceScreen(pause, std::make_unique<Probe>(journal_, "confirm"));
    ReplaceScreen(game, nullptr);
    EXPECT_EQ(journal_.events, (std::vector<std::string>{"pause destroyed", "game destroyed"}));
    EXPECT_EQ(RootWidget().ChildCount(), 1);
}

using WidgetLoad = AnsweredBoxesTest;

TEST_F(WidgetLoad, ReadsItsSection) {
    WriteFile("DATA/screen.ini", "[start]\nx=12\ny=-4\nxs=200\nys=40\nx1=-640\ny1=5\nx2=700\n"
                                 "y2=6\nname=Start game\nxalign=-1\nsndNormalActive=tick\n"
                                 "sndActivePress=click\nignore=DATA\\a.tga\nnormal=DATA\\b.tga\n"
                                 "press=DATA\\d.tga\n"
                                 "[panel]\nnormal=DATA\\b.tga\n");
    Widget w;
    w.Load("DATA\\screen.ini", "start");
    EXPECT_EQ(w.x, 12);
    EXPECT_EQ(w.homeX, 12);
    EXPECT_EQ(w.y, -4);
    EXPECT_EQ(w.homeY, -4);
    EXPECT_EQ(w.width, 200);
    EXPECT_EQ(w.height, 40);
    EXPECT_EQ(w.x1, -640);
    EXPECT_EQ(w.y1, 5);
    EXPECT_EQ(w.x2, 700);
    EXPECT_EQ(w.y2, 6);
    EXPECT_EQ(w.caption, "Start game");
    EXPECT_EQ(w.xalign, -1);
    EXPECT_EQ(w.sndNormalActive, "tick");
    EXPECT_EQ(w.sndActivePress, "click");
    EXPECT_EQ(w.pictures.size(), 2u); // `active` is missing: `press` is not read

    Widget panel; // `ignore` is missing, so nothing is read
    panel.Load("DATA\\screen.ini", "panel");
    EXPECT_TRUE(panel.pictures.empty());
    for (const char* name : {"DATA\\a.tga", "DATA\\b.tga"}) FindRegisteredSprite(name)->Release();

    Widget missing;
    missing.Load("DATA\\none.ini", "start");
    EXPECT_EQ(missing.width, 0);
    EXPECT_EQ(missing.caption, "");
}

TEST_F(WidgetLoad, PicturesAreSharedThroughTheSpriteCacheAndReleasedWithTheWidget) {
    WriteFile("DATA/screen.ini", "[a]\nignore=DATA\\p.tga\n[b]\nignore=DATA\\P.TGA\n");
    {
        Widget a, b;
        a.Load("DATA\\screen.ini", "a");
        b.Load("DATA\\screen.ini", "b");
        ASSERT_EQ(a.pictures.size(), 1u);
        EXPECT_EQ(a.pictures[0], b.pictures[0]);
        EXPECT_EQ(a.pictures[0]->refCount, 3); // the cache's and one per widget
    }
    Sprite* cached = FindRegisteredSprite("DATA\\p.tga");
    ASSERT_NE(cached, nullptr);
    EXPECT_EQ(cached->refCount, 1);
    cached->Release(); // what the display's shutdown does with unused pictures
}

using WidgetSounds = testkit::SoundSystemTest;

TEST_F(WidgetSounds, StateChangesPlayTheirSounds) {
    const std::vector<int16_t> samples(2000, 1000);
    std::ofstream("tick.wav", std::ios::binary) << testkit::WaveFile(1, 22050, samples);
    std::ofstream("click.wav", std::ios::binary) << testkit::WaveFile(1, 22050, samples);
    auto playing = [](const char* file) {
        int count = 0;
        for (Sound* sound : SoundList())
            if (sound && sound->file == file && sound->IsPlaying()) ++count;
        return count;
    };
    struct Case {
        int from, to;
        const char* sound; // null: silent
    };
    const Case cases[] = {
        {STATE_NORMAL, STATE_ACTIVE, "tick.wav"}, {STATE_ACTIVE, STATE_PRESS, "click.wav"},
        {STATE_PRESS, STATE_ACTIVE, nullptr},     {STATE_ACTIVE, STATE_NORMAL, nullptr},
        {STATE_NORMAL, STATE_PRESS, nullptr},     {STATE_IGNORE, STATE_ACTIVE, nullptr},
    };
    Widget w;
    w.sndNormalActive = "tick.wav";
    w.sndActivePress = "click.wav";
    for (const Case& c : cases) {
        const int ticks = playing("tick.wav"), clicks = playing("click.wav");
        w.state = c.from;
        w.SetState(c.to);
        EXPECT_EQ(w.state, c.to);
        const bool tick = c.sound && std::string(c.sound) == "tick.wav";
        const bool click = c.sound && std::string(c.sound) == "click.wav";
        EXPECT_EQ(playing("tick.wav"), ticks + (tick ? 1 : 0)) << c.from << " -> " << c.to;
        EXPECT_EQ(playing("click.wav"), clicks + (click ? 1 : 0)) << c.from << " -> " << c.to;
    }
}

} // namespace
