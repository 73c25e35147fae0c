#pragma once
// What the text code keeps on each thread between renders. Internal to the view layer.
#include "platform/view/TextLayout.h"
#include <QHash>
#include <QImage>
#include <bit>
#include <memory>

namespace velk::view::detail {

// A font as asked for: size and tracking to 1/1024 point.
struct FontKey {
    qint64 size;
    qint64 tracking;
    int weight;
    int design;
    bool monoDigits;
    friend bool operator==(const FontKey&, const FontKey&) = default;
};

inline size_t qHash(const FontKey& k, size_t seed = 0)
{
    return qHashMulti(seed, k.size, k.tracking, k.weight, k.design, k.monoDigits);
}

// What decides a text's lines, exactly: every render lays out the same labels for the same
// offers again, and wrapping or shrinking one measures it many times.
struct LinesKey {
    QString text;
    qreal size, tracking, lineSpacing, minimumScaleFactor, width, height;
    int lineLimit;
    quint8 weight, design, monospacedDigit, given; // bit 0 width, bit 1 height, bit 2 line limit
    friend bool operator==(const LinesKey&, const LinesKey&) = default;
};

inline size_t qHash(const LinesKey& k, size_t seed = 0)
{
    return qHashMulti(seed, k.text, std::bit_cast<quint64>(k.size), std::bit_cast<quint64>(k.tracking),
                      std::bit_cast<quint64>(k.lineSpacing), std::bit_cast<quint64>(k.minimumScaleFactor),
                      std::bit_cast<quint64>(k.width), std::bit_cast<quint64>(k.height), k.lineLimit,
                      quint32(k.weight) << 24 | quint32(k.design) << 16 | quint32(k.monospacedDigit) << 8 | k.given);
}

// Fonts are resolved, measured and drawn with the thread's own font engines (Qt keeps those per
// thread, and a font in use is not to be shared between threads), so each thread keeps what it
// worked out with them: the fonts asked for, the advances measured with each and the lines of
// the texts laid out. A widget render rebuilds its views and asks for the same ones again.
//
// One budget over all three, counted in entries: once it is spent the thread starts over at
// its next font lookup. The fonts then in use stay alive until the start after, since callers
// hold the entry they were given while they measure or draw with it.
class TextCache {
public:
    static constexpr qsizetype kBudget = 8192;

    static TextCache& forThisThread();

    // The image fonts are measured against: the device every widget is painted on.
    const QPaintDevice* device() const { return &device_; }
    const FontEntry& font(const FontKey& key, const Font& font, qreal tracking, qreal scale);
    const TextLines* lines(const LinesKey& key) const
    {
        auto it = lines_.constFind(key);
        return it == lines_.constEnd() ? nullptr : &*it;
    }
    const TextLines& keepLines(const LinesKey& key, const TextLines& lines)
    {
        ++spent_;
        return *lines_.insert(key, lines);
    }
    // One more entry kept elsewhere (an advance in a font's table).
    void spend() { ++spent_; }
    void clear()
    {
        fonts_.clear();
        retired_.clear();
        lines_.clear();
        spent_ = 0;
    }

private:
    QImage device_{1, 1, QImage::Format_ARGB32_Premultiplied};
    QHash<FontKey, std::shared_ptr<FontEntry>> fonts_, retired_;
    QHash<LinesKey, TextLines> lines_;
    qsizetype spent_ = 0;
};

} // namespace velk::view::detail
