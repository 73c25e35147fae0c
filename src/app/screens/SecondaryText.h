#pragma once
// Secondary text (subtitles, counts, footers, the Settings link) in the palette's dimmed text
// colour. Style sheets of the Qt we build against cannot name that palette role (an unknown
// role drops the whole declaration, leaving the text at full strength), so the colour is given
// through the widget's roles instead.
class QWidget;

namespace velk::app {

void makeSecondary(QWidget* widget);

} // namespace velk::app
