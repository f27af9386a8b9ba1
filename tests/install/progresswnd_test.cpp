// The small progress windows under the dummy video driver: what each dialog shows, how its bars
// are drawn, and what stops it.
#include "install/progresswnd.h"

#include "SYS/window.h"
#include "install/host/session.h"
#include "install_fixture.h"

#include <vector>

namespace {

class ProgressWindowTest : public InstallerTest {
protected:
    void SetUp() override {
        InstallerTest::SetUp();
        app.variables["GNAME"] = "Reef Pop";
    }
    std::vector<const ui::Control*> OfClass(const char* name) const {
        std::vector<const ui::Control*> found;
        for (const ui::Control* c : window.Page().Controls())
            if (std::string(c->ClassName()) == name) found.push_back(c);
        return found;
    }
    inst::ProgressWindow window;
};

TEST_F(ProgressWindowTest, EachDialogShowsItsLocalisedCaptionLabelsAndBars) {
    const struct {
        const inst::ProgressDialog& dialog;
        const char* caption;
        std::vector<std::string> labels;
        std::vector<int> bars;
    } cases[] = {
        {inst::kUninstallDialog, "Uninstalling Reef Pop", {}, {1020}},
        {inst::kUninstallAllDialog,
         "UnInstalling",
         {"Total progress", "Current game"},
         {1024, 1021}},
        {inst::kIntegrityDialog,
         "Integrity test",
         {"Overall progress", "Actual progress"},
         {1024, 1021}},
    };
    for (const auto& c : cases) {
        if (!window.Open(app, c.dialog)) GTEST_SKIP() << "no window can be made";
        EXPECT_EQ(window.Page().Caption(), c.caption);
        std::vector<std::string> labels;
        for (const ui::Control* label : OfClass("KVLBStaticClass")) labels.push_back(label->Text());
        EXPECT_EQ(labels, c.labels) << c.caption;
        const auto bars = OfClass("msctls_progress32");
        ASSERT_EQ(bars.size(), c.bars.size()) << c.caption;
        for (size_t i = 0; i < bars.size(); ++i) {
            const auto* bar = static_cast<const ui::ProgressBar*>(bars[i]);
            EXPECT_EQ(bar->Id(), c.bars[i]) << c.caption;
            EXPECT_EQ(bar->Low(), 0);
            EXPECT_EQ(bar->High(), 100);
            EXPECT_EQ(bar->Pos(), 0);
            // Each label sits above its own bar, and nothing leaves the window.
            if (!c.labels.empty()) {
                const sys::Rect label = OfClass("KVLBStaticClass")[i]->Rect();
                EXPECT_LE(label.bottom, bar->Rect().top);
                EXPECT_LE(i > 0 ? bars[i - 1]->Rect().bottom : 0, label.top);
            }
            EXPECT_LE(bar->Rect().bottom, window.Page().Height());
        }
        // A plain dialog: the face of a standard window, not the skin colour; labels in black.
        const ui::Canvas& drawn = window.Page().Pixels();
        for (const ui::Control* label : OfClass("KVLBStaticClass")) {
            int ink = 0;
            const sys::Rect& r = label->Rect();
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) ink += drawn.At(x, y) == ui::kBlack;
            EXPECT_TRUE(ink > 0 || !ui::FontReady()) << label->Text();
        }
        EXPECT_EQ(drawn.At(2, 2), ui::Rgb(240, 240, 240)) << c.caption;
        EXPECT_EQ(ui::Page::Current(), &window.Page());
        window.Close();
        EXPECT_EQ(ui::Page::Current(), nullptr);
    }
}

TEST_F(ProgressWindowTest, BarsFillTheirShareOfTheRange) {
    if (!window.Open(app, inst::kUninstallAllDialog)) GTEST_SKIP() << "no window can be made";
    window.SetRange(1024, 0, 4);
    window.SetPos(1024, 1);
    window.SetPos(1021, 150); // clamped to the range
    window.SetPos(1020, 10);  // no such bar here: ignored
    EXPECT_TRUE(window.Pump());
    const ui::Canvas& drawn = window.Page().Pixels();
    const auto share = [&](int id) {
        const sys::Rect r = window.Page().Item(id)->Rect();
        const int y = (r.top + r.bottom) / 2;
        int filled = 0;
        for (int x = r.left + 1; x < r.right - 1; ++x)
            filled += drawn.At(x, y) == ui::Rgb(6, 176, 37);
        return double(filled) / (r.right - r.left - 2);
    };
    EXPECT_NEAR(share(1024), 0.25, 0.01);
    EXPECT_DOUBLE_EQ(share(1021), 1.0);
    EXPECT_EQ(window.Page().ItemAs<ui::ProgressBar>(1021)->Pos(), 100);
}

TEST_F(ProgressWindowTest, ClosingOrEscapeStopsThePump) {
    const struct {
        const char* what;
        std::vector<sys::Msg> messages;
    } cases[] = {
        {"close box", {{sys::WM_CLOSE, 0, 0}}},
        {"Escape",
         {{sys::WM_KEYDOWN, sys::VK_ESCAPE, sys::MakeKeyLParam(1, 1, false, false)},
          {sys::WM_KEYUP, sys::VK_ESCAPE, sys::MakeKeyLParam(1, 1, false, true)}}},
    };
    for (const auto& c : cases) {
        // Every window starts uncancelled, also after one that was stopped.
        if (!window.Open(app, inst::kUninstallDialog)) GTEST_SKIP() << "no window can be made";
        EXPECT_TRUE(window.Pump()) << c.what;
        // Other keys and clicks do nothing.
        sys::PostMessage(sys::WM_KEYDOWN, sys::VK_RETURN,
                         sys::MakeKeyLParam(1, 0x1C, false, false));
        sys::PostMessage(sys::WM_LBUTTONDOWN, sys::MK_LBUTTON, sys::MakePointLParam(20, 20));
        EXPECT_TRUE(window.Pump()) << c.what;
        for (const sys::Msg& m : c.messages) sys::PostMessage(m.message, m.wParam, m.lParam);
        EXPECT_FALSE(window.Pump()) << c.what;
        EXPECT_FALSE(window.Pump()) << c.what;
        EXPECT_TRUE(window.IsOpen());
    }
}

TEST_F(ProgressWindowTest, UnattendedRunsHaveNoWindow) {
    host::SetUnattended(true);
    const bool opened = window.Open(app, inst::kIntegrityDialog);
    host::SetUnattended(false);
    EXPECT_FALSE(opened);
    EXPECT_EQ(ui::Page::Current(), nullptr);
    // Without a window the bars and the pump do nothing and never stop the work.
    window.SetPos(1024, 50);
    EXPECT_TRUE(window.Pump());
}

} // namespace
