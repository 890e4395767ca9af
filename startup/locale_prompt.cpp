#include "startup/locale_prompt.h"

#include "startup/install_context.h"
#include "startup/installer_texts.h"
#include "startup/messages.h"

namespace velmora {

bool ConfirmRussianLanguageProgram() {
  const InstallContext& context = Context();
  if (context.CyrillicLocale) return true;
  // The Russian line goes out as code page 1251 bytes on purpose: whether the user can read it is
  // exactly what is asked.
  const int answer = ShowMessageBox(
      {true, ComposeLocalePrompt(context.DisplayNameCopy), kLocalePromptCaption, kLocalePromptFlags, kRussianLanguage});
  return answer == IDYES;
}

}  // namespace velmora
