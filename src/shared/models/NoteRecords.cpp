#include "shared/models/NoteRecords.h"

#include "platform/core/Clock.h"

namespace velk {

const std::vector<NoteItem>& NoteItem::samples()
{
    static const std::vector<NoteItem> notes = [] {
        const Date now = Clock::now();
        constexpr double day = 86400;
        return std::vector<NoteItem>{
            {QStringLiteral("Widget idea \u2014 dot-matrix pomodoro that fills as the session burns down."), now, false},
            {QStringLiteral("Pick up groceries and batteries on the way home"), now.addingSeconds(-3600), false},
            {QStringLiteral("1.2 changelog draft"), now.addingSeconds(-day), false},
            {QStringLiteral("Launch checklist: notarize, screenshots, press kit"), now.addingSeconds(-day), true},
            {QStringLiteral("Ask Sam: should the dot map easter egg stay hidden?"), now.addingSeconds(-3 * day), true},
            {QStringLiteral("Refund policy wording"), now.addingSeconds(-4 * day), false},
            {QStringLiteral("Widget gallery re-order"), now.addingSeconds(-5 * day), false},
        };
    }();
    return notes;
}

} // namespace velk
