// velk-defaults: inspect and seed the defaults that the VELK processes share.
//
//   velk-defaults [--suite NAME | --standard APP] read KEY
//   velk-defaults [--suite NAME | --standard APP] write KEY (--json TEXT | --int N | --bool true|false | --string S)
//   velk-defaults [--suite NAME | --standard APP] delete KEY
//   velk-defaults [--suite NAME | --standard APP] list
//
// Exit status: 0 done, 1 the key is absent (read), 2 bad usage, 3 the store cannot be opened,
// read or written.
#include "platform/core/Defaults.h"
#include "platform/core/GroupContainer.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cstdio>
#include <optional>

using velk::Defaults;

namespace {

constexpr int kDone = 0;
constexpr int kAbsent = 1;
constexpr int kUsage = 2;
constexpr int kFailed = 3;

const char* const kUsageText =
    "usage: velk-defaults [--suite NAME | --standard APP] "
    "(read KEY | write KEY (--json TEXT | --int N | --bool true|false | --string S) | delete KEY | list)";

int usage(const QString& why)
{
    std::fprintf(stderr, "velk-defaults: %s\n%s\n", qPrintable(why), kUsageText);
    return kUsage;
}

int failed(const QString& why)
{
    std::fprintf(stderr, "velk-defaults: %s\n", qPrintable(why));
    return kFailed;
}

// What to say when an access failed: the store's reason, which names the key and the file, or
// what was attempted when it gave none.
QString because(const QString& what)
{
    const QString reason = Defaults::lastError();
    return reason.isEmpty() ? what : reason;
}

void printLine(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

// Any JSON value, scalars included: QJsonDocument only takes an object or an array at the top,
// so the text is checked as the one element of an array.
bool isJson(const QByteArray& text)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson("[" + text + "\n]", &error);
    return error.error == QJsonParseError::NoError && doc.isArray() && doc.array().size() == 1;
}

// How a stored value is shown: data as its JSON text (or base64 when it is not JSON), the
// others as they are. Nothing when it cannot be read (Defaults::lastError() says why).
QString shownText(const Defaults& store, const QString& key, Defaults::Kind kind);

std::optional<QString> shown(const Defaults& store, const QString& key, Defaults::Kind kind)
{
    QString text = shownText(store, key, kind);
    if (!Defaults::lastError().isEmpty()) return std::nullopt;
    return text;
}

QString shownText(const Defaults& store, const QString& key, Defaults::Kind kind)
{
    switch (kind) {
    case Defaults::Kind::data: {
        const QByteArray bytes = store.data(key).value_or(QByteArray());
        if (isJson(bytes)) return QString::fromUtf8(bytes);
        return QStringLiteral("base64:") + QString::fromLatin1(bytes.toBase64());
    }
    case Defaults::Kind::integer:
        return QString::number(store.integer(key));
    case Defaults::Kind::boolean:
        return store.boolean(key) ? QStringLiteral("true") : QStringLiteral("false");
    case Defaults::Kind::string:
        return store.string(key).value_or(QString());
    }
    return {};
}

int run(const QStringList& args)
{
    std::optional<QString> suite;
    std::optional<QString> standardApp;
    int i = 0;
    for (; i < args.size() && args[i].startsWith(QLatin1String("--")); i += 2) {
        if (i + 1 >= args.size()) return usage(args[i] + QStringLiteral(" needs a value"));
        if (args[i] == QLatin1String("--suite"))
            suite = args[i + 1];
        else if (args[i] == QLatin1String("--standard"))
            standardApp = args[i + 1];
        else
            return usage(QStringLiteral("unknown option ") + args[i]);
    }
    if (suite && standardApp) return usage(QStringLiteral("--suite and --standard exclude each other"));
    if (i >= args.size()) return usage(QStringLiteral("no command"));
    const QString command = args[i++];
    const QStringList rest = args.mid(i);

    const auto expect = [&](qsizetype n) { return rest.size() == n; };
    if ((command == QLatin1String("read") || command == QLatin1String("delete")) && !expect(1))
        return usage(command + QStringLiteral(" takes one KEY"));
    if (command == QLatin1String("list") && !expect(0)) return usage(QStringLiteral("list takes no arguments"));
    if (command == QLatin1String("write") && !expect(3))
        return usage(QStringLiteral("write takes KEY and one of --json, --int, --bool, --string with its value"));
    if (command != QLatin1String("read") && command != QLatin1String("delete") && command != QLatin1String("list") &&
        command != QLatin1String("write"))
        return usage(QStringLiteral("unknown command ") + command);

    // Check the value before the store is opened, so bad usage never creates a file.
    const auto kindOption = command == QLatin1String("write") ? rest[1] : QString();
    const auto valueText = command == QLatin1String("write") ? rest[2] : QString();
    qint64 number = 0;
    if (kindOption == QLatin1String("--json")) {
        if (!isJson(valueText.toUtf8())) return usage(QStringLiteral("--json needs valid JSON"));
    } else if (kindOption == QLatin1String("--int")) {
        bool ok = false;
        number = valueText.toLongLong(&ok);
        if (!ok) return usage(QStringLiteral("--int needs a whole number"));
    } else if (kindOption == QLatin1String("--bool")) {
        if (valueText != QLatin1String("true") && valueText != QLatin1String("false"))
            return usage(QStringLiteral("--bool needs true or false"));
    } else if (kindOption != QLatin1String("--string") && command == QLatin1String("write")) {
        return usage(QStringLiteral("unknown value kind ") + kindOption);
    }

    std::optional<Defaults> opened;
    if (standardApp) {
        // The name becomes a file name in the data folder: "..", "." or a path would land
        // somewhere else.
        if (!velk::GroupContainer::isPlainName(*standardApp))
            return usage(QStringLiteral("--standard needs an application name that can stand as a file name"));
        QCoreApplication::setApplicationName(*standardApp);
        opened = Defaults::standard();
        if (opened->path().isEmpty())
            return failed(QStringLiteral("cannot open the standard defaults of ") + *standardApp);
    } else {
        const QString name = suite.value_or(Defaults::kAppGroupSuite);
        opened = Defaults::suite(name);
        if (!opened) return failed(QStringLiteral("cannot open suite ") + name);
    }
    Defaults& store = *opened;

    if (command == QLatin1String("list")) {
        // Every row that can be read is listed; any that cannot makes the list fail, so a
        // damaged file never passes for a short one.
        int status = kDone;
        const QStringList keys = store.keys();
        if (!Defaults::lastError().isEmpty()) status = failed(because(QStringLiteral("cannot list every key")));
        for (const QString& key : keys) {
            const auto kind = store.kind(key);
            std::optional<QString> text = kind ? shown(store, key, *kind) : std::nullopt;
            if (!text) {
                // Absent: removed meanwhile, or a row this tool does not know.
                if (!Defaults::lastError().isEmpty()) status = failed(because(QStringLiteral("cannot read ") + key));
                continue;
            }
            printLine(key + QLatin1Char('\t') + Defaults::kindName(*kind) + QLatin1Char('\t') + *text);
        }
        return status;
    }
    const QString& key = rest[0];
    if (command == QLatin1String("read")) {
        const auto kind = store.kind(key);
        std::optional<QString> text = kind ? shown(store, key, *kind) : std::nullopt;
        if (!text && !Defaults::lastError().isEmpty()) return failed(because(QStringLiteral("cannot read ") + key));
        if (!text) {
            std::fprintf(stderr, "velk-defaults: no value for %s\n", qPrintable(key));
            return kAbsent;
        }
        printLine(*text);
        return kDone;
    }
    if (command == QLatin1String("delete"))
        return store.remove(key) ? kDone : failed(because(QStringLiteral("cannot delete ") + key));

    bool ok = false;
    if (kindOption == QLatin1String("--json"))
        ok = store.setData(key, valueText.toUtf8());
    else if (kindOption == QLatin1String("--int"))
        ok = store.setInteger(key, number);
    else if (kindOption == QLatin1String("--bool"))
        ok = store.setBool(key, valueText == QLatin1String("true"));
    else
        ok = store.setString(key, valueText);
    return ok ? kDone : failed(because(QStringLiteral("cannot write ") + key));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velk-defaults"));
    return run(app.arguments().mid(1));
}
