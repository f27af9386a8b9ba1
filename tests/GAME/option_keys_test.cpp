#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GAME/Screen.h"
#include "GAME/widgets.h"
#include "screen_fixture.h"

namespace {

// A screen that records which children reported to it.
class Recorder : public Screen {
public:
    using Screen::Screen;
    int OnChildAction(Widget* child) override {
        reports.push_back(IndexOf(child));
        return 1;
    }
    std::vector<int> reports;
};

// Left and Right (and the joystick's left 59 and right 58) on the focused option widget.
class OptionKeys : public AnsweredBoxesTest {
protected:
    template <class W> W* Open(const std::string& ini, const char* section) {
        WriteFile("DATA/s.ini", ini);
        screen_ = std::make_unique<Recorder>("DATA\\s.ini", 0);
        screen_->transitionStart = kOpenAtOnce;
        auto* widget =
            static_cast<W*>(screen_->AddFromFile(std::make_unique<W>(), section, STATE_NORMAL));
        screen_->AddButton("other");
        screen_->FocusFirst(0);
        return widget;
    }
    void Release(sys::WPARAM key) {
        screen_->HandleMessage(sys::WM_KEYDOWN, key, 0);
        screen_->HandleMessage(sys::WM_KEYUP, key, 0);
    }
    std::unique_ptr<Recorder> screen_;
};

TEST_F(OptionKeys, SliderMovesByATwentiethAndStopsAtTheEnds) {
    auto* slider = Open<Slider>("[s]\nxs=216\nys=20\n", "s");
    slider->SetValue(0.5f);
    const struct {
        sys::WPARAM key;
        float value;
    } steps[] = {{sys::VK_RIGHT, 0.55f}, {58, 0.6f}, {sys::VK_LEFT, 0.55f}, {59, 0.5f}};
    for (const auto& step : steps) {
        Release(step.key);
        EXPECT_NEAR(slider->GetValue(), step.value, 1e-5f) << "key " << step.key;
        EXPECT_EQ(slider->state, STATE_ACTIVE);
    }
    EXPECT_EQ(screen_->reports.size(), std::size(steps)) << "each step is reported as a drag is";
    slider->SetValue(0.98f);
    Release(sys::VK_RIGHT);
    EXPECT_EQ(slider->GetValue(), 1.0f);
    slider->SetValue(0.01f);
    Release(sys::VK_LEFT);
    EXPECT_EQ(slider->GetValue(), 0.0f);
}

TEST_F(OptionKeys, ValueListAndSpinnerSelectThePreviousOrNextItem) {
    const char* lists[] = {"list", "spin"};
    for (const char* section : lists) {
        const std::string ini = "[left]\nxs=20\nys=20\n[right]\nxs=20\nys=20\n"
                                "[list]\nxs=100\nys=20\n0=i\n1=i\n2=i\n"
                                "[spin]\nxs=200\nys=20\n0=i\n1=i\n2=i\n[i]\nname=x\n";
        ValueList* list = std::string(section) == "list" ? Open<ValueList>(ini, section)
                                                         : Open<Spinner>(ini, section);
        const struct {
            sys::WPARAM key;
            int selected;
        } steps[] = {{sys::VK_RIGHT, 1}, {58, 2}, {sys::VK_RIGHT, 0}, {sys::VK_LEFT, 2}, {59, 1}};
        for (const auto& step : steps) {
            Release(step.key);
            EXPECT_EQ(list->GetValue(), float(step.selected)) << section << " key " << step.key;
            EXPECT_EQ(list->state, STATE_ACTIVE) << section;
        }
        EXPECT_EQ(screen_->reports, std::vector<int>(std::size(steps), 0)) << section;
    }
}

TEST_F(OptionKeys, OnlyTheFocusedWidgetStepsAndKeyDownsDoNot) {
    auto* slider = Open<Slider>("[s]\nxs=216\nys=20\n", "s");
    slider->SetValue(0.5f);
    screen_->HandleMessage(sys::WM_KEYDOWN, sys::VK_RIGHT, 0);
    screen_->HandleMessage(sys::WM_KEYDOWN, 58,
                           0); // a held joystick direction repeats its key-down
    EXPECT_EQ(slider->GetValue(), 0.5f);
    screen_->HandleMessage(sys::WM_KEYUP, sys::VK_DOWN, 0); // the screen moves the focus on
    ASSERT_NE(slider->state, STATE_ACTIVE);
    Release(sys::VK_RIGHT);
    EXPECT_EQ(slider->GetValue(), 0.5f);
    EXPECT_TRUE(screen_->reports.empty());
}

} // namespace
