#pragma once
// Asks the widget host to rebuild timelines: the D-Bus methods ReloadTimelines(s kind) and
// ReloadAllTimelines() of the service com.harrowcrest.velk.WidgetHost. Calls are sent without
// waiting for any answer and without starting a host; when no host runs (or there is no
// session bus) nothing happens and nothing is reported.
//
// Tests replace the bus with a WidgetCenterRecorder for as long as it lives.
#include <QString>
#include <memory>
#include <mutex>
#include <vector>

namespace velk::timeline {

class WidgetCenter {
public:
    static inline const QString kService = QStringLiteral("com.harrowcrest.velk.WidgetHost");
    static inline const QString kPath = QStringLiteral("/com/harrowcrest/velk/WidgetHost");
    static inline const QString kInterface = QStringLiteral("com.harrowcrest.velk.WidgetHost");

    // Where reload requests go.
    class Sink {
    public:
        virtual ~Sink() = default;
        virtual void reloadTimelines(const QString& kind) = 0;
        virtual void reloadAllTimelines() = 0;
    };

    static WidgetCenter& shared();

    void reloadTimelines(const QString& kind);
    void reloadAllTimelines();

private:
    friend class WidgetCenterRecorder;
    WidgetCenter();
    std::shared_ptr<Sink> sink();
    void setOverride(std::shared_ptr<Sink> sink);

    std::mutex mutex_;
    std::shared_ptr<Sink> bus_;
    std::shared_ptr<Sink> override_;
};

// Records every reload request, in order, instead of sending it, while it lives.
class WidgetCenterRecorder {
public:
    struct Reload {
        bool all = false;
        QString kind; // empty for a reload of all timelines
        friend bool operator==(const Reload&, const Reload&) = default;
    };

    WidgetCenterRecorder();
    ~WidgetCenterRecorder();
    WidgetCenterRecorder(const WidgetCenterRecorder&) = delete;
    WidgetCenterRecorder& operator=(const WidgetCenterRecorder&) = delete;

    std::vector<Reload> reloads() const;
    // The kinds reloaded one by one, in order (reloads of all timelines left out).
    QStringList kinds() const;
    void clear();

private:
    class Sink;
    std::shared_ptr<Sink> sink_;
};

} // namespace velk::timeline
