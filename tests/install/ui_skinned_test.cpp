// The three skinned classes: state bytes, colours, text placement and mouse capture.
#include "ui_test_util.h"

#include <algorithm>

namespace {

using uitest::PageTest;

constexpr uint32_t kFaceNormal = ui::Rgb(10, 20, 30);
constexpr uint32_t kFaceFocused = ui::Rgb(200, 210, 220);

// A button sheet with two 80 x 22 faces side by side: normal at x 0, focused at x 80.
inst::Picture Sheet() {
    inst::Picture p;
    p.width = 160;
    p.height = 22;
    p.pixels.resize(size_t(p.width) * size_t(p.height));
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.pixels[size_t(y) * size_t(p.width) + size_t(x)] = x < 80 ? kFaceNormal : kFaceFocused;
    return p;
}

// The face at sheet x, drawn so that with the anchor at the page's origin it covers
// (left, top) to (left + 80, top + 22).
inst::AnimFrame Face(int sheetX, int left, int top) {
    inst::AnimFrame f{};
    f.minusLeft = int16_t(-left);
    f.right16 = int16_t(left + 80);
    f.minusTop = int16_t(-top);
    f.bottom16 = int16_t(top + 22);
    f.x = uint16_t(sheetX);
    f.y = 0;
    return f;
}

struct Ink {
    int count = 0, top = 1 << 30, bottom = -1, left = 1 << 30, right = -1;
};

template <class Test> Ink InkWhere(const ui::Canvas& c, const sys::Rect& r, Test test) {
    Ink ink;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (test(c.At(x, y))) {
                ++ink.count;
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
            }
    return ink;
}

// Pixels of exactly `colour` (anti-aliased text has them where a glyph covers a whole pixel).
Ink InkOf(const ui::Canvas& c, const sys::Rect& r, uint32_t colour) {
    return InkWhere(c, r, [&](uint32_t pixel) { return pixel == colour; });
}

// Pixels that differ from `background`: every trace of the text.
Ink InkOn(const ui::Canvas& c, const sys::Rect& r, uint32_t background) {
    return InkWhere(c, r, [&](uint32_t pixel) { return pixel != background; });
}

class SkinnedTest : public PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(ui::FontReady()) << "needs Liberation Sans (fonts-liberation)";
    }
    inst::Picture sheet = Sheet();
};

TEST_F(SkinnedTest, ButtonSitsAtItsFaceFrameAndDrawsFaceAndTextByFocus) {
    ui::SkinButton* ok = page.AddButton(1007, "HHH", sheet, Face(0, 100, 300), Face(80, 100, 300));
    ui::SkinButton* other = page.AddButton(2, "HHH", sheet, Face(0, 200, 300), Face(80, 200, 300));
    const sys::Rect r = ok->Rect();
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 300);
    EXPECT_EQ(r.right, 180);
    EXPECT_EQ(r.bottom, 322);
    page.SetFocus(other);
    const ui::Canvas& normal = Drawn();
    EXPECT_EQ(normal.At(101, 301), kFaceNormal);
    const Ink plain = InkOf(normal, r, ui::kButtonTextNormal);
    ASSERT_GT(plain.count, 5);
    EXPECT_EQ(InkOf(normal, r, ui::kButtonTextFocused).count, 0);
    // The baseline is 15 pixels below the top: "H" stands on it.
    EXPECT_EQ(InkOn(normal, r, kFaceNormal).bottom, r.top + 14);
    // Centred horizontally (within a pixel of rounding).
    const Ink all = InkOn(normal, r, kFaceNormal);
    EXPECT_NEAR((all.left + all.right + 1) / 2.0, (r.left + r.right) / 2.0, 1.0);

    page.SetFocus(ok);
    const ui::Canvas& focused = Drawn();
    EXPECT_EQ(focused.At(101, 301), kFaceFocused);
    EXPECT_EQ(ok->State() & ui::kStateFocused, ui::kStateFocused);
    EXPECT_EQ(InkOf(focused, r, ui::kButtonTextNormal).count, 0);
    EXPECT_EQ(InkOf(focused, r, ui::kButtonTextFocused).count, plain.count);
}

