#pragma once
// The machine's own state: processor, memory and graphics load as dot bars, network throughput,
// and the home volume's use as a ring.
#include "shared/look/WidgetRoot.h"
#include "shared/models/SystemRecords.h"

#include <QString>
#include <optional>

namespace velk {

// Medium: one row per load, the graphics row only when the driver reports one.
struct SystemView {
    SystemSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // From 80 % a load is drawn in the alert colour.
    static constexpr qint64 kHotPercent = 80;

private:
    view::View row(const QString& label, qint64 percent) const;
};

// Small: download and upload rates, or dashes before a rate could be measured.
struct NetworkView {
    std::optional<NetworkSnapshot> data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // One decimal under 10, whole numbers from 10; a dash for no rate, or for one that is not
    // a finite, non-negative number.
    static QString rateText(std::optional<double> megabytesPerSecond);

private:
    view::View block(const QString& label, std::optional<double> rate) const;
};

// Small: the used gigabytes inside a ring filled as far as the volume is.
struct StorageView {
    StorageSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // The share of the ring filled: used over total, none for an empty total.
    static double ringFraction(const StorageSnapshot& data);
};

} // namespace velk
