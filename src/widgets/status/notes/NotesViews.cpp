#include "widgets/status/notes/NotesViews.h"

#include "platform/core/Calendar.h"
#include "platform/core/DateFormatter.h"
#include "platform/core/Locale.h"
#include "platform/core/TimeZone.h"
#include "shared/data/clock/ClockFormat.h"
#include "shared/look/Captions.h"

#include <algorithm>

namespace velk {

using namespace view;

namespace {

// The text of a note: medium weight, monospaced except in the desktop-font themes.
Font noteFont(qreal size, const WCtx& ctx)
{
    return Font::system(size * ctx.u, Weight::medium,
                        ctx.resolved.isMacFamily ? Design::proportional : Design::monospaced);
}

// One line, shrinking to 0.55 of its size before it truncates.
View fitted(View text)
{
    return text.lineLimit(1).minimumScaleFactor(0.55);
}

// "Mar 4" in the user's locale and zone.
QString monthDay(Date date)
{
    DateFormatter f;
    f.setLocale(Locale::current());
    f.setTimeZone(TimeZone::current());
    f.setDateFormat(QStringLiteral("MMM d"));
    return f.string(date);
}

View card(Color fill, const WCtx& ctx)
{
    return RoundedRectangle(14 * ctx.u, CornerStyle::continuous).fill(fill);
}

} // namespace

// ---- NotesQuickNote ---------------------------------------------------------------------------

View NotesQuickNote::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const View header =
        HStack(VAlign::center, std::nullopt,
               {fitted(Text(QStringLiteral("Quick note").toUpper())
                           .font(ctx.numerals(16, Weight::heavy))
                           .tracking(ctx.resolved.isMacFamily ? 0 : 0.96 * u)
                           .foregroundColor(pal.ink)),
                Spacer(),
                fitted(Text(QStringLiteral("+")).font(ctx.numerals(18, Weight::heavy)).foregroundColor(pal.accent))});
    const View text = Text(note ? note->text : QStringLiteral("Tap + to jot something down."))
                          .font(noteFont(12, ctx))
                          .lineSpacing(7.2 * u)
                          .foregroundColor(note ? pal.ink.opacity(0.92) : pal.inkDim)
                          .padding(EdgeInsets{12 * u, 16 * u, 12 * u, 16 * u});
    Views stack{header, card(pal.chip, ctx).overlay(text, Alignment::topLeading).padding(Edge::top, 12 * u)};
    if (note)
        stack.push_back(Caption{QStringLiteral("Edited ") + ClockFormat::hhmm(note->edited, TimeZone::current()), 9,
                                0.14, pal.inkFaint, ctx}
                            .body()
                            .padding(Edge::top, 8 * u));
    return VStack(HAlign::leading, 0, std::move(stack))
        .padding(EdgeInsets{20 * u, 24 * u, 14 * u, 24 * u})
        .frame(Frame::maxInfinity(Alignment::topLeading));
}

// ---- NotesSingle ------------------------------------------------------------------------------

QString NotesSingle::relative(Date edited)
{
    if (Calendar::current().isDateInToday(edited))
        return QStringLiteral("Today ") + ClockFormat::hhmm(edited, TimeZone::current());
    return monthDay(edited);
}

View NotesSingle::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    Views stack{DotCaption{QStringLiteral("Note"), 9, 0.18, pal.accent, pal.inkDim, ctx},
                Text(note ? note->text : QStringLiteral("No notes yet."))
                    .font(noteFont(12.5, ctx))
                    .lineSpacing(6.875 * u)
                    .lineLimit(4)
                    .foregroundColor(note ? pal.ink : pal.inkDim)
                    .padding(Edge::top, 12 * u),
                Spacer(0)};
    if (note) stack.push_back(Caption{relative(note->edited), 9, 0, pal.inkFaint, ctx});
    return VStack(HAlign::leading, 0, std::move(stack))
        .padding(EdgeInsets{20 * u, 22 * u, 20 * u, 22 * u})
        .frame(Frame::maxInfinity(Alignment::topLeading));
}

// ---- NotesList --------------------------------------------------------------------------------

View NotesList::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const View header = HStack(
        VAlign::firstTextBaseline, std::nullopt,
        {Caption{QStringLiteral("Notes"), 9, 0.18, pal.inkDim, ctx}, Spacer(),
         fitted(Text(QString::number(notes.size())).font(ctx.numerals(14, Weight::heavy)).foregroundColor(pal.ink))});
    Views rows;
    for (size_t i = 0; i < notes.size() && i < 3; ++i) {
        const bool lead = i == 0;
        rows.push_back(HStack(
            VAlign::center, 9 * u,
            {Circle().fill(lead ? pal.accent : pal.inkFaint).frame(4 * u, 4 * u),
             Text(notes[i].text).font(noteFont(11, ctx)).lineLimit(1).foregroundColor(lead ? pal.ink : pal.inkDim)}));
    }
    return VStack(HAlign::leading, 0,
                  {header, VStack(HAlign::leading, 10 * u, std::move(rows)).padding(Edge::top, 14 * u), Spacer(0),
                   Caption{QStringLiteral("All notes \u2192"), 9, 0, pal.inkFaint, ctx}})
        .padding(EdgeInsets{20 * u, 22 * u, 20 * u, 22 * u})
        .frame(Frame::maxInfinity(Alignment::topLeading));
}

// ---- NotesPinned ------------------------------------------------------------------------------

std::vector<NoteItem> NotesPinned::cards() const
{
    std::vector<NoteItem> shown;
    std::copy_if(notes.begin(), notes.end(), std::back_inserter(shown), [](const NoteItem& n) { return n.pinned; });
    if (shown.empty()) shown = notes;
    if (shown.size() > 2) shown.resize(2);
    return shown;
}

View NotesPinned::pinnedCard(const NoteItem& note, bool inverted, const QString& date) const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    // The inverted card is dark with light text in every theme, light ones included.
    const Color background = inverted ? Color::rgb255(17, 17, 17) : pal.chip;
    const Color text = inverted ? Color::rgb255(245, 245, 245) : pal.ink;
    const Color dateColor = inverted ? Color::rgb255(95, 95, 95) : pal.inkFaint;
    const View content =
        VStack(HAlign::leading, 0,
               {Text(note.text).font(noteFont(11, ctx)).lineSpacing(5.5 * u).foregroundColor(text).lineLimit(3),
                Spacer(0), Caption{date, 8.5, 0, dateColor, ctx}})
            .padding(EdgeInsets{12 * u, 14 * u, 10 * u, 14 * u});
    return card(background, ctx).overlay(content, Alignment::topLeading);
}

View NotesPinned::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const bool anyPinned = std::any_of(notes.begin(), notes.end(), [](const NoteItem& n) { return n.pinned; });
    Views row;
    const std::vector<NoteItem> shown = cards();
    for (size_t i = 0; i < shown.size(); ++i)
        row.push_back(pinnedCard(shown[i], i == 1, monthDay(shown[i].edited)));
    if (row.empty())
        row.push_back(
            card(pal.chip, ctx).overlay(Caption{QStringLiteral("Add a note in VELK"), 10, 0, pal.inkDim, ctx}));
    return VStack(HAlign::leading, 0,
                  {Caption{anyPinned ? QStringLiteral("Pinned") : QStringLiteral("Notes"), 9, 0.18, pal.inkDim, ctx},
                   HStack(VAlign::center, 12 * u, std::move(row)).padding(Edge::top, 10 * u)})
        .padding(EdgeInsets{20 * u, 24 * u, 20 * u, 24 * u})
        .frame(Frame::maxInfinity(Alignment::topLeading));
}

} // namespace velk
