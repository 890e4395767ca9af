#pragma once
// The uninstaller's information box, built like the warning box of the installer.

#include <windows.h>

#include <string>

namespace velmora {

inline constexpr UINT kInfoFlags = MB_OK | MB_ICONINFORMATION | MB_TASKMODAL | MB_TOPMOST;  // 0x42040

void ShowInfoMessage(const std::string& english, const std::string& russian);

}  // namespace velmora
