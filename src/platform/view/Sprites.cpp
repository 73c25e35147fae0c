#include "platform/view/Sprites.h"
#include "platform/view/Fonts.h"
#include "platform/view/Rounding.h"
#include "platform/view/ShapePaths.h"
#include <QHash>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <cmath>
#ifdef __SSE2__
#include <emmintrin.h>
#include <immintrin.h>
#endif
#include <vector>

namespace velk::view {

namespace {

constexpr qreal kMaxDotSide = 48; // device pixels; larger dots are few and cheap to draw directly
constexpr qreal kMaxStrokeSide = 400; // device pixels: rings and arcs, drawn once per look and value
constexpr qreal kSubpixel = 256;  // finer than the rasterizer's own grid
constexpr qsizetype kMaxBytes = 8 << 20; // per thread and kind, then the cache starts over
// Glyphs larger than this (device pixels) are filled as outlines on every draw.
constexpr qreal kGlyphCacheLimit = 64;

qint32 sub(qreal v) { return qint32(roundAway(v * kSubpixel)); }

// What decides the pixels besides the shape: where it falls inside its first device pixel,
// the device scale, its colour and the painter's opacity.
struct Placement {
    qint32 fx, fy;     // 1/kSubpixel device pixels
    qint32 sx, sy;     // device pixels per point, 1/kSubpixel
    QRgb color;
    qint32 opacity;    // 1/256
    friend bool operator==(const Placement&, const Placement&) = default;
};

size_t qHash(const Placement& k, size_t seed = 0)
{
    return qHashMulti(seed, k.fx, k.fy, k.sx, k.sy, k.color, k.opacity);
}

struct DotKey {
    Placement at;
    qint32 w, h; // device pixels, 1/kSubpixel
    friend bool operator==(const DotKey&, const DotKey&) = default;
};

size_t qHash(const DotKey& k, size_t seed = 0) { return qHashMulti(seed, k.at, k.w, k.h); }

// A shape's own geometry and the device transform's linear part. The matrix is kept much
// finer than positions: over a sprite's width its error must stay far below a pixel's 1/256.
struct ShapeKey {
    Placement at; // sx, sy unused: the matrix below says it all
    qint64 m11, m12, m21, m22;
    qint32 w, h, radius; // points, 1/kSubpixel
    quint8 kind, corner;
    friend bool operator==(const ShapeKey&, const ShapeKey&) = default;
};

size_t qHash(const ShapeKey& k, size_t seed = 0)
{
    return qHashMulti(seed, k.at, k.m11, k.m12, k.m21, k.m22, k.w, k.h, k.radius, k.kind, k.corner);
}

// A stroke adds its pen and the part of the outline it traces.
struct StrokeKey {
    ShapeKey shape;
    qint64 lineWidth, trimFrom, trimTo;
    quint8 cap, join;
    friend bool operator==(const StrokeKey&, const StrokeKey&) = default;
};

size_t qHash(const StrokeKey& k, size_t seed = 0)
{
    return qHashMulti(seed, k.shape, k.lineWidth, k.trimFrom, k.trimTo, k.cap, k.join);
}

struct TextKey {
    Placement at;
    QFont font;
    QString text;
    int hints;
    friend bool operator==(const TextKey&, const TextKey&) = default;
};

size_t qHash(const TextKey& k, size_t seed = 0) { return qHashMulti(seed, k.at, k.font, k.text, k.hints); }

struct Sprite {
    QImage image;
    QPoint offset; // device pixels from the whole-pixel corner of the drawn position
};

template <typename Key>
struct SpriteCache {
    QHash<Key, Sprite> sprites;
    qsizetype bytes = 0;

