#include "host/WidgetCommands.h"

#include "host/Worker.h"

#include "platform/core/Clock.h"
#include "platform/core/FileSave.h"
#include "platform/view/Layout.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QEventLoop>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>
#include <atomic>
#include <optional>
#include <thread>

namespace velk::host {

namespace {

int fail(QTextStream& err, int status, QString message)
{
    message.replace(QLatin1Char('\n'), QLatin1Char(' '));
    err << "velk-widgets: " << message << '\n';
    err.flush();
    return status;
}

QString unknownKind(const QString& kind)
{
    return QStringLiteral("unknown widget kind \"%1\" (velk-widgets list shows the kinds)").arg(kind);
}

// Pins the clock for a scope and puts back whatever was there before, pinned or not, so an
// in-process caller's own pin survives a command.
class ClockScope {
public:
    explicit ClockScope(std::optional<Date> moment)
    {
        if (!moment) return;
        active_ = true;
        wasPinned_ = Clock::isPinned();
        previous_ = Clock::now();
        Clock::pin(*moment);
    }
    ~ClockScope()
    {
        if (!active_) return;
        if (wasPinned_)
            Clock::pin(previous_);
        else
            Clock::unpin();
    }
    ClockScope(const ClockScope&) = delete;
    ClockScope& operator=(const ClockScope&) = delete;

private:
    bool active_ = false;
    bool wasPinned_ = false;
    Date previous_;
};

// Runs `fn` on a thread of its own, joined before returning: when a command ends, its worker is
// wholly gone, Qt's data for the thread included. (A pooled thread is only waited for as the
// application object goes and may still be winding down while the process exits.) The calling
// thread waits in an event loop, so anything the work posts back to it (a queued call, a timer)
// still happens instead of deadlocking.
template <class Fn>
auto offThread(Fn fn) -> WorkResult<WorkValue<Fn>>
{
    using Result = WorkResult<WorkValue<Fn>>;
    const QCoreApplication* app = QCoreApplication::instance();
    const bool onMainThread = app && QThread::currentThread() == app->thread();
    QEventLoop loop;
    std::atomic<bool> done = false;
    std::optional<Result> result;
    std::thread worker([&] {
        result = guardedCall(fn);
        done = true;
        if (onMainThread) QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    if (onMainThread && !done) loop.exec();
    worker.join();
    return std::move(*result);
}

// The reloads an intent asks for are queued on the session bus connection and sent when its
// thread gets to them. One round trip to the bus, after them on the same connection, sees them
// delivered before a command-line program exits.
void settleSessionBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    const QDBusMessage ping =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId"));
    bus.call(ping, QDBus::Block, 3000);
}

QString modeName(EntrySource s)
{
    switch (s) {
    case EntrySource::placeholder:
        return QStringLiteral("placeholder");
    case EntrySource::snapshot:
        return QStringLiteral("snapshot");
    case EntrySource::preview:
        return QStringLiteral("preview");
    case EntrySource::timeline:
        return QStringLiteral("timeline");
    }
    return {};
}

} // namespace

std::optional<QJsonObject> checkedConfiguration(const timeline::WidgetDefinition& widget, const QJsonObject& given,
                                                QString* error)
{
    const QJsonObject defaults = widget.configuration();
    for (auto it = given.begin(); it != given.end(); ++it) {
        if (!defaults.contains(it.key())) {
            *error = defaults.isEmpty() ? QStringLiteral("%1 has no configuration parameters").arg(widget.kind())
                                        : QStringLiteral("the configuration of %1 has no parameter \"%2\" (it has: %3)")
                                              .arg(widget.kind(), it.key(), defaults.keys().join(QStringLiteral(", ")));
            return std::nullopt;
        }
        // The widget's own reading puts a value it cannot take back to the default; a value
        // that reads as the default without being it was refused.
        const QJsonValue read = widget.configuration({{it.key(), it.value()}}).value(it.key());
        const QJsonValue fallback = defaults.value(it.key());
        if (read == fallback && it.value() != fallback) {
            *error = QStringLiteral("the value of \"%1\" is not one %2 takes: %3")
                         .arg(it.key(), widget.kind(),
                              QString::fromUtf8(QJsonDocument(QJsonArray{it.value()}).toJson(QJsonDocument::Compact))
                                  .mid(1)
                                  .chopped(1));
            return std::nullopt;
        }
    }
    return widget.configuration(given);
}

WidgetCommands::WidgetCommands(const timeline::WidgetBundle& bundle, const intents::IntentRegistry& registry)
    : bundle_(bundle), registry_(registry)
{}

int WidgetCommands::run(const QStringList& arguments, QTextStream& out, QTextStream& err) const
{
    const CommandLine line = parseCommandLine(arguments);
    if (!line.ok()) return fail(err, kExitUsage, line.error);
    return run(line.command, out, err);
}

int WidgetCommands::run(const HostCommand& command, QTextStream& out, QTextStream& err) const
{
    switch (command.verb) {
    case Verb::help:
        out << usageText();
        out.flush();
        return kExitOk;
    case Verb::list:
        return list(out);
    case Verb::render:
    case Verb::tree:
        return draw(command, out, err);
    case Verb::timeline:
        return timeline(command, out, err);
    case Verb::runIntent:
        return runIntent(command, err);
    case Verb::host:
    case Verb::add:
    case Verb::remove:
    case Verb::placed:
        break; // the desktop's business, not a bundle's (see PlacementCommands)
    }
    return kExitUsage;
}

int WidgetCommands::list(QTextStream& out) const
{
    for (const auto& w : bundle_.widgets())
        out << w.kind() << '\t' << w.displayName() << '\t' << timeline::familyName(w.family()) << '\n';
    out.flush();
    return kExitOk;
}

std::optional<WidgetCommands::Target> WidgetCommands::target(const HostCommand& c, QTextStream& err) const
{
    const timeline::WidgetDefinition* widget = bundle_.widget(c.target);
    if (!widget) {
        fail(err, kExitUsage, unknownKind(c.target));
        return std::nullopt;
    }
    QString error;
    auto configuration = checkedConfiguration(*widget, c.configuration, &error);
    if (!configuration) {
        fail(err, kExitUsage, error);
        return std::nullopt;
    }
    return Target{widget, std::move(*configuration)};
}

int WidgetCommands::draw(const HostCommand& c, QTextStream& out, QTextStream& err) const
{
    const auto t = target(c, err);
    if (!t) return kExitUsage;
    const timeline::WidgetDefinition* widget = t->widget;
    const QJsonObject* configuration = &t->configuration;

    const ClockScope clock(c.now);
    const Date now = Clock::now();
    timeline::TimelineContext context;
    context.family = widget->family();
    context.displaySize = c.size.value_or(timeline::designSize(widget->family()));
    context.isPreview = c.source == EntrySource::preview;

    const timeline::AnyProvider& provider = widget->provider();
    const auto outcome = offThread([&provider, configuration = *configuration, context, source = c.source] {
        switch (source) {
        case EntrySource::placeholder:
            return timeline::AnyTimeline{{provider.placeholder(context)}};
        case EntrySource::snapshot:
        case EntrySource::preview:
            return timeline::AnyTimeline{{provider.snapshot(configuration, context)}};
        case EntrySource::timeline:
            break;
        }
        return provider.timeline(configuration, context);
    });
    if (!outcome.value)
        return fail(err, kExitFailed,
                    QStringLiteral("the %1 of %2 failed: %3").arg(modeName(c.source), c.target, outcome.error));
    const auto& entries = outcome.value->entries;
    if (entries.empty())
        return fail(err, kExitFailed, QStringLiteral("the timeline of %1 has no entries").arg(c.target));
    if (size_t(c.entry) >= entries.size())
        return fail(err, kExitUsage,
                    QStringLiteral("--entry %1 is past the end: the timeline of %2 has %3 entries")
                        .arg(c.entry)
                        .arg(c.target)
                        .arg(entries.size()));
    const timeline::AnyEntry& entry = entries[size_t(c.entry)];

    // An entry is on screen from its date on, so a later entry is drawn as it will look then
    // (timer texts and progress read the clock while painting).
    const ClockScope shown(entry.date() > now ? std::optional<Date>(entry.date()) : std::nullopt);
    const view::View content = widget->render(entry);
    const QSizeF size = context.displaySize;

    if (c.verb == Verb::tree) {
        const view::LaidOutTree tree = view::layout(content.frame(size.width(), size.height()), size, c.environment);
        out << QJsonDocument(view::inspect(tree)).toJson(QJsonDocument::Indented);
        out.flush();
        return kExitOk;
    }

    const QImage image = view::renderImage(content, size, c.scale, c.environment);
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return fail(err, kExitFailed, QStringLiteral("cannot encode %1 as PNG").arg(c.output));
    // Written aside and renamed into place, so a failed render never leaves half a file nor
    // replaces a device or a FIFO.
    QString error;
    if (!saveFileAtomically(c.output, png, &error)) return fail(err, kExitFailed, error);
    return kExitOk;
}

int WidgetCommands::timeline(const HostCommand& c, QTextStream& out, QTextStream& err) const
{
    const auto t = target(c, err);
    if (!t) return kExitUsage;
    const timeline::WidgetDefinition* widget = t->widget;
    const QJsonObject* configuration = &t->configuration;

    const ClockScope clock(c.now);
    timeline::TimelineContext context;
    context.family = widget->family();
    context.displaySize = timeline::designSize(widget->family());
    const timeline::AnyProvider& provider = widget->provider();
    const auto outcome = offThread(
        [&provider, configuration = *configuration, context] { return provider.timeline(configuration, context); });
    if (!outcome.value)
        return fail(err, kExitFailed, QStringLiteral("the timeline of %1 failed: %2").arg(c.target, outcome.error));
    out << QJsonDocument(outcome.value->toJson()).toJson(QJsonDocument::Indented);
    out.flush();
    return kExitOk;
}

int WidgetCommands::runIntent(const HostCommand& c, QTextStream& err) const
{
    const auto description = registry_.description(c.target);
    if (!description) return fail(err, kExitUsage, QStringLiteral("unknown intent \"%1\"").arg(c.target));
    if (description->configuration)
        return fail(err, kExitUsage, QStringLiteral("%1 is a widget configuration, not an action").arg(c.target));
    QStringList names;
    for (const auto& p : description->parameters)
        names << p.name;
    for (const QString& name : c.parameters.keys()) {
        if (!names.contains(name))
            return fail(err, kExitUsage,
                        names.isEmpty() ? QStringLiteral("%1 takes no parameters").arg(c.target)
                                        : QStringLiteral("%1 has no parameter \"%2\" (it has: %3)")
                                              .arg(c.target, name, names.join(QStringLiteral(", "))));
    }

    const auto outcome =
        offThread([this, type = c.target, parameters = c.parameters] { return registry_.run(type, parameters); });
    settleSessionBus();
    if (!outcome.value) return fail(err, kExitFailed, QStringLiteral("%1 failed: %2").arg(c.target, outcome.error));
    // The types are checked above, so what is left to refuse is a parameter's value.
    if (!outcome.value->ok) return fail(err, kExitUsage, outcome.value->error);
    return kExitOk;
}

} // namespace velk::host
