#include "host/WidgetPreviews.h"

#include "host/WidgetWindow.h"
#include "host/Worker.h"
#include "platform/core/Log.h"
#include "platform/view/Layout.h"

#include <QCoreApplication>
#include <QPainter>

namespace velk::host {

QImage renderPreview(const timeline::WidgetDefinition& widget, QSize box, const view::Environment& env)
{
    timeline::TimelineContext context;
    context.family = widget.family();
    context.displaySize = timeline::designSize(widget.family());
    context.isPreview = true;
    const timeline::AnyEntry entry = widget.provider().snapshot(widget.configuration(), context);
    const QImage full = view::renderImage(widget.render(entry), context.displaySize, 1, env);
    QImage scaled = full.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(1);
    // Centred on a transparent square, so wide and square widgets give menu rows of one height.
    QImage square(box, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage(QPoint((box.width() - scaled.width()) / 2, (box.height() - scaled.height()) / 2), scaled);
    return square;
}

WidgetPreviews::WidgetPreviews(const timeline::WidgetBundle& bundle, WorkerPool* pool, QSize box, QObject* parent)
    : QObject(parent), bundle_(bundle), pool_(pool), box_(box)
{}

WidgetPreviews::~WidgetPreviews() = default;

void WidgetPreviews::request()
{
    if (requested_) return;
    requested_ = true;
    // Read here: the palette belongs to the GUI thread.
    const view::Environment env = desktopEnvironment();
    for (const timeline::WidgetDefinition& widget : bundle_.widgets()) {
        ++started_;
        runOnWorker(
            pool_, this, [widget, box = box_, env] { return renderPreview(widget, box, env); },
            [this, kind = widget.kind()](WorkResult<QImage> image) {
                if (!image.value) qCWarning(lcHost) << kind << "preview failed:" << image.error;
                if (!image.value || image.value->isNull()) return;
                images_.insert(kind, *image.value);
                emit previewReady(kind, *image.value);
            });
    }
}

} // namespace velk::host
