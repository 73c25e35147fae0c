#pragma once
// Small pictures of the widgets for the "Add Widget" menu: each provider's preview snapshot
// (sample data, never the user's), drawn on a worker the first time the menu opens and kept,
// so an unopened menu costs nothing and an opened one is drawn once.
#include "platform/timeline/WidgetBundle.h"
#include "platform/view/View.h"

#include <QHash>
#include <QImage>
#include <QObject>

namespace velk::host {

class WorkerPool;

// One widget's preview: its snapshot asked with isPreview, drawn at its design size, scaled
// down (averaging, so the dot matrix stays legible) to fit `box` device pixels and centred in it.
QImage renderPreview(const timeline::WidgetDefinition& widget, QSize box, const view::Environment& env);

class WidgetPreviews : public QObject {
    Q_OBJECT
public:
    WidgetPreviews(const timeline::WidgetBundle& bundle, WorkerPool* pool, QSize box, QObject* parent = nullptr);
    ~WidgetPreviews() override;

    // Starts drawing every preview not drawn nor being drawn yet; later calls cost nothing.
    void request();
    // Null until drawn.
    QImage preview(const QString& kind) const { return images_.value(kind); }
    // How many previews have been started, for tests that check they are drawn only once.
    int started() const { return started_; }

signals:
    void previewReady(const QString& kind, const QImage& image);

private:
    const timeline::WidgetBundle& bundle_;
    WorkerPool* pool_;
    QSize box_;
    bool requested_ = false;
    int started_ = 0;
    QHash<QString, QImage> images_;
};

} // namespace velk::host
