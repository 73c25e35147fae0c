#include "platform/desktop/DesktopEntries.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <QStandardPaths>

namespace velk {

QString DesktopEntries::xdgHome(const char* variable, const QString& fallbackUnderHome)
{
    const QString set = qEnvironmentVariable(variable);
    return QDir::isAbsolutePath(set) ? set : QDir::homePath() + u'/' + fallbackUnderHome;
}

QStringList DesktopEntries::xdgDirs(const char* variable, const QString& fallback)
{
    QString list = qEnvironmentVariable(variable);
    if (list.isEmpty()) list = fallback;
    QStringList dirs;
    for (const QString& d : list.split(u':', Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(d)) dirs << d;
    return dirs;
}

QStringList DesktopEntries::applicationDirs()
{
    QStringList dirs{xdgHome("XDG_DATA_HOME", QStringLiteral(".local/share")) + QStringLiteral("/applications")};
    for (const QString& d : xdgDirs("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share")))
        dirs << d + QStringLiteral("/applications");
    return dirs;
}

std::optional<DesktopEntries::Entry> DesktopEntries::parse(const QByteArray& text)
{
    Entry entry;
    bool inMain = false;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        if (line.startsWith('[')) {
            inMain = line == "[Desktop Entry]";
            continue;
        }
        if (!inMain) continue;
        const int eq = line.indexOf('=');
        if (eq <= 0) continue;
        const QByteArray key = line.left(eq).trimmed();
        const QString value = QString::fromUtf8(line.mid(eq + 1).trimmed());
        if (key == "Name")
            entry.name = value;
        else if (key == "StartupWMClass")
            entry.startupWMClass = value;
        else if (key == "Exec")
            entry.exec = value;
        else if (key == "Categories")
            entry.categories = value.split(u';', Qt::SkipEmptyParts);
        else if (key == "Keywords")
            entry.keywords = value.split(u';', Qt::SkipEmptyParts);
        else if (key == "Hidden" || key == "NoDisplay")
            entry.hidden = entry.hidden || value == u"true";
    }
    if (entry.name.isEmpty()) return std::nullopt;
    return entry;
}

DesktopEntries::DesktopEntries(const QStringList& dirs)
{
    for (const QString& dir : dirs) {
        QDirIterator it(dir, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (file.size() > 256 * 1024 || !file.open(QIODevice::ReadOnly)) continue;
            const std::optional<Entry> entry = parse(file.readAll());
            if (!entry) continue;
            QString id = QDir(dir).relativeFilePath(path);
            id.replace(u'/', u'-');
            id.chop(int(qstrlen(".desktop")));
            const QString idKey = id.toLower();
            if (!byFileId_.contains(idKey)) byFileId_.insert(idKey, entry->name);
            // "org.example.Viewer" also answers to its last component, the usual WM_CLASS.
            const QString last = idKey.section(u'.', -1);
            if (last != idKey && !byFileId_.contains(last)) byFileId_.insert(last, entry->name);
            if (!entry->startupWMClass.isEmpty()) {
                const QString wm = entry->startupWMClass.toLower();
                if (!byWMClass_.contains(wm)) byWMClass_.insert(wm, entry->name);
            }
        }
    }
}

std::optional<QString> DesktopEntries::nameForWindowClass(const QString& instance, const QString& windowClass) const
{
    for (const QString& c : {windowClass, instance})
        if (!c.isEmpty())
            if (auto it = byWMClass_.constFind(c.toLower()); it != byWMClass_.cend()) return *it;
    for (const QString& c : {windowClass, instance})
        if (!c.isEmpty())
            if (auto it = byFileId_.constFind(c.toLower()); it != byFileId_.cend()) return *it;
    return std::nullopt;
}

QString DesktopEntries::displayName(const QString& instance, const QString& windowClass) const
{
    if (auto name = nameForWindowClass(instance, windowClass)) return *name;
    return windowClass.isEmpty() ? instance : windowClass;
}

std::optional<QString> DesktopEntries::findApplication(const QStringList& words, const QStringList& dirs)
{
    auto holds = [&](const QStringList& list) {
        for (const QString& w : list)
            if (words.contains(w.trimmed(), Qt::CaseInsensitive)) return true;
        return false;
    };
    QSet<QString> seen;
    for (const QString& dir : dirs) {
        QStringList paths;
        QDirIterator it(dir, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            paths << it.next();
        paths.sort();
        for (const QString& path : paths) {
            QString id = QDir(dir).relativeFilePath(path);
            id.replace(u'/', u'-');
            // An earlier folder's file of the same id hides this one, even when it does not match.
            if (seen.contains(id)) continue;
            seen.insert(id);
            QFile file(path);
            if (file.size() > 256 * 1024 || !file.open(QIODevice::ReadOnly)) continue;
            const std::optional<Entry> entry = parse(file.readAll());
            if (entry && !entry->hidden && !entry->exec.isEmpty() &&
                (holds(entry->categories) || holds(entry->keywords)))
                return id;
        }
    }
    return std::nullopt;
}

std::optional<QString> DesktopEntries::findFile(const QString& desktopId, const QStringList& dirs)
{
    if (desktopId.isEmpty() || desktopId.contains(u'/') || !desktopId.endsWith(QStringLiteral(".desktop")))
        return std::nullopt;
    for (const QString& dir : dirs) {
        // "a-b.desktop" may live at a/b.desktop (the id joins subfolders with "-").
        QString rel = desktopId;
        while (true) {
            const QString path = dir + u'/' + rel;
            if (QFile::exists(path)) return path;
            const int dash = rel.indexOf(u'-');
            if (dash < 0) break;
            rel[dash] = u'/';
        }
    }
    return std::nullopt;
}

} // namespace velk
