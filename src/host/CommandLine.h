#pragma once
// The headless commands of velk-widgets, read from the command line. Parsing is pure: it
// checks the shape of every option and leaves what needs the bundle (kinds, configuration
// parameters, intent types) to WidgetCommands.
#include "platform/core/Date.h"
#include "platform/view/View.h"

#include <QJsonObject>
#include <QSizeF>
#include <QStringList>
#include <optional>

namespace velk::host {

enum class Verb { help, list, render, tree, timeline, runIntent, host, add, remove, placed };

// Which of the provider's answers is drawn.
enum class EntrySource { placeholder, snapshot, preview, timeline };

struct HostCommand {
    Verb verb = Verb::help;
    QString target; // the widget kind, the intent type for run-intent, the id for remove

    std::optional<QSizeF> size; // points; nothing is the family's design size
    qreal scale = 1;
    std::optional<Date> now;
    QJsonObject configuration; // the configuration intent's values as given
    EntrySource source = EntrySource::timeline;
    int entry = 0;
    // Dark unless asked: a headless render has no desktop appearance to follow.
    view::Environment environment{view::ColorScheme::dark, view::RenderingMode::fullColor};
    QString output;

    QJsonObject parameters; // run-intent
};

struct CommandLine {
    HostCommand command;
    QString error; // one line; empty when the command line is sound

    bool ok() const { return error.isEmpty(); }
};

// The largest side, in pixels, a render may have: far beyond any widget, and small enough
// that a typing slip cannot ask for gigabytes.
inline constexpr qreal kMaxRenderPixels = 8192;

// `arguments` without the program name; none at all runs the desktop host.
CommandLine parseCommandLine(const QStringList& arguments);

// A --param value: JSON when the text is one JSON value, else the text itself as a string.
QJsonValue parameterValue(const QString& text);

QString usageText();

} // namespace velk::host
