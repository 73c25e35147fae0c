#pragma once
// Application names from the installed desktop files. A window says which program it belongs
// to by its WM_CLASS (instance and class names); the name a user knows is the Name of the
// desktop file whose StartupWMClass, or failing that whose file name, matches one of them.
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace velk {

class DesktopEntries {
public:
    // The folders searched, most important first: $XDG_DATA_HOME/applications, then
    // <dir>/applications for each of $XDG_DATA_DIRS (default /usr/local/share:/usr/share).
    static QStringList applicationDirs();
    // An XDG base folder: the variable when it holds an absolute path, else ~/<fallback>.
    static QString xdgHome(const char* variable, const QString& fallbackUnderHome);
    // The folders of a colon-separated XDG list variable (absolute ones), else the fallback.
    static QStringList xdgDirs(const char* variable, const QString& fallback);

    // Reads every *.desktop file below the folders (later folders never override earlier ones).
    explicit DesktopEntries(const QStringList& dirs = applicationDirs());

    // The application name for a window's WM_CLASS, or nothing when no entry matches.
    std::optional<QString> nameForWindowClass(const QString& instance, const QString& windowClass) const;

    // The name that a window class stands for: the matching entry's name, else the class
    // itself (else the instance), else nothing.
    QString displayName(const QString& instance, const QString& windowClass) const;

    struct Entry {
        QString name;
        QString startupWMClass;
        QString exec;
        QStringList categories;
        QStringList keywords;
        bool hidden = false;
    };
    // The [Desktop Entry] group of one file's text; nothing when it has no Name.
    static std::optional<Entry> parse(const QByteArray& text);

    // The id of the first shown, runnable application whose Categories or Keywords hold one of
    // `words` (compared without case), in folder order and then by id; nothing when none does.
    static std::optional<QString> findApplication(const QStringList& words,
                                                  const QStringList& dirs = applicationDirs());

    // Path of the desktop file with this id ("org.example.App.desktop"), or nothing.
    static std::optional<QString> findFile(const QString& desktopId, const QStringList& dirs = applicationDirs());

private:
    QHash<QString, QString> byWMClass_; // lower-case StartupWMClass -> name
    QHash<QString, QString> byFileId_;  // lower-case file id without ".desktop" -> name
};

} // namespace velk
