#pragma once
// Entries, timelines and reload policies: what a provider answers with.
#include "platform/core/Date.h"
#include "platform/timeline/WidgetFamily.h"

#include <QJsonObject>
#include <QSizeF>
#include <vector>

namespace velk::timeline {

// One entry of a widget's timeline: shown from `date` until the next entry's date. Generic
// over the widget's data and over the surface option type, which belongs to the widgets'
// own option lists rather than to this layer.
template <class Data, class Surface>
struct Entry {
    Date date;
    Data data;
    Surface surface;
};

// When the host asks the provider for a new timeline.
class ReloadPolicy {
public:
    enum class Kind { atEnd, after, never };

    // After the last entry's date has come.
    static ReloadPolicy atEnd() { return ReloadPolicy(Kind::atEnd, Date()); }
    // At the given moment (or at once when it has passed).
    static ReloadPolicy after(Date date) { return ReloadPolicy(Kind::after, date); }
    // Only when asked to by a reload of the widget's kind.
    static ReloadPolicy never() { return ReloadPolicy(Kind::never, Date()); }

    Kind kind() const { return kind_; }
    Date date() const { return date_; } // meaningful for after() only

    // The moment the timeline is due for a reload, given the date of its last entry; nothing
    // for never (and for atEnd with no entries, where nothing will ever come due).
    std::optional<Date> reloadDate(std::optional<Date> lastEntryDate) const;

    QJsonObject toJson() const;
    friend bool operator==(const ReloadPolicy&, const ReloadPolicy&) = default;

private:
    ReloadPolicy(Kind kind, Date date) : kind_(kind), date_(date) {}
    Kind kind_;
    Date date_;
};

template <class E>
struct Timeline {
    std::vector<E> entries;
    ReloadPolicy policy = ReloadPolicy::atEnd();
};

// What the host tells a provider about the request.
struct TimelineContext {
    WidgetFamily family = WidgetFamily::small;
    QSizeF displaySize = designSize(WidgetFamily::small);
    // True when the widget is drawn as a preview in a gallery rather than placed.
    bool isPreview = false;
};

} // namespace velk::timeline
