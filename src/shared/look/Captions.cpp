#include "shared/look/Captions.h"

namespace velk {

using namespace view;

View Caption::body() const
{
    const qreal u = ctx.u;
    const bool mac = ctx.resolved.isMacFamily;
    // QString's upper-casing is the same in every locale, so a caption never changes with it.
    return Text(text.toUpper())
        .font(Font::system(size * u, Weight::medium, mac ? Design::proportional : Design::monospaced))
        .tracking(mac ? 0 : size * em * u)
        .foregroundColor(color)
        .lineLimit(1);
}

View DotCaption::body() const
{
    const qreal u = ctx.u;
    return HStack(VAlign::center, 6 * u,
                  {Circle().fill(dot).frame(5 * u, 5 * u), Caption{text, size, em, color, ctx}.body()});
}

View CheckCircle::body() const
{
    const qreal side = diameter * ctx.u;
    View mark = done ? ZStack({Circle().fill(circleColor), Image(QStringLiteral("checkmark"))
                                                               .font(Font::system(0.45 * side, Weight::bold))
                                                               .foregroundColor(checkColor)})
                     : Circle().strokeBorder(circleColor, 1.5 * ctx.u);
    return mark.frame(side, side);
}

view::View numeralFit(view::View text)
{
    return text.lineLimit(1).minimumScaleFactor(0.55);
}

} // namespace velk
