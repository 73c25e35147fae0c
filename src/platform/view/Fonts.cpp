#include "platform/view/Fonts.h"
#include "platform/view/Rounding.h"
#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <cmath>
#include <memory>
#include <mutex>

namespace velk::view {

namespace {

// The line height of the monospaced design, in ems (see FontEntry).
constexpr qreal kMonospacedLine = 1.18;

QFont::Weight qtWeight(Weight w)
{
    switch (w) {
    case Weight::ultraLight: return QFont::Thin;
    case Weight::thin: return QFont::ExtraLight;
    case Weight::light: return QFont::Light;
    case Weight::regular: return QFont::Normal;
    case Weight::medium: return QFont::Medium;
    case Weight::semibold: return QFont::DemiBold;
    case Weight::bold: return QFont::Bold;
    case Weight::heavy: return QFont::ExtraBold;
    case Weight::black: return QFont::Black;
    }
    return QFont::Normal;
}

QString resolveFamily(const QString& wanted, QFontDatabase::SystemFont fallback)
{
    QFont probe(wanted);
    if (QFontInfo(probe).family().compare(wanted, Qt::CaseInsensitive) == 0)
        return wanted;
    return QFontDatabase::systemFont(fallback).family();
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

struct Key {
    qint64 size;
    qint64 tracking;
    int weight;
    int design;
    bool monoDigits;
    friend bool operator==(const Key&, const Key&) = default;
};

size_t qHash(const Key& k, size_t seed = 0)
{
    return qHashMulti(seed, k.size, k.tracking, k.weight, k.design, k.monoDigits);
}

// Metrics are taken against an image, the device every widget is painted on.
const QPaintDevice* referenceDevice()
{
    thread_local QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
    return &device;
}

} // namespace

QString familyFor(Design design)
{
    // Font lookups are only safe to race once resolved; resolve both families once.
    static std::once_flag once;
    static QString proportional, monospaced;
    std::call_once(once, [] {
        proportional = resolveFamily(QStringLiteral("Inter"), QFontDatabase::GeneralFont);
        monospaced = resolveFamily(QStringLiteral("JetBrains Mono"), QFontDatabase::FixedFont);
    });
    return design == Design::monospaced ? monospaced : proportional;
}

QString weightName(Weight w)
{
    switch (w) {
    case Weight::ultraLight: return QStringLiteral("ultraLight");
    case Weight::thin: return QStringLiteral("thin");
    case Weight::light: return QStringLiteral("light");
    case Weight::regular: return QStringLiteral("regular");
    case Weight::medium: return QStringLiteral("medium");
    case Weight::semibold: return QStringLiteral("semibold");
    case Weight::bold: return QStringLiteral("bold");
    case Weight::heavy: return QStringLiteral("heavy");
    case Weight::black: return QStringLiteral("black");
    }
    return {};
}

FontEntry::FontEntry(const Font& font, qreal tracking, qreal scale)
    : m_font(familyFor(font.design)), m_metrics(m_font), m_size(std::max<qreal>(0.01, font.size * scale)),
      m_tracking(tracking * scale)
{
    // View points are image pixels at scale 1; images report 96 dpi, so convert to font points.
    m_font.setPointSizeF(m_size * 72.0 / 96.0);
    m_font.setWeight(qtWeight(font.weight));
    m_font.setKerning(true);
    // Numerals must never turn into ligatures (the monospaced face has some for ":" and "-").
    if (font.design == Design::monospaced || font.monospacedDigit)
        m_font.setStyleStrategy(QFont::PreferNoShaping);
    if (m_tracking != 0)
        m_font.setLetterSpacing(QFont::AbsoluteSpacing, m_tracking);
    m_font.setHintingPreference(QFont::PreferNoHinting);
    m_metrics = QFontMetricsF(m_font, referenceDevice());
    m_ascent = m_metrics.ascent();
    m_descent = m_metrics.descent();
    // The monospaced face asks for 1.32 em of line, more than the widgets' full stacks have room
    // for (a caption, a 64-point numeral and two more captions in a small tile's 120 points):
    // its lines are set closer, ascent and descent in their own proportion. Its capitals and
    // descenders still fall inside the closer line.
    if (font.design == Design::monospaced && m_ascent + m_descent > kMonospacedLine * m_size) {
        const qreal k = kMonospacedLine * m_size / (m_ascent + m_descent);
        m_ascent *= k;
        m_descent *= k;
    }
    if (font.monospacedDigit && font.design != Design::monospaced) {
        qreal widest = 0;
        for (char d = '0'; d <= '9'; ++d)
            widest = std::max(widest, m_metrics.horizontalAdvance(QChar::fromLatin1(d)));
        m_digitCell = widest;
    }
}

qreal FontEntry::advance(const QString& text) const
{
    // Views are rebuilt on every render and measure the same strings again: remember them.
    auto it = m_advances.constFind(text);
    if (it != m_advances.constEnd())
        return *it;
    if (m_advances.size() > 4096)
        m_advances.clear();
    const qreal a = measure(text);
    m_advances.insert(text, a);
    return a;
}

qreal FontEntry::measure(const QString& text) const
{
    if (!cellDigits())
        return m_metrics.horizontalAdvance(text);
    qreal total = 0;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isDigit(text[i]))
            continue;
        if (i > runStart)
            total += m_metrics.horizontalAdvance(text.mid(runStart, i - runStart));
        if (i < text.size())
            total += m_digitCell + m_tracking;
        runStart = i + 1;
    }
    return total;
}

