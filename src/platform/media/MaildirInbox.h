#pragma once
// The user's mail inbox, read from a Maildir (the folder mail clients and sync tools such as
// mbsync or offlineimap keep): unread messages are those in new/ plus those in cur/ whose
// flags lack S (seen). Only regular files count: a link or a FIFO in new/ or cur/ is no mail.
// The answer has the mail poller's reply form: the unread count, "|" and
// a preview "sender name: subject" of the newest message (empty when the inbox is empty).
#include "platform/media/ScriptReply.h"

#include <QByteArray>
#include <QString>

namespace velk {

class MaildirInbox {
public:
    // The inbox folder: $VELK_MAILDIR when it is an absolute path, else ~/Maildir.
    static QString defaultPath();

    explicit MaildirInbox(QString path = defaultPath()) : path_(std::move(path)) {}
    const QString& path() const { return path_; }

    // Whether the folder is there to be read (it has new/ or cur/).
    bool exists() const;

    // "count|preview"; a failure when new/ or cur/ cannot be listed or a message opened.
    ScriptReply unreadReply() const;

    struct Headers {
        QString from;    // the decoded From field
        QString subject; // the decoded Subject field
    };
    // From and Subject of a message's header block (up to the first empty line), unfolded
    // and with RFC 2047 encoded words decoded.
    static Headers readHeaders(const QByteArray& message);
    // "sender name: subject", the name being the From field's display name, or its address
    // when it has none.
    static QString preview(const Headers& headers);
    // A header value with its encoded words (=?charset?B|Q?text?=) decoded; other bytes are
    // read as UTF-8.
    static QString decodeWords(const QByteArray& value);
    // Whether a file name in cur/ carries the seen flag (":2," followed by flags with an S).
    static bool isSeen(const QString& fileName);

private:
    QString path_;
};

} // namespace velk
