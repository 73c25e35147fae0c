#include "platform/media/MaildirInbox.h"

#include "platform/core/FileSave.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cctype>

namespace velk {

namespace {

constexpr qint64 kHeaderLimit = 64 * 1024; // enough for any sane header block

QByteArray decodeQ(const QByteArray& text)
{
    QByteArray out;
    for (int i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '_') {
            out += ' ';
        } else if (c == '=' && i + 2 < text.size() && std::isxdigit(uchar(text[i + 1])) &&
                   std::isxdigit(uchar(text[i + 2]))) {
            out += char(QByteArray::fromHex(text.mid(i + 1, 2)).at(0));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

QString decodeCharset(const QByteArray& charset, const QByteArray& bytes)
{
    QStringDecoder decoder(charset.constData());
    if (!decoder.isValid()) return QString::fromUtf8(bytes);
    return decoder.decode(bytes);
}

} // namespace

QString MaildirInbox::defaultPath()
{
    const QString set = qEnvironmentVariable("VELK_MAILDIR");
    if (QDir::isAbsolutePath(set)) return QDir::cleanPath(set);
    return QDir::homePath() + QStringLiteral("/Maildir");
}

bool MaildirInbox::exists() const
{
    return QFileInfo(path_ + QStringLiteral("/new")).isDir() || QFileInfo(path_ + QStringLiteral("/cur")).isDir();
}

bool MaildirInbox::isSeen(const QString& fileName)
{
    const int info = fileName.lastIndexOf(QStringLiteral(":2,"));
    return info >= 0 && fileName.mid(info + 3).contains(u'S');
}

QString MaildirInbox::decodeWords(const QByteArray& value)
{
    static const QRegularExpression word(QStringLiteral(R"(=\?([^?\s]+)\?([bBqQ])\?([^?\s]*)\?=)"));
    const QString text = QString::fromLatin1(value); // byte-for-byte, so offsets match value
    QString out;
    qsizetype pos = 0;
    bool lastWasWord = false;
    auto it = word.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const QByteArray between = value.mid(pos, m.capturedStart() - pos);
        // White space between two encoded words is not part of the text.
        if (!(lastWasWord && between.trimmed().isEmpty())) out += QString::fromUtf8(between);
        QByteArray charset = m.captured(1).toLatin1();
        if (const int star = charset.indexOf('*'); star >= 0) charset.truncate(star); // RFC 2231 language
        const QByteArray payload = m.captured(3).toLatin1();
        const QByteArray bytes = m.captured(2).compare(QStringLiteral("b"), Qt::CaseInsensitive) == 0
                                     ? QByteArray::fromBase64(payload)
                                     : decodeQ(payload);
        out += decodeCharset(charset, bytes);
        pos = m.capturedEnd();
        lastWasWord = true;
    }
    out += QString::fromUtf8(value.mid(pos));
    return out;
}

MaildirInbox::Headers MaildirInbox::readHeaders(const QByteArray& message)
{
    Headers headers;
    QByteArray field, value;
    auto finish = [&] {
        const QByteArray name = field.trimmed().toLower();
        if (name == "from" && headers.from.isEmpty())
            headers.from = decodeWords(value.trimmed()).simplified();
        else if (name == "subject" && headers.subject.isEmpty())
            headers.subject = decodeWords(value.trimmed()).simplified();
        field.clear();
        value.clear();
    };
    for (QByteArray line : message.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (line.isEmpty()) break;
        if ((line[0] == ' ' || line[0] == '\t') && !field.isEmpty()) {
            value += ' ' + line.trimmed(); // a folded continuation
            continue;
        }
        if (!field.isEmpty()) finish();
        const int colon = line.indexOf(':');
        if (colon <= 0) continue;
        field = line.left(colon);
        value = line.mid(colon + 1);
    }
    if (!field.isEmpty()) finish();
    return headers;
}

QString MaildirInbox::preview(const Headers& headers)
{
    QString from = headers.from;
    QString name;
    const int lt = from.lastIndexOf(u'<');
    if (lt >= 0) {
        name = from.left(lt).trimmed();
        if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"')) name = name.mid(1, name.size() - 2);
        name.replace(QStringLiteral("\\\""), QStringLiteral("\""));
        if (name.isEmpty()) name = from.mid(lt + 1).section(u'>', 0, 0).trimmed();
    } else if (const int paren = from.indexOf(u'('); paren >= 0 && from.endsWith(u')')) {
        name = from.mid(paren + 1, from.size() - paren - 2).trimmed(); // addr (Name)
        if (name.isEmpty()) name = from.left(paren).trimmed();
    } else {
        name = from.trimmed();
    }
    return name + QStringLiteral(": ") + headers.subject;
}

ScriptReply MaildirInbox::unreadReply() const
{
    qint64 unread = 0;
    QFileInfo newest;
    for (const char* sub : {"new", "cur"}) {
        const QString dirPath = path_ + u'/' + QLatin1String(sub);
        QDir dir(dirPath);
        const QFileInfo info(dirPath);
        if (!info.exists() && !info.isSymLink()) continue;
        if (!info.isDir() || !info.isReadable() || !info.isExecutable())
            return ScriptReply::failure(QStringLiteral("cannot read ") + dirPath);
        // Only regular files in the folder itself are messages: a link may lead anywhere (to a
        // file of the user's that is no mail, to a device), and a FIFO would hold up the read.
        const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::NoDotAndDotDot);
        for (const QFileInfo& f : files) {
            if (f.fileName().startsWith(u'.')) continue;
            if (qstrcmp(sub, "new") == 0 || !isSeen(f.fileName())) ++unread;
            // Newest by delivery time (the file's modification), then by name.
            if (!newest.exists() || f.lastModified() > newest.lastModified() ||
                (f.lastModified() == newest.lastModified() && f.fileName() > newest.fileName()))
                newest = f;
        }
    }
    if (!exists()) return ScriptReply::failure(QStringLiteral("no Maildir at ") + path_);
    QString previewText;
    if (newest.exists()) {
        // Read as listed: still a regular file, not a link put in its place since.
        QString why;
        const std::optional<QByteArray> head =
            readRegularFile(newest.filePath(), kHeaderLimit, &why, nullptr, {.cutAtCap = true, .followLinks = false});
        if (!head) return ScriptReply::failure(QStringLiteral("cannot read ") + newest.filePath());
        previewText = preview(readHeaders(*head));
    }
    return ScriptReply::success(QString::number(unread) + u'|' + previewText);
}

} // namespace velk
