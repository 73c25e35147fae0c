#include "platform/desktop/AppLauncher.h"

#include "platform/desktop/DesktopEntries.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace velk {

namespace {

QStringList mimeappsFiles()
{
    QStringList files{DesktopEntries::xdgHome("XDG_CONFIG_HOME", QStringLiteral(".config")) +
                      QStringLiteral("/mimeapps.list")};
    for (const QString& d : DesktopEntries::xdgDirs("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg")))
        files << d + QStringLiteral("/mimeapps.list");
    for (const QString& d : DesktopEntries::applicationDirs())
        files << d + QStringLiteral("/mimeapps.list") << d + QStringLiteral("/defaults.list");
    return files;
}

} // namespace

std::optional<QString> AppLauncher::defaultIn(const QByteArray& text, const QString& mimeType)
{
    bool inDefaults = false;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            inDefaults = line == "[Default Applications]";
            continue;
        }
        if (!inDefaults) continue;
        const int eq = line.indexOf('=');
        if (eq <= 0 || QString::fromUtf8(line.left(eq).trimmed()) != mimeType) continue;
        for (const QByteArray& id : line.mid(eq + 1).split(';'))
            if (!id.trimmed().isEmpty()) return QString::fromUtf8(id.trimmed());
    }
    return std::nullopt;
}

std::optional<QString> AppLauncher::defaultApplication(const QString& mimeType)
{
    for (const QString& path : mimeappsFiles()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) continue;
        if (auto id = defaultIn(file.readAll(), mimeType)) return id;
    }
    return std::nullopt;
}

std::optional<QStringList> AppLauncher::commandLine(const QString& exec)
{
    QStringList args;
    QString current;
    bool inQuotes = false, hasCurrent = false;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (inQuotes) {
            if (c == u'"')
                inQuotes = false;
            else if (c == u'\\' && i + 1 < exec.size())
                current += exec[++i];
            else
                current += c;
        } else if (c == u'"') {
            inQuotes = hasCurrent = true;
        } else if (c == u' ' || c == u'\t') {
            if (hasCurrent) args << current;
            current.clear();
            hasCurrent = false;
        } else if (c == u'%' && i + 1 < exec.size()) {
            // Field codes (%f %u %i ...) stand for files and URLs we do not pass; %% is a "%".
            if (exec[++i] == u'%') {
                current += u'%';
                hasCurrent = true;
            }
        } else {
            current += c;
            hasCurrent = true;
        }
    }
    if (inQuotes) return std::nullopt;
    if (hasCurrent) args << current;
    if (args.isEmpty()) return std::nullopt;
    return args;
}

bool AppLauncher::launch(const QString& desktopId)
{
    const std::optional<QString> path = DesktopEntries::findFile(desktopId);
    if (!path) return false;
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const auto entry = DesktopEntries::parse(file.readAll());
    if (!entry) return false;
    const auto command = commandLine(entry->exec);
    if (!command) return false;
    QStringList args = *command;
    const QString program = args.takeFirst();
    return QProcess::startDetached(program, args);
}

} // namespace velk
