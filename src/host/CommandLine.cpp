#include "host/CommandLine.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <cmath>

namespace velk::host {

namespace {

const QSet<QString> kRenderOptions = {"--size", "--scale", "--now",    "--config",
                                      "--mode", "--entry", "--scheme", "--rendering"};

QSet<QString> optionsOf(Verb verb)
{
    switch (verb) {
    case Verb::render:
        return kRenderOptions + QSet<QString>{"-o"};
    case Verb::tree:
        return kRenderOptions;
    case Verb::timeline:
        return {"--config", "--now"};
    case Verb::runIntent:
        return {"--param"};
    case Verb::help:
    case Verb::list:
    case Verb::host:
    case Verb::add:
    case Verb::remove:
    case Verb::placed:
        return {};
    }
    return {};
}

std::optional<Verb> verbNamed(const QString& name)
{
    if (name == "list") return Verb::list;
    if (name == "render") return Verb::render;
    if (name == "tree") return Verb::tree;
    if (name == "timeline") return Verb::timeline;
    if (name == "run-intent") return Verb::runIntent;
    if (name == "add") return Verb::add;
    if (name == "remove") return Verb::remove;
    if (name == "placed") return Verb::placed;
    if (name == "help" || name == "--help" || name == "-h") return Verb::help;
    return std::nullopt;
}

std::optional<qreal> positiveNumber(const QString& text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v <= 0) return std::nullopt;
    return v;
}

// Applies one option's value; answers the error, or an empty string.
QString apply(HostCommand& c, const QString& option, const QString& value)
{
    if (option == "--size") {
        const QStringList parts = value.split(QLatin1Char('x'), Qt::KeepEmptyParts, Qt::CaseInsensitive);
        const auto w = parts.size() == 2 ? positiveNumber(parts[0]) : std::nullopt;
        const auto h = parts.size() == 2 ? positiveNumber(parts[1]) : std::nullopt;
        if (!w || !h)
            return QStringLiteral("--size wants WIDTHxHEIGHT in points, such as 344x160, not \"%1\"").arg(value);
        c.size = QSizeF(*w, *h);
    } else if (option == "--scale") {
        const auto s = positiveNumber(value);
        if (!s) return QStringLiteral("--scale wants a positive number, such as 2, not \"%1\"").arg(value);
        c.scale = *s;
    } else if (option == "--now") {
        const QDateTime t = QDateTime::fromString(value, Qt::ISODateWithMs);
        if (!t.isValid())
            return QStringLiteral("--now wants an ISO-8601 date and time, such as 2025-03-07T09:30:00Z, not \"%1\"")
                .arg(value);
        c.now = Date::fromQDateTime(t);
    } else if (option == "--config") {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(value.toUtf8(), &error);
        if (error.error != QJsonParseError::NoError)
            return QStringLiteral("--config is not JSON: %1 at offset %2").arg(error.errorString()).arg(error.offset);
        if (!doc.isObject()) return QStringLiteral("--config wants a JSON object of parameter values");
        c.configuration = doc.object();
    } else if (option == "--mode") {
        if (value == "placeholder")
            c.source = EntrySource::placeholder;
        else if (value == "snapshot")
            c.source = EntrySource::snapshot;
        else if (value == "preview")
            c.source = EntrySource::preview;
        else if (value == "timeline")
            c.source = EntrySource::timeline;
        else
            return QStringLiteral("--mode is placeholder, snapshot, preview or timeline, not \"%1\"").arg(value);
    } else if (option == "--entry") {
        bool ok = false;
        const int n = value.toInt(&ok);
        if (!ok || n < 0) return QStringLiteral("--entry wants an entry number from 0, not \"%1\"").arg(value);
        c.entry = n;
    } else if (option == "--scheme") {
        if (value == "dark")
            c.environment.colorScheme = view::ColorScheme::dark;
        else if (value == "light")
            c.environment.colorScheme = view::ColorScheme::light;
        else
            return QStringLiteral("--scheme is dark or light, not \"%1\"").arg(value);
    } else if (option == "--rendering") {
        if (value == "full")
            c.environment.renderingMode = view::RenderingMode::fullColor;
        else if (value == "tinted")
            c.environment.renderingMode = view::RenderingMode::accented;
        else
            return QStringLiteral("--rendering is full or tinted, not \"%1\"").arg(value);
    } else if (option == "-o") {
        if (value.isEmpty()) return QStringLiteral("-o wants a file name");
        c.output = value;
    } else if (option == "--param") {
        const qsizetype eq = value.indexOf(QLatin1Char('='));
        if (eq <= 0) return QStringLiteral("--param wants NAME=VALUE, not \"%1\"").arg(value);
        c.parameters.insert(value.left(eq), parameterValue(value.mid(eq + 1)));
    }
    return {};
}

} // namespace

