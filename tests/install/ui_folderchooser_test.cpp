// The folder list of our own, used when the desktop offers no chooser.
#include "ui_test_util.h"

#include <filesystem>
#include <fstream>

#include "install/ui/folderchooser.h"

namespace {

namespace fs = std::filesystem;

class FolderChooserTest : public uitest::PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        if (IsSkipped()) return;
        ui::SetFolderChooserKind(ui::FolderChooserKind::Own);
        char pattern[] = "/tmp/ui_chooser_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        for (const char* d : {"Beta", "alpha", ".hidden", "Beta/inner"}) fs::create_directory(root / d);
        std::ofstream(root / "file.txt") << "not a folder";
        edit = page.AddEdit(1014, "C:\\Games", {10, 40, 200, 60});
        page.Show();
    }
    void TearDown() override {
        ui::SetFolderChooserKind(ui::FolderChooserKind::Desktop);
        std::error_code ignored;
        if (!root.empty()) fs::remove_all(root, ignored);
        PageTest::TearDown();
    }
    // Queues the keys the modal chooser will handle.
    void Queue(std::initializer_list<unsigned> keys) {
        for (unsigned vk : keys) {
            sys::PostMessage(sys::WM_KEYDOWN, vk, sys::MakeKeyLParam(1, 0, false, false));
            sys::PostMessage(sys::WM_KEYUP, vk, sys::MakeKeyLParam(1, 0, false, true));
        }
    }
    void QueueClick(int x, int y) {
        sys::PostMessage(sys::WM_LBUTTONDOWN, sys::MK_LBUTTON, sys::MakePointLParam(x, y));
        sys::PostMessage(sys::WM_LBUTTONUP, 0, sys::MakePointLParam(x, y));
    }
    fs::path root;
    ui::Edit* edit = nullptr;
};

TEST_F(FolderChooserTest, ListsSubFoldersSortedAndOpensThem) {
    // The list is "alpha", "Beta" (ignoring case, hidden folders and files left out): Down,
    // Down selects "Beta", Enter opens it, Down selects "inner", Enter opens it, and Enter with
    // no row selected takes the folder shown.
    Queue({sys::VK_DOWN, sys::VK_DOWN, sys::VK_RETURN, sys::VK_DOWN, sys::VK_RETURN, sys::VK_RETURN});
    const std::optional<std::string> chosen = ui::ChooseFolder("Select folder", root.string());
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, (root / "Beta" / "inner").string());
    // The page is back as it was.
    EXPECT_EQ(page.Caption(), "Test page");
    EXPECT_EQ(page.Item(1014), edit);
    EXPECT_EQ(page.Item(1000), nullptr);
    EXPECT_EQ(page.Focus(), edit);
    EXPECT_EQ(page.EndCode(), 0);
}

TEST_F(FolderChooserTest, OkTakesTheSelectedRowUpGoesToTheParent) {
    // The buttons sit in a row at the bottom: Up, Open, OK, Cancel, each 70 wide.
    const int top = uitest::kHeight - 32 + 10, first = uitest::kWidth - 10 - 4 * 70 - 3 * 8;
    const int up = first + 35, ok = first + 2 * 78 + 35;
    QueueClick(up, top);  // from inside "Beta" up to the root
    Queue({sys::VK_DOWN});
    QueueClick(ok, top);
    const std::optional<std::string> chosen =
        ui::ChooseFolder("Select folder", (root / "Beta").string());
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, (root / "alpha").string());
}

TEST_F(FolderChooserTest, CancelAndClosingChooseNothing) {
    Queue({sys::VK_ESCAPE});
    EXPECT_FALSE(ui::ChooseFolder("Select folder", root.string()).has_value());
    sys::PostMessage(sys::WM_CLOSE, 0, 0);
    EXPECT_FALSE(ui::ChooseFolder("Select folder", root.string()).has_value());
    EXPECT_TRUE(page.IsOpen());
}

TEST_F(FolderChooserTest, AMissingStartFolderStartsAtItsNearestParent) {
    Queue({sys::VK_RETURN});
    const std::optional<std::string> chosen =
        ui::ChooseFolder("Select folder", (root / "alpha" / "not" / "there").string());
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, (root / "alpha").string());
}

} // namespace
