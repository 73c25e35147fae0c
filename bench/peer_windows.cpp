// The yardstick for the desktop host: the least a Qt Widgets program needs to show as many
// desktop tiles. Each window is one frameless, translucent label below the others, like a
// placed widget, showing the time as "HH:mm", set again at each new minute by one timer for
// all windows, timed to the minute.
//
//   velk_peer_windows [--size WxH]... COUNT
//
// The sizes (one per window, repeated in turn; default 160x160) are the placed widgets' sizes,
// so both programs put the same area on screen. Once every window has been painted the program
// prints "first paint at NS" (CLOCK_REALTIME, nanoseconds) on standard output, for
// bench/measure-host.sh to subtract from the moment it started the program.
#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

int unpainted = 0;

class Tile : public QLabel {
public:
    explicit Tile(QSize size)
    {
        setWindowFlags(Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnBottomHint | Qt::WindowDoesNotAcceptFocus);
        setAttribute(Qt::WA_TranslucentBackground);
        setAlignment(Qt::AlignCenter);
        QFont f = font();
        f.setPixelSize(40);
        f.setBold(true);
        setFont(f);
        resize(size);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QLabel::paintEvent(event);
        if (painted_) return;
        painted_ = true;
        if (--unpainted > 0) return;
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::printf("first paint at %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
    }

private:
    bool painted_ = false;
};

QString timeText()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm"));
}
int msToNextMinute()
{
    return int(60000 - QDateTime::currentMSecsSinceEpoch() % 60000);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
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

    std::vector<std::unique_ptr<Tile>> tiles;
    unpainted = count;
    const QString now = timeText();
    for (int i = 0; i < count; ++i) {
        auto t = std::make_unique<Tile>(sizes[size_t(i) % sizes.size()]);
        t->move((i % 10) * 170, (i / 10) * 170 % 900);
        t->setText(now);
        t->show();
        tiles.push_back(std::move(t));
    }
    QTimer minute;
    minute.setTimerType(Qt::PreciseTimer);
    minute.setSingleShot(true);
    QObject::connect(&minute, &QTimer::timeout, [&] {
        const QString text = timeText();
        for (auto& t : tiles)
            t->setText(text);
        minute.start(msToNextMinute());
    });
    minute.start(msToNextMinute());
    return app.exec();
}
