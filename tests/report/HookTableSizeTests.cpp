// A host built before the dialog-script hook fills in a shorter hook table:
// its hooks still work, and the later hook is never called, whatever lies
// beyond the table's size.
#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "platform/PlatformHostAbi.h"
#include "platform/dialogs/Dialogs.h"

namespace {

bool gScriptAsked = false;

int32_t PCBAPI_CALL EscapeDown() { return 1; }

const char* PCBAPI_CALL Script(const char*) {
  gScriptAsked = true;
  return "cancel";
}

// The table as an older host lays it out; the memory after it happens to
// hold a pointer.
const PlatformHostHooks kHooks = {kPlatformHostHooksFirstSize, EscapeDown, nullptr, nullptr, nullptr,
                                  Script};

}  // namespace

PCB_EXPORT const PlatformHostHooks* PCBAPI_CALL PlatformHost_Hooks() { return &kHooks; }

TEST(HookTableSize, AShorterTableKeepsItsHooksAndLacksTheLaterOnes) {
  EXPECT_TRUE(platform::EscapeKeyDown());
  EXPECT_FALSE(platform::HostDialogScript("Any").has_value());
  EXPECT_FALSE(gScriptAsked);

  dialogs::Form form("Any", 0);
  EXPECT_EQ(form.ShowModal(), dialogs::mrOk);  // no script: the default ending
  EXPECT_FALSE(gScriptAsked);
}
