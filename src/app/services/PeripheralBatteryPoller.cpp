#include "app/services/PeripheralBatteryPoller.h"

#include "app/services/ServiceSupport.h"
#include "platform/core/Coding.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "shared/data/activity/ExtrasStore.h"
#include "shared/widget/WidgetKinds.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThreadPool>
#include <QtConcurrent>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <unistd.h>

namespace velk {

PeripheralBatteryPoller& PeripheralBatteryPoller::shared()
{
    static PeripheralBatteryPoller* poller =
        new PeripheralBatteryPoller(defaultToolPath(), QCoreApplication::instance());
    return *poller;
}

PeripheralBatteryPoller::PeripheralBatteryPoller(QString toolPath, QObject* parent)
    : QObject(parent), toolPath_(std::move(toolPath))
{}

QString PeripheralBatteryPoller::defaultToolPath()
{
    const QString set = qEnvironmentVariable("VELK_BTPROFILER");
    if (!set.isEmpty()) return set;
    if (QCoreApplication::instance()) {
        const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/velk-btprofiler");
        if (QFileInfo(beside).isExecutable()) return beside;
    }
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("velk-btprofiler"));
    return onPath.isEmpty() ? QStringLiteral("velk-btprofiler") : onPath;
}

void PeripheralBatteryPoller::start()
{
    if (timer_) return;
    timer_ = services::repeatQueued(this, kPollIntervalMs, [this] { poll(); });
    poll();
}

void PeripheralBatteryPoller::poll()
{
    auto* watcher = new QFutureWatcher<std::vector<Device>>(this);
    connect(watcher, &QFutureWatcher<std::vector<Device>>::finished, this, [this, watcher] {
        const std::vector<Device> devices = watcher->result();
        watcher->deleteLater();
        if (const std::optional<QByteArray> bytes = encodeJson(devices)) Defaults::shared().setData(kKey, *bytes);
        reloadKinds({kinds::batteryDevices, kinds::batteryRing, kinds::batteryPercent, kinds::batteryLog},
                    ReloadNotice::none);
        emit polled();
    });
    const QString tool = toolPath_;
    watcher->setFuture(QtConcurrent::run([tool] {
        QThread::currentThread()->setPriority(QThread::LowPriority);
        return readBluetoothBatteries(tool);
    }));
}

std::vector<PeripheralBatteryPoller::Device> PeripheralBatteryPoller::readBluetoothBatteries(const QString& toolPath,
                                                                                             int timeoutMs)
{
    QProcess process;
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setStandardInputFile(QProcess::nullDevice());
    // A group of its own: whatever the tool starts can be ended with it.
    process.setChildProcessModifier([] { ::setsid(); });
    process.start(toolPath, {QStringLiteral("SPBluetoothDataType"), QStringLiteral("-json"),
                             QStringLiteral("-detailLevel"), QStringLiteral("mini")});
    if (!process.waitForStarted()) return {};
    const pid_t group = pid_t(process.processId());

    // The output is taken as it comes (a pipe's worth at a time), so an endless one costs no
    // more than the cap.
    QByteArray report;
    bool tooLarge = false;
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        report += process.readAllStandardOutput();
        if (report.size() > kMaxReportBytes) {
            tooLarge = true;
            break;
        }
        if (process.state() == QProcess::NotRunning || deadline.hasExpired()) break;
        const auto remainingMs = [&] { return int(std::clamp<qint64>(deadline.remainingTime(), 1, timeoutMs)); };
        // A tool that closed its output has nothing more to say: only its end is waited for.
        if (!process.waitForReadyRead(remainingMs()) && process.state() != QProcess::NotRunning &&
            !deadline.hasExpired())
            process.waitForFinished(remainingMs());
    }
    if (process.state() != QProcess::NotRunning) {
        // The tool is not reaped yet, so its group is still its own to end.
        if (tooLarge)
            qCWarning(lcMedia) << "battery report tool" << toolPath << "printed more than" << kMaxReportBytes
                               << "bytes; stopped";
        else
            qCWarning(lcMedia) << "battery report tool" << toolPath << "still running after" << timeoutMs
                               << "ms; stopped";
        ::kill(-group, SIGKILL);
        process.waitForFinished(-1);
        if (!tooLarge) {
            report += process.readAllStandardOutput();
            tooLarge = report.size() > kMaxReportBytes;
        }
    }
    if (tooLarge) {
        qCWarning(lcMedia) << "battery report larger than" << kMaxReportBytes << "bytes; no devices taken from it";
        return {};
    }
    return parseReport(report);
}

