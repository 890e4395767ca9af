#include "startup/messages.h"

#include "startup/install_context.h"

namespace velmora {
namespace {
MessageBoxHook g_hook = nullptr;
}

void SetMessageBoxHookForTesting(MessageBoxHook hook) { g_hook = hook; }

int ShowMessageBox(const MessageBoxRequest& request) {
  if (g_hook) return g_hook(request);
  if (request.extended)
    return MessageBoxExA(nullptr, request.text.c_str(), request.caption.c_str(), request.flags, request.language);
  return MessageBoxA(nullptr, request.text.c_str(), request.caption.c_str(), request.flags);
}

int ShowLocalizedMessage(const std::string& english, const std::string& russian, UINT flags) {
  const InstallContext& context = Context();
  if (context.CyrillicLocale)
    return ShowMessageBox({true, russian, context.DisplayName, flags, kRussianLanguage});
  return ShowMessageBox({false, english, context.DisplayNameCopy, flags, 0});
}

void ShowErrorMessage(const std::string& english, const std::string& russian) {
  ShowLocalizedMessage(english, russian, kErrorFlags);
}

void ShowWarningMessage(const std::string& english, const std::string& russian) {
  ShowLocalizedMessage(english, russian, kWarningFlags);
}

}  // namespace velmora
