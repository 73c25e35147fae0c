#pragma once
// Texts with **bold** runs shown in a rich-text label: the text is escaped first, then each
// pair of double asterisks becomes a bold run, so text inserted into it (a widget's name) takes
// part in the styling exactly as it would in the original string, and nothing else does.
#include <QString>

namespace velk::app {

QString inlineBoldHtml(const QString& text);

} // namespace velk::app
