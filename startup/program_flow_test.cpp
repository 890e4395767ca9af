#include "startup/program_flow.h"

#include <gtest/gtest.h>

#include "startup/install_context.h"
#include "startup/messages.h"

namespace velmora {
namespace {

int g_boxes = 0;
int CountBox(const MessageBoxRequest&) {
  ++g_boxes;
  return IDOK;
}

TEST(ProgramFlow, CancelledDialogLeavesFileListEmptyAndTheRegistryAsItWas) {
  SetMessageBoxHookForTesting(CountBox);
  InstallContext& context = Context();
  context.Registry = std::make_unique<RegistryAccessor>(KEY_READ);
  ASSERT_TRUE(context.Registry->OpenKey("\\Software", false));
  const HKEY open = context.Registry->CurrentKey();
  context.InstallConfirmed = false;
  context.RunAfterInstall = true;

  CompleteInstallation();
  EXPECT_TRUE(context.FileList.empty());
  EXPECT_EQ(context.Registry->CurrentKey(), open);  // not even the key is closed
  EXPECT_EQ(g_boxes, 0);

  SetMessageBoxHookForTesting(nullptr);
  context = InstallContext{};
}

}  // namespace
}  // namespace velmora
