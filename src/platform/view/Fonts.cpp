#include "platform/view/Fonts.h"
#include "platform/view/Rounding.h"
#include "platform/view/TextCache.h"
#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QPainter>
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
    case Weight::ultraLight:
        return QFont::Thin;
    case Weight::thin:
        return QFont::ExtraLight;
    case Weight::light:
        return QFont::Light;
    case Weight::regular:
        return QFont::Normal;
    case Weight::medium:
        return QFont::Medium;
    case Weight::semibold:
        return QFont::DemiBold;
    case Weight::bold:
        return QFont::Bold;
    case Weight::heavy:
        return QFont::ExtraBold;
    case Weight::black:
        return QFont::Black;
    }
    return QFont::Normal;
}

QString resolveFamily(const QString& wanted, QFontDatabase::SystemFont fallback)
{
    QFont probe(wanted);
    if (QFontInfo(probe).family().compare(wanted, Qt::CaseInsensitive) == 0) return wanted;
    return QFontDatabase::systemFont(fallback).family();
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
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
    case Weight::ultraLight:
        return QStringLiteral("ultraLight");
    case Weight::thin:
        return QStringLiteral("thin");
    case Weight::light:
        return QStringLiteral("light");
    case Weight::regular:
        return QStringLiteral("regular");
    case Weight::medium:
        return QStringLiteral("medium");
    case Weight::semibold:
        return QStringLiteral("semibold");
    case Weight::bold:
        return QStringLiteral("bold");
    case Weight::heavy:
        return QStringLiteral("heavy");
    case Weight::black:
        return QStringLiteral("black");
    }
    return {};
}

FontEntry::FontEntry(const Font& font, qreal tracking, qreal scale)
    : font_(familyFor(font.design)), metrics_(font_), size_(std::max<qreal>(0.01, font.size * scale)),
      tracking_(tracking * scale)
{
    // View points are image pixels at scale 1; images report 96 dpi, so convert to font points.
    font_.setPointSizeF(size_ * 72.0 / 96.0);
    font_.setWeight(qtWeight(font.weight));
    font_.setKerning(true);
    // Numerals must never turn into ligatures (the monospaced face has some for ":" and "-").
    if (font.design == Design::monospaced || font.monospacedDigit) font_.setStyleStrategy(QFont::PreferNoShaping);
    if (tracking_ != 0) font_.setLetterSpacing(QFont::AbsoluteSpacing, tracking_);
    font_.setHintingPreference(QFont::PreferNoHinting);
    metrics_ = QFontMetricsF(font_, detail::TextCache::forThisThread().device());
    ascent_ = metrics_.ascent();
    descent_ = metrics_.descent();
    // The monospaced face asks for 1.32 em of line, more than the widgets' full stacks have room
    // for (a caption, a 64-point numeral and two more captions in a small tile's 120 points):
    // its lines are set closer, ascent and descent in their own proportion. Its capitals and
    // descenders still fall inside the closer line.
    if (font.design == Design::monospaced && ascent_ + descent_ > kMonospacedLine * size_) {
        const qreal k = kMonospacedLine * size_ / (ascent_ + descent_);
        ascent_ *= k;
        descent_ *= k;
    }
    if (font.monospacedDigit && font.design != Design::monospaced) {
        qreal widest = 0;
        for (char d = '0'; d <= '9'; ++d)
            widest = std::max(widest, metrics_.horizontalAdvance(QChar::fromLatin1(d)));
        digitCell_ = widest;
    }
}

qreal FontEntry::advance(const QString& text) const
{
    // Views are rebuilt on every render and measure the same strings again: remember them.
    auto it = advances_.constFind(text);
    if (it != advances_.constEnd()) return *it;
    const qreal a = measure(text);
    advances_.insert(text, a);
    detail::TextCache::forThisThread().spend();
    return a;
}

qreal FontEntry::measure(const QString& text) const
{
    if (!cellDigits()) return metrics_.horizontalAdvance(text);
    qreal total = 0;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isDigit(text[i])) continue;
        if (i > runStart) total += metrics_.horizontalAdvance(text.mid(runStart, i - runStart));
        if (i < text.size()) total += digitCell_ + tracking_;
        runStart = i + 1;
    }
    return total;
}

void FontEntry::draw(QPainter& painter, QPointF origin, const QString& text) const
{
    painter.setFont(font_);
    if (!cellDigits()) {
        painter.drawText(origin, text);
        return;
    }
    qreal x = origin.x();
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isDigit(text[i])) continue;
        if (i > runStart) {
            const QString run = text.mid(runStart, i - runStart);
            painter.drawText(QPointF(x, origin.y()), run);
            x += metrics_.horizontalAdvance(run);
        }
        if (i < text.size()) {
            const qreal glyph = metrics_.horizontalAdvance(text[i]) - tracking_;
            painter.drawText(QPointF(x + (digitCell_ - glyph) / 2, origin.y()), QString(text[i]));
            x += digitCell_ + tracking_;
        }
        runStart = i + 1;
    }
}

namespace detail {

TextCache& TextCache::forThisThread()
{
    thread_local TextCache cache;
    return cache;
}

const FontEntry& TextCache::font(const FontKey& key, const Font& font, qreal tracking, qreal scale)
{
    if (spent_ >= kBudget) {
        retired_ = std::move(fonts_);
        fonts_.clear();
        lines_.clear();
        spent_ = 0;
    }
    auto it = fonts_.find(key);
    if (it == fonts_.end()) {
        it = fonts_.insert(key, std::make_shared<FontEntry>(font, tracking, scale));
        ++spent_;
    }
    return **it;
}

} // namespace detail

void releaseThreadText()
{
    detail::TextCache::forThisThread().clear();
}

const FontEntry& fontEntry(const Font& font, qreal tracking, qreal scale)
{
    const detail::FontKey key{roundAway(font.size * scale * 1024), roundAway(tracking * scale * 1024), int(font.weight),
                              int(font.design), font.monospacedDigit};
    return detail::TextCache::forThisThread().font(key, font, tracking, scale);
}

} // namespace velk::view
