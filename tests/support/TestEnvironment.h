#pragma once
// What every test binary pins before it starts: the zone, the locale, and a private XDG tree
// under `home` so no test ever touches the user's data.
#include <QByteArray>
#include <QLocale>
#include <QTemporaryDir>
#include <cstdlib>
#include <unicode/locid.h>
#include <unicode/timezone.h>

namespace velk::test {

inline void pinTestEnvironment(const QTemporaryDir& home)
{
    ::setenv("TZ", "UTC", 1);
    const QByteArray root = home.path().toUtf8();
    ::setenv("XDG_DATA_HOME", (root + "/data").constData(), 1);
    ::setenv("XDG_CONFIG_HOME", (root + "/config").constData(), 1);
    ::setenv("XDG_CACHE_HOME", (root + "/cache").constData(), 1);
    ::setenv("VELK_TEST_HOME", root.constData(), 1);

    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale("en_US"), status);
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone("UTC"));
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
}

} // namespace velk::test
