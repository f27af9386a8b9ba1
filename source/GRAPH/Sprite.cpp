#include "GRAPH/Sprite.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "BASE/rnd.h"
#include "GRAPH/PictureReader.h"
#include "GRAPH/Surface.h"
#include "GRAPH/graph.h"
#include "GRAPH/pixel_fields.h"
#include "SYS/blocks.h"
#include "SYS/gdi_text.h"
#include "SYS/msgbox.h"

namespace {

using namespace pixel_fields;

// A picture larger than this (all frames) is refused like an unreadable file.
constexpr int64_t kMaxPicturePixels = int64_t(64) << 20;
constexpr int kMaxPictureWidth = 16382; // a 16-bit row must fit a 16-bit pitch

int AlphaRows(const Sprite& s) {
    return s.width > 0 ? int(s.alpha.size() / size_t(s.width)) : 0;
}

uint16_t* Row16(const Sprite& s, int y) {
    return reinterpret_cast<uint16_t*>(s.pixels + size_t(y) * size_t(s.pitch));
}

// Software operations need the pixels: lock when the pointer is missing.
bool LockForSoftware(Sprite& s) {
    if (!s.pixels) s.Lock();
    return s.pixels != nullptr;
}

// DirectDraw and GDI operations need the surface unlocked.
void UnlockForSurface(Sprite& s) {
    if (s.lpDDSurface && s.pixels) s.Unlock();
}

int64_t PositiveModulo(int64_t v, int64_t m) {
    int64_t r = v % m;
    return r < 0 ? r + m : r;
}

// Destination steps [first, last) of `count` whose source coordinate start + (i * step >> 16)
// lies in [0, size).
void SourceRange(int64_t start, int64_t step, int count, int size, int& first, int& last) {
    int64_t lo = start < 0 ? (-start * 65536 + step - 1) / step : 0;
    int64_t hi = start >= size ? 0 : ((int64_t(size) - start) * 65536 + step - 1) / step;
    first = int(std::min<int64_t>(lo, count));
    last = int(std::min<int64_t>(hi, count));
}

// --- Row kernels. Scaled rows read the source through a column table. ----------------------

inline uint16_t AddField(uint16_t s, uint16_t d, const Channels& c, int i) {
    return uint16_t(std::min<uint16_t>(c.max[i], uint16_t(Field(s, c, i) + Field(d, c, i)))
                    << c.shift[i]);
}

// One software blit after clipping: destination rows with their stepped source rows.
struct SoftBlit {
    uint8_t* dst;         // first destination pixel drawn
    int dstPitch;         // bytes
    const uint8_t* src;   // source memory row 0 at the first source column
    int srcPitch;         // bytes
    const uint8_t* alpha; // alpha plane row 0 at the same column (alpha blits)
    int alphaPitch;       // bytes
    const int* cols;      // scaled blits: source column offsets per destination column
    int width, firstRow, lastRow;
    int64_t srcTop, yStep; // source row of destination row j: srcTop + (j * yStep >> 16)
    Channels c;
    const int* rowTable; // when given, the source row of destination row j instead
};

enum class BlitMode { Alpha, Add, Copy };

// One pixel of an alpha blit: nearly clear keeps the destination, nearly opaque takes the source.
template <bool Rgb565>
inline uint16_t AlphaPixel(uint16_t s, uint16_t d, int16_t a, const Channels& format) {
    const Channels c = Rgb565 ? kRgb565 : format;
    const uint16_t mixed =
        uint16_t(BlendField(s, d, a, c, 0) | BlendField(s, d, a, c, 1) | BlendField(s, d, a, c, 2));
    return a > 239 ? s : (a < 16 ? d : mixed);
}

// Sixteen pixels in the lanes of one vector. Written with vector types rather than left to the
// vectoriser: from a per-pixel loop it widens every 16-bit shift to 32 bits and packs the lanes
// back, which makes the blend twice as slow.
constexpr int kAlphaBlock = 16;
typedef uint16_t Lanes16 __attribute__((vector_size(2 * kAlphaBlock)));
typedef int16_t SignedLanes16 __attribute__((vector_size(2 * kAlphaBlock)));
typedef uint8_t ByteLanes16 __attribute__((vector_size(kAlphaBlock)));

// AlphaPixel for the sixteen pixels at `dst`, `src` and `alpha`, all at once.
template <bool Rgb565>
inline void AlphaBlock(uint16_t* __restrict dst, const uint16_t* __restrict src,
                       const uint8_t* __restrict alpha, const Channels& format) {
    const Channels c = Rgb565 ? kRgb565 : format;
    Lanes16 s, d;
    ByteLanes16 alphaBytes;
    std::memcpy(&s, src, sizeof s);
    std::memcpy(&d, dst, sizeof d);
    std::memcpy(&alphaBytes, alpha, sizeof alphaBytes);
    const SignedLanes16 a = __builtin_convertvector(alphaBytes, SignedLanes16);
    Lanes16 mixed = {};
    for (int i = 0; i < 3; ++i) {
        const SignedLanes16 S = SignedLanes16((s >> c.shift[i]) & c.max[i]);
        const SignedLanes16 D = SignedLanes16((d >> c.shift[i]) & c.max[i]);
        // BlendField's product: it fits 16 bits, and the shift is arithmetic as there.
        const SignedLanes16 product = SignedLanes16(Lanes16(a) * Lanes16(S - D));
        mixed |= Lanes16(D + (product >> 8)) << c.shift[i];
    }
    const Lanes16 solid = Lanes16(a > 239), clear = Lanes16(a < 16);
    const Lanes16 out = (s & solid) | (~solid & ((d & clear) | (mixed & ~clear)));
    std::memcpy(dst, &out, sizeof out);
}

// An unscaled alpha row in blocks of 16: most pictures are wide runs of clear or solid pixels, and
// a block whose alphas all fall on one side needs no arithmetic; the result is the same pixels.
template <bool Rgb565>
PIXEL_LOOP void AlphaRowByBlocks(uint16_t* __restrict dst, const uint16_t* __restrict src,
                                 const uint8_t* __restrict alpha, int n, Channels format) {
    if (n < kAlphaBlock) {
        for (int i = 0; i < n; ++i) dst[i] = AlphaPixel<Rgb565>(src[i], dst[i], alpha[i], format);
        return;
    }
    // A row that is no whole number of blocks ends with a block overlapping the one before it,
    // blended from the destination as it was; only its last pixels are kept, after the others.
    const int last = n - kAlphaBlock, left = n % kAlphaBlock;
    uint16_t end[kAlphaBlock];
    if (left) {
        std::memcpy(end, dst + last, sizeof end);
        AlphaBlock<Rgb565>(end, src + last, alpha + last, format);
    }
    constexpr uint64_t kHigh = 0xF0F0F0F0F0F0F0F0ull; // alpha < 16 has none of these bits set
    for (int i = 0; i + kAlphaBlock <= n; i += kAlphaBlock) {
        uint64_t lo, hi;
        std::memcpy(&lo, alpha + i, 8);
        std::memcpy(&hi, alpha + i + 8, 8);
        if (((lo | hi) & kHigh) == 0) continue;
        if ((lo & hi & kHigh) == kHigh) { // every alpha >= 240
            std::memcpy(dst + i, src + i, kAlphaBlock * sizeof(uint16_t));
            continue;
        }
        AlphaBlock<Rgb565>(dst + i, src + i, alpha + i, format);
    }
    for (int k = kAlphaBlock - left; k < kAlphaBlock; ++k) dst[last + k] = end[k];
}

template <BlitMode Mode, bool Scaled, bool Rgb565> PIXEL_LOOP void RunBlit(const SoftBlit& b) {
    const Channels c = Rgb565 ? kRgb565 : b.c;
    const int n = b.width;
    const int* __restrict cols = b.cols;
    for (int j = b.firstRow; j < b.lastRow; ++j) {
        const int64_t row = b.rowTable ? b.rowTable[j] : b.srcTop + ((j * b.yStep) >> 16);
        uint16_t* __restrict dst =
            reinterpret_cast<uint16_t*>(b.dst + int64_t(j - b.firstRow) * b.dstPitch);
        const uint16_t* __restrict src =
            reinterpret_cast<const uint16_t*>(b.src + row * b.srcPitch);
        const uint8_t* __restrict alpha =
            Mode == BlitMode::Alpha ? b.alpha + row * b.alphaPitch : nullptr;
        if constexpr (Mode == BlitMode::Alpha && !Scaled) {
            AlphaRowByBlocks<Rgb565>(dst, src, alpha, n, c);
            continue;
        }
        for (int i = 0; i < n; ++i) {
            const int k = Scaled ? cols[i] : i;
            const uint16_t s = src[k], d = dst[i];
            if constexpr (Mode == BlitMode::Alpha) {
                dst[i] = AlphaPixel<Rgb565>(s, d, int16_t(alpha[k]), c);
            } else if constexpr (Mode == BlitMode::Add) {
                const uint16_t sum =
                    uint16_t(AddField(s, d, c, 0) | AddField(s, d, c, 1) | AddField(s, d, c, 2));
                dst[i] = s ? sum : d;
            } else {
                dst[i] = s;
            }
        }
    }
}

template <BlitMode Mode> void RunBlit(const SoftBlit& b, bool scaled) {
    if (IsRgb565(b.c))
        scaled ? RunBlit<Mode, true, true>(b) : RunBlit<Mode, false, true>(b);
    else
        scaled ? RunBlit<Mode, true, false>(b) : RunBlit<Mode, false, false>(b);
}

// How a rectangle blit draws with `flags`: a picture with an alpha plane blends when drawn plain or
// masked too, and adding applies only where nothing blends.
struct BlitKind {
    bool useAlpha, additive;
};
BlitKind RectBlitKind(uint32_t flags, const Sprite& source) {
    const bool useAlpha =
        source.HasAlpha() && (flags == 0 || flags == OP_MASK || (flags & OP_ALPHA));
    return BlitKind{useAlpha, !useAlpha && (flags & OP_ADD)};
}

void RunBlit(const SoftBlit& b, bool scaled, bool useAlpha, bool additive) {
    if (useAlpha)
        RunBlit<BlitMode::Alpha>(b, scaled);
    else if (additive)
        RunBlit<BlitMode::Add>(b, scaled);
    else
        RunBlit<BlitMode::Copy>(b, scaled);
}

// ((D * (255 - a) + C * a) >> 8) for one field, with C * a given.
inline uint16_t TintField(uint16_t d, const Channels& c, int i, uint16_t colourTimesAlpha,
                          uint16_t keep) {
    return uint16_t(uint16_t(uint16_t(Field(d, c, i) * keep + colourTimesAlpha) >> 8)
                    << c.shift[i]);
}

template <bool Rgb565>
PIXEL_LOOP void TintRow(uint16_t* __restrict dst, int n, Channels format,
                        const uint16_t (&colourTimesAlpha)[3], uint16_t keep) {
    const Channels c = Rgb565 ? kRgb565 : format;
    const uint16_t r = colourTimesAlpha[0], g = colourTimesAlpha[1], b = colourTimesAlpha[2];
    for (int i = 0; i < n; ++i) {
        const uint16_t d = dst[i];
        dst[i] = uint16_t(TintField(d, c, 0, r, keep) | TintField(d, c, 1, g, keep) |
                          TintField(d, c, 2, b, keep));
    }
}

// The column table of scaled blits, kept between calls (drawing is single-threaded).
std::vector<int>& ColumnTable(size_t n) {
    static std::vector<int> table;
    if (table.size() < n) table.resize(n);
    return table;
}

bool HasExtension(const std::string& name, const char* extension) {
    const size_t dot = name.find_last_of('.');
    const size_t slash = name.find_last_of("\\/");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    return strcasecmp(name.c_str() + dot + 1, extension) == 0;
}

bool PictureSizeAcceptable(int64_t width, int64_t height, int64_t frames) {
    return width >= 1 && height >= 1 && frames >= 1 && width <= kMaxPictureWidth &&
           height <= INT16_MAX && frames <= INT16_MAX &&
           width * height * frames <= kMaxPicturePixels;
}

} // namespace

