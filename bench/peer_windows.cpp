// The yardstick for the desktop host's memory and first paint: the least a Qt program needs to
// show the same number of desktop tiles. Each window is frameless, translucent and below the
// others, like a placed widget, and shows the time as "HH:mm", drawn again at each new minute.
//
//   velk_peer_windows [--size WxH]... COUNT
//
// The sizes (one per window, repeated in turn; default 160x160) are the placed widgets' sizes,
// so both programs keep backing stores of the same area. Once every window has been painted
// the program prints "first paint at NS" (CLOCK_REALTIME, nanoseconds) on standard output, for
// bench/measure-host.sh to subtract from the moment it started the program.
#include <QDateTime>
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

int unpainted = 0;

void reportFirstPaint()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::printf("first paint at %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    std::fflush(stdout);
}

class ClockWindow : public QRasterWindow {
public:
    explicit ClockWindow(QSize size)
    {
        setFlags(Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnBottomHint | Qt::WindowDoesNotAcceptFocus);
        QSurfaceFormat format;
        format.setAlphaBufferSize(8);
        setFormat(format);
        resize(size);
    }

    void setText(const QString& text)
    {
        if (text == text_) return;
        text_ = text;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(QRect(QPoint(), size()), Qt::transparent);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 20, 24));
        p.drawRoundedRect(QRectF(QPointF(), QSizeF(size())), 20, 20);
        QFont font = p.font();
        font.setPixelSize(40);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(QPoint(), size()), Qt::AlignCenter, text_);
        if (!painted_) {
            painted_ = true;
            if (--unpainted == 0) reportFirstPaint();
        }
    }

private:
    QString text_;
    bool painted_ = false;
};

QString timeText() { return QTime::currentTime().toString(QStringLiteral("HH:mm")); }

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    std::vector<QSize> sizes;
    int count = -1;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--size") && i + 1 < args.size()) {
            const QStringList wh = args[++i].split(QLatin1Char('x'));
            if (wh.size() == 2) sizes.emplace_back(wh[0].toInt(), wh[1].toInt());
        } else {
            count = args[i].toInt();
        }
    }
    if (count < 0 || sizes.end() != std::find_if(sizes.begin(), sizes.end(), [](QSize s) { return s.isEmpty(); })) {
        std::fprintf(stderr, "usage: velk_peer_windows [--size WxH]... COUNT\n");
        return 2;
    }
    if (sizes.empty()) sizes.emplace_back(160, 160);

    std::vector<std::unique_ptr<ClockWindow>> windows;
    unpainted = count;
    const QString now = timeText();
    for (int i = 0; i < count; ++i) {
        auto w = std::make_unique<ClockWindow>(sizes[size_t(i) % sizes.size()]);
        w->setPosition((i % 10) * 170, (i / 10) * 170 % 900);
        w->setText(now);
        w->show();
        windows.push_back(std::move(w));
    }
    // One timer for all windows, at each new minute.
    QTimer minute;
    minute.setTimerType(Qt::VeryCoarseTimer);
    minute.setSingleShot(true);
    QObject::connect(&minute, &QTimer::timeout, [&] {
        const QString text = timeText();
        for (auto& w : windows) w->setText(text);
        minute.start(int(60000 - QTime::currentTime().msecsSinceStartOfDay() % 60000) + 5);
    });
    minute.start(int(60000 - QTime::currentTime().msecsSinceStartOfDay() % 60000) + 5);
    return app.exec();
}
