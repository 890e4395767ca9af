#include "startup/messages.h"

#include <gtest/gtest.h>

#include <vector>

#include "startup/install_context.h"

namespace velmora {
namespace {

std::vector<MessageBoxRequest> g_shown;

int Record(const MessageBoxRequest& request) {
  g_shown.push_back(request);
  return IDOK;
}

class Messages : public ::testing::Test {
 protected:
  void SetUp() override {
    g_shown.clear();
    SetMessageBoxHookForTesting(Record);
    Context().DisplayName = "Русское";
    Context().DisplayNameCopy = "English";
  }
  void TearDown() override {
    SetMessageBoxHookForTesting(nullptr);
    Context() = InstallContext{};
  }
};

TEST_F(Messages, CyrillicLocaleShowsRussianTextThroughTheExtendedCall) {
  Context().CyrillicLocale = true;
  ShowErrorMessage("error", "ошибка");
  ShowWarningMessage("warning", "предупреждение");
  ASSERT_EQ(g_shown.size(), 2u);
  EXPECT_TRUE(g_shown[0].extended);
  EXPECT_EQ(g_shown[0].text, "ошибка");
  EXPECT_EQ(g_shown[0].caption, "Русское");
  EXPECT_EQ(g_shown[0].flags, 0x200010u);
  EXPECT_EQ(g_shown[0].language, 0x0019);
  EXPECT_TRUE(g_shown[1].extended);
  EXPECT_EQ(g_shown[1].text, "предупреждение");
  EXPECT_EQ(g_shown[1].flags, 0x42030u);
  EXPECT_EQ(g_shown[1].language, 0x0019);
}

TEST_F(Messages, OtherLocalesShowEnglishTextWithTheCopyCaption) {
  Context().CyrillicLocale = false;
  ShowErrorMessage("error", "ошибка");
  ShowWarningMessage("warning", "предупреждение");
  ASSERT_EQ(g_shown.size(), 2u);
  EXPECT_FALSE(g_shown[0].extended);
  EXPECT_EQ(g_shown[0].text, "error");
  EXPECT_EQ(g_shown[0].caption, "English");
  EXPECT_EQ(g_shown[0].flags, 0x200010u);
  EXPECT_FALSE(g_shown[1].extended);
  EXPECT_EQ(g_shown[1].text, "warning");
  EXPECT_EQ(g_shown[1].flags, 0x42030u);
}

}  // namespace
}  // namespace velmora
