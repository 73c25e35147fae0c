#pragma once
// The widgets a user has placed on the desktop, kept in one JSON file
// ($XDG_CONFIG_HOME/velk/widgets.json by default):
//
//   {"version": 1, "widgets": [{"id": "…", "kind": "velk.clock.dual", "x": 40, "y": 60,
//                                "scale": 1.5, "configuration": {…}}],
//    "screen": {"x": 0, "y": 0, "width": 1920, "height": 1048}}
//
// "screen" is the primary screen's available area as the host last saw it, so a widget added
// while no host runs still lands in free space.
//
// Every change rewrites the file atomically. A file that cannot be read as placements is moved
// aside (never overwritten) and the host starts with none, so nothing the user had is lost.
// Members a newer version added, at the top or in a widget, are kept through every rewrite.
// The host and `velk-widgets add` may write at the same moment: writers take a lock file, and
// the host merges what others changed (mergePlacements) rather than writing over it.
#include <QJsonObject>
#include <QLockFile>
#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace velk::host {

struct Placement {
    QString id;                // a UUID, without braces
    QString kind;              // the widget's kind; kept even when the plug-in no longer offers it
    QPoint position;           // top-left corner on the desktop, in logical pixels
    qreal scale = 1;           // 1, 1.5 or 2
    QJsonObject configuration; // the configuration intent's stored values
    // Members this version does not know (written by a newer one), written back as found.
    QJsonObject unknown = {};

    friend bool operator==(const Placement&, const Placement&) = default;
};

// The sizes a user may give a widget; anything else stored reads as 1.
bool isWidgetScale(qreal scale);
QString newPlacementId();

// Parsing is pure: the placements, or nothing with `error` set when the text is not a
// placements file (bad JSON, wrong shape, an entry without id or kind, a repeated id).
std::optional<std::vector<Placement>> parsePlacements(const QByteArray& json, QString* error);
// `file` is the file's current top-level object, whose unknown members (and a newer version
// number) are carried over.
QByteArray serializePlacements(const std::vector<Placement>& placements, const QJsonObject& file = {});

// A three-way merge by id: `base` is what this writer last read or wrote, `disk` what the file
// holds now; every change another writer made (a widget added, removed, moved, reconfigured) is
// applied to `mine`, whose own changes to other widgets stay. Answers the ids whose placement
// changed in `mine`.
QStringList mergePlacements(const std::vector<Placement>& base, const std::vector<Placement>& disk,
                            std::vector<Placement>& mine);

class PlacementStore {
public:
    explicit PlacementStore(QString path = defaultPath());
    static QString defaultPath();

    struct Loaded {
        std::vector<Placement> placements;
        QString warning; // set when the file was unreadable and moved aside
        QString movedTo; // where it went
        // False when the file is there but could be neither read nor moved aside: saving would
        // overwrite what the user has, so the host keeps its changes in memory only.
        bool canSave = true;
        std::optional<QRect> screenArea; // as the host last saw it
    };
    // A missing file is no placements and no warning.
    Loaded load() const;
    // Atomic: the old file stays whole until the new one is complete.
    // `screenArea`, when given, replaces the remembered one; else the file's is kept.
    bool save(const std::vector<Placement>& placements, QString* error = nullptr,
              std::optional<QRect> screenArea = std::nullopt) const;

    // Held while reading, changing and writing the file, so two writers never interleave.
    // Waits up to `waitMs` for another writer; null when no lock could be taken, with `error`
    // saying why and `busy` set when another writer held it (a read-only folder, by contrast,
    // will not get better by waiting). Nothing is ever written without it.
    static constexpr int kCommandLockWaitMs = 30000;
    std::unique_ptr<QLockFile> lock(int waitMs = kCommandLockWaitMs, QString* error = nullptr,
                                    bool* busy = nullptr) const;

    const QString& path() const { return path_; }

private:
    QString path_;
};

} // namespace velk::host