    const Sprite* find(const Key& key) const
    {
        auto it = sprites.constFind(key);
        return it == sprites.constEnd() ? nullptr : &*it;
    }
    const Sprite& insert(const Key& key, Sprite sprite)
    {
        if (bytes + sprite.image.sizeInBytes() > kMaxBytes) {
            sprites.clear();
            bytes = 0;
        }
        bytes += sprite.image.sizeInBytes();
        return *sprites.insert(key, std::move(sprite));
    }
};

// Where the painter stands: a sprite can stand in for a direct draw only on the raster engine,
// without clipping, blending over, unrotated and unsheared.
struct Device {
    QTransform transform;
    qreal opacity;
};

std::optional<Device> spriteDevice(const QPainter& painter, bool clipped = false)
{
    const QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || painter.hasClipping() != clipped ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return std::nullopt;
    const QTransform t = painter.deviceTransform();
    if (t.type() > QTransform::TxScale || t.m11() <= 0 || t.m22() <= 0)
        return std::nullopt;
    return Device{t, painter.opacity()};
}

// A sprite to paint with the device transform moved by whole pixels to `corner`, so the
// rasterizer sees the same fractions and produces the same coverage as a direct draw.
QImage newSprite(QSize size, const Device& d, QPointF corner, QPainter& sp)
{
    QImage sprite(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    sprite.fill(Qt::transparent);
    sp.begin(&sprite);
    sp.setOpacity(d.opacity);
    sp.setTransform(QTransform(d.transform.m11(), 0, 0, d.transform.m22(), d.transform.dx() - corner.x(),
                               d.transform.dy() - corner.y()));
    return sprite;
}

// Blits one to one in device pixels: the world transform that cancels the device's own scaling,
// at full opacity since the sprite already carries it.
// Source-over of premultiplied pixels, with the rounding of the raster engine's own blend: the
// same pixels as its drawImage, without the two transform changes and the call chain that cost
// more than a small sprite's few dozen pixels.
// d * a / 255 per channel, rounded as the raster engine rounds it.
inline quint32 byteMul(quint32 d, quint32 a)
{
    quint32 rb = (d & 0xff00ff) * a, ag = ((d >> 8) & 0xff00ff) * a;
    rb = ((rb + ((rb >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    ag = (ag + ((ag >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return rb | ag;
}

#ifdef __SSE2__
// The same for four pixels, `a` holding each pixel's factor in both of its 16-bit halves. The
// products stay below 2^16 (255 * 255 + 254 + 128), so 16-bit lanes give the same bits.
inline __m128i byteMul4(__m128i d, __m128i a)
{
    const __m128i low = _mm_set1_epi32(0x00ff00ff), half = _mm_set1_epi16(0x80);
    __m128i rb = _mm_mullo_epi16(_mm_and_si128(d, low), a), ag = _mm_mullo_epi16(_mm_srli_epi16(d, 8), a);
    rb = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(rb, _mm_srli_epi16(rb, 8)), half), 8);
    ag = _mm_andnot_si128(low, _mm_add_epi16(_mm_add_epi16(ag, _mm_srli_epi16(ag, 8)), half));
    return _mm_or_si128(rb, ag);
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
// The same arithmetic eight pixels at a time where the processor has AVX2; whole widget images
// (the background, the glow, the scan lines) go through these loops on every render.
#define VELK_AVX2_BLEND 1
__attribute__((target("avx2"))) inline __m256i byteMul8(__m256i d, __m256i a)
{
    const __m256i low = _mm256_set1_epi32(0x00ff00ff), half = _mm256_set1_epi16(0x80);
    __m256i rb = _mm256_mullo_epi16(_mm256_and_si256(d, low), a), ag = _mm256_mullo_epi16(_mm256_srli_epi16(d, 8), a);
    rb = _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(rb, _mm256_srli_epi16(rb, 8)), half), 8);
    ag = _mm256_andnot_si256(low, _mm256_add_epi16(_mm256_add_epi16(ag, _mm256_srli_epi16(ag, 8)), half));
    return _mm256_or_si256(rb, ag);
}

// Pixels done here; the caller finishes the row's remainder.
__attribute__((target("avx2"))) int blendRow8(QRgb* __restrict dst, const QRgb* __restrict src, int n)
{
    int x = 0;
    for (; x + 8 <= n; x += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + x));
        if (_mm256_testz_si256(s, s))
            continue;
        const __m256i a = _mm256_srli_epi32(_mm256_xor_si256(s, _mm256_set1_epi32(-1)), 24);
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + x));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + x),
                            _mm256_add_epi32(s, byteMul8(d, _mm256_or_si256(a, _mm256_slli_epi32(a, 16)))));
    }
    return x;
}

__attribute__((target("avx2"))) int blendSolidRow8(QRgb* __restrict dst, QRgb s, int n)
{
    const quint32 a = 255 - (s >> 24);
    const __m256i source = _mm256_set1_epi32(int(s)), factor = _mm256_set1_epi16(short(a));
    int x = 0;
    if (a == 0) {
        for (; x + 8 <= n; x += 8)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + x), source);
        return x;
    }
    for (; x + 8 <= n; x += 8) {
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + x));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + x), _mm256_add_epi32(source, byteMul8(d, factor)));
    }
    return x;
}

