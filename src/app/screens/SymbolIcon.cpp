#include "app/screens/SymbolIcon.h"

#include "platform/view/Layout.h"

#include <QPixmap>

namespace velk::app {

QIcon symbolIcon(const QString& name, const QColor& color, int side)
{
    using namespace view;
    const QString drawn = hasSymbol(name) ? name : QStringLiteral("circle");
    const Color c{color.redF(), color.greenF(), color.blueF(), color.alphaF()};
    const View symbol = Image(drawn).font(Font::system(side * 0.8, Weight::regular)).foregroundColor(c);
    QIcon icon;
    for (qreal ratio : {1.0, 2.0})
        icon.addPixmap(QPixmap::fromImage(renderImage(symbol, QSizeF(side, side), ratio)));
    return icon;
}

} // namespace velk::app
