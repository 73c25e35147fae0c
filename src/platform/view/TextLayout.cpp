#include "platform/view/TextLayout.h"
#include "platform/view/TextCache.h"
#include <cmath>

namespace velk::view {

namespace {

constexpr qreal kSlack = 0.01; // measuring noise: a text exactly as wide as offered fits

// Greedy word wrap of one paragraph; a word wider than the line breaks between characters.
void wrapParagraph(const FontEntry& f, const QString& para, qreal width, QStringList& out)
{
    if (para.isEmpty() || f.advance(para) <= width + kSlack) {
        out.push_back(para);
        return;
    }
    QString line;
    qsizetype i = 0;
    const qsizetype n = para.size();
    while (i < n) {
        // Next token: a word with the spaces after it.
        qsizetype j = i;
        while (j < n && !para[j].isSpace())
            ++j;
        while (j < n && para[j].isSpace())
            ++j;
        const QString token = para.mid(i, j - i);
        const QString candidate = line + token;
        if (f.advance(candidate.trimmed()) <= width + kSlack) {
            line = candidate;
        } else if (!line.trimmed().isEmpty()) {
            out.push_back(line.trimmed());
            line.clear();
            continue; // retry the token on a fresh line
        } else {
            // A single word too wide for a line: break it between characters.
            QString piece;
            for (QChar c : token) {
                if (!piece.isEmpty() && f.advance(piece + c) > width + kSlack) {
                    out.push_back(piece);
                    piece.clear();
                }
                piece += c;
            }
            line = piece;
        }
        i = j;
    }
    if (!line.trimmed().isEmpty() || out.isEmpty()) out.push_back(line.trimmed());
}

struct Attempt {
    QStringList lines;
    bool fits = true;
    int maxLines = 0;
};

Attempt attempt(const QString& text, const TextParams& p, qreal scale, std::optional<qreal> width,
                std::optional<qreal> height)
{
    const FontEntry& f = fontEntry(p.font, p.tracking, scale);
    Attempt a;
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (const QString& para : paragraphs) {
        if (width)
            wrapParagraph(f, para, std::max<qreal>(0, *width), a.lines);
        else
            a.lines.push_back(para);
    }
    int maxLines = std::numeric_limits<int>::max();
    if (p.lineLimit) maxLines = std::max(1, *p.lineLimit);
    if (height && std::isfinite(*height)) {
        const qreal lh = f.lineHeight() * 1.0;
        const int byHeight = int(std::floor((*height + p.lineSpacing * scale + kSlack) / (lh + p.lineSpacing * scale)));
        maxLines = std::min(maxLines, std::max(1, byHeight));
    }
    a.maxLines = maxLines;
    if (a.lines.size() > maxLines) a.fits = false;
    if (width)
        for (const QString& l : a.lines)
            if (f.advance(l) > *width + kSlack) a.fits = false;
    return a;
}

} // namespace

QString elide(const FontEntry& f, const QString& text, qreal width, bool always)
{
    static const QString ellipsis = QStringLiteral("\u2026");
    if (!always && f.advance(text) <= width + kSlack) return text;
    // Longest head that fits with the ellipsis, by bisection on the length.
    qsizetype lo = 0, hi = text.size();
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (f.advance(text.left(mid).trimmed() + ellipsis) <= width + kSlack)
            lo = mid;
        else
            hi = mid - 1;
    }
    return text.left(lo).trimmed() + ellipsis;
}

namespace {

TextLines computeLines(const QString& text, const TextParams& p, std::optional<qreal> width,
                       std::optional<qreal> height);

} // namespace

TextLines layoutText(const QString& text, const TextParams& p, std::optional<qreal> width, std::optional<qreal> height)
{
    const detail::LinesKey key{
        text,
        p.font.size,
        p.tracking,
        p.lineSpacing,
        p.minimumScaleFactor,
        width.value_or(0),
        height.value_or(0),
        p.lineLimit.value_or(0),
        quint8(p.font.weight),
        quint8(p.font.design),
        quint8(p.font.monospacedDigit),
        quint8(int(width.has_value()) | int(height.has_value()) << 1 | int(p.lineLimit.has_value()) << 2)};
    detail::TextCache& cache = detail::TextCache::forThisThread();
    if (const TextLines* known = cache.lines(key)) return *known;
    return cache.keepLines(key, computeLines(text, p, width, height));
}

