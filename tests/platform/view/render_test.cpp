// Painting (checked on a few pixels where the layout tree cannot show the fault), hit testing,
// widget URLs and the symbol set.
#include "platform/view/Layout.h"
#include "platform/view/Symbols.h"
#include <QJsonArray>
#include <QPainter>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::view;

namespace {

const Color kRed = Color::rgb255(255, 0, 0);

QColor pixel(const QImage& img, qreal x, qreal y) // in points
{
    return img.pixelColor(int(x * img.devicePixelRatio()), int(y * img.devicePixelRatio()));
}

TEST(Render, ScalesToTheDevicePixelRatio)
{
    const QImage img = renderImage(Circle().fill(kRed).frame(20, 20), {40, 40}, 2);
    EXPECT_EQ(img.size(), QSize(80, 80));
    EXPECT_EQ(pixel(img, 20, 20), QColor(255, 0, 0));
    EXPECT_EQ(pixel(img, 11, 11).alpha(), 0); // outside the circle, inside its frame
}

TEST(Render, TrimmedCircleStartsAtThreeOClockClockwise)
{
    // A quarter from 3 o'clock runs clockwise on screen to 6 o'clock; rotated by -90 degrees it
    // runs from 12 to 3.
    const View arc = Circle().trim(0, 0.25).stroke(kRed, 4).frame(40, 40);
    const QImage plain = renderImage(arc, {40, 40}, 1);
    EXPECT_GT(pixel(plain, 34, 34).alpha(), 0);
    EXPECT_EQ(pixel(plain, 34, 6).alpha(), 0);
    const QImage turned = renderImage(arc.rotationEffect(-90), {40, 40}, 1);
    EXPECT_GT(pixel(turned, 34, 6).alpha(), 0);
    EXPECT_EQ(pixel(turned, 34, 34).alpha(), 0);
}

TEST(Render, StrokeBorderStaysInsideTheFrame)
{
    const QImage border = renderImage(Rectangle().strokeBorder(kRed, 4).frame(20, 20), {40, 40}, 1);
    EXPECT_GT(pixel(border, 11, 20).alpha(), 200);
    EXPECT_EQ(pixel(border, 9, 20).alpha(), 0);
    const QImage centred = renderImage(Rectangle().stroke(kRed, 4).frame(20, 20), {40, 40}, 1);
    EXPECT_GT(pixel(centred, 9, 20).alpha(), 200);
}

TEST(Render, ClipMaskOpacityAndGlow)
{
    const View square = Rectangle().fill(kRed).frame(20, 20);
    EXPECT_EQ(pixel(renderImage(square.clipShape(Circle()), {20, 20}, 1), 1, 1).alpha(), 0);
    EXPECT_EQ(pixel(renderImage(square.mask(Circle().fill(Color::white(0))), {20, 20}, 1), 1, 1).alpha(), 0);
    EXPECT_GT(pixel(renderImage(square.mask(Circle().fill(Color::white(0))), {20, 20}, 1), 10, 10).alpha(), 250);
    EXPECT_NEAR(pixel(renderImage(square.opacity(0.5), {20, 20}, 1), 10, 10).alphaF(), 0.5, 0.01);
    // A glow spills past the shape's edge in the shadow colour; a clear shadow does not.
    const QImage glow = renderImage(square.shadow(Color::rgb255(0, 255, 0), 7), {60, 60}, 2);
    const QColor halo = pixel(glow, 44, 30);
    EXPECT_GT(halo.alpha(), 0);
    EXPECT_GT(halo.green(), halo.red());
    EXPECT_EQ(pixel(renderImage(square.shadow(Color::clear(), 7), {60, 60}, 1), 52, 30).alpha(), 0);
}

TEST(Render, NestedLayersKeepTheirOwnPixels)
{
    // A glow around masked content around another glow: three layers alive at once.
    const View square = Rectangle().fill(kRed).frame(20, 20);
    const View nested = square.shadow(Color::rgb255(0, 0, 255), 2)
                            .mask(Circle().fill(Color::white(0)))
                            .shadow(Color::rgb255(0, 255, 0), 7);
    const QImage img = renderImage(nested, {60, 60}, 2);
    EXPECT_EQ(pixel(img, 30, 30), QColor(255, 0, 0));                 // the content, masked to a circle
    EXPECT_LT(pixel(img, 21, 21).red(), 20);                          // the square's corner is cut away
    EXPECT_GT(pixel(img, 44, 30).alpha(), 0);                         // the outer glow spills out
    EXPECT_GT(pixel(img, 44, 30).green(), pixel(img, 44, 30).blue()); // in its own colour
}

TEST(Render, OpacityFadesAGroupAsOne)
{
    // Overlapping drawings under one opacity are composited first and faded once: where they
    // overlap only the top one shows, at the group's alpha, with nothing of the one below.
    const Color kBlue = Color::rgb255(0, 0, 255);
    const View red = Rectangle().fill(kRed).frame(20, 20);
    const View blue = Rectangle().fill(kBlue).frame(20, 20);
    struct Case {
        const char* name;
        View view;
        qreal alpha;
    };
    const Case cases[] = {
        {"overlapping siblings", ZStack({red, blue}).opacity(0.5), 0.5},
        {"fill under its stroke", Rectangle().fill(kRed).stroke(kBlue, 30).frame(20, 20).opacity(0.5), 0.5},
        {"nested groups multiply", ZStack({ZStack({red, blue}).opacity(0.5)}).opacity(0.5), 0.25},
        {"behind an overlay", red.overlay(blue).opacity(0.4), 0.4},
    };
    for (const Case& c : cases) {
        const QColor centre = pixel(renderImage(c.view, {20, 20}, 2), 10, 10);
        EXPECT_NEAR(centre.alphaF(), c.alpha, 0.01) << c.name;
        EXPECT_EQ(centre.red(), 0) << c.name;
        EXPECT_EQ(centre.blue(), 255) << c.name;
    }
}

TEST(Render, GradientAndTextPaint)
{
    const QImage g = renderImage(ColorView(LinearGradient::evenly({kRed, Color::rgb255(0, 0, 255)})), {10, 100}, 1);
    EXPECT_GT(pixel(g, 5, 1).red(), 240);
    EXPECT_GT(pixel(g, 5, 98).blue(), 240);
    const QImage t =
        renderImage(Text("MMMM").font(Font::system(30, Weight::black)).foregroundColor(kRed), {120, 40}, 1);
    int inked = 0;
    for (int y = 0; y < t.height(); ++y)
        for (int x = 0; x < t.width(); ++x)
            inked += t.pixelColor(x, y).alpha() > 128;
    EXPECT_GT(inked, 100);
}

TEST(Render, EverySymbolTheCodeNamesIsDrawnInsideItsBox)
{
    // Every name the widgets and the app's windows ask for (the app's sidebar lists a symbol per
    // category); a missing one would leave a blank or the app's stand-in ring.
    const char* names[] = {"checkmark",
                           "sun.max",
                           "moon",
                           "moon.stars",
                           "cloud",
                           "cloud.sun",
                           "cloud.moon",
                           "cloud.fog",
                           "cloud.drizzle",
                           "cloud.rain",
                           "cloud.heavyrain",
                           "cloud.snow",
                           "cloud.bolt.rain",
                           "play.fill",
                           "pause.fill",
                           "forward.fill",
                           "backward.fill",
                           "checkmark.circle",
                           "checkmark.circle.fill",
                           "circle",
                           "note.text",
                           "chart.bar",
                           "play.circle",
                           "square.and.pencil",
                           "lock.shield",
                           "trash",
                           "pin",
                           "pin.fill",
                           "gearshape",
                           "plus",
                           "terminal",
                           "checklist",
                           "circle.grid.3x3.fill",
                           "clock",
                           "calendar",
                           "battery.75percent",
                           "timer",
                           "heart",
                           "cpu",
                           "sparkles"};
    for (const char* name : names) {
        const SymbolShape* shape = symbolShape(QString::fromLatin1(name));
        ASSERT_TRUE(shape) << name;
        ASSERT_TRUE(hasSymbol(name)) << name;
        // Drawn 24 points high with a margin of 8 all round: the ink, strokes at the heaviest
        // common weight included, stays within the symbol's own box give or take the stroke.
        const qreal width = 24 * shape->aspect;
        const QImage img =
            renderImage(Image(name).font(Font::system(24, Weight::bold)).padding(8), {width + 16, 40}, 1);
        int inked = 0;
        QRect ink;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixelColor(x, y).alpha() > 0) {
                    ++inked;
                    ink |= QRect(x, y, 1, 1);
                }
        EXPECT_GT(inked, 10) << name;
        EXPECT_TRUE(QRectF(6, 6, width + 4, 28).contains(QRectF(ink))) << name;
    }
    // An unknown name takes its place but draws nothing, and says so.
    const QJsonObject o = inspect(layout(Image("no.such.symbol"), {20, 20}));
    EXPECT_TRUE(o["flags"].toArray().contains("unknownSymbol"));
}

