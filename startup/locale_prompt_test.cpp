#include "startup/locale_prompt.h"

#include <gtest/gtest.h>

#include <vector>

#include "startup/install_context.h"
#include "startup/messages.h"

namespace velmora {
namespace {

std::vector<MessageBoxRequest> g_shown;
int g_answer = IDYES;

int Answer(const MessageBoxRequest& request) {
  g_shown.push_back(request);
  return g_answer;
}

class LocalePrompt : public ::testing::Test {
 protected:
  void SetUp() override {
    g_shown.clear();
    SetMessageBoxHookForTesting(Answer);
    Context().DisplayName = "Velmora";
    Context().DisplayNameCopy = "Velmora Copy";
  }
  void TearDown() override {
    SetMessageBoxHookForTesting(nullptr);
    Context() = InstallContext{};
  }
};

TEST_F(LocalePrompt, CyrillicLocaleIsNeverAsked) {
  Context().CyrillicLocale = true;
  g_answer = IDNO;
  EXPECT_TRUE(ConfirmRussianLanguageProgram());
  EXPECT_TRUE(g_shown.empty());
}

TEST_F(LocalePrompt, OtherLocalesGoOnOnlyAfterYes) {
  Context().CyrillicLocale = false;
  // IDCANCEL and 0 stand for a box closed some other way or one that could not be shown.
  for (int answer : {IDYES, IDNO, IDCANCEL, 0}) {
    SCOPED_TRACE(answer);
    g_shown.clear();
    g_answer = answer;
    EXPECT_EQ(ConfirmRussianLanguageProgram(), answer == IDYES);
    ASSERT_EQ(g_shown.size(), 1u);
    const MessageBoxRequest& box = g_shown[0];
    EXPECT_TRUE(box.extended);
    EXPECT_EQ(box.caption, "Russian is not basic language on your computer!");
    EXPECT_EQ(box.flags, 0x2024u);
    EXPECT_EQ(box.language, 0x0019);
    // The English title is the one named in the question.
    EXPECT_EQ(box.text.rfind("The Velmora Copy is a Russian-language program.\r\n", 0), 0u);
    EXPECT_NE(box.text.find("\r\nЭто русскоязычная программа. Желаете продолжить установку?\r\n"), std::string::npos);
  }
}

}  // namespace
}  // namespace velmora
