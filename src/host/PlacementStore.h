#pragma once
// The widgets a user has placed on the desktop, kept in one JSON file
// ($XDG_CONFIG_HOME/velk/widgets.json by default):
//
//   {"version": 1, "widgets": [{"id": "…", "kind": "velk.clock.dual", "x": 40, "y": 60,
//                                "scale": 1.5, "configuration": {…}}]}
//
// Every change rewrites the file atomically. A file that cannot be read as placements is moved
// aside (never overwritten) and the host starts with none, so nothing the user had is lost.
#include <QJsonObject>
#include <QPoint>
#include <QString>
#include <optional>
#include <vector>

namespace velk::host {

struct Placement {
    QString id;   // a UUID, without braces
    QString kind; // the widget's kind; kept even when the plug-in no longer offers it
    QPoint position; // top-left corner on the desktop, in logical pixels
    qreal scale = 1; // 1, 1.5 or 2
    QJsonObject configuration; // the configuration intent's stored values

    friend bool operator==(const Placement&, const Placement&) = default;
};

// The sizes a user may give a widget; anything else stored reads as 1.
bool isWidgetScale(qreal scale);
QString newPlacementId();

// Parsing is pure: the placements, or nothing with `error` set when the text is not a
// placements file (bad JSON, wrong shape, an entry without id or kind, a repeated id).
std::optional<std::vector<Placement>> parsePlacements(const QByteArray& json, QString* error);
QByteArray serializePlacements(const std::vector<Placement>& placements);

class PlacementStore {
public:
    explicit PlacementStore(QString path = defaultPath());
    static QString defaultPath();

    struct Loaded {
        std::vector<Placement> placements;
        QString warning;   // set when the file was unreadable and moved aside
        QString movedTo;   // where it went
        // False when the file is there but could be neither read nor moved aside: saving would
        // overwrite what the user has, so the host keeps its changes in memory only.
        bool canSave = true;
    };
    // A missing file is no placements and no warning.
    Loaded load() const;
    // Atomic: the old file stays whole until the new one is complete.
    bool save(const std::vector<Placement>& placements, QString* error = nullptr) const;

    const QString& path() const { return path_; }

private:
    QString path_;
};

} // namespace velk::host
