#pragma once
// The twelve built-in colour themes, compiled in. A theme is chosen by id in the user's theme
// settings; resolve() turns that id into the theme to draw with and never fails.
#include "platform/core/Color.h"

#include <QHash>
#include <QString>

namespace velk {

struct VelkTheme {
    QString id;
    QString label;
    Color bg;
    Color pane;
    Color t;
    double dimAlpha = 0;
    double lineAlpha = 0;
    Color warn;
    Color err;
    double scanA = 0;
    double glowA = 0;
    bool isLight = false;
    bool isMacFamily = false;

    // The CRT themes draw their accents in their own phosphor colour; every other theme uses
    // its error colour. "mono" has the CRT look but is deliberately not one of them.
    Color accent() const;

    friend bool operator==(const VelkTheme&, const VelkTheme&) = default;
};

namespace VelkThemes {

// The theme table keyed by id. Built once, thread-safely, on first use; never changed.
const QHash<QString, VelkTheme>& all();

// The id that follows the system appearance instead of naming a theme of its own.
inline const QString kFollowSystemID = QStringLiteral("macos");

// The theme for a stored id and the current appearance: "macos" picks the dark or light desktop
// theme, a known id is itself, anything else (matching is case-sensitive) is "macdark".
const VelkTheme& resolve(const QString& id, bool systemDark);

} // namespace VelkThemes

namespace VelkTokens {
// A near-black that does not follow the theme, for marks drawn on light fills.
inline constexpr Color ink = Color::rgb255(22, 22, 22);
} // namespace VelkTokens

} // namespace velk
