#pragma once
// The question asked before installing a Russian-language program on a non-Cyrillic locale.

#include <windows.h>

namespace velmora {

inline constexpr UINT kLocalePromptFlags = MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL;  // 0x2024

// True on a Cyrillic locale without asking; otherwise asks and is true only for Yes.
bool ConfirmRussianLanguageProgram();

}  // namespace velmora
