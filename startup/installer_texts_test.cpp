#include "startup/installer_texts.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(InstallerTexts, LocalePromptJoinsItsFivePiecesWithoutSeparators) {
  const std::string prompt = ComposeLocalePrompt("Velmora");
  EXPECT_EQ(prompt,
            "The Velmora is a Russian-language program.\r\n"
            "Can you read the following line?\r\n"
            "Это русскоязычная программа. Желаете продолжить установку?\r\n"
            "To ensure correct representation of Russian messages you may set Russian language for non-Unicode "
            "programs in Regional Options of the Control Panel.\r\n"
            "Would you like to continue installation of the program?");
  // The Russian line travels as code page 1251: one byte per letter, "Э" is 0xDD.
  const std::string russian = "\xDD\xF2\xEE \xF0\xF3\xF1\xF1\xEA\xEE\xFF\xE7\xFB\xF7\xED\xE0\xFF";
  EXPECT_NE(prompt.find("\r\n" + russian + " "), std::string::npos);
  EXPECT_EQ(ComposeLocalePrompt("Other").rfind("The Other is a", 0), 0u);
}

TEST(InstallerTexts, FinalMessageHasTheDesktopParagraphOnlyWhenAskedFor) {
  const std::string head = "На Ваш компьютер установлена программа \"Velmora\" 7700 БЕЗ ЗВУКОВ.";
  const struct {
    bool desktop;
    std::string expected;
  } cases[] = {
      {false, head},
      {true, head + "\r\n\r\nНа \"Рабочий стол\" помещён ярлык программы,\r\n"
                    "который Вы можете без вреда удалить или переместить."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.desktop);
    EXPECT_EQ(ComposeFinalMessage("Velmora", "7700", c.desktop), c.expected);
  }
  // "ё" of "помещён" is the single byte 0xB8 in code page 1251.
  EXPECT_NE(ComposeFinalMessage("Velmora", "7700", true).find("\xEF\xEE\xEC\xE5\xF9\xB8\xED"), std::string::npos);
  EXPECT_EQ(ComposeFinalMessage("X", "1", false), "На Ваш компьютер установлена программа \"X\" 1 БЕЗ ЗВУКОВ.");
}

}  // namespace
}  // namespace velmora