namespace {

TextLines computeLines(const QString& text, const TextParams& p, std::optional<qreal> width,
                       std::optional<qreal> height)
{
    if (width && !std::isfinite(*width)) width.reset();
    TextLines r;
    if (width && *width <= 0 && !text.isEmpty()) {
        // Offered no width at all (a stack asking for the least it can give): nothing shows.
        const FontEntry& f = fontEntry(p.font, p.tracking, p.minimumScaleFactor);
        r.lines = QStringList{QString()};
        r.scale = p.minimumScaleFactor;
        r.truncated = true;
        r.size = QSizeF(0, f.lineHeight());
        r.firstBaseline = r.lastBaseline = f.ascent();
        return r;
    }
    Attempt a = attempt(text, p, 1, width, height);
    qreal scale = 1;
    if (!a.fits && p.minimumScaleFactor < 1) {
        Attempt low = attempt(text, p, p.minimumScaleFactor, width, height);
        if (!low.fits) {
            a = low;
            scale = p.minimumScaleFactor;
        } else {
            // The largest scale that fits, to a hundredth of the font size, searched near the
            // ratio of the widths since advances scale almost linearly.
            qreal lo = p.minimumScaleFactor, hi = 1;
            if (width && text.indexOf(QLatin1Char('\n')) < 0) {
                const qreal ideal = fontEntry(p.font, p.tracking, 1).advance(text);
                if (ideal > 0) {
                    const qreal guess = *width / ideal;
                    const qreal near = std::clamp(guess * 0.97, p.minimumScaleFactor, 1.0);
                    Attempt g = attempt(text, p, near, width, height);
                    if (g.fits) {
                        lo = near;
                        low = std::move(g);
                        hi = std::min<qreal>(1, guess * 1.03);
                    } else {
                        hi = near;
                    }
                }
            }
            Attempt best = low;
            while (hi - lo > 0.005) {
                const qreal mid = (lo + hi) / 2;
                Attempt m = attempt(text, p, mid, width, height);
                if (m.fits) {
                    lo = mid;
                    best = std::move(m);
                } else {
                    hi = mid;
                }
            }
            a = std::move(best);
            scale = lo;
        }
    }
    const FontEntry& f = fontEntry(p.font, p.tracking, scale);
    if (!a.fits) {
        r.truncated = true;
        const bool dropped = a.lines.size() > a.maxLines;
        if (dropped) {
            // The last kept line carries the rest of the text, cut at the tail.
            QStringList rest = a.lines.mid(a.maxLines - 1);
            a.lines = a.lines.mid(0, a.maxLines - 1);
            a.lines.push_back(rest.join(QLatin1Char(' ')));
        }
        for (QString& l : a.lines)
            l = width ? elide(f, l, *width) : l;
        QString& last = a.lines.back();
        if (dropped && !last.endsWith(QChar(0x2026)))
            last = width ? elide(f, last, *width, true) : last + QChar(0x2026);
    }
    r.lines = a.lines;
    r.scale = scale;
    qreal w = 0;
    for (const QString& l : r.lines)
        w = std::max(w, f.advance(l));
    if (width) w = std::min(w, *width);
    const qreal lh = f.lineHeight();
    const qreal spacing = p.lineSpacing * scale;
    const int n = int(r.lines.size());
    r.size = QSizeF(w, n * lh + (n - 1) * spacing);
    r.firstBaseline = f.ascent();
    r.lastBaseline = (n - 1) * (lh + spacing) + f.ascent();
    return r;
}

} // namespace

QString timerString(Date from, Date to, bool countsDown, bool showsHours, Date now)
{
    const double span = std::max(0.0, to.secondsSince(from));
    double secs = countsDown ? std::ceil(to.secondsSince(now) - 1e-9) : std::floor(now.secondsSince(from) + 1e-9);
    if (!std::isfinite(secs)) secs = 0;
    secs = std::clamp(secs, 0.0, std::ceil(span));
    const qint64 total = qint64(std::min(secs, 1e12));
    const qint64 h = total / 3600, m = (total % 3600) / 60, s = total % 60;
    if (showsHours && h > 0)
        return QStringLiteral("%1:%2:%3").arg(h).arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(h * 60 + m).arg(s, 2, 10, QLatin1Char('0'));
}

qreal timerFraction(Date from, Date to, bool countsDown, Date now)
{
    const double span = to.secondsSince(from);
    if (!(span > 0)) return countsDown ? 0 : 1;
    const double done = std::clamp(now.secondsSince(from) / span, 0.0, 1.0);
    return countsDown ? 1 - done : done;
}

} // namespace velk::view