Sprite::Sprite() = default;

Sprite::~Sprite() {
    FreePixels();
    UnregisterSprite(this);
}

void Sprite::Release() {
    if (--refCount <= 0) delete this;
}

void Sprite::Lock() {
    if (!lpDDSurface) return;
    uint8_t* memory = nullptr;
    int surfacePitch = 0;
    const long err = lpDDSurface->Lock(&memory, &surfacePitch);
    if (err != DD_OK) {
        LogDDFailure(err, "lpDDSurface->Lock(NULL,&ddsd,DDLOCK_WAIT,NULL)", __FILE__, 151);
        return;
    }
    pixels = memory;
    pitch = int16_t(surfacePitch);
}

void Sprite::Unlock() {
    if (!lpDDSurface) return;
    pixels = nullptr;
    const long err = lpDDSurface->Unlock();
    if (err != DD_OK) LogDDFailure(err, "lpDDSurface->Unlock(NULL)", __FILE__, 160);
}

void Sprite::FreePixels() {
    UnlockForSurface(*this);
    lpDDSurface.reset();
    std::vector<uint8_t>().swap(ownPixels);
    std::vector<uint8_t>().swap(alpha);
    pixels = nullptr;
}

int Sprite::FrameIndex(float position) const {
    if (frameCount <= 1) return 0;
    const float scaled = position * frameScale;
    const double index = std::fmod(double(scaled), 1.00001) * (frameCount - 1);
    // Negative or non-finite positions would address memory outside the frames.
    if (!std::isfinite(index) || index <= 0) return 0;
    return std::min(rnd(index), frameCount - 1);
}

