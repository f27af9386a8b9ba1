#include "install/progresswnd.h"

#include "SYS/window.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgressWindow, CloseRequestStopsThePump) {
    inst::ProgressWindow window;
    if (!window.Open("Uninstalling", 2)) GTEST_SKIP() << "no display";
    window.SetBar(0, 1, 3);
    window.SetBar(1, 150, 100);  // clamped
    window.SetBar(5, 1, 1);      // no such bar: ignored
    EXPECT_TRUE(window.Pump());
    sys::PostMessage(sys::WM_CLOSE, 0, 0);
    EXPECT_FALSE(window.Pump());
    window.Close();
    EXPECT_FALSE(window.IsOpen());
    // A new window starts uncancelled.
    ASSERT_TRUE(window.Open("Again", 1));
    EXPECT_TRUE(window.Pump());
}

} // namespace
