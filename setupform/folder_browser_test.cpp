#include "setupform/folder_browser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <string>

namespace velmora {
namespace {

struct ThreadWindowSearch {
  const char* className;
  HWND found;
};

BOOL CALLBACK MatchClass(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<ThreadWindowSearch*>(data);
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  if (lstrcmpA(name, search->className) == 0 && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// The visible dialog box of a thread, waited for up to a minute (the shell's dialog is slow to come up).
HWND WaitForDialog(DWORD thread) {
  for (int i = 0; i < 600; ++i) {
    ThreadWindowSearch search{"#32770", nullptr};
    EnumThreadWindows(thread, MatchClass, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(100);
  }
  return nullptr;
}

BOOL CALLBACK CountExtraButtons(HWND child, LPARAM data) {
  char name[64] = {};
  GetClassNameA(child, name, sizeof(name));
  const int id = GetDlgCtrlID(child);
  if (lstrcmpiA(name, "Button") == 0 && IsWindowVisible(child) && id != IDOK && id != IDCANCEL)
    ++*reinterpret_cast<int*>(data);
  return TRUE;
}

struct BrowseRun {
  bool result = false;
  std::string path;
  int extraButtons = -1;
};

// Runs the real dialog on a thread of its own and answers it with `button` once it is up.
BrowseRun Browse(std::string start, int button, bool allowNewFolder) {
  BrowseRun run;
  run.path = std::move(start);
  std::promise<DWORD> threadId;
  auto browsing = std::async(std::launch::async, [&] {
    threadId.set_value(GetCurrentThreadId());
    run.result = BrowseForFolder("Выбор папки", L"", run.path, allowNewFolder, false, false);
  });
  HWND dialog = WaitForDialog(threadId.get_future().get());
  if (dialog) {
    Sleep(1000);  // let the dialog finish coming up before it is answered
    run.extraButtons = 0;
    EnumChildWindows(dialog, CountExtraButtons, reinterpret_cast<LPARAM>(&run.extraButtons));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
  }
  browsing.wait();
  return run;
}

class FolderBrowser : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "browse_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string folder_;
};

TEST_F(FolderBrowser, MissingStartFolderIsEmptiedEvenOnCancel) {
  const BrowseRun run = Browse(folder_ + "\\missing\\", IDCANCEL, true);
  EXPECT_FALSE(run.result);
  EXPECT_EQ(run.path, "");
}

TEST_F(FolderBrowser, NewFolderButtonOnlyWhenAllowed) {
  const std::string missing = folder_ + "\\missing";
  EXPECT_EQ(Browse(missing, IDCANCEL, true).extraButtons, 1);
  EXPECT_EQ(Browse(missing, IDCANCEL, false).extraButtons, 0);
}

UINT received = 0;
WPARAM receivedWParam = 0;
LPARAM receivedLParam = 0;

// A plain window stands in for the dialog and records what it is sent.
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_USER) {
    received = message;
    receivedWParam = wParam;
    receivedLParam = lParam;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(BrowseCallback, SelectsTheStartFolderOnlyWhenTheDialogIsUp) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = RecordingProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "BrowseCallbackProbe";
  RegisterClassA(&windowClass);
  HWND probe = CreateWindowExA(0, "BrowseCallbackProbe", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(probe, nullptr);
  const char start[] = "C:\\windows";

  EXPECT_EQ(BrowseCallback(probe, BFFM_SELCHANGED, 0, reinterpret_cast<LPARAM>(start)), 0);
  EXPECT_EQ(received, 0u);
  EXPECT_EQ(BrowseCallback(probe, BFFM_INITIALIZED, 0, reinterpret_cast<LPARAM>(start)), 0);
  EXPECT_EQ(received, 0x0466u);
  EXPECT_EQ(receivedWParam, 1u);
  EXPECT_EQ(receivedLParam, reinterpret_cast<LPARAM>(start));
  DestroyWindow(probe);
}

}  // namespace
}  // namespace velmora
