#include "platform/timeline/WidgetCenter.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>

namespace velk::timeline {

namespace {

class BusSink final : public WidgetCenter::Sink {
public:
    void reloadTimelines(const QString& kind) override { send(QStringLiteral("ReloadTimelines"), {kind}); }
    void reloadAllTimelines() override { send(QStringLiteral("ReloadAllTimelines"), {}); }

private:
    static void send(const QString& method, const QVariantList& arguments)
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) return;
        QDBusMessage call = QDBusMessage::createMethodCall(WidgetCenter::kService, WidgetCenter::kPath,
                                                           WidgetCenter::kInterface, method);
        call.setArguments(arguments);
        // A reload is a hint: never start a host for it, never wait for one. Sent as a bare
        // message rather than through the generated proxy (WidgetHostProxy.h), which asks the
        // bus for the service's owner, and waits for the answer, when it is made.
        // send() also marks the call as wanting no reply.
        call.setAutoStartService(false);
        bus.send(call);
    }
};

} // namespace

WidgetCenter::WidgetCenter() : bus_(std::make_shared<BusSink>()) {}

WidgetCenter& WidgetCenter::shared()
{
    static WidgetCenter center;
    return center;
}

std::shared_ptr<WidgetCenter::Sink> WidgetCenter::sink()
{
    std::lock_guard lock(mutex_);
    return override_ ? override_ : bus_;
}

void WidgetCenter::setOverride(std::shared_ptr<Sink> sink)
{
    std::lock_guard lock(mutex_);
    override_ = std::move(sink);
}

void WidgetCenter::reloadTimelines(const QString& kind)
{
    sink()->reloadTimelines(kind);
}
void WidgetCenter::reloadAllTimelines()
{
    sink()->reloadAllTimelines();
}

class WidgetCenterRecorder::Sink final : public WidgetCenter::Sink {
public:
    void reloadTimelines(const QString& kind) override
    {
        std::lock_guard lock(mutex);
        reloads.push_back({false, kind});
    }
    void reloadAllTimelines() override
    {
        std::lock_guard lock(mutex);
        reloads.push_back({true, {}});
    }
    mutable std::mutex mutex;
    std::vector<Reload> reloads;
};

WidgetCenterRecorder::WidgetCenterRecorder() : sink_(std::make_shared<Sink>())
{
    WidgetCenter::shared().setOverride(sink_);
}

WidgetCenterRecorder::~WidgetCenterRecorder()
{
    WidgetCenter::shared().setOverride(nullptr);
}

std::vector<WidgetCenterRecorder::Reload> WidgetCenterRecorder::reloads() const
{
    std::lock_guard lock(sink_->mutex);
    return sink_->reloads;
}

QStringList WidgetCenterRecorder::kinds() const
{
    QStringList out;
    for (const auto& r : reloads())
        if (!r.all) out << r.kind;
    return out;
}

void WidgetCenterRecorder::clear()
{
    std::lock_guard lock(sink_->mutex);
    sink_->reloads.clear();
}

} // namespace velk::timeline
