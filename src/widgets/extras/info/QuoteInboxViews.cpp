#include "widgets/extras/info/QuoteInboxViews.h"

#include "platform/core/Clock.h"
#include "shared/look/Captions.h"
#include "widgets/extras/system/ExtrasLook.h"

#include <algorithm>
#include <cmath>

namespace velk {

using namespace view;
using extras::bodyFont;

// ---- QuoteView --------------------------------------------------------------------------------

View QuoteView::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    return VStack(HAlign::leading, 0,
                  {Text(QStringLiteral("\u201C"))
                       .font(ctx.numerals(26, Weight::black))
                       .foregroundColor(pal.accent)
                       .frame(std::nullopt, 16 * u, Alignment::top),
                   Text(quote.text)
                       .font(bodyFont(13, ctx))
                       .lineSpacing(7.8 * u)
                       .foregroundColor(pal.ink)
                       .lineLimit(3)
                       .padding(Edge::top, 6 * u),
                   Spacer(0), Caption{quote.author + QStringLiteral(" \u00B7 Daily"), 9, 0.16, pal.inkDim, ctx}})
        .padding(EdgeInsets{22 * u, 26 * u, 20 * u, 26 * u})
        .frame(Frame::maxInfinity(Alignment::topLeading));
}

// ---- InboxView --------------------------------------------------------------------------------

QString InboxView::ago(std::optional<Date> date, Date now)
{
    if (!date) return QString();
    // Far-off dates from a damaged record stay within what the count can hold.
    const double seconds = now.secondsSince(*date);
    const double minutes = std::isfinite(seconds) ? std::clamp(std::trunc(seconds / 60.0), 0.0, 9.0e15) : 0.0;
    const qint64 m = qint64(minutes);
    if (m <= 59) return QStringLiteral("%1 min ago").arg(m);
    return QStringLiteral("%1h ago").arg(m / 60);
}

View InboxView::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    // A damaged record's count never reads below none.
    const qint64 unread = data ? std::max<qint64>(data->unread, 0) : 0;

    Views bottom;
    if (data && data->connected) {
        bottom.push_back(Text(data->latestPreview.value_or(QStringLiteral("No unread mail")))
                             .font(bodyFont(10, ctx))
                             .foregroundColor(pal.ink)
                             .lineLimit(1));
        bottom.push_back(
            Caption{ago(data->latestDate, Clock::now()), 9, 0, pal.inkFaint, ctx}.body().padding(Edge::top, 3 * u));
    } else {
        // The app reads a Maildir inbox; its settings name the folder. The request is one line
        // like every caption, set smaller where the tile is too narrow: cut short, it would no
        // longer say where to go, and a second line would push the count past the top.
        bottom.push_back(Caption{QStringLiteral("Connect Maildir in VELK Settings"), 9, 0, pal.inkDim, ctx}
                             .body()
                             .minimumScaleFactor(0.5));
    }

    Views column{HStack(VAlign::center, std::nullopt,
                        {Caption{QStringLiteral("Inbox"), 9, 0.16, pal.inkDim, ctx}, Spacer(),
                         Circle().fill(unread > 0 ? pal.accent : pal.inkFaint).frame(8 * u, 8 * u)}),
                 numeralFit(Text(data ? QString::number(unread) : QStringLiteral("\u2014"))
                                .font(ctx.numerals(64, Weight::black))
                                .foregroundColor(pal.ink))
                     .padding(Edge::top, 8 * u),
                 Spacer(0)};
    column.insert(column.end(), bottom.begin(), bottom.end());
    return VStack(HAlign::leading, 0, std::move(column))
        .padding(EdgeInsets{20 * u, 22 * u, 20 * u, 22 * u})
        .frame(Frame::maxInfinity(Alignment::topLeading));
}

} // namespace velk
