#include "startup/application_instance.h"

#include <gtest/gtest.h>

#include <vector>

#include "startup/install_context.h"
#include "startup/product_constants.h"
#include "startup/unique_handle.h"
#include "tests/driver/test_support.h"
#include "tests/driver/ui_driver.h"

namespace velmora {
namespace {

std::vector<DWORD> g_sleeps;
int g_mappingAtSleep = 0;  // the sleep (1-based) during which the "application" creates its mapping
scoped_handle g_lateMapping;

void RecordSleep(DWORD milliseconds) {
  g_sleeps.push_back(milliseconds);
  if (static_cast<int>(g_sleeps.size()) == g_mappingAtSleep)
    g_lateMapping.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 64, kInstanceMappingName));
}

void RealSleep(DWORD milliseconds) {
  g_sleeps.push_back(milliseconds);
  Sleep(milliseconds);
}

scoped_handle HoldMapping() {
  return scoped_handle(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 64, kInstanceMappingName));
}

// A hidden window of the application's class, owned by the test itself.
class ApplicationWindow {
 public:
  ApplicationWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, kMainWindowClass, "Velmora", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
  }
  ~ApplicationWindow() {
    DestroyWindow(window_);
    UnregisterClassA(kMainWindowClass, GetModuleHandleA(nullptr));
  }
  HWND get() const { return window_; }

 private:
  HWND window_;
};

class ApplicationInstance : public ::testing::Test {
 protected:
  void SetUp() override {
    uitest::EndRunningApplication();
    g_sleeps.clear();
    g_mappingAtSleep = 0;
    SetSleepHookForTesting(RecordSleep);
  }
  void TearDown() override {
    SetSleepHookForTesting(nullptr);
    g_lateMapping.reset();
    Context() = InstallContext{};
  }

  // Starts the stand-in application and waits for its window.
  static PROCESS_INFORMATION StartStandIn() {
    std::wstring exe = uitest::BuildFile("standins/velmora_app_standin/Velmora.exe");
    std::wstring line = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    EXPECT_TRUE(CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    for (int i = 0; i < 200 && !FindWindowA(kMainWindowClass, nullptr); ++i) Sleep(50);
    return info;
  }
};

TEST_F(ApplicationInstance, ProbeSeesAHeldMappingAndNeverKeepsItsOwn) {
  EXPECT_FALSE(IsApplicationRunning());
  // Had the first probe kept its mapping, the second would find it.
  EXPECT_FALSE(IsApplicationRunning());
  {
    scoped_handle held = HoldMapping();
    ASSERT_TRUE(held);
    EXPECT_TRUE(IsApplicationRunning());
    EXPECT_TRUE(IsApplicationRunning());
  }
  EXPECT_FALSE(IsApplicationRunning());
}

TEST_F(ApplicationInstance, RunningApplicationIsAskedToQuitAndEnds) {
  PROCESS_INFORMATION info = StartStandIn();
  scoped_handle process(info.hProcess), thread(info.hThread);
  ASSERT_NE(FindWindowA(kMainWindowClass, nullptr), nullptr);
  EXPECT_TRUE(IsApplicationRunning());

  AskRunningApplicationToQuit();
  EXPECT_EQ(g_sleeps, std::vector<DWORD>{512});
  ASSERT_EQ(WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
  EXPECT_FALSE(IsApplicationRunning());
}

TEST_F(ApplicationInstance, QuitRequestWaitsOnlyWhenTheApplicationRuns) {
  AskRunningApplicationToQuit();
  EXPECT_TRUE(g_sleeps.empty());
  // A mapping without a window: nothing can be asked, the wait still comes.
  scoped_handle held = HoldMapping();
  AskRunningApplicationToQuit();
  EXPECT_EQ(g_sleeps, std::vector<DWORD>{512});
  EXPECT_TRUE(IsApplicationRunning());
}

TEST_F(ApplicationInstance, WaitsForMappingThenWindowWithFixedCounts) {
  const std::vector<DWORD> eightShort(8, 512);
  std::vector<DWORD> mappingThenNoWindow{512};
  mappingThenNoWindow.insert(mappingThenNoWindow.end(), 11, 1024);
  std::vector<DWORD> lastTryThenNoWindow(8, 512);
  lastTryThenNoWindow.insert(lastTryThenNoWindow.end(), 11, 1024);

  const struct {
    const char* name;
    int mappingAtSleep;  // 0: never
    bool window;
    bool expected;
    std::vector<DWORD> sleeps;
  } cases[] = {
      {"never starts", 0, false, false, eightShort},
      {"mapping at once, no window", 1, false, false, mappingThenNoWindow},
      {"mapping at the eighth try, no window", 8, false, false, lastTryThenNoWindow},
      {"mapping at the third try, window at once", 3, true, true, {512, 512, 512, 1024}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    g_sleeps.clear();
    g_lateMapping.reset();
    g_mappingAtSleep = c.mappingAtSleep;
    std::unique_ptr<ApplicationWindow> window;
    if (c.window) window = std::make_unique<ApplicationWindow>();
    EXPECT_EQ(BringInstalledApplicationToFront(), c.expected);
    EXPECT_EQ(g_sleeps, c.sleeps);
    if (window) {
      EXPECT_TRUE(IsWindowVisible(window->get()));
    }
  }
}

TEST_F(ApplicationInstance, StartsTheApplicationFromTheTargetFolderAndShowsItsWindow) {
  wchar_t before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  const std::wstring folder = uitest::BuildFile("standins/velmora_app_standin/");
  Context().TargetFolder = uitest::ToUtf8(folder);  // an ASCII path: the same bytes in every code page
  Context().AppFileName = "Velmora";
  SetSleepHookForTesting(RealSleep);

  StartInstalledApplication();
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  EXPECT_EQ(std::wstring(current) + L"\\", folder);
  SetCurrentDirectoryW(before);

  EXPECT_TRUE(BringInstalledApplicationToFront());
  HWND window = FindWindowA(kMainWindowClass, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  ASSERT_FALSE(g_sleeps.empty());
  EXPECT_LE(g_sleeps.size(), 8u + 11u);
  uitest::EndRunningApplication();
  EXPECT_FALSE(IsApplicationRunning());
}

}  // namespace
}  // namespace velmora