const bool hasAvx2 = __builtin_cpu_supports("avx2");
#endif

// Source over of premultiplied pixels: dst = src + dst * (255 - alpha(src)) / 255. An opaque
// source gives itself and a clear one leaves dst as it was, so no pixel needs a test.
void blendRow(QRgb* __restrict dst, const QRgb* __restrict src, int n)
{
    int x = 0;
#ifdef VELK_AVX2_BLEND
    if (hasAvx2)
        x = blendRow8(dst, src, n);
#endif
#ifdef __SSE2__
    for (; x + 4 <= n; x += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x));
        // Clear pixels leave the target as it is; a glow is mostly clear away from the ink.
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, _mm_setzero_si128())) == 0xffff)
            continue;
        const __m128i a = _mm_srli_epi32(_mm_xor_si128(s, _mm_set1_epi32(-1)), 24);
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x),
                         _mm_add_epi32(s, byteMul4(d, _mm_or_si128(a, _mm_slli_epi32(a, 16)))));
    }
#endif
    for (; x < n; ++x)
        dst[x] = src[x] + byteMul(dst[x], 255 - (src[x] >> 24));
}

// The same with one source pixel throughout.
void blendSolidRow(QRgb* __restrict dst, QRgb s, int n)
{
    const quint32 a = 255 - (s >> 24);
    int x = 0;
#ifdef VELK_AVX2_BLEND
    if (hasAvx2)
        x = blendSolidRow8(dst, s, n);
#endif
#ifdef __SSE2__
    const __m128i source = _mm_set1_epi32(int(s)), factor = _mm_set1_epi16(short(a));
    if (a == 0) {
        // An opaque fill: a widget's whole background, so four pixels a store.
        for (; x + 4 <= n; x += 4)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x), source);
        std::fill_n(dst + x, n - x, s);
        return;
    }
#else
    if (a == 0) {
        std::fill_n(dst, n, s);
        return;
    }
#endif
#ifdef __SSE2__
    for (; x + 4 <= n; x += 4) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x), _mm_add_epi32(source, byteMul4(d, factor)));
    }
#endif
    for (; x < n; ++x)
        dst[x] = s + byteMul(dst[x], a);
}

// The pixels the painter draws into: scanLine() would detach a shared image from them.
QRgb* targetRow(const QImage& target, int y, int x)
{
    return reinterpret_cast<QRgb*>(const_cast<uchar*>(target.constScanLine(y))) + x;
}

void blendInto(const QImage& target, QPoint at, const QImage& sprite)
{
    const QRect area = QRect(at, sprite.size()).intersected(target.rect());
    if (area.isEmpty())
        return;
    // Row addresses stepped by hand: a scan line call per row costs more than a dot's row.
    const qsizetype srcStride = sprite.bytesPerLine(), dstStride = target.bytesPerLine();
    const uchar* src = sprite.constScanLine(area.top() - at.y()) + (area.left() - at.x()) * sizeof(QRgb);
    uchar* dst = reinterpret_cast<uchar*>(targetRow(target, area.top(), area.left()));
    for (int y = area.top(); y <= area.bottom(); ++y, src += srcStride, dst += dstStride)
        blendRow(reinterpret_cast<QRgb*>(dst), reinterpret_cast<const QRgb*>(src), area.width());
}

void blit(QPainter& painter, const Device& d, QPointF corner, const Sprite& sprite)
{
    // Straight into an image: the same pixels as the engine's drawImage without its two
    // transform changes and call chain, and four at a time as it blends them.
    QPaintDevice* device = painter.device();
    if (device->devType() == QInternal::Image) {
        const QImage& target = *static_cast<const QImage*>(device);
        if (target.format() == QImage::Format_ARGB32_Premultiplied &&
            sprite.image.format() == QImage::Format_ARGB32_Premultiplied) {
            blendInto(target, QPoint(int(corner.x()), int(corner.y())) + sprite.offset, sprite.image);
            return;
        }
    }
    const QTransform world = painter.worldTransform();
    painter.setWorldTransform((world.inverted() * d.transform).inverted());
    if (d.opacity != 1)
        painter.setOpacity(1);
    painter.drawImage(corner + QPointF(sprite.offset), sprite.image);
    if (d.opacity != 1)
        painter.setOpacity(d.opacity);
    painter.setWorldTransform(world);
}

