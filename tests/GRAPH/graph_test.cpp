#include <gtest/gtest.h>

#include <cstring>

#include "SYS/window.h"
#include "graph_test_util.h"

using namespace graphtest;

namespace {

int FormatIndex(const PixelFormatDesc& f) {
    for (int i = 0; kPixelFormats[i].bitsPerPixel != 0; ++i)
        if (std::memcmp(&kPixelFormats[i], &f, sizeof f) == 0) return i;
    return -1;
}

// Restores format 1 (what the game runs with) after a test that changes it.
struct FormatGuard {
    ~FormatGuard() { SetCurrentPixelFormat(kPixelFormats[0]); }
};

TEST(PixelFormats, TableWordsInSearchOrder) {
    const uint32_t expected[][7] = {
        {0x00050605, 0x0000050B, 0xF800, 0x07E0, 0x001F, 0, 16},
        {0x00050505, 0x0000050A, 0x7C00, 0x03E0, 0x001F, 0, 16},
        {0x00080808, 0x00000810, 0xFF0000, 0xFF00, 0xFF, 0, 32},
        {0x08080808, 0x18000810, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, 32},
        {0x00080808, 0x00000810, 0xFF0000, 0xFF00, 0xFF, 0, 24},
        {0, 0, 0, 0, 0, 0, 0},
    };
    static_assert(sizeof(PixelFormatDesc) == 7 * 4, "seven 32-bit words");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(std::memcmp(&kPixelFormats[i], expected[i], sizeof expected[i]), 0) << i;
    EXPECT_EQ(kPixelFormats[3].AlphaShift(), 24);
    EXPECT_EQ(kPixelFormats[0].GreenBits(), 6);
}

TEST(PixelFormats, BackBufferWalkPicksByGreenMaskThenDepth) {
    FormatGuard guard;
    struct Case {
        uint32_t modeBits, modeGreen;
        int requested, expectedIndex;
    } cases[] = {
        {16, 0x07E0, 16, 0}, // 5-6-5 desktop
        {16, 0x03E0, 16, 1}, // 5-5-5 desktop
        {32, 0xFF00, 16, 0}, // first walk skipped, first 16-bit entry
        {32, 0xFF00, 32, 2}, // green mask first: the first 8-8-8 entry
        {24, 0xFF00, 24, 2}, // ... even when its depth is 32
        {16, 0x07E0, 32, 2}, // depths differ: by depth
    };
    for (const Case& c : cases) {
        auto surface =
            CreateBackBufferSurface(8, 4, c.requested, DisplayMode{c.modeBits, c.modeGreen});
        ASSERT_NE(surface, nullptr);
        EXPECT_EQ(FormatIndex(CurrentPixelFormat()), c.expectedIndex)
            << c.modeBits << " " << c.requested;
        EXPECT_EQ(surface->Format().bitsPerPixel, kPixelFormats[c.expectedIndex].bitsPerPixel);
    }
    EXPECT_EQ(CreateBackBufferSurface(8, 4, 8, DisplayMode{}), nullptr); // no 8-bit entry
    EXPECT_EQ(CreateBackBufferSurface(0, 4, 16, DisplayMode{}), nullptr);
}

TEST(PixelFormats, ColourToPixelDropsLowBits) {
    FormatGuard guard;
    struct Case {
        int format;
        uint32_t colour, pixel;
    } cases[] = {
        {0, 0x00FF0000, 0xF800}, {0, 0xFF00FF00, 0x07E0},   {0, 0x000000FF, 0x001F},
        {0, 0x00070307, 0x0000}, {0, 0x00080408, 0x0821},   {1, 0x00FFFFFF, 0x7FFF},
        {1, 0x0000FF00, 0x03E0}, {2, 0x80123456, 0x123456},
    };
    for (const Case& c : cases) {
        SetCurrentPixelFormat(kPixelFormats[c.format]);
        EXPECT_EQ(ColourToPixel(c.colour), c.pixel) << std::hex << c.colour;
    }
}

TEST(ErrorNames, CodesAndFallback) {
    struct Case {
        long code;
        const char* name;
    } cases[] = {
        {0, "DD_OK"},
        {long(int32_t(0x80004005u)), "DDERR_GENERIC"},
        {long(int32_t(0x80004001u)), "DDERR_UNSUPPORTED"},
        {long(int32_t(0x8007000Eu)), "DDERR_OUTOFMEMORY"},
        {long(int32_t(0x80070057u)), "DDERR_INVALIDPARAMS"},
        {long(int32_t(0x800401F0u)), "DDERR_NOTINITIALIZED"},
        {-2005532242, "DDERR_SURFACEBUSY"},
        {long(int32_t(0x887601C2u)), "DDERR_SURFACELOST"},
        {long(int32_t(0x88760005u)), "DDERR_ALREADYINITIALIZED"},
        {long(int32_t(0x887602BBu)), "DDERR_DEVICEDOESNTOWNSURFACE"},
        {long(int32_t(0x88760096u)), "DDERR_INVALIDRECT"},
        {long(int32_t(0x88760006u)), "not found"},
        {1, "not found"},
        {long(0x887601AE), "DDERR_SURFACEBUSY"}, // zero-extended 32-bit result
    };
    for (const Case& c : cases) EXPECT_STREQ(DDErrorName(c.code), c.name) << std::hex << c.code;
}

TEST(ErrorNames, RecordIsFollowedByTheName) {
    TempFolder folder;
    LogDDFailure(DDERR_SURFACELOST, "x->Blt()", "GRAPH/graph.cpp", 77);
    const std::string log = ReadFile("gerr.log");
    const std::string tail =
        "GRAPH/graph.cpp line: 77  -  x->Blt() = -2005532222\nDDERR_SURFACELOST";
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail);
}

