#include "shared/models/SystemRecords.h"

#include <cmath>

namespace velk {

QString StorageSnapshot::totalLabel() const
{
    if (totalGB >= 1000) return QString::number(qint64(std::round(double(totalGB) / 1000.0))) + QStringLiteral("TB");
    return QString::number(totalGB) + QStringLiteral("GB");
}

} // namespace velk
