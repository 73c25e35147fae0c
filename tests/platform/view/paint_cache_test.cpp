// Dots, large texts, small turned shapes and strokes are blitted from cached sprites, whole-pixel
// rectangles are blended straight into the image, large fills and glows are drawn in bands of
// rows, glows reuse their layers and a glow seen again is kept; a clipped painter takes the
// direct path, so painting with and without a clip must give the same pixels.
#include "platform/view/Fonts.h"
#include "platform/view/Layout.h"
#include "platform/view/Sprites.h"
#include <QPainter>
#include <QPainterPath>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::view;

namespace {

const Color kGreen = Color::rgb255(93, 240, 93);

QImage paintAt(const View& view, QSizeF size, qreal scale, bool clipped)
{
    QImage img(QSize(int(std::ceil(size.width() * scale)), int(std::ceil(size.height() * scale))),
               QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(scale);
    img.fill(Qt::transparent);
    const LaidOutTree tree = layout(view, size);
    QPainter p(&img);
    if (clipped)
        p.setClipRect(QRectF(QPointF(0, 0), size));
    paint(tree, p);
    return img;
}

// At scales 1, 1.5 and 2 the unclipped painting matches the clipped (direct) one, three times:
// the first render fills the caches, the second keeps its glow, the third draws from them all.
void expectSameAsDirect(View (*make)(), QSizeF size)
{
    for (qreal scale : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(scale);
        const QImage direct = paintAt(make(), size, scale, true);
        for (int round = 0; round < 3; ++round)
            EXPECT_EQ(paintAt(make(), size, scale, false), direct) << "round " << round;
    }
}

View dotsAndText()
{
    Views dots;
    for (int i = 0; i < 9; ++i)
        dots.push_back(Circle().fill(kGreen.opacity(i % 3 == 0 ? 1 : 0.4)).frame(3.5 + i * 0.75, 3.5 + i * 0.75));
    return VStack(HAlign::leading, 2.25,
                  {HStack(VAlign::center, 1.3, std::move(dots)),
                   HStack(VAlign::center, 1.3, {Circle().fill(kGreen).frame(6, 6), Circle().fill(kGreen).frame(5, 5)})
                       .opacity(0.55)
                       .offset(0.3, 0.6),
                   Text("21:47").font(Font::system(40, Weight::bold, Design::monospaced)).foregroundColor(kGreen)})
        .padding(3.4);
}

TEST(PaintCache, SpritesPaintTheSamePixelsAsDirectDrawing)
{
    expectSameAsDirect(dotsAndText, {160, 90});
}

// Lines are shaped once and drawn from their kept glyphs: at any fraction of a pixel, scale,
// shift and clip, with kerning, tracking, ligatures, marks, right-to-left words and signs, the
// pixels are the painter's own for the same text.
TEST(PaintCache, KeptGlyphsDrawWhatThePainterDrawsForTheText)
{
    struct Case {
        Font font;
        qreal tracking;
    };
    const Case fonts[] = {{Font::system(9, Weight::regular), 0},
                          {Font::system(17, Weight::heavy), 0.6},
                          {Font::system(12, Weight::medium, Design::monospaced), 0},
                          {Font::system(70, Weight::bold), 0}};
    const QStringList texts = {"Thursday",     "H:24\u00b0 L:11\u00b0", "Rain \u00b7 Next 12h", "AVATAR To Wa",
                               "office fl ffi", "e\u0301te\u0301 na\u00efve",  "\u05e9\u05dc\u05d5\u05dd world",
                               "12:05 -3 \u2212"};
    auto image = [](qreal scale) {
        QImage img(QSize(int(260 * scale), int(110 * scale)), QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        return img;
    };
    // Shifted, the painter is also clipped to a rounded tile, as the desktop host paints (where
    // the tile's corner cuts a glyph, the painter's own text is drawn).
    auto prepare = [](QPainter& p, qreal scale, QPointF shift) {
        p.scale(scale, scale);
        p.translate(shift);
        if (!shift.isNull()) {
            QPainterPath tile;
            tile.addRoundedRect(QRectF(0, 0, 200, 85), 20, 20);
            p.setClipPath(tile);
        }
        p.setPen(QColor(93, 240, 93));
    };
    for (const Case& c : fonts) {
        const FontEntry& f = fontEntry(c.font, c.tracking);
        for (const QString& text : texts)
            for (qreal scale : {1.0, 1.5, 2.0})
                for (QPointF shift : {QPointF(0, 0), QPointF(3, -2)})
                    for (QPointF origin : {QPointF(4, 80), QPointF(4.13, 80.37), QPointF(4.25, 80.5), QPointF(5.5078125, 79.9),
                                           QPointF(6.9, 81.01)}) {
                        SCOPED_TRACE(QStringLiteral("%1 %2pt at %3,%4 scale %5 shift %6")
                                         .arg(text)
                                         .arg(c.font.size)
                                         .arg(origin.x())
                                         .arg(origin.y())
                                         .arg(scale)
                                         .arg(shift.x())
                                         .toStdString());
                        QImage direct = image(scale), kept = image(scale);
                        {
                            QPainter p(&direct);
                            prepare(p, scale, shift);
                            p.setFont(f.font());
                            p.drawText(origin, text);
                        }
                        // The first draw is the painter's, the second shapes the line, the
                        // third draws what was kept.
                        for (int round = 0; round < 3; ++round) {
                            kept.fill(Qt::transparent);
                            QPainter p(&kept);
                            prepare(p, scale, shift);
                            f.draw(p, origin, text);
                            p.end();
                            ASSERT_EQ(kept, direct) << "round " << round;
                        }
                    }
    }
}

// A dial's ticks and hands: small shapes turned about a centre, at fractional places.
View turnedShapes()
{
    Views ticks;
    for (int i = 0; i < 24; ++i) {
        const View tick = i % 3 == 0 ? View(RoundedRectangle(1.25, CornerStyle::continuous).fill(kGreen).frame(2.5, 9))
                                     : View(Rectangle().fill(kGreen.opacity(0.5)).frame(1, 6));
        ticks.push_back(tick.offset(0.3, -30.7).rotationEffect(15.0 * i + 0.4));
    }
    ticks.push_back(Capsule().fill(kGreen).frame(3, 20).rotationEffect(127).opacity(0.8));
    return ZStack(Alignment::center, std::move(ticks)).frame(80, 80);
}

TEST(PaintCache, TurnedShapesPaintTheSamePixelsAsDirectDrawing)
{
    expectSameAsDirect(turnedShapes, {80, 80});
}

// A widget's large pieces: translucent panels on whole and on fractional pixels, rings and arcs
// (one turned, one in a faded group), a field of dots clipped to a circle (those inside it and
// those on its rim), all under a glow.
View panelsAndRings()
{
    Views rows;
    for (int r = 0; r < 9; ++r) {
        Views dots;
        for (int c = 0; c < 9; ++c)
            dots.push_back(Circle().fill(kGreen.opacity((r + c) % 2 ? 1 : 0.5)).frame(4.3, 4.3));
        rows.push_back(HStack(VAlign::center, 2.1, std::move(dots)));
    }
    const View field = VStack(HAlign::center, 2.1, std::move(rows)).frame(52, 52).clipShape(Circle()).offset(-55, -55);
    StrokeStyle round;
    round.lineWidth = 5;
    round.lineCap = LineCap::round;
    const View rings = ZStack(Alignment::center,
                              {Circle().strokeBorder(kGreen.opacity(0.3), 6),
                               Circle().trim(0, 0.72).stroke(kGreen, round).rotationEffect(-90),
                               Capsule().stroke(kGreen, 1.5).frame(60, 14).opacity(0.6)})
                           .frame(110, 110);
    return ZStack(Alignment::center,
                  {Rectangle().fill(Color::rgb255(8, 14, 10, 0.85)),
                   RoundedRectangle(14, CornerStyle::continuous).fill(kGreen.opacity(0.12)).padding(7.3),
                   ColorView(Color::rgb255(255, 255, 255, 0.08)).frame(150, 40).offset(0, 70), rings, field})
        .frame(200, 200)
        .shadow(kGreen.opacity(0.6), 7);
}

TEST(PaintCache, PanelsRingsAndGlowPaintTheSamePixelsAsDirectDrawing)
{
    expectSameAsDirect(panelsAndRings, {200, 200});
}

TEST(PaintCache, NestedLayersKeepTheirOwnPixels)
{
    // A glow around masked content around another glow: three layers alive at once.
    const View square = Rectangle().fill(Color::rgb255(255, 0, 0)).frame(20, 20);
    const View nested = square.shadow(Color::rgb255(0, 0, 255), 2).mask(Circle().fill(Color::white(0)))
                            .shadow(Color::rgb255(0, 255, 0), 7);
    for (int round = 0; round < 3; ++round) {
        const QImage img = renderImage(nested, {60, 60}, 2);
        auto at = [&](int x, int y) { return img.pixelColor(x * 2, y * 2); };
        EXPECT_EQ(at(30, 30), QColor(255, 0, 0));            // the content, masked to a circle
        EXPECT_LT(at(21, 21).red(), 20);                     // the square's corner is cut away
        EXPECT_GT(at(44, 30).alpha(), 0);                    // the outer glow spills out
        EXPECT_GT(at(44, 30).green(), at(44, 30).blue());    // in its own colour
    }
}

// Changes to content that move at least one of its pixels, each against the content as it was.
struct Change {
    const char* change;
    View (*make)(bool changed);
};

const Change kChanges[] = {
    {"text of the same width",
     [](bool c) {
         return View(Text(c ? "21:48" : "21:47").font(Font::system(16, Weight::bold).monospacedDigits()).foregroundColor(kGreen));
     }},
    {"colour", [](bool c) { return View(Circle().fill(Color{0.2, 0.9, 0.3, c ? 0.85 : 0.8})); }},
    {"place by a fraction of a pixel",
     [](bool c) { return View(Rectangle().fill(kGreen).frame(20, 20).offset(c ? 0.3 : 0.2, 0)); }},
    {"free path", [](bool c) {
         return View(Path([c](const QRectF& r) {
                         QPainterPath p;
                         p.moveTo(r.topLeft());
                         p.lineTo(r.right(), r.center().y());
                         p.lineTo(c ? r.bottomLeft() : r.center());
                         return p;
                     }).fill(kGreen));
     }},
    {"stroke dashes", [](bool c) {
         StrokeStyle s;
         s.lineWidth = 3;
         s.dash = {4, c ? 3.0 : 2.0};
         return View(Circle().stroke(kGreen, s));
     }},
    {"gradient direction", [](bool c) {
         return View(Rectangle().fill(LinearGradient::evenly({kGreen, Color::clear()}, UnitPoint::top,
                                                              c ? UnitPoint::trailing : UnitPoint::bottom)));
     }},
    {"inner opacity", [](bool c) { return View(Capsule().fill(kGreen).frame(40, 12).opacity(c ? 0.5 : 0.6)); }},
    {"glow radius", [](bool c) { return View(Circle().fill(kGreen).frame(20, 20).shadow(kGreen, c ? 3 : 2)); }},
};

// A kept glow stands for its content exactly: after the first content's glow is kept, each
// change that moves a pixel of the glow paints a fresh one.
TEST(PaintCache, KeptGlowFollowsEveryChangeOfItsContent)
{
    for (const Change& k : kChanges) {
        SCOPED_TRACE(k.change);
        auto make = [&](bool changed) { return k.make(changed).frame(60, 60).shadow(kGreen.opacity(0.7), 5); };
        for (int round = 0; round < 3; ++round)
            paintAt(make(false), {60, 60}, 1, false);
        EXPECT_EQ(paintAt(make(true), {60, 60}, 1, false), paintAt(make(true), {60, 60}, 1, true));
    }
}

// ---- drawing groups ----

const Color kBackdrop = Color::rgb255(30, 60, 90);

// Dots that do not touch, a highlighted one scaled past its frame, a dot field cut by a circle
// (as the moon's), a ring, a symbol and a free path reaching past its frame.
View dotField()
{
    Views rows;
    for (int r = 0; r < 4; ++r) {
        Views dots;
        for (int c = 0; c < 7; ++c) {
            const View dot = Circle().fill(kGreen.opacity(0.3 + 0.1 * ((r + c) % 5))).frame(3.6, 3.6);
            dots.push_back(r == 2 && c == 3 ? dot.scaleEffect(1.7) : dot);
        }
        rows.push_back(HStack(VAlign::center, 4.15, std::move(dots)));
    }
    Views disc;
    for (int i = 0; i < 5; ++i)
        disc.push_back(HStack(VAlign::center, 2, Views(5, Circle().fill(Color::rgb255(200, 200, 200)).frame(3, 3))));
    return HStack(VAlign::top, 4.3,
                  {VStack(HAlign::leading, 3.85, std::move(rows)),
                   VStack(HAlign::center, 2, std::move(disc)).frame(23, 23).clipShape(Circle()),
                   Circle().stroke(kGreen, 2.5).frame(14, 14),
                   Image(QStringLiteral("cloud.rain")).font(Font::system(13)).foregroundColor(kGreen),
                   Path([](const QRectF& r) {
                       QPainterPath p;
                       p.moveTo(r.left() - 3, r.bottom());
                       p.lineTo(r.right(), r.top() - 2);
                       p.lineTo(r.right(), r.bottom());
                       return p;
                   })
                       .fill(kGreen.opacity(0.5))
                       .frame(9, 9)});
}

// How many pixels differ between two images of one size, with the first of them (-1: sizes differ).
std::string differing(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return "sizes differ";
    int n = 0;
    QPoint first;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y) && n++ == 0)
                first = QPoint(x, y);
    return n == 0 ? std::string() : QStringLiteral("%1 pixels, first at %2,%3: %4 vs %5").arg(n).arg(first.x()).arg(first.y())
        .arg(a.pixel(first), 8, 16).arg(b.pixel(first), 8, 16).toStdString();
}

// `content` at a place between pixels over a backdrop, wrapped by `around`.
View placed(const View& content, qreal inset, View (*around)(const View&) = nullptr)
{
    const View v = content.padding(EdgeInsets{inset, inset + 0.4, 0, 0});
    return ZStack(Alignment::topLeading, {ColorView(kBackdrop), around ? around(v) : v});
}

// Copied from its kept image, a group paints what its content paints directly, at any scale and
// wherever it falls inside a pixel: the first render paints directly, the second paints the
// image and the third copies it. So does a group under a glow, which paints it once more in a
// small layer below the device scale.
TEST(PaintCache, DrawingGroupPaintsWhatItsContentPaints)
{
    const QSizeF size(160, 50);
    View (*const noWrap)(const View&) = nullptr;
    View (*const glowing)(const View&) = [](const View& v) { return v.shadow(kGreen.opacity(0.6), 5); };
    for (View (*around)(const View&) : {noWrap, glowing})
        for (qreal inset : {3.0, 3.37})
            for (qreal scale : {1.0, 2.0, 1.5}) {
                SCOPED_TRACE(::testing::Message() << (around ? "glowing" : "plain") << " inset " << inset << " scale " << scale);
                const QImage direct = paintAt(placed(dotField(), inset, around), size, scale, false);
                for (int round = 0; round < 3; ++round)
                    EXPECT_EQ(differing(paintAt(placed(dotField().drawingGroup(), inset, around), size, scale, false), direct), "")
                        << "round " << round;
            }
}

// A kept image stands only for the very content it was painted from: each change paints anew.
TEST(PaintCache, DrawingGroupFollowsEveryChangeOfItsContent)
{
    for (const Change& k : kChanges) {
        SCOPED_TRACE(k.change);
        auto make = [&](bool changed, bool grouped) {
            const View content = k.make(changed).frame(60, 60);
            return ZStack({ColorView(kBackdrop), grouped ? content.drawingGroup() : content});
        };
        for (int round = 0; round < 3; ++round)
            paintAt(make(false, true), {60, 60}, 2, false);
        EXPECT_EQ(paintAt(make(true, true), {60, 60}, 2, false), paintAt(make(true, false), {60, 60}, 2, false));
    }
    // The same content in another place between pixels.
    for (int round = 0; round < 3; ++round)
        paintAt(placed(dotField().drawingGroup(), 3.37), {160, 50}, 1, false);
    EXPECT_EQ(paintAt(placed(dotField().drawingGroup(), 3.62), {160, 50}, 1, false),
              paintAt(placed(dotField(), 3.62), {160, 50}, 1, false));
}

// Where a copy would paint otherwise (cut by a clip, faded, turned, on a clipped painter) the
// group is painted directly, however often it has been kept before.
TEST(PaintCache, DrawingGroupIsPaintedDirectlyWhereACopyWouldDiffer)
{
    struct Case {
        const char* name;
        View (*around)(const View&);
        bool clippedPainter;
    };
    const Case cases[] = {
        {"clipped", [](const View& v) { return v.frame(50, 12, Alignment::topLeading).clipped(); }, false},
        {"faded", [](const View& v) { return v.opacity(0.45); }, false},
        {"turned", [](const View& v) { return v.rotationEffect(9); }, false},
        {"on a clipped painter", nullptr, true},
        // Glyphs are blended by what lies beneath them, so a text inside is painted in place.
        {"with a text inside", [](const View& v) { return v; }, false},
    };
    for (const Case& c : cases)
        for (qreal scale : {1.0, 2.0}) {
            SCOPED_TRACE(::testing::Message() << c.name << " at " << scale);
            // Kept first where it can be, then wrapped.
            for (int round = 0; round < 3; ++round)
                paintAt(placed(dotField().drawingGroup(), 3.37), {160, 50}, scale, false);
            const bool text = c.name == std::string("with a text inside");
            const auto content = [&] {
                return text ? dotField().overlay(Text("Rain").font(Font::system(11)).foregroundColor(kGreen), Alignment::trailing)
                            : dotField();
            };
            const QImage direct = paintAt(placed(content(), 3.37, c.around), {160, 50}, scale, c.clippedPainter);
            for (int round = 0; round < 3; ++round)
                EXPECT_EQ(differing(paintAt(placed(content().drawingGroup(), 3.37, c.around), {160, 50}, scale, c.clippedPainter), direct), "")
                    << "round " << round;
        }
}

// The scanline rows over a widget: whole-pixel rectangles under a faded canvas go straight into
// the image, others through the painter.
TEST(PaintCache, WholePixelRowsBlendAsThePainterFillsThem)
{
    for (qreal height : {1.0, 0.75}) {
        SCOPED_TRACE(height);
        const View rows = Canvas([height](QPainter& p, QSizeF size, const Environment&) {
                              std::vector<QRectF> rects;
                              for (qreal y = 0; y < size.height(); y += 3)
                                  rects.emplace_back(0, y, size.width(), height);
                              if (fillPixelRects(p, rects.data(), int(rects.size()), Qt::black))
                                  return;
                              p.setPen(Qt::NoPen);
                              p.setBrush(Qt::black);
                              p.drawRects(rects.data(), int(rects.size()));
                          }).opacity(0.27);
        auto under = [&] { return ZStack(Alignment::center, {Rectangle().fill(kGreen.opacity(0.8)), rows}); };
        for (qreal scale : {1.0, 2.0})
            EXPECT_EQ(paintAt(under(), {40, 30}, scale, false), paintAt(under(), {40, 30}, scale, true));
    }
}

// A mask is applied by hand, four pixels at a time: every coverage of mask and content, odd widths
// included, must come out as the painter's DestinationIn blend leaves it.
TEST(PaintCache, MaskingByHandMatchesThePainter)
{
    for (int width : {1, 7, 64}) {
        SCOPED_TRACE(width);
        QImage content(width, 256, QImage::Format_ARGB32_Premultiplied), mask(content.size(), content.format());
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < width; ++x) {
                const int a = (x * 37 + y) % 256;
                content.setPixel(x, y, qPremultiply(qRgba((x * 91) % 256, y, (x + y * 3) % 256, a)));
                mask.setPixel(x, y, qPremultiply(qRgba(200, 10, 30, (y + x * 13) % 256)));
            }
        QImage expected = content.copy();
        {
            QPainter p(&expected);
            p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            p.drawImage(0, 0, mask);
        }
        ASSERT_TRUE(keepMasked(content, mask));
        EXPECT_EQ(content, expected);
    }
    QImage other(3, 3, QImage::Format_ARGB32_Premultiplied), small(2, 3, QImage::Format_ARGB32_Premultiplied);
    EXPECT_FALSE(keepMasked(other, small));
}

} // namespace

