#pragma once
// What the weather and screen-time view tests read their trees with: a context whose palette
// roles are all told apart (in the real themes the accent shares its colour with the ink or
// with the alert), the colour of a shown text, and the fills of the dots in drawing order.
#include "shared/look/TreeQuery.h"
#include "shared/look/WidgetContext.h"

#include <QStringList>

namespace velk::testing {

inline WCtx distinctContext(qreal u = 1)
{
    WCtx ctx = solidContext("green", u);
    WidgetPalette& p = ctx.pal;
    p.ink = Color::rgb255(240, 240, 240);
    p.inkDim = Color::rgb255(200, 200, 200);
    p.inkFaint = Color::rgb255(160, 160, 160);
    p.accent = Color::rgb255(255, 170, 0);
    p.alert = Color::rgb255(255, 60, 60);
    p.track = Color::rgb255(40, 40, 40);
    p.fill = Color::rgb255(0, 220, 120);
    p.hairline = Color::rgb255(50, 50, 60);
    return ctx;
}

// The sRGB grey of the charts' ordinary bars.
inline QString chartGreyHex()
{
    return Color::rgb255(76, 76, 76).hex();
}

inline QString colorOf(const QJsonObject& tree, const QString& text)
{
    return textNode(tree, text)[QStringLiteral("foreground")].toString();
}

inline QStringList dotFills(const QJsonObject& tree)
{
    QStringList out;
    for (const QJsonObject& c : nodesOfKind(tree, QStringLiteral("Circle")))
        out << c[QStringLiteral("fill")].toString();
    return out;
}

} // namespace velk::testing
