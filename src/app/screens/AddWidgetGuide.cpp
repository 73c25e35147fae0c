#include "app/screens/AddWidgetGuide.h"

#include "app/screens/InlineBold.h"
#include "app/screens/SecondaryText.h"

#include "platform/timeline/WidgetCenter.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QVBoxLayout>

namespace velk::app {

namespace {

class Monogram : public QWidget {
public:
    Monogram(int side, qreal radius, int letterPoints, QWidget* parent)
        : QWidget(parent), radius_(radius), letterPoints_(letterPoints)
    {
        setFixedSize(side, side);
        setObjectName(QStringLiteral("monogram"));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(17, 17, 17));
        p.drawRoundedRect(rect(), radius_, radius_);
        QFont f(QStringLiteral("JetBrains Mono"));
        f.setStyleHint(QFont::Monospace);
        f.setPixelSize(letterPoints_);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(245, 245, 247));
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("V"));
    }

private:
    qreal radius_;
    int letterPoints_;
};

QWidget* stepRow(int number, const QString& text, QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(12);
    auto* badge = new QLabel(QString::number(number), row);
    badge->setObjectName(QStringLiteral("stepNumber"));
    badge->setFixedSize(22, 22);
    badge->setAlignment(Qt::AlignCenter);
    badge->setStyleSheet(
        QStringLiteral("QLabel { background: rgb(10,132,255); color: white; border-radius: 11px;"
                       " font-family: 'JetBrains Mono', monospace; font-size: 12px; font-weight: 500; }"));
    auto* label = new QLabel(inlineBoldHtml(text), row);
    label->setObjectName(QStringLiteral("stepText"));
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("font-size: 13px;"));
    h->addWidget(badge, 0, Qt::AlignTop);
    h->addWidget(label, 1);
    return row;
}

} // namespace

QWidget* makeMonogram(int side, qreal radius, int letterPoints, QWidget* parent)
{
    return new Monogram(side, radius, letterPoints, parent);
}

QString AddWidgetGuide::heading(const std::optional<QString>& widgetName)
{
    const QString what =
        widgetName ? QStringLiteral("\u201C") + *widgetName + QStringLiteral("\u201D") : QStringLiteral("widgets");
    return QStringLiteral("Add %1 to your desktop").arg(what);
}

QString AddWidgetGuide::subheadline(const Placing& placing)
{
    if (placing.trayAvailable)
        return QStringLiteral(
            "VELK places widgets through its widget host's tray menu \u2014 it takes three quick steps.");
    return QStringLiteral("This desktop shows no tray, so VELK places widgets from here or from a terminal.");
}

QStringList AddWidgetGuide::steps(const std::optional<QString>& widgetName, const Placing& placing)
{
    const QString which =
        widgetName ? QStringLiteral("**") + *widgetName + QStringLiteral("**") : QStringLiteral("any widget");
    if (placing.trayAvailable)
        return {QStringLiteral("Click the **VELK Widgets** icon in your panel's tray and open **Add Widget**."),
                QStringLiteral("Find the **VELK** widgets there, grouped by what they show."),
                QStringLiteral("Choose ") + which +
                    QStringLiteral(", drag it anywhere on your desktop, then click **Done**.")};
    // No tray, so no tray menu: the host's own add call (the button here or the command line).
    QString first;
    if (widgetName && placing.canPlaceNow())
        first = QStringLiteral("Click **Place on Desktop** below: ") + which +
                QStringLiteral(" appears in free space on your desktop.");
    else if (widgetName)
        first = QStringLiteral("Start the widget host, **velk-widgets**, then open this guide again to place ") +
                which + QStringLiteral(".");
    else
        first = QStringLiteral("Choose a widget in the gallery, then open **Add to Desktop** again to place it.");
    const QString second =
        placing.kind
            ? QStringLiteral("Or run **velk-widgets add ") + *placing.kind + QStringLiteral("** in a terminal.")
            : QStringLiteral("Or run **velk-widgets add** with a kind from **velk-widgets list** in a terminal.");
    const QString dragged = widgetName ? which : QStringLiteral("a placed widget");
    return {first, second,
            QStringLiteral("Drag ") + dragged +
                QStringLiteral(
                    " anywhere on your desktop; right-click it for **Edit Widget\u2026** or **Remove Widget**.")};
}

