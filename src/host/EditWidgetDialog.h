#pragma once
// "Edit Widget…": a form built from the widget's configuration parameters. Text, numbers,
// dates, on/off, enums by their case titles, and entities from their query's suggestions and
// search (queries may block, so they run on the host's worker pool).
#include "platform/intents/Intent.h"
#include "platform/timeline/WidgetDefinition.h"

#include <QDialog>
#include <QJsonObject>
#include <functional>

namespace velk::host {

class WorkerPool;

class EditWidgetDialog : public QDialog {
    Q_OBJECT
public:
    EditWidgetDialog(const timeline::WidgetDefinition& widget, const QJsonObject& values, WorkerPool* pool,
                     QWidget* parent = nullptr);

    // The values as edited, every parameter present.
    QJsonObject values() const;

private:
    void addField(const intents::ParameterDescription& p, const QJsonValue& value);

    WorkerPool* pool_;
    QJsonObject initial_;
    std::vector<std::pair<QString, std::function<QJsonValue()>>> readers_;
};

} // namespace velk::host
