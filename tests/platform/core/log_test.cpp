#include "platform/core/Log.h"

#include <gtest/gtest.h>

using namespace velk;

// The category names are what users switch on with QT_LOGGING_RULES.
TEST(Log, CategoriesAreNamedUnderTheVelkPrefix)
{
    EXPECT_STREQ(logCategory("media").categoryName(), "com.harrowcrest.velk.media");
    EXPECT_EQ(&logCategory("defaults"), &lcDefaults());
    const QLoggingCategory& made = logCategory("intents");
    EXPECT_STREQ(made.categoryName(), "com.harrowcrest.velk.intents");
    EXPECT_EQ(&logCategory("intents"), &made); // made once, kept
}
