// Every test binary starts here: a headless GUI application, the zone and locale pinned, and a
// private XDG tree so no test ever touches the user's data.
#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <cstdlib>

int main(int argc, char** argv)
{
    ::setenv("TZ", "UTC", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir home;
    const QByteArray root = home.path().toUtf8();
    ::setenv("XDG_DATA_HOME", (root + "/data").constData(), 1);
    ::setenv("XDG_CONFIG_HOME", (root + "/config").constData(), 1);
    ::setenv("XDG_CACHE_HOME", (root + "/cache").constData(), 1);
    ::setenv("VELK_TEST_HOME", root.constData(), 1);

    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale("en_US"), status);
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone("UTC"));
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));

    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
