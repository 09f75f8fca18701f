// A program that exports no PlatformHost_Hooks: nobody is at the keyboard.
#include <gtest/gtest.h>

#include "platform/Platform.h"

TEST(NoHost, EscapeIsNeverDownQueueIsEmptyAndBoxesAnswerSafely) {
  EXPECT_FALSE(platform::EscapeKeyDown());
  EXPECT_FALSE(platform::EscapeKeyDown());  // also once the lookup is cached
  EXPECT_EQ(platform::DeliverPendingMessages(), 0);
  EXPECT_EQ(platform::ShowMessageBox("Confirm Abort", "Confirm", platform::mbYesNo), platform::idNo);
  EXPECT_FALSE(platform::HostDialogScript("AnyForm").has_value());
}
