#pragma once
// Looking into inspected view trees: the nodes of one kind in drawing order, and their frames.
#include "platform/view/Layout.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRectF>
#include <vector>

namespace velk::testing {

// The inspection dump of `view` laid out for `size`.
inline QJsonObject inspectAt(const view::View& view, QSizeF size, const view::Environment& env = {})
{
    return view::inspect(view::layout(view, size, env));
}

// Every node of `kind` under (and including) `node`, depth first: left to right, back to front.
inline std::vector<QJsonObject> nodesOfKind(const QJsonObject& node, const QString& kind)
{
    std::vector<QJsonObject> out;
    if (node.value(QStringLiteral("kind")).toString() == kind)
        out.push_back(node);
    for (const QJsonValue& c : node.value(QStringLiteral("children")).toArray()) {
        std::vector<QJsonObject> more = nodesOfKind(c.toObject(), kind);
        out.insert(out.end(), more.begin(), more.end());
    }
    return out;
}

inline QRectF frameOf(const QJsonObject& node)
{
    const QJsonObject f = node.value(QStringLiteral("frame")).toObject();
    return QRectF(f.value(QStringLiteral("x")).toDouble(), f.value(QStringLiteral("y")).toDouble(),
                  f.value(QStringLiteral("w")).toDouble(), f.value(QStringLiteral("h")).toDouble());
}

inline bool hasFlag(const QJsonObject& node, const char* flag)
{
    return node.value(QStringLiteral("flags")).toArray().contains(QString::fromLatin1(flag));
}

} // namespace velk::testing
