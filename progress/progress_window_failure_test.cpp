#include <windows.h>

#include <gtest/gtest.h>

#include "progress/progress_window.h"

namespace velmora {
namespace {

// With the window class already taken, the progress thread ends without a window: the
// installation must not wait for it.
TEST(ProgressWindowWithoutWindow, SetProgressMaxReturnsWhenTheThreadEndsWithoutAWindow) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "PlainWindow";
  ASSERT_NE(RegisterClassExA(&windowClass), 0);

  ShowProgress("Заголовок", "");
  SetProgressPosition(0);
  SetProgressMax(3);
  SetProgressText("C:\\Velmora\\Velmora.exe");
  SetProgressPosition(1);
  HideProgress();
  ShowProgress("", "");
  SetProgressMax(3);
  EXPECT_EQ(FindWindowA("PlainWindow", nullptr), nullptr);
}

}  // namespace
}  // namespace velmora
