#pragma once
// Every message box of the programs passes through ShowMessageBox: the Russian variant is shown by
// MessageBoxExA with the Russian language, the English one by MessageBoxA. No box has an owner.

#include <windows.h>

#include <string>

namespace velmora {

inline constexpr WORD kRussianLanguage = 0x0019;  // LANG_RUSSIAN, SUBLANG_NEUTRAL

struct MessageBoxRequest {
  bool extended;  // MessageBoxExA with `language`, else MessageBoxA
  std::string text;
  std::string caption;
  UINT flags;
  WORD language;
};

// Shows the box and returns the button pressed (IDOK, IDYES...).
int ShowMessageBox(const MessageBoxRequest& request);

// The Russian text through MessageBoxExA with caption DisplayName on a Cyrillic locale; otherwise
// the English text through MessageBoxA with caption DisplayNameCopy.
int ShowLocalizedMessage(const std::string& english, const std::string& russian, UINT flags);

inline constexpr UINT kErrorFlags = MB_OK | MB_ICONHAND | MB_SERVICE_NOTIFICATION;         // 0x200010
inline constexpr UINT kWarningFlags = MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL | MB_TOPMOST;  // 0x42030

void ShowErrorMessage(const std::string& english, const std::string& russian);
void ShowWarningMessage(const std::string& english, const std::string& russian);

// Tests see every box instead of the user; the hook returns the button to press.
using MessageBoxHook = int (*)(const MessageBoxRequest&);
void SetMessageBoxHookForTesting(MessageBoxHook hook);

}  // namespace velmora
