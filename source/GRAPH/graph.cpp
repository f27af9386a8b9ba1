#include "GRAPH/graph.h"

#include <strings.h>

#include <algorithm>
#include <vector>

#include "BASE/errlog.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/Surface.h"
#include "SYS/window.h"

const PixelFormatDesc kPixelFormats[] = {
    {0x00050605, 0x0000050B, 0xF800, 0x07E0, 0x001F, 0, 16},
    {0x00050505, 0x0000050A, 0x7C00, 0x03E0, 0x001F, 0, 16},
    {0x00080808, 0x00000810, 0xFF0000, 0xFF00, 0xFF, 0, 32},
    {0x08080808, 0x18000810, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, 32},
    {0x00080808, 0x00000810, 0xFF0000, 0xFF00, 0xFF, 0, 24},
    {0, 0, 0, 0, 0, 0, 0},
};

Sprite* RenderSurface = nullptr;

namespace {

PixelFormatDesc g_format = kPixelFormats[0];
bool g_displayObject = false; // the DirectDraw object of the original: made on the first set-up
bool g_fullScreen = false;
std::vector<Sprite*> g_registry;
constexpr size_t kRegistryStep = 1000;

struct ErrorName {
    long code;
    const char* name;
};

#define DD_NAME(n)                                                                                 \
    { n, #n }
#define DD_CODE(n, c)                                                                              \
    { DDResult(c), #n }
const ErrorName kErrorNames[] = {
    {DD_OK, "DD_OK"},
    DD_NAME(DDERR_GENERIC),
    DD_NAME(DDERR_UNSUPPORTED),
    DD_NAME(DDERR_OUTOFMEMORY),
    DD_NAME(DDERR_INVALIDPARAMS),
    DD_NAME(DDERR_NOTINITIALIZED),
    DD_CODE(DDERR_ALREADYINITIALIZED, 5),
    DD_CODE(DDERR_CANNOTATTACHSURFACE, 10),
    DD_CODE(DDERR_CANNOTDETACHSURFACE, 20),
    DD_CODE(DDERR_CURRENTLYNOTAVAIL, 40),
    DD_CODE(DDERR_EXCEPTION, 55),
    DD_CODE(DDERR_HEIGHTALIGN, 90),
    DD_CODE(DDERR_INCOMPATIBLEPRIMARY, 95),
    DD_CODE(DDERR_INVALIDCAPS, 100),
    DD_CODE(DDERR_INVALIDCLIPLIST, 110),
    DD_CODE(DDERR_INVALIDMODE, 120),
    DD_CODE(DDERR_INVALIDOBJECT, 130),
    DD_CODE(DDERR_INVALIDPIXELFORMAT, 145),
    DD_CODE(DDERR_INVALIDRECT, 150),
    DD_CODE(DDERR_LOCKEDSURFACES, 160),
    DD_CODE(DDERR_NO3D, 170),
    DD_CODE(DDERR_NOALPHAHW, 180),
    DD_CODE(DDERR_NOSTEREOHARDWARE, 181),
    DD_CODE(DDERR_NOSURFACELEFT, 182),
    DD_CODE(DDERR_NOCLIPLIST, 205),
    DD_CODE(DDERR_NOCOLORCONVHW, 210),
    DD_CODE(DDERR_NOCOOPERATIVELEVELSET, 212),
    DD_CODE(DDERR_NOCOLORKEY, 215),
    DD_CODE(DDERR_NOCOLORKEYHW, 220),
    DD_CODE(DDERR_NODIRECTDRAWSUPPORT, 222),
    DD_CODE(DDERR_NOEXCLUSIVEMODE, 225),
    DD_CODE(DDERR_NOFLIPHW, 230),
    DD_CODE(DDERR_NOGDI, 240),
    DD_CODE(DDERR_NOMIRRORHW, 250),
    DD_CODE(DDERR_NOTFOUND, 255),
    DD_CODE(DDERR_NOOVERLAYHW, 260),
    DD_CODE(DDERR_OVERLAPPINGRECTS, 270),
    DD_CODE(DDERR_NORASTEROPHW, 280),
    DD_CODE(DDERR_NOROTATIONHW, 290),
    DD_CODE(DDERR_NOSTRETCHHW, 310),
    DD_CODE(DDERR_NOT4BITCOLOR, 316),
    DD_CODE(DDERR_NOT4BITCOLORINDEX, 317),
    DD_CODE(DDERR_NOT8BITCOLOR, 320),
    DD_CODE(DDERR_NOTEXTUREHW, 330),
    DD_CODE(DDERR_NOVSYNCHW, 335),
    DD_CODE(DDERR_NOZBUFFERHW, 340),
    DD_CODE(DDERR_NOZOVERLAYHW, 350),
    DD_CODE(DDERR_OUTOFCAPS, 360),
    DD_CODE(DDERR_OUTOFVIDEOMEMORY, 380),
    DD_CODE(DDERR_OVERLAYCANTCLIP, 382),
    DD_CODE(DDERR_OVERLAYCOLORKEYONLYONEACTIVE, 384),
    DD_CODE(DDERR_PALETTEBUSY, 387),
    DD_CODE(DDERR_COLORKEYNOTSET, 400),
    DD_CODE(DDERR_SURFACEALREADYATTACHED, 410),
    DD_CODE(DDERR_SURFACEALREADYDEPENDENT, 420),
    DD_CODE(DDERR_SURFACEBUSY, 430),
    DD_CODE(DDERR_CANTLOCKSURFACE, 435),
    DD_CODE(DDERR_SURFACEISOBSCURED, 440),
    DD_CODE(DDERR_SURFACELOST, 450),
    DD_CODE(DDERR_SURFACENOTATTACHED, 460),
    DD_CODE(DDERR_TOOBIGHEIGHT, 470),
    DD_CODE(DDERR_TOOBIGSIZE, 480),
    DD_CODE(DDERR_TOOBIGWIDTH, 490),
    DD_CODE(DDERR_UNSUPPORTEDFORMAT, 510),
    DD_CODE(DDERR_UNSUPPORTEDMASK, 520),
    DD_CODE(DDERR_INVALIDSTREAM, 521),
    DD_CODE(DDERR_VERTICALBLANKINPROGRESS, 537),
    DD_CODE(DDERR_WASSTILLDRAWING, 540),
    DD_CODE(DDERR_DDSCAPSCOMPLEXREQUIRED, 542),
    DD_CODE(DDERR_XALIGN, 560),
    DD_CODE(DDERR_INVALIDDIRECTDRAWGUID, 561),
    DD_CODE(DDERR_DIRECTDRAWALREADYCREATED, 562),
    DD_CODE(DDERR_NODIRECTDRAWHW, 563),
    DD_CODE(DDERR_PRIMARYSURFACEALREADYEXISTS, 564),
    DD_CODE(DDERR_NOEMULATION, 565),
    DD_CODE(DDERR_REGIONTOOSMALL, 566),
    DD_CODE(DDERR_CLIPPERISUSINGHWND, 567),
    DD_CODE(DDERR_NOCLIPPERATTACHED, 568),
    DD_CODE(DDERR_NOHWND, 569),
    DD_CODE(DDERR_HWNDSUBCLASSED, 570),
    DD_CODE(DDERR_HWNDALREADYSET, 571),
    DD_CODE(DDERR_NOPALETTEATTACHED, 572),
    DD_CODE(DDERR_NOPALETTEHW, 573),
    DD_CODE(DDERR_BLTFASTCANTCLIP, 574),
    DD_CODE(DDERR_NOBLTHW, 575),
    DD_CODE(DDERR_NODDROPSHW, 576),
    DD_CODE(DDERR_OVERLAYNOTVISIBLE, 577),
    DD_CODE(DDERR_NOOVERLAYDEST, 578),
    DD_CODE(DDERR_INVALIDPOSITION, 579),
    DD_CODE(DDERR_NOTAOVERLAYSURFACE, 580),
    DD_CODE(DDERR_EXCLUSIVEMODEALREADYSET, 581),
    DD_CODE(DDERR_NOTFLIPPABLE, 582),
    DD_CODE(DDERR_CANTDUPLICATE, 583),
    DD_CODE(DDERR_NOTLOCKED, 584),
    DD_CODE(DDERR_CANTCREATEDC, 585),
    DD_CODE(DDERR_NODC, 586),
    DD_CODE(DDERR_WRONGMODE, 587),
    DD_CODE(DDERR_IMPLICITLYCREATED, 588),
    DD_CODE(DDERR_NOTPALETTIZED, 589),
    DD_CODE(DDERR_UNSUPPORTEDMODE, 590),
    DD_CODE(DDERR_NOMIPMAPHW, 591),
    DD_CODE(DDERR_INVALIDSURFACETYPE, 592),
    DD_CODE(DDERR_NOOPTIMIZEHW, 600),
    DD_CODE(DDERR_NOTLOADED, 601),
    DD_CODE(DDERR_NOFOCUSWINDOW, 602),
    DD_CODE(DDERR_NOTONMIPMAPSUBLEVEL, 603),
    DD_CODE(DDERR_DCALREADYCREATED, 620),
    DD_CODE(DDERR_NONONLOCALVIDMEM, 630),
    DD_CODE(DDERR_CANTPAGELOCK, 640),
    DD_CODE(DDERR_CANTPAGEUNLOCK, 660),
    DD_CODE(DDERR_NOTPAGELOCKED, 680),
    DD_CODE(DDERR_MOREDATA, 690),
    DD_CODE(DDERR_EXPIRED, 691),
    DD_CODE(DDERR_TESTFINISHED, 692),
    DD_CODE(DDERR_NEWMODE, 693),
    DD_CODE(DDERR_D3DNOTINITIALIZED, 694),
    DD_CODE(DDERR_VIDEONOTACTIVE, 695),
    DD_CODE(DDERR_NOMONITORINFORMATION, 696),
    DD_CODE(DDERR_NODRIVERSUPPORT, 697),
    DD_CODE(DDERR_DEVICEDOESNTOWNSURFACE, 699),
};
#undef DD_NAME
#undef DD_CODE

int Width(const sys::Rect& r) {
    return r.right - r.left;
}
int Height(const sys::Rect& r) {
    return r.bottom - r.top;
}

// Steps 3 to 5 of the set-up: the window's style, position and client size.
void PlaceWindow(int dwScrX, int dwScrY, bool fullScreen, bool wasFullScreen, bool resized) {
    sys::SetFullScreen(fullScreen, dwScrX, dwScrY);
    if (fullScreen) return; // the desktop's own mode, the picture scaled keeping its aspect

    sys::Rect rectWindow = sys::GetWindowRect();
    sys::Rect rectClient = sys::GetClientRect();
    const int outerW = dwScrX + Width(rectWindow) - Width(rectClient);
    const int outerH = dwScrY + Height(rectWindow) - Height(rectClient);
    int x = rectWindow.left, y = rectWindow.top;
    if (wasFullScreen) {
        x = (sys::DesktopWidth() - outerW) / 2;
        y = (sys::DesktopHeight() - outerH) / 2;
    }
    sys::MoveMainWindow(x, y, outerW, outerH);
    if (!resized) return;

    rectWindow = sys::GetWindowRect();
    rectClient = sys::GetClientRect();
    if (Width(rectClient) == dwScrX && Height(rectClient) == dwScrY) return;
    if (!sys::MoveMainWindow(rectWindow.left, rectWindow.top,
                             Width(rectWindow) + (dwScrX - Width(rectClient)),
                             Height(rectWindow) + (dwScrY - Height(rectClient))))
        LogFailure(
            1,
            "!MoveWindow( hWnd, rectWindow.left, rectWindow.top, "
            "(rectWindow.right-rectWindow.left)+(dwScrX-(rectClient.right-rectClient.left)), "
            "(rectWindow.bottom-rectWindow.top)+(dwScrY-(rectClient.bottom-rectClient.top)), "
            "TRUE)",
            __FILE__, 96);
}

} // namespace

const PixelFormatDesc& CurrentPixelFormat() {
    return g_format;
}
void SetCurrentPixelFormat(const PixelFormatDesc& format) {
    g_format = format;
}

uint32_t ColourToPixel(uint32_t colour) {
    const PixelFormatDesc& f = g_format;
    auto channel = [](uint32_t value8, int bits, int shift) {
        return (value8 >> (8 - bits)) << shift;
    };
    return channel((colour >> 16) & 0xFF, f.RedBits(), f.RedShift()) |
           channel((colour >> 8) & 0xFF, f.GreenBits(), f.GreenShift()) |
           channel(colour & 0xFF, f.BlueBits(), f.BlueShift());
}

DisplayMode DesktopDisplayMode() {
    return DisplayMode{};
}

std::unique_ptr<Surface> CreateSurface(int width, int height, unsigned /*caps*/) {
    // System memory is the only kind there is; the caps only ever ask for it.
    long result = DD_OK;
    std::unique_ptr<Surface> surface = Surface::Create(width, height, g_format, &result);
    if (!surface) return nullptr;
    long err = surface->SetColorKey(0, 0);
    if (err != DD_OK)
        LogDDFailure(err, "lpDDSurface->SetColorKey( DDCKEY_SRCBLT, &ddck )", __FILE__, 50);
    return surface;
}

std::unique_ptr<Surface> CreateBackBufferSurface(int width, int height, int bitsPerPixel,
                                                 const DisplayMode& mode) {
    std::unique_ptr<Surface> surface;
    auto walk = [&](auto matches) {
        for (const PixelFormatDesc* f = kPixelFormats; f->bitsPerPixel != 0 && !surface; ++f) {
            if (!matches(*f)) continue;
            SetCurrentPixelFormat(*f);
            surface = CreateSurface(width, height, DDSCAPS_SYSTEMMEMORY);
        }
    };
    if (uint32_t(bitsPerPixel) == mode.bitsPerPixel)
        walk([&](const PixelFormatDesc& f) { return f.greenMask == mode.greenMask; });
    if (!surface)
        walk([&](const PixelFormatDesc& f) { return f.bitsPerPixel == uint32_t(bitsPerPixel); });
    return surface;
}

void SetupDisplay(int width, int height, int /*bitsPerPixel*/, int fullScreen) {
    // The full-screen depth request has nothing to change here: full screen keeps the desktop's
    // own mode. The back buffer is 16-bit because every software blit works on 16-bit pixels.
    constexpr int kBackBufferBits = 16;
    if (!RenderSurface) {
        RenderSurface = new Sprite();
        RenderSurface->AddRef();
        RegisterSprite(RenderSurface);
    }
    const bool wasFullScreen = g_displayObject && g_fullScreen;
    const bool resized = width != RenderSurface->width || height != RenderSurface->frameHeight;
    if (sys::MainWindowExists())
        PlaceWindow(width, height, fullScreen != 0, wasFullScreen, resized);
    g_displayObject = true;

    if (!RenderSurface->lpDDSurface) {
        RenderSurface->lpDDSurface =
            CreateBackBufferSurface(width, height, kBackBufferBits, DesktopDisplayMode());
        if (RenderSurface->lpDDSurface) {
            RenderSurface->width = int16_t(width);
            RenderSurface->frameHeight = int16_t(height);
            RenderSurface->pitch = int16_t(RenderSurface->lpDDSurface->Pitch());
        } else {
            // Nothing can be drawn then; an empty back buffer keeps every drawing call harmless
            // and the log says why the screen stays dark.
            RenderSurface->width = RenderSurface->frameHeight = 0;
            LogFailure(1, "!RenderSurface->lpDDSurface", __FILE__, __LINE__);
        }
        RenderSurface->clip = ClipRect{0, 0, RenderSurface->width, RenderSurface->frameHeight};
    }
    g_fullScreen = fullScreen != 0;
    if (sys::MainWindowExists()) sys::ShowMainWindow();
}

void Present() {
    if (!RenderSurface || !RenderSurface->lpDDSurface) return;
    if (RenderSurface->pixels) RenderSurface->Unlock();
    Surface& surface = *RenderSurface->lpDDSurface;
    SurfaceDC hDCBack;
    long err = surface.GetDC(&hDCBack);
    if (err != DD_OK) {
        LogDDFailure(err, "BackBuffer->lpDDSurface->GetDC( &hDCBack )", __FILE__, 168);
        return;
    }
    const ClipRect& c = RenderSurface->clip;
    sys::PresentRGB565(reinterpret_cast<const uint16_t*>(hDCBack.bits), hDCBack.pitch,
                       surface.Width(), surface.Height(),
                       sys::Rect{c.left, c.top, c.right, c.bottom});
    err = surface.ReleaseDC();
    if (err != DD_OK)
        LogDDFailure(err, "BackBuffer->lpDDSurface->ReleaseDC( hDCBack )", __FILE__, 173);
}

void DestroyUnheldSprites() {
    for (size_t i = g_registry.size(); i-- > 0;) {
        Sprite* sprite = g_registry[i];
        if (sprite && sprite->refCount == 1) delete sprite;
    }
}

void ShutdownDisplay(bool keep) {
    if (g_displayObject && !keep) {
        if (RenderSurface) RenderSurface->Release();
        RenderSurface = nullptr;
        DestroyUnheldSprites();
    }
    if (g_fullScreen && g_displayObject && sys::MainWindowExists()) sys::SetFullScreen(false, 0, 0);
    g_displayObject = false;
}

const char* DDErrorName(long code) {
    // Result codes are 32-bit: a code that arrives zero-extended names the same result.
    for (const ErrorName& e : kErrorNames)
        if (int32_t(e.code) == int32_t(code)) return e.name;
    return "not found";
}

void LogDDFailure(long code, const char* expression, const char* sourcePath, int line) {
    LogFailureWithText(code, expression, sourcePath, line, DDErrorName(code));
}

void RegisterSprite(Sprite* sprite) {
    sprite->AddRef();
    auto empty = std::find(g_registry.begin(), g_registry.end(), nullptr);
    if (empty != g_registry.end()) {
        *empty = sprite;
        return;
    }
    size_t slot = g_registry.size();
    g_registry.resize(slot + kRegistryStep, nullptr);
    g_registry[slot] = sprite;
}

void UnregisterSprite(Sprite* sprite) {
    auto it = std::find(g_registry.begin(), g_registry.end(), sprite);
    if (it != g_registry.end()) *it = nullptr;
}

const std::vector<Sprite*>& SpriteRegistry() {
    return g_registry;
}

Sprite* FindRegisteredSprite(const char* fileName) {
    for (Sprite* sprite : g_registry) {
        if (!sprite) continue;
        if (!fileName) {
            if (!sprite->fileName) return sprite;
        } else if (sprite->fileName && strcasecmp(sprite->fileName->c_str(), fileName) == 0) {
            return sprite;
        }
    }
    return nullptr;
}