void Sprite::Reload() {
    FreePixels();
    flags &= ~SPRITE_BMASK;
    if (!fileName) {
        lpDDSurface = CreateSurface(width, frameHeight * frameCount, DDSCAPS_SYSTEMMEMORY);
        clip = ClipRect{0, 0, width, frameHeight};
        return;
    }
    std::unique_ptr<PictureReader> reader = ReaderFor(fileName->c_str());
    if (!reader)
        sys::MessageBox(*fileName, "unknown file format", sys::MB_OK);
    else if (reader->Open(fileName->c_str()) == 0)
        ReadPicture(*reader);
    reader.reset();
    if (!HasAlpha() && maskFileName) ReadMask();
    if (width == 0) sys::MessageBox(*fileName, "file not found", sys::MB_OK);
    clip = ClipRect{0, 0, width, frameHeight};
}

void Sprite::ReadPicture(PictureReader& reader) {
    const int64_t w = std::llabs(int64_t(reader.width)), h = std::llabs(int64_t(reader.height));
    const int64_t frames = reader.frameCount;
    if (!PictureSizeAcceptable(w, h, frames)) return; // treated like a file that cannot be read

    frameScale = reader.length != 0 ? 1.0f / float(reader.length) : 1.0f;
    width = int16_t(w);
    frameHeight = int16_t(h);
    frameCount = int16_t(frames);
    if (reader.bitsPerPixel == 32)
        alpha.assign(size_t(w * h * frames), 0);
    else
        lpDDSurface = CreateSurface(width, frameHeight * frameCount, DDSCAPS_SYSTEMMEMORY);
    if (!lpDDSurface) {
        pitch = int16_t(width * 2);
        ownPixels.assign(size_t(pitch) * size_t(h * frames), 0);
        pixels = ownPixels.data();
    }
    Lock();
    if (!pixels) return;

    const PixelFormatDesc& f = CurrentPixelFormat();
    for (int frame = 0; frame < frameCount; ++frame) {
        const int position = (reader.length / frameCount) * frame;
        reader.ReadPixels(pixels + size_t(frame) * size_t(frameHeight) * size_t(pitch), position, 2,
                          pitch, f.RedBits(), f.GreenBits(), f.BlueBits(), 0, f.RedShift(),
                          f.GreenShift(), f.BlueShift(), 0, width, frameHeight);
        if (HasAlpha())
            reader.ReadChannel(alpha.data() + size_t(frame) * size_t(width) * size_t(frameHeight),
                               position, 1, width, 8, 0, width, frameHeight);
    }
    if (!HasAlpha() && !HasExtension(*fileName, "jpg") && FirstFrameHasBlack())
        flags |= SPRITE_BMASK;
}