bool reasonable(QPointF p) { return std::abs(p.x()) < 1e6 && std::abs(p.y()) < 1e6; }

// The premultiplied pixel the painter blends for `color` at `opacity`: what it paints over a
// clear pixel. Kept for the few colours a look uses.
QRgb sourcePixel(const QColor& color, qreal opacity)
{
    struct Known {
        QRgb rgba;
        qint32 opacity;
        QRgb pixel;
    };
    thread_local std::vector<Known> known;
    const qint32 o = qint32(std::lround(opacity * 4096));
    for (const Known& k : known)
        if (k.rgba == color.rgba() && k.opacity == o)
            return k.pixel;
    QImage probe(1, 1, QImage::Format_ARGB32_Premultiplied);
    probe.fill(Qt::transparent);
    {
        QPainter pp(&probe);
        pp.setOpacity(opacity);
        pp.fillRect(QRect(0, 0, 1, 1), color);
    }
    const QRgb pixel = reinterpret_cast<const QRgb*>(probe.constScanLine(0))[0];
    if (known.size() >= 32)
        known.erase(known.begin());
    known.push_back({color.rgba(), o, pixel});
    return pixel;
}

} // namespace

bool keepMasked(QImage& content, const QImage& mask)
{
    if (content.size() != mask.size() || content.format() != QImage::Format_ARGB32_Premultiplied ||
        mask.format() != QImage::Format_ARGB32_Premultiplied || content.isNull())
        return false;
    const int w = content.width();
    const qsizetype dstStride = content.bytesPerLine(), maskStride = mask.bytesPerLine();
    uchar* dstRow = content.bits();
    const uchar* maskRow = mask.constBits();
    for (int y = 0; y < content.height(); ++y, dstRow += dstStride, maskRow += maskStride) {
        QRgb* d = reinterpret_cast<QRgb*>(dstRow);
        const QRgb* m = reinterpret_cast<const QRgb*>(maskRow);
        int x = 0;
#ifdef __SSE2__
        for (; x + 4 <= w; x += 4) {
            const __m128i a = _mm_srli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(m + x)), 24);
            // Where the mask is solid the content stays as it is.
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(a, _mm_set1_epi32(255))) == 0xffff)
                continue;
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + x));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), byteMul4(c, _mm_or_si128(a, _mm_slli_epi32(a, 16))));
        }
#endif
        for (; x < w; ++x)
            d[x] = byteMul(d[x], m[x] >> 24);
    }
    return true;
}

bool blendsDevicePixels(const QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* device = painter.device();
    return engine && engine->type() == QPaintEngine::Raster && !painter.hasClipping() &&
           painter.compositionMode() == QPainter::CompositionMode_SourceOver && painter.opacity() == 1 &&
           device->devType() == QInternal::Image &&
           static_cast<const QImage*>(device)->format() == QImage::Format_ARGB32_Premultiplied;
}

