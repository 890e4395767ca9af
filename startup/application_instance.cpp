#include "startup/application_instance.h"

#include <shellapi.h>

#include <string>

#include "startup/install_context.h"
#include "startup/product_constants.h"
#include "startup/unique_handle.h"

namespace velmora {
namespace {

constexpr DWORD kInstanceMappingSize = 64;
constexpr DWORD kQuitGraceMs = 512;
constexpr int kMappingTries = 8;
constexpr DWORD kMappingTryMs = 512;
constexpr int kWindowTries = 11;
constexpr DWORD kWindowTryMs = 1024;

SleepHook g_sleep = nullptr;

void Pause(DWORD milliseconds) {
  if (g_sleep)
    g_sleep(milliseconds);
  else
    Sleep(milliseconds);
}

HWND FindApplicationWindow() { return FindWindowA(kMainWindowClass, nullptr); }

}  // namespace

void SetSleepHookForTesting(SleepHook hook) { g_sleep = hook; }

bool IsApplicationRunning() {
  scoped_handle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           kInstanceMappingSize, kInstanceMappingName));
  return GetLastError() == ERROR_ALREADY_EXISTS;
}

void AskRunningApplicationToQuit() {
  if (!IsApplicationRunning()) return;
  if (HWND window = FindApplicationWindow()) PostMessageA(window, WM_QUIT, 0, 0);
  Pause(kQuitGraceMs);
}

void StartInstalledApplication() {
  const InstallContext& context = Context();
  SetCurrentDirectoryA(context.TargetFolder.c_str());
  const std::string file = context.TargetFolder + context.AppFileName + ".exe";
  ShellExecuteA(nullptr, "open", file.c_str(), "", "", SW_SHOWNORMAL);
}

bool BringInstalledApplicationToFront() {
  bool running = false;
  for (int i = 0; i < kMappingTries && !running; ++i) {
    Pause(kMappingTryMs);
    running = IsApplicationRunning();
  }
  if (!running) return false;

  for (int i = 0; i < kWindowTries; ++i) {
    Pause(kWindowTryMs);
    if (HWND window = FindApplicationWindow()) {
      ShowWindow(window, SW_SHOWNORMAL);
      SetForegroundWindow(window);
      return true;
    }
  }
  return false;
}

}  // namespace velmora
