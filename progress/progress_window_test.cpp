#include "progress/progress_window.h"

#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>

#include "startup/unique_handle.h"

namespace velmora {
namespace {

// The tests share one progress thread, as the installer does: they run in the order written.

std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

int ThreadsOfThisProcess() {
  scoped_handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  return count;
}

TEST(ProgressWindow, CallsBeforeTheFirstShowReturnAtOnceAndShowNothing) {
  SetProgressText("lost");
  SetProgressPosition(2);
  HideProgress();
  SetProgressMax(0);
  SetProgressMax(3);  // no thread will ever make a window: no wait
  EXPECT_EQ(FindWindowA("PlainWindow", nullptr), nullptr);
}

TEST(ProgressWindow, FirstShowMakesTheWindowOnItsOwnThread) {
  SetProgressTitle("replaced before the window exists");
  ShowProgress("Установка файлов Velmora 7700", "");
  SetProgressPosition(0);
  SetProgressMax(3);

  HWND window = FindWindowA("PlainWindow", nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_NE(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId());
  EXPECT_EQ(TextOf(window), "Установка файлов Velmora 7700");
  EXPECT_TRUE(IsWindowVisible(window));

  EXPECT_EQ(GetClassLongA(window, GCL_STYLE), 0x203u);
  EXPECT_EQ(GetClassLongA(window, GCL_CBCLSEXTRA), 4u);
  EXPECT_EQ(GetClassLongA(window, GCL_CBWNDEXTRA), 4u);
  EXPECT_EQ(reinterpret_cast<HBRUSH>(GetClassLongPtrA(window, GCLP_HBRBACKGROUND)), GetStockObject(GRAY_BRUSH));
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(window, GCLP_HCURSOR)), LoadCursorA(nullptr, IDC_ARROW));
  const DWORD style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_DLGFRAME);
  EXPECT_FALSE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_CHILD);
  const DWORD exStyle = GetWindowLongA(window, GWL_EXSTYLE);
  EXPECT_EQ(exStyle & 0x20009u, 0x20009u);

  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.right - rect.left, 408);
  EXPECT_EQ(rect.bottom - rect.top, 76);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 408) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 76) / 2);

  HWND line = FindWindowExA(window, nullptr, "STATIC", nullptr);
  HWND bar = FindWindowExA(window, nullptr, PROGRESS_CLASSA, nullptr);
  ASSERT_NE(line, nullptr);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(line, GWL_STYLE)), 0x50000000u);
  EXPECT_EQ(GetWindowLongA(line, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY, 0);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(bar, GWL_STYLE)) & 0x50040000u, 0x50040000u);
  EXPECT_EQ(TextOf(line), "");
  RECT lineRect{}, barRect{};
  GetWindowRect(line, &lineRect);
  GetWindowRect(bar, &barRect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&lineRect), 2);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&barRect), 2);
  EXPECT_EQ(lineRect.left, 2);
  EXPECT_EQ(lineRect.top, 2);
  EXPECT_EQ(lineRect.right - lineRect.left, 399);
  EXPECT_EQ(lineRect.bottom - lineRect.top, 20);
  EXPECT_EQ(barRect.left, 2);
  EXPECT_EQ(barRect.top, 24);
  EXPECT_EQ(barRect.right - barRect.left, 400);
  EXPECT_EQ(barRect.bottom - barRect.top, 20);

  EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, 0), 0);
  EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 3);
  EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 0);
}

TEST(ProgressWindow, OperationsReachTheWindowFromTheMainThread) {
  HWND window = FindWindowA("PlainWindow", nullptr);
  ASSERT_NE(window, nullptr);
  HWND line = FindWindowExA(window, nullptr, "STATIC", nullptr);
  HWND bar = FindWindowExA(window, nullptr, PROGRESS_CLASSA, nullptr);

  const char* targets[] = {"C:\\Program Files\\Velmora\\Velmora.exe", "C:\\Program Files\\Velmora\\uninstall.exe",
                           "C:\\Program Files\\Velmora\\riched32.dll"};
  for (int k = 1; k <= 3; ++k) {
    SetProgressText(targets[k - 1]);
    SetProgressPosition(k);
    EXPECT_EQ(TextOf(line), targets[k - 1]);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), k);
  }
  SetProgressTitle("Другой заголовок");
  EXPECT_EQ(TextOf(window), "Другой заголовок");
  SetProgressMax(7);
  EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 7);

  HideProgress();
  EXPECT_FALSE(IsWindowVisible(window));
}

TEST(ProgressWindow, ShowAgainReusesTheWindowAtItsFirstPlaceWithEmptyTexts) {
  HWND window = FindWindowA("PlainWindow", nullptr);
  ASSERT_NE(window, nullptr);
  ASSERT_FALSE(IsWindowVisible(window));
  // The user moved it while it was shown.
  SetWindowPos(window, nullptr, 5, 7, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const int threads = ThreadsOfThisProcess();

  ShowProgress("", "");
  EXPECT_EQ(FindWindowA("PlainWindow", nullptr), window);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(TextOf(window), "");
  EXPECT_EQ(TextOf(FindWindowExA(window, nullptr, "STATIC", nullptr)), "");
  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 408) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 76) / 2);
  EXPECT_EQ(rect.right - rect.left, 408);
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

  ShowProgress("Третий", "строка");
  EXPECT_EQ(TextOf(window), "Третий");
  EXPECT_EQ(TextOf(FindWindowExA(window, nullptr, "STATIC", nullptr)), "строка");
  EXPECT_EQ(ThreadsOfThisProcess(), threads);
  SetProgressMax(0);
  HideProgress();
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(IsWindow(window));  // hidden, never destroyed
}

}  // namespace
}  // namespace velmora
