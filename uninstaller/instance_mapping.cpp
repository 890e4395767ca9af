#include "uninstaller/instance_mapping.h"

#include "startup/product_constants.h"

namespace velmora {

InstanceMapping::InstanceMapping()
    : mapping_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 64, kInstanceMappingName)),
      existed_(GetLastError() == ERROR_ALREADY_EXISTS) {}

void AskApplicationToQuit() {
  if (HWND window = FindWindowA(kMainWindowClass, nullptr)) PostMessageA(window, WM_QUIT, 0, 0);
}

}  // namespace velmora
