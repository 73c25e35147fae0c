#include "platform/calendar/IcsCompletion.h"

#include <QByteArrayList>
#include <vector>

namespace velk {

namespace {

// One content line, unfolded, with the physical lines it spans.
struct Logical {
    int first = 0; // index of its first physical line
    int count = 1;
    QByteArray text;

    QByteArray name() const
    {
        qsizetype end = 0;
        while (end < text.size() && text[end] != ';' && text[end] != ':')
            ++end;
        return text.left(end).trimmed().toUpper();
    }
    // The value after the first colon that is not inside a quoted parameter.
    QByteArray value() const
    {
        bool quoted = false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == '"')
                quoted = !quoted;
            else if (text[i] == ':' && !quoted)
                return text.mid(i + 1);
        }
        return {};
    }
};

// A TEXT value as it reads: calendar programs escape "," ";" "\\" and line breaks in a UID
// just as in a summary, and the reader sees the UID unescaped.
QString unescapedText(const QByteArray& value)
{
    QByteArray out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            out += (next == 'n' || next == 'N') ? '\n' : next;
        } else {
            out += value[i];
        }
    }
    return QString::fromUtf8(out);
}

void setError(QString* error, const QString& message)
{
    if (error) *error = message;
}

} // namespace

std::optional<QByteArray> withTodoCompletion(const QByteArray& text, const QString& uid, int todoIndex, bool done,
                                             std::optional<Date> completedAt, QString* error)
{
    const QByteArray eol = text.contains("\r\n") ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
    QByteArrayList lines = text.split('\n');
    const bool endsWithNewline = text.endsWith('\n');
    if (endsWithNewline) lines.removeLast();
    for (QByteArray& l : lines)
        if (l.endsWith('\r')) l.chop(1);

    std::vector<Logical> logical;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray& l = lines[i];
        if (!logical.empty() && !l.isEmpty() && (l[0] == ' ' || l[0] == '\t')) {
            logical.back().text += l.mid(1);
            ++logical.back().count;
        } else {
            logical.push_back({i, 1, l});
        }
    }

    // Find the to-do's block: its BEGIN and END lines, and its own properties (not those of an
    // alarm inside it).
    int todoSeen = -1;
    int found = -1;
    for (size_t i = 0; i < logical.size() && found < 0; ++i) {
        if (logical[i].name() != "BEGIN" || logical[i].value().trimmed().toUpper() != "VTODO") continue;
        ++todoSeen;
        int depth = 0;
        QString blockUid;
        bool isInstance = false;
        for (size_t j = i + 1; j < logical.size(); ++j) {
            const QByteArray name = logical[j].name();
            if (name == "BEGIN")
                ++depth;
            else if (name == "END" && depth-- == 0)
                break;
            else if (depth == 0 && name == "UID")
                blockUid = unescapedText(logical[j].value().trimmed());
            else if (depth == 0 && name == "RECURRENCE-ID")
                isInstance = true;
        }
        const bool match = uid.isEmpty() ? todoSeen == todoIndex : (!isInstance && blockUid == uid.trimmed());
        if (match) found = int(i);
    }
    if (found < 0) {
        setError(error, uid.isEmpty() ? QStringLiteral("no to-do number %1 in the file").arg(todoIndex + 1)
                                      : QStringLiteral("no to-do with UID %1 in the file").arg(uid));
        return std::nullopt;
    }

    std::vector<bool> drop(lines.size(), false);
    int insertAt = -1; // physical line before which the new lines go
    int depth = 0;
    bool closed = false;
    for (size_t j = size_t(found) + 1; j < logical.size(); ++j) {
        const QByteArray name = logical[j].name();
        if (name == "BEGIN") {
            if (depth == 0 && insertAt < 0) insertAt = logical[j].first;
            ++depth;
        } else if (name == "END") {
            if (depth-- == 0) {
                if (logical[j].value().trimmed().toUpper() != "VTODO") break; // never closed
                if (insertAt < 0) insertAt = logical[j].first;
                closed = true;
                break;
            }
        } else if (depth == 0 && (name == "STATUS" || name == "COMPLETED" || name == "PERCENT-COMPLETE")) {
            if (insertAt < 0 || logical[j].first < insertAt) insertAt = logical[j].first;
            for (int k = 0; k < logical[j].count; ++k)
                drop[size_t(logical[j].first + k)] = true;
        }
    }
    if (!closed) {
        setError(error, QStringLiteral("the to-do has no END line"));
        return std::nullopt;
    }

    QByteArrayList added;
    if (done) {
        const Date at = completedAt.value_or(Date());
        added << QByteArrayLiteral("STATUS:COMPLETED")
              << "COMPLETED:" + at.toQDateTime().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1()
              << QByteArrayLiteral("PERCENT-COMPLETE:100");
    } else {
        added << QByteArrayLiteral("STATUS:NEEDS-ACTION");
    }

    QByteArray out;
    out.reserve(text.size() + 80);
    for (int i = 0; i < lines.size(); ++i) {
        if (i == insertAt)
            for (const QByteArray& a : added)
                out += a + eol;
        if (drop[size_t(i)]) continue;
        out += lines[i];
        if (i + 1 < lines.size() || endsWithNewline) out += eol;
    }
    return out;
}

} // namespace velk