QJsonValue parameterValue(const QString& text)
{
    // Wrapped in an array so a lone number, string, bool or null parses too; "1,2" makes two
    // values and so stays text.
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson("[" + text.toUtf8() + "]", &error);
    if (error.error == QJsonParseError::NoError && doc.array().size() == 1) return doc.array().first();
    return text;
}

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine result;
    HostCommand& c = result.command;
    if (arguments.isEmpty()) {
        c.verb = Verb::host;
        return result;
    }
    const auto verb = verbNamed(arguments.first());
    if (!verb) {
        result.error = QStringLiteral("unknown command \"%1\" (velk-widgets help lists them)").arg(arguments.first());
        return result;
    }
    c.verb = *verb;
    const QSet<QString> allowed = optionsOf(c.verb);
    bool entryGiven = false;

    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString arg = arguments[i];
        if (!arg.startsWith(QLatin1Char('-')) || arg == "-") {
            if (!c.target.isEmpty() || c.verb == Verb::list || c.verb == Verb::help || c.verb == Verb::placed) {
                result.error = QStringLiteral("unexpected argument \"%1\"").arg(arg);
                return result;
            }
            c.target = arg;
            continue;
        }
        QString value;
        bool hasValue = false;
        if (const qsizetype eq = arg.indexOf(QLatin1Char('=')); arg.startsWith("--") && eq > 0) {
            value = arg.mid(eq + 1);
            arg = arg.left(eq);
            hasValue = true;
        }
        if (!allowed.contains(arg)) {
            result.error = QStringLiteral("%1 is not an option of %2").arg(arg, arguments.first());
            return result;
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                result.error = QStringLiteral("%1 needs a value").arg(arg);
                return result;
            }
            value = arguments[++i];
        }
        if (const QString error = apply(c, arg, value); !error.isEmpty()) {
            result.error = error;
            return result;
        }
        entryGiven = entryGiven || arg == "--entry";
    }

    if (c.verb != Verb::list && c.verb != Verb::help && c.verb != Verb::placed && c.target.isEmpty()) {
        result.error = c.verb == Verb::runIntent ? QStringLiteral("run-intent needs an intent type")
                       : c.verb == Verb::remove
                           ? QStringLiteral("remove needs a placed widget's id (velk-widgets placed lists them)")
                           : QStringLiteral("%1 needs a widget kind").arg(arguments.first());
    } else if (c.verb == Verb::render && c.output.isEmpty()) {
        result.error = QStringLiteral("render needs -o FILE.png");
    } else if (entryGiven && c.source != EntrySource::timeline) {
        result.error = QStringLiteral("--entry picks a timeline entry; it does not go with --mode %1")
                           .arg(c.source == EntrySource::placeholder ? "placeholder"
                                : c.source == EntrySource::snapshot  ? "snapshot"
                                                                     : "preview");
    } else if (c.size && std::max(c.size->width(), c.size->height()) * c.scale > kMaxRenderPixels) {
        result.error = QStringLiteral("--size times --scale is larger than %1 pixels a side").arg(kMaxRenderPixels);
    } else if (!c.size && c.scale * 344 > kMaxRenderPixels) {
        result.error = QStringLiteral("--scale %1 is larger than a render can be").arg(c.scale);
    }
    return result;
}

QString usageText()
{
    return QStringLiteral("usage: velk-widgets [COMMAND ...]\n"
                          "  (no command)                  runs the desktop host that shows the placed widgets\n"
                          "  add KIND                      places a widget on the desktop; prints its id\n"
                          "  remove ID                     removes a placed widget\n"
                          "  placed                        the placed widgets: id, kind, position, scale\n"
                          "  list                          the widgets in order: kind, display name, family\n"
                          "  render KIND -o FILE.png [OPTIONS]\n"
                          "                                draws one entry of a widget into a PNG\n"
                          "  tree KIND [OPTIONS]           the laid-out view tree of that entry, as JSON\n"
                          "  timeline KIND [--config JSON] [--now ISO]\n"
                          "                                the entries and the reload policy, as JSON\n"
                          "  run-intent TYPE [--param NAME=VALUE ...]\n"
                          "                                runs a button's action (VALUE is JSON, or else text)\n"
                          "options of render and tree:\n"
                          "  --size WxH                    points (default: the family's design size)\n"
                          "  --scale N                     device pixel ratio (default 1)\n"
                          "  --now ISO-8601                the moment to draw (default: now)\n"
                          "  --config JSON                 values of the widget's configuration\n"
                          "  --mode placeholder|snapshot|preview|timeline   (default timeline)\n"
                          "  --entry N                     the timeline entry to draw (default 0)\n"
                          "  --scheme dark|light           (default dark)\n"
                          "  --rendering full|tinted       (default full)\n"
                          "The plug-in is found next to the program, in ../" VELK_INSTALL_LIBDIR "/velk from the\n"
                          "program's folder, or at $VELK_WIDGETS_PLUGIN.\n"
                          "Exit status: 0 done, 1 failed, 2 bad command line.\n");
}

} // namespace velk::host
