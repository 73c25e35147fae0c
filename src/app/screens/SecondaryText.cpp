#include "app/screens/SecondaryText.h"

#include <QAbstractButton>
#include <QWidget>

namespace velk::app {

void makeSecondary(QWidget* widget)
{
    // A label draws in its foreground role; a button draws in ButtonText whatever that role is.
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QPalette p = button->palette();
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            p.setColor(g, QPalette::ButtonText, p.color(g, QPalette::PlaceholderText));
        button->setPalette(p);
        return;
    }
    widget->setForegroundRole(QPalette::PlaceholderText);
}

} // namespace velk::app
