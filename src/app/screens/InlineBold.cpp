#include "app/screens/InlineBold.h"

#include <QStringList>

namespace velk::app {

QString inlineBoldHtml(const QString& text)
{
    const QStringList parts = text.split(QStringLiteral("**"));
    // An unpaired marker stays as it was typed.
    const int paired = parts.size() % 2 == 1 ? int(parts.size()) : int(parts.size()) - 1;
    QString html;
    for (int i = 0; i < parts.size(); ++i) {
        const QString piece = parts[i].toHtmlEscaped();
        if (i >= paired)
            html += QStringLiteral("**") + piece;
        else if (i % 2 == 1)
            html += QStringLiteral("<b>") + piece + QStringLiteral("</b>");
        else
            html += piece;
    }
    return html;
}

} // namespace velk::app