bool Sprite::FirstFrameHasBlack() const {
    for (int y = 0; y < frameHeight; ++y) {
        const uint16_t* row = Row16(*this, y);
        for (int x = 0; x < width; ++x)
            if (row[x] == 0) return true;
    }
    return false;
}

void Sprite::ReadMask() {
    // The mask only completes a picture that was read: without pixels, or with another size,
    // an alpha plane would describe memory that is not there.
    if (!lpDDSurface && ownPixels.empty()) return;
    std::unique_ptr<PictureReader> reader = ReaderFor(maskFileName->c_str());
    if (!reader || reader->Open(maskFileName->c_str()) != 0) return;
    if (std::llabs(int64_t(reader->width)) != width ||
        std::llabs(int64_t(reader->height)) != frameHeight || reader->frameCount != frameCount)
        return;
    frameScale = reader->length != 0 ? 1.0f / float(reader->length) : 1.0f;
    alpha.assign(size_t(width) * size_t(frameHeight) * size_t(frameCount), 0);
    for (int frame = 0; frame < frameCount; ++frame)
        reader->ReadChannel(alpha.data() + size_t(frame) * size_t(width) * size_t(frameHeight),
                            (reader->length / frameCount) * frame, 1, width, 8, 0, width,
                            frameHeight);
}

// The clip rectangle, kept inside the pixel memory.
static void DrawableArea(const Sprite& s, int& left, int& top, int& right, int& bottom) {
    const Sprite::Extent e = s.PixelExtent();
    left = std::max<int>(s.clip.left, 0);
    top = std::max<int>(s.clip.top, 0);
    right = std::min<int>(s.clip.right, e.columns);
    bottom = std::min<int>(s.clip.bottom, e.rows);
}