namespace {

// Where the painter puts a text drawn at `x`: it keeps the position in 1/64 pixel, cut toward
// zero, before it maps it to the device.
qreal textGridX(qreal x) { return qreal(int(x * 64)) / 64; }

// Lines the painter would lay out in ways a plain run of glyphs does not repeat: tabs and
// other control characters.
bool plainLine(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.category() == QChar::Other_Control)
            return false;
    return !text.isEmpty();
}

} // namespace

const QList<QGlyphRun>* FontEntry::shaped(QPainter& painter, const QString& text) const
{
    const QPaintDevice* device = painter.device();
    if (!device || !plainLine(text))
        return nullptr;
    const int dpi = device->logicalDpiY();
    if (dpi != m_shapedDpi) {
        m_shaped.clear();
        m_shapedDpi = dpi;
    }
    auto it = m_shaped.find(text);
    if (it == m_shaped.end()) {
        // Seen once: most lines that are drawn once are never drawn again (a new minute, a new
        // value), and the painter draws them as cheaply as shaping them would.
        if (m_shaped.size() >= 1024)
            m_shaped.clear();
        m_shaped.insert(text, std::nullopt);
        return nullptr;
    }
    if (*it)
        return &**it;
    // Shaped once with the font as the painter resolves it for this device, in the painter's
    // direction; the glyph positions are whole 1/64 pixels, as the painter keeps them.
    painter.setFont(m_font);
    QTextLayout layout(text, painter.font(), device);
    QTextOption option;
    option.setTextDirection(painter.layoutDirection());
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return nullptr;
    }
    line.setLineWidth(1e6);
    layout.endLayout();
    QList<QGlyphRun> runs = line.glyphRuns();
    const QPointF start(line.x(), line.y() + line.ascent());
    for (QGlyphRun& run : runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& at : positions)
            at -= start;
        run.setPositions(positions);
    }
    *it = std::move(runs);
    return &**it;
}

void FontEntry::draw(QPainter& painter, QPointF origin, const QString& text) const
{
    if (!cellDigits()) {
        // The kept glyphs, drawn where the painter would have drawn the text: no shaping and no
        // font lookup on every draw. Not under a clip: where a curved clip cuts a glyph, the
        // painter's text and a run of glyphs can differ by a pixel at the clip's edge.
        if (const QList<QGlyphRun>* runs = painter.hasClipping() ? nullptr : shaped(painter, text)) {
            const QPointF at(textGridX(origin.x()), origin.y());
            for (const QGlyphRun& run : *runs)
                painter.drawGlyphRun(at, run);
            return;
        }
        painter.setFont(m_font);
        painter.drawText(origin, text);
        return;
    }
    painter.setFont(m_font);
    qreal x = origin.x();
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isDigit(text[i]))
            continue;
        if (i > runStart) {
            const QString run = text.mid(runStart, i - runStart);
            painter.drawText(QPointF(x, origin.y()), run);
            x += m_metrics.horizontalAdvance(run);
        }
        if (i < text.size()) {
            const qreal glyph = m_metrics.horizontalAdvance(text[i]) - m_tracking;
            painter.drawText(QPointF(x + (m_digitCell - glyph) / 2, origin.y()), QString(text[i]));
            x += m_digitCell + m_tracking;
        }
        runStart = i + 1;
    }
}

const FontEntry& fontEntry(const Font& font, qreal tracking, qreal scale)
{
    // Callers hold the entry they were given while they measure or draw with it, so a full
    // cache starts over without freeing the entries it held: those stay until the next time.
    thread_local QHash<Key, std::shared_ptr<FontEntry>> cache, retired;
    const Key key{roundAway(font.size * scale * 1024), roundAway(tracking * scale * 1024),
                  int(font.weight), int(font.design), font.monospacedDigit};
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() > 512) {
            retired = std::move(cache);
            cache.clear();
        }
        it = cache.insert(key, std::make_shared<FontEntry>(font, tracking, scale));
    }
    return **it;
}

} // namespace velk::view