TEST(Interaction, InnermostButtonWins)
{
    const ButtonAction outer{"FocusToggleIntent", {}};
    const ButtonAction inner{"ToggleReminderIntent", QJsonObject{{"reminderID", "R1"}}};
    const View v =
        Button(outer, ZStack(Alignment::topLeading,
                             {Rectangle().frame(100, 100), Button(inner, Rectangle().frame(20, 20)).offset(10, 10)}));
    const LaidOutTree t = layout(v, {100, 100});
    EXPECT_EQ(hitTest(t, {15, 15}), inner); // the offset moves where it is tapped
    EXPECT_EQ(hitTest(t, {5, 5}), outer);
    EXPECT_EQ(hitTest(t, {80, 80}), outer);
    EXPECT_EQ(hitTest(t, {150, 10}), std::nullopt);

    // A view that ignores hit testing lets taps through to what is beneath.
    const View through = ZStack(
        {Button(outer, Rectangle().frame(50, 50)), Button(inner, Rectangle().frame(50, 50)).allowsHitTesting(false)});
    EXPECT_EQ(hitTest(layout(through, {50, 50}), {25, 25}), outer);
    const QJsonObject o = inspect(layout(v, {100, 100}));
    EXPECT_EQ(o["action"].toObject()["intentType"].toString(), "FocusToggleIntent");
}

