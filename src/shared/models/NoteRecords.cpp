#include "shared/models/NoteRecords.h"

#include "platform/core/Clock.h"

namespace velk {

std::vector<NoteItem> NoteItem::samples()
{
    // The ids are made once per process, so that every sample names the same seven notes.
    static const std::vector<QUuid> ids = [] {
        std::vector<QUuid> out(7);
        for (QUuid& id : out)
            id = QUuid::createUuid();
        return out;
    }();
    const Date now = Clock::now();
    constexpr double day = 86400;
    return std::vector<NoteItem>{
        {ids[0], QStringLiteral("Widget idea \u2014 dot-matrix pomodoro that fills as the session burns down."), now,
         false},
        {ids[1], QStringLiteral("Pick up groceries and batteries on the way home"), now.addingSeconds(-3600), false},
        {ids[2], QStringLiteral("1.2 changelog draft"), now.addingSeconds(-day), false},
        {ids[3], QStringLiteral("Launch checklist: notarize, screenshots, press kit"), now.addingSeconds(-day), true},
        {ids[4], QStringLiteral("Ask Sam: should the dot map easter egg stay hidden?"), now.addingSeconds(-3 * day),
         true},
        {ids[5], QStringLiteral("Refund policy wording"), now.addingSeconds(-4 * day), false},
        {ids[6], QStringLiteral("Widget gallery re-order"), now.addingSeconds(-5 * day), false},
    };
}

} // namespace velk
