#pragma once
// The sheet behind "Add to Desktop": how a widget gets onto the desktop here, naming the widget
// selected in the gallery when there is one. With a tray the widget host's tray menu places
// it; a desktop with no tray gets steps that need none and, when a widget is selected and a
// host answers, a button that asks the host to place it now. It reads and writes nothing.
#include <QDialog>
#include <QString>
#include <optional>

class QLabel;

namespace velk::app {

// What this desktop offers for placing a widget.
struct GuidePlacing {
    bool trayAvailable = true;
    // The selected widget's kind, when one is selected.
    std::optional<QString> kind;
    bool hostAnswers = false;

    // The tray and the widget host as they are now.
    static GuidePlacing onThisDesktop(std::optional<QString> kind);
    bool canPlaceNow() const { return !trayAvailable && kind && hostAnswers; }
};

class AddWidgetGuide : public QDialog {
    Q_OBJECT
public:
    using Placing = GuidePlacing;

    explicit AddWidgetGuide(std::optional<QString> widgetName, QWidget* parent = nullptr);
    AddWidgetGuide(std::optional<QString> widgetName, Placing placing, QWidget* parent = nullptr);

    // The texts as written, before styling: the heading, the line under it and the three steps.
    static QString heading(const std::optional<QString>& widgetName);
    static QString subheadline(const Placing& placing);
    static QStringList steps(const std::optional<QString>& widgetName, const Placing& placing = {});

private:
    void placeNow();

    Placing placing_;
    QLabel* status_ = nullptr;
};

// The monogram badge: the letter "V" on a near-black rounded square.
QWidget* makeMonogram(int side, qreal radius, int letterPoints, QWidget* parent);

} // namespace velk::app
