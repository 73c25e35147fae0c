#include "widgets/time/RemindersViews.h"

#include "shared/look/Captions.h"
#include "shared/look/DotPieces.h"
#include "widgets/time/RemindersRow.h"

#include <algorithm>

namespace velk {

using namespace view;

namespace {

// Letter spacing of the header words; the desktop-font themes set none.
qreal spacedBy(qreal tracking, const WCtx& ctx)
{
    return ctx.resolved.isMacFamily ? 0 : tracking * ctx.u;
}

bool isOpen(const ReminderItem& item)
{
    return !item.done;
}

} // namespace

// ---- RemindersChecklist -----------------------------------------------------------------------

std::vector<ReminderItem> RemindersChecklist::rows() const
{
    std::vector<ReminderItem> out;
    const auto lastDone =
        std::find_if(data.items.rbegin(), data.items.rend(), [](const ReminderItem& i) { return i.done; });
    if (lastDone != data.items.rend()) out.push_back(*lastDone);
    std::copy_if(data.items.begin(), data.items.end(), std::back_inserter(out), isOpen);
    return out;
}

View RemindersChecklist::reminderRow(const ReminderItem& item) const
{
    return velk::reminderRow(item, ReminderRowStyle{11, 15, 11}, ctx);
}

View RemindersChecklist::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const auto openCount = std::count_if(data.items.begin(), data.items.end(), isOpen);

    Frame chipFrame;
    chipFrame.minWidth = 20 * u;
    chipFrame.minHeight = 20 * u;
    const View chip = Text(QString::number(openCount))
                          .font(ctx.numerals(11, Weight::medium))
                          .foregroundColor(ctx.resolved.pane)
                          .padding(Edge::horizontal, 6 * u)
                          .frame(chipFrame)
                          .background(Capsule(CornerStyle::continuous).fill(pal.accent));
    const View header = HStack(VAlign::center, std::nullopt,
                               {numeralFit(Text(QStringLiteral("Reminders").toUpper())
                                               .font(ctx.numerals(16, Weight::heavy))
                                               .tracking(spacedBy(0.96, ctx))
                                               .foregroundColor(pal.ink)),
                                Spacer(), chip})
                            .padding(Edge::bottom, 12 * u);

    Views shown;
    for (const ReminderItem& item : rows()) {
        if (shown.size() == 3) break;
        shown.push_back(reminderRow(item));
    }
    return VStack(HAlign::leading, 0, {header, VStack(HAlign::leading, 9 * u, std::move(shown)), Spacer(0)})
        .padding(EdgeInsets{20 * u, 24 * u, 16 * u, 24 * u})
        .frame(Frame::maxInfinity(Alignment::topLeading));
}

// ---- RemindersNextUp --------------------------------------------------------------------------

QString RemindersNextUp::countdownText(qint64 minutes)
{
    if (minutes < 60) return QString::number(minutes);
    return QString::number(minutes / 60) + QLatin1Char('H');
}

QString RemindersNextUp::countdownUnit(qint64 minutes)
{
    if (minutes < 60) return QStringLiteral("Min");
    return QString::number(minutes % 60) + QLatin1Char('M');
}

View RemindersNextUp::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    Views stack{DotCaption{QStringLiteral("Next up"), 9, 0.18, pal.accent, pal.inkDim, ctx}, Spacer(0)};
    if (data.nextUp && data.minutesToNext) {
        const qint64 m = *data.minutesToNext;
        QString line = data.nextUp->title;
        if (data.nextUp->time) line += QStringLiteral(" · ") + *data.nextUp->time;
        stack.push_back(
            numeralFit(Text(countdownText(m)).font(ctx.numerals(46, Weight::black)).foregroundColor(pal.ink)));
        stack.push_back(Caption{countdownUnit(m), 10, 0.16, pal.inkFaint, ctx}.body().padding(Edge::top, 3 * u));
        stack.push_back(Text(line)
                            .font(ctx.numerals(11, Weight::medium))
                            .foregroundColor(pal.ink)
                            .lineLimit(1)
                            .padding(Edge::top, 9 * u));
    } else {
        stack.push_back(numeralFit(
            Text(QStringLiteral("Clear").toUpper()).font(ctx.numerals(34, Weight::black)).foregroundColor(pal.ink)));
        stack.push_back(
            Caption{QStringLiteral("No reminders due"), 10, 0, pal.inkDim, ctx}.body().padding(Edge::top, 8 * u));
    }
    return VStack(HAlign::leading, 0, std::move(stack)).padding(20 * u).frame(Frame::maxInfinity(Alignment::leading));
}