bool blendDevicePixels(QPainter& painter, const QImage& image, QPoint at)
{
    if (!blendsDevicePixels(painter) || image.format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    blendInto(*static_cast<const QImage*>(painter.device()), at, image);
    return true;
}

bool fillPixelRects(QPainter& painter, const QRectF* rects, int count, const QColor& color)
{
    const std::optional<Device> d = spriteDevice(painter);
    QPaintDevice* device = painter.device();
    if (!d || device->devType() != QInternal::Image)
        return false;
    const QImage& target = *static_cast<const QImage*>(device);
    if (target.format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    const QTransform& t = d->transform;
    auto whole = [](qreal v) { return std::abs(v - std::round(v)) < 1e-6 && std::abs(v) < 1e6; };
    // Every rectangle is checked before any is drawn: nothing or all of them.
    thread_local std::vector<QRect> areas;
    areas.clear();
    for (int i = 0; i < count; ++i) {
        const QRectF& rect = rects[i];
        const QRectF px(rect.x() * t.m11() + t.dx(), rect.y() * t.m22() + t.dy(), rect.width() * t.m11(),
                        rect.height() * t.m22());
        if (!whole(px.left()) || !whole(px.top()) || !whole(px.right()) || !whole(px.bottom()))
            return false;
        const QRect area = QRect(QPoint(int(std::round(px.left())), int(std::round(px.top()))),
                                 QPoint(int(std::round(px.right())) - 1, int(std::round(px.bottom())) - 1))
                               .intersected(target.rect());
        if (!area.isEmpty())
            areas.push_back(area);
    }
    if (areas.empty())
        return true;
    const QRgb s = sourcePixel(color, d->opacity);
    if (s == 0)
        return true;
    const qsizetype stride = target.bytesPerLine();
    for (const QRect& area : areas) {
        uchar* row = reinterpret_cast<uchar*>(targetRow(target, area.top(), area.left()));
        for (int y = area.top(); y <= area.bottom(); ++y, row += stride)
            blendSolidRow(reinterpret_cast<QRgb*>(row), s, area.width());
    }
    return true;
}

bool fillPixelRect(QPainter& painter, const QRectF& rect, const QColor& color)
{
    return fillPixelRects(painter, &rect, 1, color);
}

bool drawDotSprite(QPainter& painter, const QRectF& rect, const QColor& color, const ClipDisc* clip)
{
    const std::optional<Device> d = spriteDevice(painter, clip != nullptr);
    if (!d || !painter.testRenderHint(QPainter::Antialiasing))
        return false;
    const QTransform& t = d->transform;
    const QRectF px(rect.x() * t.m11() + t.dx(), rect.y() * t.m22() + t.dy(), rect.width() * t.m11(),
                    rect.height() * t.m22());
    if (clip) {
        // Every pixel the dot touches, two pixels clear of the disc's antialiased rim.
        const qreal dx = std::max(std::abs(std::floor(px.left()) - clip->centre.x()),
                                  std::abs(std::ceil(px.right()) - clip->centre.x()));
        const qreal dy = std::max(std::abs(std::floor(px.top()) - clip->centre.y()),
                                  std::abs(std::ceil(px.bottom()) - clip->centre.y()));
        if (!(std::hypot(dx, dy) < clip->radius - 2))
            return false;
    }
    if (!(px.width() > 0 && px.height() > 0 && px.width() <= kMaxDotSide && px.height() <= kMaxDotSide) ||
        !reasonable(px.topLeft()))
        return false;
    const QPointF corner(std::floor(px.x()), std::floor(px.y()));
    const DotKey key{{sub(px.x() - corner.x()), sub(px.y() - corner.y()), sub(t.m11()), sub(t.m22()), color.rgba(),
                      qint32(roundAway(d->opacity * 256))},
                     sub(px.width()), sub(px.height())};

    thread_local SpriteCache<DotKey> cache;
    const Sprite* sprite = cache.find(key);
    if (!sprite) {
        const QSize size(int(std::ceil(px.right() - corner.x())) + 1, int(std::ceil(px.bottom() - corner.y())) + 1);
        QPainter sp;
        QImage img = newSprite(size, *d, corner, sp);
        sp.setRenderHint(QPainter::Antialiasing);
        sp.setPen(Qt::NoPen);
        sp.setBrush(color);
        sp.drawEllipse(rect);
        sp.end();
        sprite = &cache.insert(key, {std::move(img), QPoint()});
    }
    blit(painter, *d, corner, *sprite);
    return true;
}

namespace {

// Where a shape lands under a turned or sheared painter, and what its sprite is keyed by.
struct Turned {
    QTransform t;
    QRectF box; // the sprite's reach around the shape's corner, device pixels
    QPointF at; // the shape's corner on the device
    QPointF corner; // the whole pixel it falls in
    qreal opacity;
    ShapeKey key;
};

// Null where the painter's state keeps a sprite from matching, or the shape (with `reach`
// points of pen around it) is larger than `maxSide` device pixels.
std::optional<Turned> turned(const QPainter& painter, const ShapeData& shape, const QRectF& rect,
                             const QColor& color, qreal reach, qreal maxSide)
{
    if (shape.kind == ShapeKind::path || !painter.testRenderHint(QPainter::Antialiasing))
        return std::nullopt;
    const QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || painter.hasClipping() ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return std::nullopt;
    const QTransform t = painter.deviceTransform();
    if (t.type() > QTransform::TxShear)
        return std::nullopt;
    const QTransform linear(t.m11(), t.m12(), t.m21(), t.m22(), 0, 0);
    const QRectF box = linear.mapRect(QRectF(QPointF(0, 0), rect.size()).adjusted(-reach, -reach, reach, reach));
    const QPointF at = t.map(rect.topLeft());
    if (!(rect.width() >= 0 && rect.height() >= 0 && box.width() <= maxSide && box.height() <= maxSide) ||
        !reasonable(at))
        return std::nullopt;
    const QPointF corner(std::floor(at.x()), std::floor(at.y()));
    constexpr qreal kMatrix = 1 << 24;
    auto fine = [](qreal v) { return roundAway(v * kMatrix); };
    const qreal opacity = painter.opacity();
    return Turned{t,
                  box,
                  at,
                  corner,
                  opacity,
                  {{sub(at.x() - corner.x()), sub(at.y() - corner.y()), 0, 0, color.rgba(),
                    qint32(roundAway(opacity * 256))},
                   fine(t.m11()),
                   fine(t.m12()),
                   fine(t.m21()),
                   fine(t.m22()),
                   sub(rect.width()),
                   sub(rect.height()),
                   sub(shape.cornerRadius),
                   quint8(shape.kind),
                   quint8(shape.corner)}};
}

// The sprite of `draw` (painting the shape where it stands) from `cache`, made on first use,
// blitted at the shape's place.
template <typename Key, typename Draw>
void blitTurned(QPainter& painter, const Turned& tr, SpriteCache<Key>& cache, const Key& key, Draw&& draw)
{
    const Sprite* sprite = cache.find(key);
    if (!sprite) {
        // The sprite's first pixel, one pixel clear of the shape's box, from the drawn corner.
        const QPointF fraction = tr.at - tr.corner;
        const QPoint offset(int(std::floor(fraction.x() + tr.box.left())) - 1,
                            int(std::floor(fraction.y() + tr.box.top())) - 1);
        const QSize size(int(std::ceil(tr.box.width())) + 3, int(std::ceil(tr.box.height())) + 3);
        QImage img(size, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter sp(&img);
        sp.setRenderHint(QPainter::Antialiasing);
        sp.setOpacity(tr.opacity);
        // The outline where it is drawn, moved by whole pixels only: the rasterizer then meets
        // the very coordinates a direct drawing would, up to that shift.
        sp.setTransform(QTransform(tr.t.m11(), tr.t.m12(), tr.t.m21(), tr.t.m22(),
                                   tr.t.dx() - tr.corner.x() - offset.x(), tr.t.dy() - tr.corner.y() - offset.y()));
        draw(sp);
        sp.end();
        sprite = &cache.insert(key, {std::move(img), offset});
    }
    blit(painter, Device{tr.t, tr.opacity}, tr.corner, *sprite);
}

} // namespace

bool drawShapeSprite(QPainter& painter, const ShapeData& shape, const QRectF& rect, const QColor& color)
{
    if (shape.strokeFill || shape.trimFrom > 0 || shape.trimTo < 1 || !(rect.width() > 0 && rect.height() > 0))
        return false;
    // Panels and cards (rounded, capsules, discs) up to a large size as well: their outline is
    // filled in bands of rows on every render otherwise, each band walking the whole outline.
    // A plain rectangle that large is left to the whole-pixel fill or the painter.
    const bool panel = shape.kind != ShapeKind::rectangle;
    const std::optional<Turned> tr = turned(painter, shape, rect, color, 0, panel ? kMaxStrokeSide : kMaxDotSide);
    if (!tr)
        return false;
    // The large ones apart, so a few of them never push out the many small ones.
    thread_local SpriteCache<ShapeKey> small, large;
    const bool isLarge = tr->box.width() > kMaxDotSide || tr->box.height() > kMaxDotSide;
    blitTurned(painter, *tr, isLarge ? large : small, tr->key,
               [&](QPainter& sp) { sp.fillPath(shapePath(shape, rect), color); });
    return true;
}

bool drawStrokeSprite(QPainter& painter, const ShapeData& shape, const QRectF& rect, const QPen& pen)
{
    if (!shape.stroke.dash.empty() || pen.brush().style() != Qt::SolidPattern || pen.isCosmetic())
        return false;
    // Room for the pen on every side, mitred corners included.
    const qreal reach = pen.widthF() * std::max<qreal>(1, pen.miterLimit());
    const std::optional<Turned> tr = turned(painter, shape, rect, pen.color(), reach, kMaxStrokeSide);
    if (!tr)
        return false;
    constexpr qreal kFine = 1 << 24;
    auto fine = [](qreal v) { return roundAway(v * kFine); };
    const StrokeKey key{tr->key, fine(pen.widthF()), fine(shape.trimFrom), fine(shape.trimTo),
                        quint8(pen.capStyle() >> 4), quint8(pen.joinStyle() >> 6)};
    thread_local SpriteCache<StrokeKey> cache;
    blitTurned(painter, *tr, cache, key, [&](QPainter& sp) {
        QPainterPath path = shapePath(shape, rect);
        if (shape.trimFrom > 0 || shape.trimTo < 1)
            path = trimPath(path, shape.trimFrom, shape.trimTo);
        sp.strokePath(path, pen);
    });
    return true;
}

namespace {

// Its place is kept finer than a shape's: a drawing of many curves meets the rasterizer's grid
// at more points, and only the very same fraction of a pixel gives the very same pixels.
struct BoxKey {
    ShapeKey box;
    quint64 id;
    qint64 fx, fy;
    friend bool operator==(const BoxKey&, const BoxKey&) = default;
};

size_t qHash(const BoxKey& k, size_t seed = 0) { return qHashMulti(seed, k.box, k.id, k.fx, k.fy); }

} // namespace

bool drawBoxSprite(QPainter& painter, quint64 id, const QRectF& box, qreal reach, const QColor& color,
                   const std::function<void(QPainter&)>& draw)
{
    if (!(box.width() > 0 && box.height() > 0) || !(reach >= 0))
        return false;
    // The box keys and places the sprite as a plain rectangle would; `id` tells drawings apart.
    ShapeData frame;
    frame.kind = ShapeKind::rectangle;
    const std::optional<Turned> tr = turned(painter, frame, box, color, reach, kMaxStrokeSide);
    if (!tr)
        return false;
    thread_local SpriteCache<BoxKey> cache;
    constexpr qreal kFine = 1 << 24;
    const QPointF fraction = tr->at - tr->corner;
    blitTurned(painter, *tr, cache,
               BoxKey{tr->key, id, roundAway(fraction.x() * kFine), roundAway(fraction.y() * kFine)}, draw);
    return true;
}

bool drawTextSprite(QPainter& painter, const FontEntry& font, QPointF origin, const QString& text, const QColor& color)
{
    const std::optional<Device> d = spriteDevice(painter);
    if (!d || text.isEmpty())
        return false;
    const QTransform& t = d->transform;
    // Smaller glyphs come from the painter's glyph cache and are cheap already.
    if (font.size() * std::sqrt(t.m11() * t.m22()) <= kGlyphCacheLimit)
        return false;
    const QPointF at = t.map(origin);
    if (!reasonable(at))
        return false;
    const QPointF corner(std::floor(at.x()), std::floor(at.y()));
    const TextKey key{{sub(at.x() - corner.x()), sub(at.y() - corner.y()), sub(t.m11()), sub(t.m22()), color.rgba(),
                       qint32(roundAway(d->opacity * 256))},
                      font.font(), text, int(painter.renderHints())};

    thread_local SpriteCache<TextKey> cache;
    const Sprite* sprite = cache.find(key);
    if (!sprite) {
        // The ink box in points around the baseline origin, with room for overhanging glyphs.
        const qreal margin = font.size() * 0.5;
        const QRectF ink = font.metrics()
                               .boundingRect(text)
                               .united(QRectF(0, -font.ascent(), font.advance(text), font.lineHeight()))
                               .adjusted(-margin, -margin, margin, margin);
        const QPoint offset(int(std::floor(ink.x() * t.m11())), int(std::floor(ink.y() * t.m22())));
        const QSize size(int(std::ceil(ink.width() * t.m11())) + 2, int(std::ceil(ink.height() * t.m22())) + 2);
        if (qint64(size.width()) * size.height() * 4 > kMaxBytes / 8)
            return false;
        QPainter sp;
        QImage img = newSprite(size, *d, corner + QPointF(offset), sp);
        sp.setRenderHints(painter.renderHints());
        sp.setPen(QPen(color, 1));
        font.draw(sp, origin, text);
        sp.end();
        sprite = &cache.insert(key, {std::move(img), offset});
    }
    blit(painter, *d, corner, *sprite);
    return true;
}

} // namespace velk::view