GuidePlacing GuidePlacing::onThisDesktop(std::optional<QString> kind)
{
    GuidePlacing p;
    p.trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    p.kind = std::move(kind);
    QDBusConnection bus = QDBusConnection::sessionBus();
    p.hostAnswers = bus.isConnected() && bus.interface() &&
                    bus.interface()->isServiceRegistered(timeline::WidgetCenter::kService).value();
    return p;
}

void AddWidgetGuide::placeNow()
{
    if (!placing_.kind) return;
    QDBusMessage call = QDBusMessage::createMethodCall(timeline::WidgetCenter::kService, timeline::WidgetCenter::kPath,
                                                       timeline::WidgetCenter::kInterface, QStringLiteral("AddWidget"));
    call << *placing_.kind;
    // Asked without waiting: the host answers when its tile is up.
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QString> reply = *w;
        if (!reply.isError() && !reply.value().isEmpty()) {
            accept();
            return;
        }
        status_->setText(QStringLiteral("The widget host did not place it: try velk-widgets add %1 in a terminal.")
                             .arg(*placing_.kind));
        status_->show();
        setFixedHeight(layout()->totalHeightForWidth(width()));
    });
}

AddWidgetGuide::AddWidgetGuide(std::optional<QString> widgetName, QWidget* parent)
    : AddWidgetGuide(std::move(widgetName), Placing{}, parent)
{}

AddWidgetGuide::AddWidgetGuide(std::optional<QString> widgetName, Placing placing, QWidget* parent)
    : QDialog(parent), placing_(std::move(placing))
{
    setObjectName(QStringLiteral("addWidgetGuide"));
    setWindowTitle(QStringLiteral("Add to Desktop"));
    setFixedWidth(460);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(24, 24, 24, 24);
    v->setSpacing(18);

    auto* header = new QHBoxLayout();
    header->setSpacing(12);
    header->addWidget(makeMonogram(40, 10, 20, this));
    auto* titles = new QVBoxLayout();
    titles->setSpacing(2);
    auto* headingLabel = new QLabel(heading(widgetName), this);
    headingLabel->setObjectName(QStringLiteral("heading"));
    headingLabel->setStyleSheet(QStringLiteral("font-weight: 600; font-size: 13px;"));
    headingLabel->setWordWrap(true);
    auto* sub = new QLabel(subheadline(placing_), this);
    sub->setObjectName(QStringLiteral("subheadline"));
    sub->setWordWrap(true);
    sub->setStyleSheet(QStringLiteral("font-size: 11px;"));
    makeSecondary(sub);
    titles->addWidget(headingLabel);
    titles->addWidget(sub);
    header->addLayout(titles, 1);
    v->addLayout(header);

    auto* box = new QFrame(this);
    box->setObjectName(QStringLiteral("stepsBox"));
    box->setStyleSheet(QStringLiteral("#stepsBox { background: rgba(128,128,128,0.10); border-radius: 12px; }"));
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->setContentsMargins(16, 16, 16, 16);
    boxLayout->setSpacing(14);
    const QStringList texts = steps(widgetName, placing_);
    for (int i = 0; i < texts.size(); ++i)
        boxLayout->addWidget(stepRow(i + 1, texts[i], box));
    v->addWidget(box);

    auto* note =
        new QLabel(QStringLiteral("Widgets follow your Theme settings automatically \u2014 style changes in VELK "
                                  "restyle every widget already on the desktop."),
                   this);
    note->setObjectName(QStringLiteral("note"));
    note->setWordWrap(true);
    note->setStyleSheet(QStringLiteral("font-size: 11px;"));
    makeSecondary(note);
    v->addWidget(note);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("placeStatus"));
    status_->setWordWrap(true);
    status_->setStyleSheet(QStringLiteral("font-size: 11px;"));
    status_->hide();
    v->addWidget(status_);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    if (placing_.canPlaceNow()) {
        auto* place = new QPushButton(QStringLiteral("Place on Desktop"), this);
        place->setObjectName(QStringLiteral("placeNow"));
        place->setAutoDefault(false);
        connect(place, &QPushButton::clicked, this, &AddWidgetGuide::placeNow);
        buttons->addWidget(place);
    }
    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("done"));
    done->setDefault(true);
    done->setAutoDefault(true);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(done);
    v->addLayout(buttons);

    // The wrapped texts decide the height at this width. Left to its size hint, a dialog gets
    // the height of unwrapped lines (or a share of a small screen) and cuts the steps short.
    ensurePolished();
    setFixedHeight(v->totalHeightForWidth(width()));
}

} // namespace velk::app