TEST_F(SkinnedTest, ButtonPressCapturesAndClicksOnRelease) {
    ui::SkinButton* b = page.AddButton(1007, "Next", sheet, Face(0, 100, 300), Face(80, 100, 300));
    page.AddButton(2, "Cancel", sheet, Face(0, 200, 300), Face(80, 200, 300));
    page.Show();
    Down(110, 310);
    EXPECT_EQ(b->State(), ui::kStateFocused | ui::kStatePressed);
    EXPECT_EQ(page.Capture(), b);
    // While captured the pointer's messages keep coming to the button, wherever it is.
    Move(210, 310, sys::MK_LBUTTON);
    EXPECT_EQ(page.Focus(), b);
    Up(5, 5);
    EXPECT_EQ(b->State(), ui::kStateFocused);
    EXPECT_EQ(page.Capture(), nullptr);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], (CommandSeen{1007, ui::kNotifyClicked, 0}));

    // Enter and Space press and click without capture.
    for (unsigned key : {sys::VK_RETURN, sys::VK_SPACE}) {
        commands.clear();
        Post(sys::WM_KEYDOWN, key, sys::MakeKeyLParam(1, 0, false, false));
        EXPECT_EQ(b->State(), ui::kStateFocused | ui::kStatePressed) << key;
        EXPECT_EQ(page.Capture(), nullptr);
        Post(sys::WM_KEYUP, key, sys::MakeKeyLParam(1, 0, false, true));
        EXPECT_EQ(b->State(), ui::kStateFocused);
        EXPECT_EQ(commands, (std::vector<CommandSeen>{{1007, ui::kNotifyClicked, 0}})) << key;
    }
}

TEST_F(SkinnedTest, LosingFocusOrCaptureCancelsThePress) {
    ui::SkinButton* b = page.AddButton(1007, "Next", sheet, Face(0, 100, 300), Face(80, 100, 300));
    ui::SkinButton* c = page.AddButton(2, "Cancel", sheet, Face(0, 200, 300), Face(80, 200, 300));
    Down(110, 310);
    page.ReleaseCapture();
    EXPECT_EQ(b->State(), ui::kStateFocused);
    Up(110, 310);
    EXPECT_TRUE(commands.empty());

    Post(sys::WM_KEYDOWN, sys::VK_SPACE, 0);
    page.SetFocus(c);
    EXPECT_EQ(b->State(), 0);
    page.SetFocus(b);
    Post(sys::WM_KEYUP, sys::VK_SPACE, 0);
    EXPECT_TRUE(commands.empty());
}

TEST_F(SkinnedTest, CheckBoxFlipsWithoutCommandAndAnswersTheCheckQueries) {
    const sys::Rect r{40, 200, 240, 220};
    ui::SkinCheck* box = page.AddCheck(1022, "Start", r, false);
    page.Show();
    Down(45, 210);
    EXPECT_EQ(box->State(), ui::kStateFocused | ui::kStatePressed);
    EXPECT_EQ(page.Capture(), box);
    Up(45, 210);
    EXPECT_EQ(box->State(), ui::kStateFocused | ui::kStateTicked);
    EXPECT_EQ(page.SendItemMessage(1022, sys::BM_GETCHECK, 0, 0), sys::LRESULT(sys::BST_CHECKED));
    Key(sys::VK_SPACE);
    EXPECT_FALSE(box->Checked());
    Key(sys::VK_RETURN);
    EXPECT_TRUE(box->Checked());
    EXPECT_TRUE(commands.empty());

    // Set-check ticks exactly for 1.
    const struct {
        sys::WPARAM value;
        bool ticked;
    } cases[] = {{1, true}, {0, false}, {2, false}, {1, true}, {sys::WPARAM(-1), false}};
    for (const auto& c : cases) {
        page.SendItemMessage(1022, sys::BM_SETCHECK, c.value, 0);
        EXPECT_EQ(box->Checked(), c.ticked) << c.value;
        EXPECT_EQ(page.SendItemMessage(1022, sys::BM_GETCHECK, 0, 0), c.ticked ? 1 : 0);
    }
}