TEST(Interaction, WidgetURL)
{
    const QUrl url("velkwidgets://open/reminders");
    EXPECT_EQ(widgetURL(layout(VStack({Text("x")}).widgetURL(url), {50, 50})), url);
    EXPECT_EQ(widgetURL(layout(Text("x"), {50, 50})), std::nullopt);
}

TEST(Environment, ReadersSeeTheEnvironment)
{
    const View v = EnvironmentReader(
        [](const Environment& e) { return Text(e.colorScheme == ColorScheme::dark ? "dark" : "light"); });
    Environment dark;
    dark.colorScheme = ColorScheme::dark;
    const QJsonObject o = inspect(layout(v, {100, 100}, dark));
    EXPECT_EQ(o["text"].toString(), "dark");
    EXPECT_EQ(o["foreground"].toString(), "#FFFFFF"); // the primary colour follows the scheme
    EXPECT_EQ(inspect(layout(v, {100, 100}))["text"].toString(), "light");
}

TEST(Canvas, DrawsInItsOwnCoordinates)
{
    const View v =
        HStack(VAlign::top, 0,
               {Rectangle().fill(Color::clear()).frame(10, 10), Canvas([](QPainter& p, QSizeF s, const Environment&) {
                                                                    p.fillRect(QRectF(0, 0, s.width(), 1), Qt::black);
                                                                }).frame(10, 10)});
    const QImage img = renderImage(v, {20, 10}, 1);
    EXPECT_EQ(img.pixelColor(5, 0).alpha(), 0);
    EXPECT_EQ(img.pixelColor(15, 0).alpha(), 255);
    EXPECT_EQ(img.pixelColor(15, 5).alpha(), 0);
}

} // namespace

TEST(Render, APartlyCloudySymbolKeepsItsSunOrMoonClearOfTheCloud)
{
    // The cloud is drawn in front: the sun's or moon's outline stops short of it with a gap of
    // its own rather than running along the cloud's edge, where the two strokes would merge.
    for (const char* name : {"cloud.sun", "cloud.moon"}) {
        const SymbolShape* shape = symbolShape(QString::fromLatin1(name));
        ASSERT_TRUE(shape) << name;
        const QList<QPolygonF> parts = shape->stroke.toSubpathPolygons();
        ASSERT_GT(parts.size(), 1) << name;
        const QPolygonF cloud = parts.first();
        auto distance = [&](QPointF pt) {
            qreal nearest = 1e9;
            for (qsizetype k = 1; k < cloud.size(); ++k) {
                const QLineF edge(cloud[k - 1], cloud[k]);
                const QPointF d = edge.p2() - edge.p1();
                const qreal len2 = d.x() * d.x() + d.y() * d.y();
                const qreal t = len2 > 0 ? std::clamp(QPointF::dotProduct(pt - edge.p1(), d) / len2, 0.0, 1.0) : 0;
                nearest = std::min(nearest, QLineF(pt, edge.pointAt(t)).length());
            }
            return nearest;
        };
        // Where a sun's ray or outline meets the cloud it ends a stroke's width away; no stretch
        // of it follows the cloud's edge at that distance.
        qreal nearest = 1e9, alongTheCloud = 0;
        for (qsizetype i = 1; i < parts.size(); ++i)
            for (qsizetype k = 0; k < parts[i].size(); ++k) {
                const QPointF pt = parts[i][k];
                EXPECT_FALSE(cloud.containsPoint(pt, Qt::OddEvenFill)) << name;
                const qreal d = distance(pt);
                nearest = std::min(nearest, d);
                if (k > 0 && d < 1.5 && distance(parts[i][k - 1]) < 1.5)
                    alongTheCloud += QLineF(parts[i][k - 1], pt).length();
            }
        EXPECT_GE(nearest, 0.9) << name;
        EXPECT_LT(alongTheCloud, 1.0) << name;
    }
}