TEST(Registry, ReusesEmptySlotsBeforeGrowingByAThousand) {
    const auto& reg = SpriteRegistry();
    std::vector<Sprite*> mine;
    // Fill every free slot.
    do {
        mine.push_back(new Sprite());
        RegisterSprite(mine.back());
    } while (std::find(reg.begin(), reg.end(), nullptr) != reg.end());
    const size_t full = reg.size();
    EXPECT_EQ(full % 1000, 0u);
    Sprite* extra = new Sprite();
    RegisterSprite(extra);
    EXPECT_EQ(reg.size(), full + 1000);
    EXPECT_EQ(reg[full], extra);
    EXPECT_EQ(extra->refCount, 1);

    Sprite* middle = mine[mine.size() / 2];
    const size_t slot = size_t(std::find(reg.begin(), reg.end(), middle) - reg.begin());
    middle->Release();
    EXPECT_EQ(reg[slot], nullptr);
    Sprite* reuse = new Sprite();
    RegisterSprite(reuse);
    EXPECT_EQ(reg[slot], reuse);
    EXPECT_EQ(reg.size(), full + 1000);

    for (Sprite* s : mine)
        if (s != middle) s->Release();
    reuse->Release();
    extra->Release();
}

TEST(Registry, FindsByNameIgnoringCase) {
    Sprite* named = new Sprite();
    named->fileName = "DATA\\Menu.tga";
    RegisterSprite(named);
    EXPECT_EQ(FindRegisteredSprite("data\\MENU.TGA"), named);
    EXPECT_EQ(FindRegisteredSprite("DATA\\Menu.tg"), nullptr);
    named->Release();
    EXPECT_EQ(FindRegisteredSprite("DATA\\Menu.tga"), nullptr);
}

