#pragma once
// The Inbox widget's collector: while the user has switched mail on ("velk.mail.enabled" in the
// app's standard defaults), it reads the Maildir inbox every 300 seconds and stores an
// InboxSnapshot under "velk.inbox.v1", with a status line for the settings screen.
//
// The inbox is there to read when the Maildir folder exists. A start the user asked for while
// it does not exist opens the user's mail client (the default handler of mailto: links) in the
// background, and reads again six seconds later, so a client that creates or syncs the
// Maildir on start is picked up.
//
// A count lists every file of new/ and cur/ (tens of thousands in a big inbox), so it runs on
// the poller's own thread and its result is stored back on the poller's thread; a poll asked
// for while one runs is made once that one ends.
#include "platform/media/MaildirInbox.h"
#include "shared/models/MediaRecords.h"

#include <QObject>
#include <QThread>
#include <QTimer>
#include <functional>
#include <optional>

namespace velk {

class MailPoller : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollIntervalMs = 300'000;
    static constexpr int kAfterOpenDelayMs = 6'000;
    static inline const QString kEnabledKey = QStringLiteral("velk.mail.enabled");

    static MailPoller& shared();
    explicit MailPoller(MaildirInbox inbox = MaildirInbox(), QObject* parent = nullptr);
    ~MailPoller() override;

    void start(bool userInitiated);
    void stop();
    void poll();

    const std::optional<QString>& status() const { return status_; }
    bool isRunning() const { return timer_ != nullptr; }

    // Finding and opening the mail client (the default mailto: handler); tests replace them.
    std::function<std::optional<QString>()> findMailClient;
    std::function<bool(const QString& desktopId)> openInBackground;
    int afterOpenDelayMs = kAfterOpenDelayMs;

    // Stores a snapshot under "velk.inbox.v1"; nothing (or one that cannot be encoded) removes it.
    static void setInbox(const std::optional<InboxSnapshot>& snapshot);

    // The status texts.
    static QString openingText();
    QString waitingText() const;
    QString refusedText() const;
    static QString connectedText(qint64 unread);
    // The unread count of a reply's first field: an optional sign and decimal digits within
    // 64 bits; anything else is 0.
    static qint64 parseCount(const QString& text);

signals:
    void statusWillChange();
    void statusChanged();
    // A count has been stored (or, for an inbox that is not there, the status set).
    void polled();

private:
    void setStatus(const std::optional<QString>& status);
    QString shownPath() const;
    void store(const ScriptReply& reply);

    MaildirInbox inbox_;
    QTimer* timer_ = nullptr;
    std::optional<QString> status_;
    QThread worker_;        // counts the inbox
    QObject workerContext_; // lives on worker_
    bool counting_ = false;
    bool countAgain_ = false;
    quint64 generation_ = 0; // a count started before the last stop() is not stored
};

} // namespace velk
