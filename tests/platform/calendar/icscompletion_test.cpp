#include "platform/calendar/IcsCompletion.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace velk;

namespace {

const Date kAt = Date::fromUnix(1741339865); // 2025-03-07 09:31:05 UTC

TEST(IcsCompletion, ReplacesOnlyTheTodosOwnCompletionLines)
{
    const struct {
        const char* name;
        QByteArray in;
        QString uid;
        int index;
        bool done;
        QByteArray out;
    } cases[] = {
        {"LF endings, no trailing newline, completion goes before END",
         "BEGIN:VCALENDAR\nBEGIN:VTODO\nUID:a\nSUMMARY:A\nEND:VTODO\nEND:VCALENDAR", "a", 0, true,
         "BEGIN:VCALENDAR\nBEGIN:VTODO\nUID:a\nSUMMARY:A\nSTATUS:COMPLETED\nCOMPLETED:20250307T093105Z\n"
         "PERCENT-COMPLETE:100\nEND:VTODO\nEND:VCALENDAR"},
        {"a folded status line and old percentage are replaced where they stood",
         "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nUID:a\r\nSTAT\r\n "
         "US:IN-PROCESS\r\nPERCENT-COMPLETE:40\r\nX-KEEP;X-P=\"a:b\":1\r\n"
         "END:VTODO\r\nEND:VCALENDAR\r\n",
         "a", 0, true,
         "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nUID:a\r\nSTATUS:COMPLETED\r\nCOMPLETED:20250307T093105Z\r\n"
         "PERCENT-COMPLETE:100\r\nX-KEEP;X-P=\"a:b\":1\r\nEND:VTODO\r\nEND:VCALENDAR\r\n"},
        {"reopening drops the completion; an alarm's lines and another to-do stay",
         "BEGIN:VCALENDAR\nBEGIN:VTODO\nUID:b\nSTATUS:COMPLETED\nEND:VTODO\nBEGIN:VTODO\nUID:a\nSTATUS:COMPLETED\n"
         "COMPLETED:20250301T100000Z\nBEGIN:VALARM\nACTION:DISPLAY\nSTATUS:X\nEND:VALARM\nEND:VTODO\nEND:VCALENDAR\n",
         "a", 0, false,
         "BEGIN:VCALENDAR\nBEGIN:VTODO\nUID:b\nSTATUS:COMPLETED\nEND:VTODO\nBEGIN:VTODO\nUID:a\nSTATUS:NEEDS-ACTION\n"
         "BEGIN:VALARM\nACTION:DISPLAY\nSTATUS:X\nEND:VALARM\nEND:VTODO\nEND:VCALENDAR\n"},
        {"without a UID the to-do is found by its place; a replaced instance is not the to-do",
         "BEGIN:VCALENDAR\nBEGIN:VTODO\nSUMMARY:first\nEND:VTODO\nBEGIN:VTODO\nSUMMARY:second\nEND:VTODO\nEND:"
         "VCALENDAR\n",
         "", 1, false,
         "BEGIN:VCALENDAR\nBEGIN:VTODO\nSUMMARY:first\nEND:VTODO\nBEGIN:VTODO\nSUMMARY:second\nSTATUS:NEEDS-ACTION\n"
         "END:VTODO\nEND:VCALENDAR\n"},
        {"an instance with RECURRENCE-ID is skipped for the series itself",
         "BEGIN:VCALENDAR\nBEGIN:VTODO\nUID:r\nRECURRENCE-ID:20250301T090000Z\nEND:VTODO\nBEGIN:VTODO\nUID:r\n"
         "END:VTODO\nEND:VCALENDAR\n",
         "r", 0, false,
         "BEGIN:VCALENDAR\nBEGIN:VTODO\nUID:r\nRECURRENCE-ID:20250301T090000Z\nEND:VTODO\nBEGIN:VTODO\nUID:r\n"
         "STATUS:NEEDS-ACTION\nEND:VTODO\nEND:VCALENDAR\n"},
        {"a UID written with escapes is found by the UID the reader sees",
         "BEGIN:VCALENDAR\nBEGIN:VTODO\nUID:list\\,42\\;x\nEND:VTODO\nEND:VCALENDAR\n", "list,42;x", 0, false,
         "BEGIN:VCALENDAR\nBEGIN:VTODO\nUID:list\\,42\\;x\nSTATUS:NEEDS-ACTION\nEND:VTODO\nEND:VCALENDAR\n"},
    };
    for (const auto& c : cases) {
        QString error;
        const auto out = withTodoCompletion(c.in, c.uid, c.index, c.done, kAt, &error);
        ASSERT_TRUE(out) << c.name << ": " << error.toStdString();
        EXPECT_EQ(out->toStdString(), c.out.toStdString()) << c.name;
    }
}

TEST(IcsCompletion, NoSuchTodoIsAnError)
{
    const QByteArray text = "BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:a\nEND:VEVENT\nBEGIN:VTODO\nUID:b\nEND:VCALENDAR\n";
    QString error;
    EXPECT_FALSE(withTodoCompletion(text, "a", 0, true, kAt, &error)); // an event, not a to-do
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(withTodoCompletion(text, "", 3, true, kAt));
    EXPECT_FALSE(withTodoCompletion(text, "b", 0, true, kAt)); // never closed
}

} // namespace
