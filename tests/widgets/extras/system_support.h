#pragma once
// What the ticker, system, sky and info view tests share: the colours of a tree's dots as runs.
#include "shared/look/TreeQuery.h"
#include "shared/look/WidgetRoot.h"

#include <QString>
#include <utility>
#include <vector>

namespace velk::testing {

// The fill of every Circle in drawing order, run-length coded: {{colour, count}, ...}.
inline std::vector<std::pair<QString, int>> dotRuns(const QJsonObject& tree)
{
    std::vector<std::pair<QString, int>> runs;
    for (const QJsonObject& c : nodesOfKind(tree, QStringLiteral("Circle"))) {
        const QString fill = c.value(QStringLiteral("fill")).toString();
        if (!runs.empty() && runs.back().first == fill)
            ++runs.back().second;
        else
            runs.push_back({fill, 1});
    }
    return runs;
}

inline QString colorOf(const QJsonObject& tree, const QString& text)
{
    return textNode(tree, text).value(QStringLiteral("foreground")).toString();
}

} // namespace velk::testing
