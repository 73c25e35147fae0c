#include "platform/core/Locale.h"
#include <gtest/gtest.h>

using namespace velk;

TEST(Locale, IdentifiersFromTheEnvironmentAreNormalised)
{
    struct Row {
        const char* given;
        const char* identifier;
    } rows[] = {
        {"de_DE", "de_DE"},
        {"de_DE.UTF-8", "de_DE"},
        {"de_DE.UTF-8@euro", "de_DE"},
        {"de-DE", "de_DE"},
        {"C", "en_US_POSIX"},
        {"C.UTF-8", "en_US_POSIX"},
        {"POSIX", "en_US_POSIX"},
        {"ja_JP@calendar=japanese", "ja_JP@calendar=japanese"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.given);
        EXPECT_EQ(Locale(QString::fromLatin1(r.given)).identifier(), QString::fromLatin1(r.identifier));
    }
}

TEST(Locale, MeasurementSystemAndWeekRules)
{
    struct Row {
        const char* id;
        Locale::MeasurementSystem system;
        int firstWeekday;
        int minimumDays;
    } rows[] = {
        {"en_US", Locale::MeasurementSystem::us, 1, 1},
        {"en_GB", Locale::MeasurementSystem::uk, 2, 4},
        {"de_DE", Locale::MeasurementSystem::metric, 2, 4},
        {"ja_JP", Locale::MeasurementSystem::metric, 1, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.id);
        const Locale locale(QString::fromLatin1(r.id));
        EXPECT_EQ(locale.measurementSystem(), r.system);
        EXPECT_EQ(locale.firstWeekday(), r.firstWeekday);
        EXPECT_EQ(locale.minimumDaysInFirstWeek(), r.minimumDays);
    }
}

TEST(Locale, CurrentCanBePinned)
{
    EXPECT_EQ(Locale::current().identifier(), "en_US") << "the test run's locale";
    {
        LocalePin pin("en_GB");
        EXPECT_EQ(Locale::current().identifier(), "en_GB");
    }
    EXPECT_EQ(Locale::current().identifier(), "en_US");
}

TEST(Locale, CaseInsensitiveContains)
{
    struct Row {
        const char* locale;
        const char* text;
        const char* other;
        bool contains;
    } rows[] = {
        {"en_US", "New York", "york", true},
        {"en_US", "New York", "YORK", true},
        {"en_US", "New York", "new y", true},
        {"en_US", "New York", "New_York", false},
        {"en_US", "New York", "", false},
        {"en_US", "", "a", false},
        {"de_DE", "Zürich", "zu\u0308r", true}, // composed and decomposed ü
        {"tr_TR", "DİYARBAKIR", "diyarbakır", true},
        {"en_US", "DİYARBAKIR", "diyarbakır", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.locale) + " " + r.text + " / " + r.other);
        EXPECT_EQ(localizedCaseInsensitiveContains(QString::fromUtf8(r.text), QString::fromUtf8(r.other),
                                                   Locale(QString::fromLatin1(r.locale))),
                  r.contains);
    }
}
