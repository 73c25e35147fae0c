#pragma once
// Fonts for the view layer: the proportional design is "Inter", the monospaced one
// "JetBrains Mono", both found through fontconfig with a fallback to the machine's general and
// fixed fonts. Resolved fonts and their metrics are kept per thread (see TextCache.h), since
// every render rebuilds its views and asks for the same few fonts again.
#include "platform/view/View.h"
#include <QFont>
#include <QFontMetricsF>
#include <QHash>

class QPainter;

namespace velk::view {

// A font at one size and tracking, with the measuring the text layout needs. Monospaced digits
// in a proportional face are set in cells as wide as the widest digit.
class FontEntry {
public:
    FontEntry(const Font& font, qreal tracking, qreal scale);

    const QFont& font() const { return font_; }
    const QFontMetricsF& metrics() const { return metrics_; }
    qreal ascent() const { return ascent_; }
    qreal descent() const { return descent_; }
    qreal lineHeight() const { return ascent_ + descent_; }
    qreal size() const { return size_; }
    qreal tracking() const { return tracking_; }

    qreal advance(const QString& text) const;
    // Draws one line with its baseline starting at `origin`.
    void draw(QPainter& painter, QPointF origin, const QString& text) const;

private:
    bool cellDigits() const { return digitCell_ > 0; }
    qreal measure(const QString& text) const;

    QFont font_;
    QFontMetricsF metrics_;
    qreal size_;
    qreal tracking_;
    qreal ascent_ = 0, descent_ = 0;         // read once: each read locks the font database
    qreal digitCell_ = 0;                    // > 0 when digits are set in fixed cells
    mutable QHash<QString, qreal> advances_; // counted in the thread's text budget
};

// The cached entry for a font; `scale` multiplies the size and the tracking (shrink to fit).
const FontEntry& fontEntry(const Font& font, qreal tracking = 0, qreal scale = 1);

// Lets go of what this thread kept of its texts: the fonts resolved, the advances measured and
// the lines laid out. The next render resolves them again. Never while a render runs on it.
void releaseThreadText();

// The family that renders a design on this machine.
QString familyFor(Design design);

QString weightName(Weight w);

} // namespace velk::view