void Sprite::StretchBlit(int dx, int dy, int dw, int dh, Sprite* source, int sx, int sy, int sw,
                         int sh, uint32_t flags, float position) {
    if (!source || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;

    const int64_t xStep = (int64_t(sw) << 16) / dw;
    const int64_t yStep = (int64_t(sh) << 16) / dh;
    int64_t x0 = dx, y0 = dy, x1 = int64_t(dx) + dw, y1 = int64_t(dy) + dh;
    int64_t srcLeft = sx, srcTop = sy, srcRight = int64_t(sx) + sw, srcBottom = int64_t(sy) + sh;
    int cl, ct, cr, cb;
    DrawableArea(*this, cl, ct, cr, cb);
    if (x0 < cl) {
        srcLeft += ((cl - x0) * xStep) >> 16;
        x0 = cl;
    }
    if (y0 < ct) {
        srcTop += ((ct - y0) * yStep) >> 16;
        y0 = ct;
    }
    if (x1 > cr) {
        srcRight -= (xStep * (x1 - cr)) >> 16;
        x1 = cr;
    }
    if (y1 > cb) {
        srcBottom -= (yStep * (y1 - cb)) >> 16;
        y1 = cb;
    }
    if (x0 >= x1 || y0 >= y1) return;
    const int frameRow = source->FrameIndex(position) * source->frameHeight;
    srcTop += frameRow;
    srcBottom += frameRow;

    const auto [useAlpha, additive] = RectBlitKind(flags, *source);
    if (!useAlpha && !additive && lpDDSurface && source->lpDDSurface) {
        UnlockForSurface(*this);
        UnlockForSurface(*source);
        const SurfaceRect rDst{int(x0), int(y0), int(x1), int(y1)};
        const SurfaceRect rSrc{int(srcLeft), int(srcTop), int(srcRight), int(srcBottom)};
        const long err = lpDDSurface->Blt(rDst, source->lpDDSurface.get(), rSrc,
                                          source->bMask() ? (flags & OP_MASK) : 0);
        if (err != DD_OK)
            LogDDFailure(err,
                         "pDst->lpDDSurface->Blt( &rDst, pSrc->lpDDSurface, &rSrc, pSrc->bMask ? "
                         "(flag&OP_MASK) : 0, NULL )",
                         __FILE__, 120);
        return;
    }

    if (!LockForSoftware(*this) || !LockForSoftware(*source)) return;
    // Source coordinates outside the source's memory are not drawn.
    const Sprite::Extent se = source->PixelExtent();
    const int sourceRows = useAlpha ? std::min(se.rows, AlphaRows(*source)) : se.rows;
    int firstCol, lastCol, firstRow, lastRow;
    SourceRange(srcLeft, xStep, int(x1 - x0), se.columns, firstCol, lastCol);
    SourceRange(srcTop, yStep, int(y1 - y0), sourceRows, firstRow, lastRow);
    if (firstCol >= lastCol || firstRow >= lastRow) return;

    const int n = lastCol - firstCol;
    const bool scaled = xStep != 65536;
    const int srcColumn = int(srcLeft + ((firstCol * xStep) >> 16));
    const int* cols = nullptr;
    if (scaled) {
        std::vector<int>& table = ColumnTable(size_t(n));
        for (int i = 0; i < n; ++i)
            table[size_t(i)] = int(srcLeft + (((firstCol + i) * xStep) >> 16)) - srcColumn;
        cols = table.data();
    }
    const SoftBlit blit{
        reinterpret_cast<uint8_t*>(Row16(*this, int(y0) + firstRow) + x0 + firstCol),
        pitch,
        reinterpret_cast<const uint8_t*>(Row16(*source, 0) + srcColumn),
        source->pitch,
        useAlpha ? source->alpha.data() + srcColumn : nullptr,
        source->width,
        cols,
        n,
        firstRow,
        lastRow,
        srcTop,
        yStep,
        CurrentChannels(),
        nullptr};
    RunBlit(blit, scaled, useAlpha, additive);
}

void Sprite::BlitRows(int dx, int dy, int w, Sprite* source, int sx, const int* rows, int count,
                      uint32_t flags) {
    if (!source || !rows || w <= 0 || count <= 0) return;
    const auto [useAlpha, additive] = RectBlitKind(flags, *source);
    const bool software = useAlpha || additive || !lpDDSurface || !source->lpDDSurface;
    if (!software || !LockForSoftware(*this) || !LockForSoftware(*source)) {
        for (int j = 0; j < count; ++j) BlitRect(dx, dy + j, w, 1, source, sx, rows[j], flags, 0);
        return;
    }
    // The columns as an unscaled StretchBlit clips them.
    int cl, ct, cr, cb;
    DrawableArea(*this, cl, ct, cr, cb);
    int64_t x0 = dx, x1 = int64_t(dx) + w, srcLeft = sx;
    if (x0 < cl) {
        srcLeft += cl - x0;
        x0 = cl;
    }
    if (x1 > cr) x1 = cr;
    if (x0 >= x1) return;
    const Sprite::Extent se = source->PixelExtent();
    const int sourceRows = useAlpha ? std::min(se.rows, AlphaRows(*source)) : se.rows;
    int firstCol, lastCol;
    SourceRange(srcLeft, 65536, int(x1 - x0), se.columns, firstCol, lastCol);
    if (firstCol >= lastCol) return;
    const int srcColumn = int(srcLeft + firstCol);
    // Rows that a one-row blit would draw: inside the clip, from a row the source has.
    const auto drawn = [&](int j) {
        const int64_t y = int64_t(dy) + j;
        return y >= ct && y < cb && rows[j] >= 0 && rows[j] < sourceRows;
    };
    for (int j = 0; j < count;) {
        if (!drawn(j)) {
            ++j;
            continue;
        }
        int end = j + 1;
        while (end < count && drawn(end)) ++end;
        const SoftBlit blit{reinterpret_cast<uint8_t*>(Row16(*this, dy + j) + x0 + firstCol),
                            pitch,
                            reinterpret_cast<const uint8_t*>(Row16(*source, 0) + srcColumn),
                            source->pitch,
                            useAlpha ? source->alpha.data() + srcColumn : nullptr,
                            source->width,
                            nullptr,
                            lastCol - firstCol,
                            0,
                            end - j,
                            0,
                            0,
                            CurrentChannels(),
                            rows + j};
        RunBlit(blit, false, useAlpha, additive);
        j = end;
    }
}

void Sprite::DrawSprite(int x, int y, Sprite* source, uint32_t flags, float position) {
    if (!source) return;
    StretchBlit(x, y, source->width, source->frameHeight, source, 0, 0, source->width,
                source->frameHeight, flags, position);
}

void Sprite::BlitRect(int dx, int dy, int w, int h, Sprite* source, int sx, int sy, uint32_t flags,
                      float position) {
    StretchBlit(dx, dy, w, h, source, sx, sy, w, h, flags, position);
}

void Sprite::TileRect(int dx, int dy, int w, int h, Sprite* source, int offsetX, int offsetY,
                      uint32_t flags) {
    if (!source || w <= 0 || h <= 0 || source->width <= 0 || source->frameHeight <= 0) return;
    const int sw = source->width, sh = source->frameHeight;
    // Only the part inside the clip rectangle is cut into pieces; the mapping stays the same.
    int cl, ct, cr, cb;
    DrawableArea(*this, cl, ct, cr, cb);
    const int64_t i0 = std::max<int64_t>(0, int64_t(cl) - dx),
                  i1 = std::min<int64_t>(w, int64_t(cr) - dx);
    const int64_t j0 = std::max<int64_t>(0, int64_t(ct) - dy),
                  j1 = std::min<int64_t>(h, int64_t(cb) - dy);
    for (int64_t j = j0; j < j1;) {
        const int sy = int(PositiveModulo(int64_t(offsetY) + j, sh));
        const int bandHeight = int(std::min<int64_t>(sh - sy, j1 - j));
        for (int64_t i = i0; i < i1;) {
            const int sx = int(PositiveModulo(int64_t(offsetX) + i, sw));
            const int pieceWidth = int(std::min<int64_t>(sw - sx, i1 - i));
            StretchBlit(int(dx + i), int(dy + j), pieceWidth, bandHeight, source, sx, sy,
                        pieceWidth, bandHeight, flags, 0.0f);
            i += pieceWidth;
        }
        j += bandHeight;
    }
}

void Sprite::FillRect(int left, int top, int right, int bottom, uint32_t colour) {
    int cl, ct, cr, cb;
    DrawableArea(*this, cl, ct, cr, cb);
    left = std::max(left, cl);
    top = std::max(top, ct);
    right = std::min(right, cr);
    bottom = std::min(bottom, cb);
    if (left >= right || top >= bottom) return;

    const uint32_t a = colour >> 24;
    if (a == 0 || a >= 240) {
        const uint32_t pixel = ColourToPixel(colour);
        if (!lpDDSurface) { // an own buffer has no DirectDraw fill
            for (int y = top; y < bottom; ++y)
                std::fill_n(Row16(*this, y) + left, right - left, uint16_t(pixel));
            return;
        }
        UnlockForSurface(*this);
        const long err = lpDDSurface->ColorFill(SurfaceRect{left, top, right, bottom}, pixel);
        if (err != DD_OK)
            LogDDFailure(err,
                         "lpDDSurface->Blt( &rc, NULL, NULL, DDBLT_WAIT|DDBLT_COLORFILL, &ddfx )",
                         __FILE__, 258);
        return;
    }
    if (!LockForSoftware(*this)) return;
    const Channels ch = CurrentChannels();
    const uint16_t c = uint16_t(ColourToPixel(colour));
    const uint16_t colourTimesAlpha[3] = {uint16_t(Field(c, ch, 0) * a),
                                          uint16_t(Field(c, ch, 1) * a),
                                          uint16_t(Field(c, ch, 2) * a)};
    auto tint = IsRgb565(ch) ? TintRow<true> : TintRow<false>;
    for (int y = top; y < bottom; ++y)
        tint(Row16(*this, y) + left, right - left, ch, colourTimesAlpha, uint16_t(255 - a));
}

void Sprite::DrawTriangle(uint32_t flags, Sprite* source, const ScreenPoint (&points)[3],
                          const TexturePoint (&texture)[3], float position) {
    if (!source) return;
    const double x1 = points[0].x, y1 = points[0].y, x2 = points[1].x, y2 = points[1].y,
                 x3 = points[2].x, y3 = points[2].y;
    const double winding = (y1 - y2) * (x1 - x3) - (x1 - x2) * (y1 - y3);
    if (!(winding <= 0.00001)) return; // the other winding (or a non-number) is not drawn
    for (const ScreenPoint& p : points)
        if (!(std::fabs(p.x) < 1e6 && std::fabs(p.y) < 1e6)) return;

    const int W = source->width, H = source->frameHeight;
    if (W <= 0 || H <= 0) return;
    double U[3], V[3];
    for (int i = 0; i < 3; ++i) {
        U[i] = double(texture[i].u) * W;
        V[i] = double(texture[i].v) * H;
        if (!(std::fabs(U[i]) < 1e6 && std::fabs(V[i]) < 1e6)) return;
    }
    double den = (x1 - x2) * (y1 - y3) - (x1 - x3) * (y1 - y2);
    if (std::fabs(den) < 0.00001) den = 0.00001;
    const double dUdx = ((U[0] - U[1]) * (y1 - y3) - (U[0] - U[2]) * (y1 - y2)) / den;
    const double dUdy = ((x1 - x2) * (U[0] - U[2]) - (x1 - x3) * (U[0] - U[1])) / den;
    const double dVdx = ((V[0] - V[1]) * (y1 - y3) - (V[0] - V[2]) * (y1 - y2)) / den;
    const double dVdy = ((x1 - x2) * (V[0] - V[2]) - (x1 - x3) * (V[0] - V[1])) / den;

    if (!LockForSoftware(*this) || !LockForSoftware(*source)) return;
    const bool useAlpha = (flags & OP_ALPHA) && source->HasAlpha();
    const int frameRow = source->FrameIndex(position) * H;
    const Sprite::Extent se = source->PixelExtent();
    const int texRows =
        std::min(H, (useAlpha ? std::min(se.rows, AlphaRows(*source)) : se.rows) - frameRow);
    const int texCols = std::min(W, se.columns);
    if (texRows <= 0 || texCols <= 0) return;

    // Vertices sorted by y; edges stepped in 10-bit fixed point.
    ScreenPoint v[3] = {points[0], points[1], points[2]};
    std::sort(v, v + 3, [](const ScreenPoint& a, const ScreenPoint& b) { return a.y < b.y; });
    int cl, ct, cr, cb;
    DrawableArea(*this, cl, ct, cr, cb);
    const int yTop = std::max(int(std::ceil(v[0].y)), ct);
    const int yEnd = std::min(int(std::ceil(v[2].y)), cb);
    auto edgeAt = [](const ScreenPoint& a, const ScreenPoint& b, int y, int64_t& x, int64_t& step) {
        const double slope = b.y > a.y ? (double(b.x) - a.x) / (double(b.y) - a.y) : 0.0;
        x = int64_t(std::floor((a.x + slope * (y - double(a.y))) * 1024.0));
        step = int64_t(std::floor(slope * 1024.0));
    };
    int64_t longX, longStep, shortX = 0, shortStep = 0;
    edgeAt(v[0], v[2], yTop, longX, longStep);
    bool upperHalf = yTop < v[1].y;
    upperHalf ? edgeAt(v[0], v[1], yTop, shortX, shortStep)
              : edgeAt(v[1], v[2], yTop, shortX, shortStep);

    const int64_t uStep = int64_t(std::floor(dUdx * 1024.0)),
                  vStep = int64_t(std::floor(dVdx * 1024.0));
    const Channels ch = CurrentChannels();
    for (int y = yTop; y < yEnd; ++y) {
        if (upperHalf && y >= v[1].y) {
            upperHalf = false;
            edgeAt(v[1], v[2], y, shortX, shortStep);
        }
        const int64_t left = std::min(longX, shortX), right = std::max(longX, shortX);
        const int xs = int(std::max<int64_t>((left + 1023) >> 10, cl));
        const int xe = int(std::min<int64_t>((right + 1023) >> 10, cr));
        longX += longStep;
        shortX += shortStep;
        if (xs >= xe) continue;
        // Texture coordinates at the span start, half a texel added for texel centres.
        int64_t u = int64_t(std::floor((U[0] + dUdx * (xs - x1) + dUdy * (y - y1) + 0.5) * 1024.0));
        int64_t tv =
            int64_t(std::floor((V[0] + dVdx * (xs - x1) + dVdy * (y - y1) + 0.5) * 1024.0));
        uint16_t* dst = Row16(*this, y);
        for (int x = xs; x < xe; ++x, u += uStep, tv += vStep) {
            const int64_t tx = u >> 10, ty = tv >> 10;
            if (tx < 0 || ty < 0 || tx >= texCols || ty >= texRows) continue;
            const int row = frameRow + int(ty);
            const uint32_t s = Row16(*source, row)[tx];
            if (useAlpha) {
                const int32_t a = source->alpha[size_t(row) * size_t(source->width) + size_t(tx)];
                if (a <= 7) continue;
                if (a >= 248) {
                    dst[x] = uint16_t(s);
                    continue;
                }
                const uint16_t d = dst[x], s16 = uint16_t(s);
                dst[x] = uint16_t(BlendField(s16, d, int16_t(a), ch, 0) |
                                  BlendField(s16, d, int16_t(a), ch, 1) |
                                  BlendField(s16, d, int16_t(a), ch, 2));
            } else if (s != 0) {
                dst[x] = uint16_t(s);
            }
        }
    }
}

void Sprite::DrawGdiText(int x, int y, const char* text, uint32_t colour) {
    // The colour is a GDI colour value: red in the low byte, then green, then blue.
    const uint16_t pixel = uint16_t(
        ColourToPixel(((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF)));
    int cl, ct, cr, cb;
    DrawableArea(*this, cl, ct, cr, cb);
    if (!lpDDSurface) { // an own buffer is drawn into directly
        if (pixels)
            sys::DrawGdiText({reinterpret_cast<uint16_t*>(pixels), pitch, cl, ct, cr, cb}, x, y,
                             text, pixel);
        return;
    }
    UnlockForSurface(*this);
    SurfaceDC hDCBack;
    long err = lpDDSurface->GetDC(&hDCBack);
    if (err != DD_OK) {
        LogDDFailure(err, "RenderSurface->lpDDSurface->GetDC( &hDCBack )", __FILE__, 19);
        return;
    }
    sys::DrawGdiText({reinterpret_cast<uint16_t*>(hDCBack.bits), hDCBack.pitch, cl, ct, cr, cb}, x,
                     y, text, pixel);
    err = lpDDSurface->ReleaseDC();
    if (err != DD_OK)
        LogDDFailure(err, "RenderSurface->lpDDSurface->ReleaseDC( hDCBack )", __FILE__, 29);
    Lock();
}

Sprite::Extent Sprite::PixelExtent() const {
    if (lpDDSurface) return {std::min<int>(width, lpDDSurface->Width()), lpDDSurface->Height()};
    if (ownPixels.empty() || pitch <= 0) return {};
    return {std::min<int>(width, pitch / 2), int(ownPixels.size() / size_t(pitch))};
}

std::string DefaultMaskName(const std::string& fileName) {
    const size_t slash = fileName.find_last_of("\\/");
    const size_t baseStart = slash == std::string::npos ? 0 : slash + 1;
    return fileName.substr(0, baseStart) + "_" + fileName.substr(baseStart);
}

Sprite* LoadSprite(const char* fileName, const char* maskFileName, bool reload) {
    Sprite* sprite = FindRegisteredSprite(fileName);
    if (sprite && !reload) return sprite;
    if (!sprite) {
        sprite = new Sprite();
        RegisterSprite(sprite);
    }
    sprite->fileName = fileName ? std::optional<std::string>(fileName) : std::nullopt;
    if (maskFileName)
        sprite->maskFileName = std::string(maskFileName);
    else if (fileName)
        sprite->maskFileName = DefaultMaskName(fileName);
    else
        sprite->maskFileName.reset();
    sprite->Reload();
    return sprite;
}

Sprite* LoadHeldSprite(const char* fileName, const char* maskFileName) {
    Sprite* sprite = LoadSprite(fileName, maskFileName, false);
    if (sprite) sprite->AddRef();
    return sprite;
}

void ReleaseHeldSprite(Sprite*& slot) {
    if (slot) slot->Release();
    slot = nullptr;
}
