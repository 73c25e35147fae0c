#include "app/services/MailPoller.h"

#include "app/services/ServiceSupport.h"
#include "platform/core/Clock.h"
#include "platform/core/Coding.h"
#include "platform/core/Defaults.h"
#include "platform/desktop/AppLauncher.h"
#include "shared/data/activity/ExtrasStore.h"
#include "shared/data/media/MediaBridge.h"
#include "shared/widget/WidgetKinds.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

#include <utility>

namespace velk {

MailPoller& MailPoller::shared()
{
    static MailPoller* poller = new MailPoller(MaildirInbox(), QCoreApplication::instance());
    return *poller;
}

MailPoller::MailPoller(MaildirInbox inbox, QObject* parent) : QObject(parent), inbox_(std::move(inbox))
{
    findMailClient = [] { return AppLauncher::defaultApplication(QStringLiteral("x-scheme-handler/mailto")); };
    openInBackground = [](const QString& id) { return AppLauncher::launch(id); };
    worker_.setObjectName(QStringLiteral("velk mail"));
    workerContext_.moveToThread(&worker_);
    worker_.start(QThread::LowPriority);
}

MailPoller::~MailPoller()
{
    // A count still running ends here; its result, posted to this object, goes with it.
    worker_.quit();
    worker_.wait();
}

void MailPoller::setInbox(const std::optional<InboxSnapshot>& snapshot)
{
    Defaults suite = Defaults::shared();
    const std::optional<QByteArray> bytes = snapshot ? encodeJson(*snapshot) : std::nullopt;
    if (bytes)
        suite.setData(MediaBridge::kInboxKey, *bytes);
    else
        suite.remove(MediaBridge::kInboxKey);
}

QString MailPoller::shownPath() const
{
    const QString home = QDir::homePath();
    if (inbox_.path() == home || !inbox_.path().startsWith(home + u'/')) return inbox_.path();
    return u'~' + inbox_.path().mid(home.size());
}

QString MailPoller::openingText()
{
    return QStringLiteral("Opening Mail…");
}

QString MailPoller::waitingText() const
{
    return QStringLiteral("Waiting for the Maildir at ") + shownPath();
}

QString MailPoller::refusedText() const
{
    return QStringLiteral("Not permitted — allow VELK → read %1 in the folder's permissions").arg(shownPath());
}

QString MailPoller::connectedText(qint64 unread)
{
    return QStringLiteral("Connected · ") + QString::number(unread) + QStringLiteral(" unread");
}

qint64 MailPoller::parseCount(const QString& text)
{
    static const QRegularExpression integer(QStringLiteral(R"(\A[+-]?\d+\z)"));
    if (!integer.match(text).hasMatch()) return 0;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? value : 0;
}

void MailPoller::setStatus(const std::optional<QString>& status)
{
    emit statusWillChange();
    status_ = status;
    emit statusChanged();
}

void MailPoller::start(bool userInitiated)
{
    if (!timer_) timer_ = services::repeatQueued(this, kPollIntervalMs, [this] { poll(); });
    if (!inbox_.exists() && userInitiated) {
        if (const std::optional<QString> client = findMailClient ? findMailClient() : std::nullopt) {
            setStatus(openingText());
            if (openInBackground) openInBackground(*client);
            QTimer::singleShot(afterOpenDelayMs, this, [this] { poll(); });
            return;
        }
    }
    poll();
}

void MailPoller::poll()
{
    if (!Defaults::standard().boolean(kEnabledKey)) return;
    if (!inbox_.exists()) {
        setStatus(waitingText());
        emit polled();
        return;
    }
    if (counting_) {
        countAgain_ = true;
        return;
    }
    counting_ = true;
    QMetaObject::invokeMethod(&workerContext_, [this, inbox = inbox_, generation = generation_] {
        const ScriptReply reply = inbox.unreadReply();
        QMetaObject::invokeMethod(this, [this, reply, generation] {
            counting_ = false;
            if (generation == generation_) store(reply);
            if (std::exchange(countAgain_, false)) poll();
        });
    });
}

void MailPoller::store(const ScriptReply& reply)
{
    const Date now = Clock::now();
    if (!reply.ok()) {
        setStatus(refusedText());
        setInbox(InboxSnapshot{0, std::nullopt, std::nullopt, false, now});
        reloadKinds({kinds::inbox}, ReloadNotice::none);
        emit polled();
        return;
    }
    // One split at "|", empty fields dropped: the preview keeps any further "|".
    QStringList fields;
    const qsizetype bar = reply.text->indexOf(u'|');
    if (bar < 0)
        fields << *reply.text;
    else
        fields << reply.text->left(bar) << reply.text->mid(bar + 1);
    fields.removeAll(QString());
    const qint64 unread = parseCount(fields.isEmpty() ? QStringLiteral("0") : fields[0]);
    const std::optional<QString> preview = fields.size() == 2 ? std::optional<QString>(fields[1]) : std::nullopt;
    setStatus(connectedText(unread));
    setInbox(InboxSnapshot{unread, preview, now, true, now});
    reloadKinds({kinds::inbox}, ReloadNotice::none);
    emit polled();
}

void MailPoller::stop()
{
    ++generation_;
    countAgain_ = false;
    if (timer_) {
        timer_->stop();
        timer_->deleteLater();
        timer_ = nullptr;
    }
    setStatus(std::nullopt);
    setInbox(std::nullopt);
    reloadKinds({kinds::inbox}, ReloadNotice::none);
}

} // namespace velk
