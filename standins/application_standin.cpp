// Stands in for the carried application, which is opaque to the installer. It behaves as the
// installer and the uninstaller expect: while it runs it holds the mapping "velmora_memfile", its
// main window has the class "TVelmoraMainForm", and its message loop ends on WM_QUIT.

#include <windows.h>

#include "startup/unique_handle.h"

namespace {

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  velmora::scoped_handle mapping(
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 64, "velmora_memfile"));

  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "TVelmoraMainForm";
  RegisterClassA(&windowClass);

  HWND window = CreateWindowExA(0, "TVelmoraMainForm", "Velmora", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 420, 120, nullptr, nullptr, instance, nullptr);
  CreateWindowExA(0, "STATIC", "Velmora is running.", WS_CHILD | WS_VISIBLE, 12, 12, 380, 20, window,
                  nullptr, instance, nullptr);
  ShowWindow(window, showCommand);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
