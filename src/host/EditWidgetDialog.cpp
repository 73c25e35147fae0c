#include "host/EditWidgetDialog.h"

#include "host/Worker.h"
#include "platform/core/Date.h"
#include "platform/core/Log.h"
#include "platform/intents/IntentRegistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <limits>

namespace velk::host {

namespace {

// Fills `box` with entity options found on a worker; dropped when the box is gone by then.
void fillEntities(WorkerPool* pool, QComboBox* box, std::shared_ptr<const intents::AnyEntityQuery> query, QString text,
                  QString keepId)
{
    runOnWorker(
        pool, box,
        [query, text, keepId] {
            std::vector<intents::EntityOption> options =
                text.isEmpty() ? query->suggestedEntities() : query->entitiesMatching(text);
            if (!keepId.isEmpty())
                for (const auto& o : query->entitiesFor({keepId}))
                    options.insert(options.begin(), o);
            return options;
        },
        [box, text](WorkResult<std::vector<intents::EntityOption>> found) {
            if (!found.value) {
                // The box keeps what it had; the user sees why nothing new came.
                qCWarning(lcHost).noquote() << "the choices could not be looked up:" << found.error;
                box->setToolTip(QStringLiteral("The choices could not be looked up: %1").arg(found.error));
                return;
            }
            box->setToolTip({});
            const auto& options = *found.value;
            const QString current = box->currentData().toString();
            const QString typed = box->lineEdit() ? box->lineEdit()->text() : QString();
            box->blockSignals(true);
            box->clear();
            for (const auto& o : options)
                if (box->findData(o.id) < 0) box->addItem(o.title, o.id);
            const int i = box->findData(current);
            box->setCurrentIndex(i >= 0 ? i : (options.empty() ? -1 : 0));
            if (box->lineEdit() && !text.isEmpty()) box->lineEdit()->setText(typed);
            box->blockSignals(false);
        });
}

} // namespace

EditWidgetDialog::EditWidgetDialog(const timeline::WidgetDefinition& widget, const QJsonObject& values,
                                   WorkerPool* pool, QWidget* parent)
    : QDialog(parent), pool_(pool), initial_(values)
{
    setWindowTitle(QStringLiteral("Edit %1").arg(widget.displayName()));
    auto* form = new QFormLayout(this);
    form->addRow(new QLabel(widget.description()));
    const auto description = intents::IntentRegistry::shared().description(widget.configurationIntent());
    if (description)
        for (const auto& p : description->parameters)
            addField(p, values.value(p.name));
    if (readers_.empty()) form->addRow(new QLabel(QStringLiteral("This widget has nothing to set.")));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void EditWidgetDialog::addField(const intents::ParameterDescription& p, const QJsonValue& value)
{
    auto* form = static_cast<QFormLayout*>(layout());
    QWidget* field = nullptr;
    std::function<QJsonValue()> read;
    if (p.type == QLatin1String("enum")) {
        auto* box = new QComboBox;
        if (p.optional) box->addItem(QStringLiteral("—"), QString());
        for (const auto& c : p.cases)
            box->addItem(c.title, c.raw);
        box->setCurrentIndex(std::max(0, box->findData(value.toString())));
        read = [box, optional = p.optional]() -> QJsonValue {
            const QString raw = box->currentData().toString();
            if (optional && raw.isEmpty()) return QJsonValue(QJsonValue::Null);
            return raw;
        };
        field = box;
    } else if (p.type == QLatin1String("entity")) {
        auto* box = new QComboBox;
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        const QString id = value.toString();
        if (!id.isEmpty()) box->addItem(id, id);
        if (p.entityQuery) {
            fillEntities(pool_, box, p.entityQuery, {}, id);
            // A pause in typing searches; every keystroke would flood a network query.
            auto* debounce = new QTimer(box);
            debounce->setSingleShot(true);
            debounce->setInterval(350);
            connect(box->lineEdit(), &QLineEdit::textEdited, debounce, qOverload<>(&QTimer::start));
            connect(debounce, &QTimer::timeout, box,
                    [this, box, q = p.entityQuery] { fillEntities(pool_, box, q, box->lineEdit()->text(), {}); });
        }
        read = [box, optional = p.optional, id]() -> QJsonValue {
            const QString chosen = box->currentData().toString();
            if (!chosen.isEmpty()) return chosen;
            return optional && id.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(id);
        };
        field = box;
    } else if (p.type == QLatin1String("bool")) {
        auto* box = new QCheckBox;
        box->setChecked(value.toBool());
        read = [box] { return QJsonValue(box->isChecked()); };
        field = box;
    } else if (p.type == QLatin1String("integer") || p.type == QLatin1String("number")) {
        auto* spin = new QDoubleSpinBox;
        const bool integer = p.type == QLatin1String("integer");
        spin->setDecimals(integer ? 0 : 3);
        spin->setRange(-1e12, 1e12);
        spin->setValue(value.toDouble());
        read = [spin, integer]() -> QJsonValue {
            return integer ? QJsonValue(qint64(spin->value())) : QJsonValue(spin->value());
        };
        field = spin;
    } else if (p.type == QLatin1String("date")) {
        auto* edit = new QDateTimeEdit;
        edit->setCalendarPopup(true);
        edit->setDateTime((value.isDouble() ? Date(value.toDouble()) : Date()).toQDateTime().toLocalTime());
        read = [edit] { return QJsonValue(Date::fromQDateTime(edit->dateTime()).sinceReference); };
        field = edit;
    } else {
        auto* edit = new QLineEdit(value.toString());
        read = [edit] { return QJsonValue(edit->text()); };
        field = edit;
    }
    form->addRow(p.title, field);
    readers_.emplace_back(p.name, std::move(read));
}

QJsonObject EditWidgetDialog::values() const
{
    QJsonObject out = initial_;
    for (const auto& [name, read] : readers_) {
        const QJsonValue v = read();
        if (v.isNull())
            out.remove(name);
        else
            out.insert(name, v);
    }
    return out;
}

} // namespace velk::host