// ---- RemindersSingle --------------------------------------------------------------------------

std::optional<ReminderItem> RemindersSingle::focus() const
{
    const auto& items = data.items;
    auto it = std::find_if(items.begin(), items.end(), [](const ReminderItem& i) { return !i.done && i.isUrgent; });
    if (it == items.end()) it = std::find_if(items.begin(), items.end(), isOpen);
    if (it == items.end()) return std::nullopt;
    return *it;
}

View RemindersSingle::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    Views stack{Caption{QStringLiteral("Today"), 9, 0.18, pal.inkDim, ctx}};
    if (const std::optional<ReminderItem> item = focus()) {
        // A mark only: completing happens in the lists, where the tap has a row to land on.
        stack.push_back(Circle()
                            .strokeBorder(pal.fill, 2 * u)
                            .frame(26 * u, 26 * u)
                            .padding(Edge::top, 14 * u)
                            .padding(Edge::bottom, 10 * u));
        stack.push_back(Text(item->title)
                            .font(ctx.numerals(13, Weight::medium))
                            .foregroundColor(pal.ink)
                            .lineSpacing(5.85 * u)
                            .lineLimit(2));
        stack.push_back(Spacer(0));
        stack.push_back(Caption{item->time ? *item->time + QStringLiteral(" · soon") : QStringLiteral("Anytime"), 10, 0,
                                pal.accent, ctx});
    } else {
        stack.push_back(Spacer());
        stack.push_back(numeralFit(
            Text(QStringLiteral("All done").toUpper()).font(ctx.numerals(22, Weight::heavy)).foregroundColor(pal.ink)));
        stack.push_back(Spacer());
    }
    return VStack(HAlign::leading, 0, std::move(stack)).padding(20 * u).frame(Frame::maxInfinity(Alignment::leading));
}

// ---- RemindersToday ---------------------------------------------------------------------------

View RemindersToday::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const auto doneCount =
        std::count_if(data.items.begin(), data.items.end(), [](const ReminderItem& i) { return i.done; });
    const auto total = qint64(data.items.size());

    const View header = HStack(
        VAlign::firstTextBaseline, std::nullopt,
        {numeralFit(Text(QStringLiteral("Today").toUpper())
                        .font(ctx.numerals(19, Weight::heavy))
                        .tracking(spacedBy(1.14, ctx))
                        .foregroundColor(pal.ink)),
         Spacer(),
         numeralFit(Text(QStringLiteral("+")).font(ctx.numerals(19, Weight::heavy)).foregroundColor(pal.accent))});
    Views rows;
    for (size_t i = 0; i < data.items.size() && i < 5; ++i)
        rows.push_back(reminderRow(data.items[i], ReminderRowStyle{12, 16, 11.5}, ctx));

    const QString doneText = QStringLiteral("%1 of %2 done").arg(doneCount).arg(total);
    const double fraction = total > 0 ? double(doneCount) / double(total) : 0.0;
    return VStack(HAlign::leading, 0,
                  {header, VStack(HAlign::leading, 19 * u, std::move(rows)).padding(Edge::top, 20 * u), Spacer(0),
                   Caption{doneText, 10, 0.16, pal.inkDim, ctx}.body().padding(Edge::bottom, 8 * u),
                   DotBar{fraction, 0, 8, 6.7, pal.track, pal.fill, Color::clear(), u}})
        .padding(EdgeInsets{26 * u, 26 * u, 22 * u, 26 * u})
        .frame(Frame::maxInfinity(Alignment::topLeading));
}

} // namespace velk