// Symbols of one colour, opaque or translucent, outline or fill, come from sprites at any place
// and scale. A sprite is
// blended as premultiplied pixels, so over other ink a pixel may round one level apart from the
// painter's own blend; nothing further.
TEST(PaintCache, SymbolsFromSpritesMatchDirectDrawingWithinOneLevel)
{
    auto symbols = [] {
        Views row;
        int i = 0;
        for (const char* name : {"checkmark", "sun.max", "cloud.rain", "moon.stars", "sun.max.fill"}) {
            const View mark = Image(QString::fromLatin1(name))
                                  .font(Font::system(11 + 3.3 * i, i % 2 ? Weight::bold : Weight::regular))
                                  .foregroundColor(i % 3 == 1 ? kGreen.opacity(0.65) : kGreen);
            row.push_back(ZStack({Circle().fill(Color::rgb255(40, 90, 60)), mark}).frame(18 + 3.3 * i, 18 + 3.3 * i));
            ++i;
        }
        return HStack(VAlign::center, 2.37, std::move(row)).padding(1.3);
    };
    for (qreal scale : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(scale);
        const QImage direct = paintAt(symbols(), {150, 40}, scale, true);
        for (int round = 0; round < 2; ++round) {
            const QImage cached = paintAt(symbols(), {150, 40}, scale, false);
            ASSERT_EQ(cached.size(), direct.size());
            int worst = 0;
            for (int y = 0; y < direct.height(); ++y)
                for (int x = 0; x < direct.width(); ++x) {
                    const QRgb a = direct.pixel(x, y), b = cached.pixel(x, y);
                    worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                      std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
                }
            EXPECT_LE(worst, 1) << "round " << round;
        }
    }
}
