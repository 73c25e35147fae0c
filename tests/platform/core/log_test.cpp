#include "platform/core/Log.h"

#include <gtest/gtest.h>

using namespace velk;

// The category names are what users switch on with QT_LOGGING_RULES.
TEST(Log, CategoriesAreNamedUnderTheVelkPrefix)
{
    EXPECT_STREQ(logCategory("media").categoryName(), "com.harrowcrest.velk.media");
    EXPECT_EQ(&logCategory("defaults"), &lcDefaults());
    EXPECT_EQ(&logCategory("intents"), &lcIntents());
    EXPECT_STREQ(lcNotifications().categoryName(), "com.harrowcrest.velk.notifications");
    // Nothing is made up at run time: an unknown name gets the general category.
    EXPECT_EQ(&logCategory("no-such-part"), &lcGeneral());
    EXPECT_STREQ(lcGeneral().categoryName(), "com.harrowcrest.velk.general");
}
