#pragma once
// The sheet behind "Add to Desktop": how a widget gets onto the desktop here (the widget
// host's tray menu places it), naming the widget selected in the gallery when there is one.
// It reads and writes nothing.
#include <QDialog>
#include <optional>

class QLabel;

namespace velk::app {

class AddWidgetGuide : public QDialog {
    Q_OBJECT
public:
    explicit AddWidgetGuide(std::optional<QString> widgetName, QWidget* parent = nullptr);

    // The texts as written, before styling: the heading and the three steps.
    static QString heading(const std::optional<QString>& widgetName);
    static QStringList steps(const std::optional<QString>& widgetName);
};

// The monogram badge: the letter "V" on a near-black rounded square.
QWidget* makeMonogram(int side, qreal radius, int letterPoints, QWidget* parent);

} // namespace velk::app