TEST(Display, SetupMakesTheBackBufferAndShutdownFreesWhatNobodyHolds) {
    SetupDisplay(64, 48, 16, 0);
    ASSERT_NE(RenderSurface, nullptr);
    Sprite* back = RenderSurface;
    EXPECT_EQ(back->refCount, 2);
    EXPECT_EQ(back->width, 64);
    EXPECT_EQ(back->frameHeight, 48);
    EXPECT_EQ(back->clip.right, 64);
    EXPECT_EQ(back->clip.bottom, 48);
    ASSERT_NE(back->lpDDSurface, nullptr);
    EXPECT_EQ(back->lpDDSurface->Format().greenMask, 0x07E0u);
    EXPECT_EQ(FormatIndex(CurrentPixelFormat()), 0);
    const Surface* surface = back->lpDDSurface.get();

    SetupDisplay(64, 48, 32, 0); // reconfiguring keeps the back buffer and its surface
    EXPECT_EQ(RenderSurface, back);
    EXPECT_EQ(back->lpDDSurface.get(), surface);
    EXPECT_EQ(back->lpDDSurface->Format().bitsPerPixel, 16u);

    back->FillRect(0, 0, 64, 48, 0xFFFFFF);
    back->Lock();
    Present(); // unlocks first; without a window there is nowhere to show it
    EXPECT_EQ(back->pixels, nullptr);

    Sprite* onlyRegistry = new Sprite();
    RegisterSprite(onlyRegistry);
    Sprite* held = new Sprite();
    RegisterSprite(held);
    held->AddRef();
    ShutdownDisplay(false);
    EXPECT_EQ(RenderSurface, nullptr);
    const auto& reg = SpriteRegistry();
    EXPECT_EQ(std::find(reg.begin(), reg.end(), back), reg.end());
    EXPECT_EQ(std::find(reg.begin(), reg.end(), onlyRegistry), reg.end());
    EXPECT_NE(std::find(reg.begin(), reg.end(), held), reg.end());
    EXPECT_EQ(held->refCount, 2);
    held->Release();
    held->Release();
}

TEST(Display, BackBufferThatCannotBeMadeIsLoggedAndDrawsNothing) {
    TempFolder folder;
    SetupDisplay(40000, 480, 16, 0);
    ASSERT_NE(RenderSurface, nullptr);
    EXPECT_EQ(RenderSurface->lpDDSurface, nullptr);
    EXPECT_EQ(RenderSurface->width, 0);
    auto src = SurfaceSprite(8, 8);
    RenderSurface->DrawSprite(0, 0, src.get(), 0, 0);
    RenderSurface->FillRect(0, 0, 10, 10, 0x80FFFFFF);
    RenderSurface->FillRect(0, 0, 10, 10, 0xFFFFFF);
    RenderSurface->DrawGdiText(0, 0, "fps", 0xFFFFFF);
    Present();
    EXPECT_NE(FindRecordAtLineStart(ReadFile("gerr.log"), "GRAPH/graph.cpp line: "),
              std::string::npos);
    EXPECT_NE(ReadFile("gerr.log").find("  -  !RenderSurface->lpDDSurface = 1\n"),
              std::string::npos);
    ShutdownDisplay(false);
}

sys::LRESULT DefaultProc(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) {
    return sys::DefWindowProc(message, wParam, lParam);
}

int Width(const sys::Rect& r) {
    return r.right - r.left;
}
int Height(const sys::Rect& r) {
    return r.bottom - r.top;
}

TEST(Display, ClientAreaIsExactAndLeavingFullScreenCentresTheWindow) {
    if (!sys::CreateMainWindow("display test", 30, 40, 200, 100, DefaultProc))
        GTEST_SKIP() << "no video driver";
    const sys::Rect before = sys::GetWindowRect();
    SetupDisplay(320, 200, 16, 0);
    const sys::Rect client = sys::GetClientRect();
    EXPECT_EQ(Width(client), 320);
    EXPECT_EQ(Height(client), 200);
    sys::Rect outer = sys::GetWindowRect();
    EXPECT_EQ(outer.left, before.left); // windowed to windowed keeps the top-left corner
    EXPECT_EQ(outer.top, before.top);

    sys::MoveMainWindow(50, 60, Width(outer), Height(outer));
    SetupDisplay(320, 200, 16, 0);
    EXPECT_EQ(sys::GetWindowRect().left, 50);
    EXPECT_EQ(sys::GetWindowRect().top, 60);

    SetupDisplay(320, 200, 16, 1);
    SetupDisplay(320, 200, 16, 0);
    outer = sys::GetWindowRect();
    EXPECT_EQ(outer.left, (sys::DesktopWidth() - Width(outer)) / 2);
    EXPECT_EQ(outer.top, (sys::DesktopHeight() - Height(outer)) / 2);
    EXPECT_EQ(Width(sys::GetClientRect()), 320);
    ShutdownDisplay(false);
    sys::DestroyMainWindow();
}

} // namespace