TEST_F(SkinnedTest, CheckBoxDrawsBoxTextAndFocusOnTheSkinColour) {
    const sys::Rect r{40, 200, 240, 220};
    ui::SkinCheck* box = page.AddCheck(1022, "Start", r, true);
    page.AddCheck(1023, "Other", {40, 240, 240, 260}, false);
    page.SetFocus(page.Item(1023));
    const ui::Canvas& plain = Drawn();
    EXPECT_EQ(plain.At(r.right - 2, r.top + 1), ui::Rgb(239, 245, 228));
    const Ink text = InkOn(plain, {r.left + 14, r.top, r.right, r.bottom}, ui::kSkinBackground);
    ASSERT_GT(text.count, 10);
    EXPECT_GT(InkOf(plain, {r.left + 14, r.top, r.right, r.bottom}, ui::kBlack).count, 0);
    // Text from x = 17 ("S" has a pixel or two of side bearing and anti-aliased edges).
    EXPECT_GE(text.left, r.left + 17);
    EXPECT_LE(text.left, r.left + 19);
    // The box: 13 x 13, centred vertically at the left, ticked.
    EXPECT_EQ(plain.At(r.left, r.top + 3), ui::Rgb(128, 128, 128));
    EXPECT_EQ(plain.At(r.left + 12, r.top + 15), ui::kWhite);
    EXPECT_GT(InkOf(plain, {r.left + 2, r.top + 5, r.left + 11, r.top + 14}, ui::kBlack).count, 5);
    box->SetCheck(0);
    EXPECT_EQ(InkOf(Drawn(), {r.left + 2, r.top + 5, r.left + 11, r.top + 14}, ui::kBlack).count,
              0);
    // Focus rectangle from x = 15.
    page.SetFocus(box);
    const Ink focused =
        InkOn(Drawn(), {r.left + 14, r.top, r.right, r.bottom}, ui::kSkinBackground);
    EXPECT_EQ(focused.left, r.left + 15);
}

TEST_F(SkinnedTest, StaticWrapsAlignsAndFillsTheBackground) {
    const std::string text = "Folder for games and more words to wrap";
    const sys::Rect wide{10, 10, 370, 60}, narrow{10, 70, 90, 160};
    page.AddStatic(1, text, wide);
    page.AddStatic(2, text, narrow);
    page.AddStatic(3, text, {10, 170, 90, 260}, ui::TextAlign::Left, true);
    page.AddStatic(4, "Right", {10, 270, 200, 290}, ui::TextAlign::Right);
    page.AddStatic(5, "Middle", {10, 300, 200, 320}, ui::TextAlign::Centre);
    const ui::Canvas& c = Drawn();
    EXPECT_EQ(c.At(wide.right - 1, wide.bottom - 1), ui::kSkinBackground);
    const uint32_t bg = ui::kSkinBackground;
    const Ink oneLine = InkOn(c, wide, bg);
    const Ink wrapped = InkOn(c, narrow, bg);
    ASSERT_GT(oneLine.count, 0);
    EXPECT_GT(InkOf(c, wide, ui::kBlack).count, 0);
    EXPECT_LT(oneLine.bottom - oneLine.top, ui::FontLineHeight());
    // About 210 pixels of text in 80: three lines.
    EXPECT_GT(wrapped.bottom - wrapped.top, 2 * ui::FontLineHeight());
    EXPECT_LT(wrapped.bottom - wrapped.top, 3 * ui::FontLineHeight());
    const Ink single = InkOn(c, {10, 170, 90, 260}, bg);
    EXPECT_LT(single.bottom - single.top, ui::FontLineHeight());
    const Ink right = InkOn(c, {10, 270, 200, 290}, bg);
    EXPECT_GE(right.right, 197);
    EXPECT_GT(right.left, 150);
    const Ink middle = InkOn(c, {10, 300, 200, 320}, bg);
    EXPECT_NEAR((middle.left + middle.right) / 2.0, 105.0, 2.0);
    // Another background (the licence page's white).
    page.Item(1)->SetBackground(ui::kWhite);
    EXPECT_EQ(Drawn().At(wide.right - 1, wide.bottom - 1), ui::kWhite);
}

} // namespace
