#pragma once
// The text-led faces: the day's quotation with its author, and the mail inbox's unread count
// with its newest message.
#include "platform/core/Date.h"
#include "shared/look/WidgetRoot.h"
#include "shared/models/MediaRecords.h"
#include "shared/models/SkyRecords.h"

#include <optional>

namespace velk {

// Medium: an opening quote mark, up to three lines of the quotation, and its author.
struct QuoteView {
    QuoteItem quote;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

// Small: the unread count and, while the app reads the inbox, the newest message and its age;
// otherwise how to connect one.
struct InboxView {
    std::optional<InboxSnapshot> data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // "N min ago" under an hour (a date ahead of now counts as now), else "Nh ago"; empty for
    // no date.
    static QString ago(std::optional<Date> date, Date now);
};

} // namespace velk
