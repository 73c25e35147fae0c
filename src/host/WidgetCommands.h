#pragma once
// The headless commands of velk-widgets, run against a bundle and an intent registry: list the
// widgets, draw one entry of a widget as a PNG or as its inspected view tree, dump a timeline,
// run a button's action. Providers and actions may block, so they run on a worker thread while
// the calling thread keeps its event loop turning; drawing stays on the calling thread.
//
// Exit status: 0 done; 1 the work failed (a provider threw, a file could not be written);
// 2 the command line is wrong (unknown kind or intent, malformed option, configuration or
// parameter). Errors are one line on `err`, prefixed "velk-widgets: ".
#include "host/CommandLine.h"
#include "platform/intents/IntentRegistry.h"
#include "platform/timeline/WidgetBundle.h"

#include <QTextStream>

namespace velk::host {

enum ExitStatus { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

class WidgetCommands {
public:
    WidgetCommands(const timeline::WidgetBundle& bundle, const intents::IntentRegistry& registry);

    // `arguments` without the program name.
    int run(const QStringList& arguments, QTextStream& out, QTextStream& err) const;
    int run(const HostCommand& command, QTextStream& out, QTextStream& err) const;

private:
    int list(QTextStream& out) const;
    int draw(const HostCommand& command, QTextStream& out, QTextStream& err) const;
    int timeline(const HostCommand& command, QTextStream& out, QTextStream& err) const;
    int runIntent(const HostCommand& command, QTextStream& err) const;

    // The widget a command names, with its configuration checked; nothing when either is bad,
    // after a one-line message on `err` (a usage error).
    struct Target {
        const timeline::WidgetDefinition* widget;
        QJsonObject configuration;
    };
    std::optional<Target> target(const HostCommand& command, QTextStream& err) const;

    const timeline::WidgetBundle& bundle_;
    const intents::IntentRegistry& registry_;
};

// A configuration given on the command line, checked against the widget's parameters: every
// name must be one of them and every value one the parameter takes. The answer has every
// parameter, the ones not given at their defaults; or nothing, with `error` set.
std::optional<QJsonObject> checkedConfiguration(const timeline::WidgetDefinition& widget, const QJsonObject& given,
                                                QString* error);

} // namespace velk::host
