#pragma once
// Looking into inspected view trees: the nodes of one kind in drawing order, their frames and
// the texts they show.
#include "platform/view/Layout.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRectF>
#include <QStringList>
#include <gtest/gtest.h>
#include <string>
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
    if (node.value(QStringLiteral("kind")).toString() == kind) out.push_back(node);
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

inline QString textOf(const QJsonObject& node)
{
    return node.value(QStringLiteral("text")).toString();
}

// The texts of a tree, in drawing order.
inline QStringList textsOf(const QJsonObject& tree)
{
    QStringList out;
    for (const QJsonObject& t : nodesOfKind(tree, QStringLiteral("Text")))
        out << textOf(t);
    return out;
}

// The texts as shown, joined, for readable failures.
inline std::string shown(const QJsonObject& tree)
{
    return textsOf(tree).join(QStringLiteral(" | ")).toStdString();
}

// The first Text node showing `text`; a test failure where there is none.
inline QJsonObject textNode(const QJsonObject& tree, const QString& text)
{
    for (const QJsonObject& t : nodesOfKind(tree, QStringLiteral("Text")))
        if (textOf(t) == text) return t;
    ADD_FAILURE() << "no text " << text.toStdString();
    return {};
}

// The texts whose frames reach outside `area` (a tile less its padding), named with their
// frames for readable failures; empty when every line sits inside.
inline std::vector<std::string> textsOutside(const QJsonObject& tree, const QRectF& area)
{
    std::vector<std::string> out;
    const QRectF roomy = area.adjusted(-0.01, -0.01, 0.01, 0.01);
    for (const QJsonObject& t : nodesOfKind(tree, QStringLiteral("Text"))) {
        const QRectF f = frameOf(t);
        if (!roomy.contains(f))
            out.push_back(QStringLiteral("%1 at %2,%3 %4x%5")
                              .arg(textOf(t))
                              .arg(f.x())
                              .arg(f.y())
                              .arg(f.width())
                              .arg(f.height())
                              .toStdString());
    }
    return out;
}

} // namespace velk::testing