namespace {

// Trims tabs and the Unicode space separators, not line breaks.
QString trimSpacesAndTabs(const QString& text)
{
    const auto blank = [](QChar c) { return c == u'\t' || c.category() == QChar::Separator_Space; };
    qsizetype begin = 0, end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

QString PeripheralBatteryPoller::cleanName(QString name)
{
    for (const QString& possessive : {QStringLiteral("\u2019s "), QStringLiteral("'s ")}) {
        const qsizetype at = name.indexOf(possessive);
        if (at >= 0) name = name.mid(at + possessive.size());
    }
    return trimSpacesAndTabs(name);
}

std::optional<qint64> PeripheralBatteryPoller::percent(const QJsonValue& value)
{
    if (value.isString()) {
        QString text = value.toString();
        text.remove(u'%');
        text = trimSpacesAndTabs(text);
        static const QRegularExpression integer(QStringLiteral(R"(\A[+-]?\d+\z)"));
        if (!integer.match(text).hasMatch()) return std::nullopt;
        bool ok = false;
        const qint64 n = text.toLongLong(&ok);
        if (!ok || n < 0 || n > 100) return std::nullopt;
        return n;
    }
    if (value.isDouble()) {
        // QJsonValue keeps integers up to 2^53 exactly; a fraction or a larger value is no level.
        const double d = value.toDouble();
        if (!std::isfinite(d) || std::trunc(d) != d || d < 0 || d > 100) return std::nullopt;
        return qint64(d);
    }
    return std::nullopt;
}

std::vector<PeripheralBatteryPoller::Device> PeripheralBatteryPoller::parseReport(const QByteArray& json)
{
    std::vector<Device> devices;
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (!doc.isObject()) return devices;
    const QJsonValue sectionsValue = doc.object().value(QStringLiteral("SPBluetoothDataType"));
    if (!sectionsValue.isArray()) return devices;
    const QJsonArray sections = sectionsValue.toArray();
    for (const QJsonValue& s : sections)
        if (!s.isObject()) return devices;
    for (const QJsonValue& s : sections) {
        const QJsonValue connectedValue = s.toObject().value(QStringLiteral("device_connected"));
        if (!connectedValue.isArray()) continue;
        const QJsonArray connected = connectedValue.toArray();
        if (std::any_of(connected.begin(), connected.end(), [](const QJsonValue& v) { return !v.isObject(); }))
            continue;
        for (const QJsonValue& entryValue : connected) {
            const QJsonObject entry = entryValue.toObject();
            for (auto it = entry.begin(); it != entry.end(); ++it) {
                if (!it.value().isObject()) continue;
                const QJsonObject props = it.value().toObject();
                const QString name = cleanName(it.key());
                const auto level = [&](const char* key) { return percent(props.value(QLatin1String(key))); };
                const std::optional<qint64> left = level("device_batteryLevelLeft");
                const std::optional<qint64> right = level("device_batteryLevelRight");
                std::optional<qint64> main = level("device_batteryLevelMain");
                if (!main) main = level("device_batteryLevel");
                if (left && right) {
                    devices.push_back({name, std::min(*left, *right)});
                    if (const std::optional<qint64> box = level("device_batteryLevelCase"))
                        devices.push_back({name + QStringLiteral(" Case"), *box});
                } else if (main) {
                    devices.push_back({name, *main});
                }
            }
        }
    }
    std::stable_sort(devices.begin(), devices.end(), [](const Device& a, const Device& b) {
        // By UTF-16 code units; for the names a device reports this is the scalar order.
        return a.name < b.name;
    });
    return devices;
}

} // namespace velk
