#include "startup/installer_texts.h"

namespace velmora {

std::string ComposeLocalePrompt(const std::string& displayNameCopy) {
  return "The " + displayNameCopy + " is a Russian-language program.\r\nCan you read the following line?\r\n" +
         "Это русскоязычная программа. Желаете продолжить установку?\r\n" +
         "To ensure correct representation of Russian messages you may set Russian language for "
         "non-Unicode programs in Regional Options of the Control Panel.\r\n" +
         "Would you like to continue installation of the program?";
}

std::string ComposeFinalMessage(const std::string& displayName, const std::string& versionText,
                                bool desktopShortcut) {
  std::string text = "На Ваш компьютер установлена программа \"" + displayName + "\" " + versionText + " БЕЗ ЗВУКОВ.";
  if (desktopShortcut) {
    text += "\r\n\r\n";
    text += "На \"Рабочий стол\" помещён ярлык программы,\r\nкоторый Вы можете без вреда удалить или переместить.";
  }
  return text;
}

}  // namespace velmora
