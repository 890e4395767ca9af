#include "install/file_list.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/install_test_support.h"
#include "startup/install_context.h"

namespace velmora {
namespace {

using testing::BoxRecorder;
using testing::FileExists;
using testing::ScratchFolder;

// What the progress window shows at each wait for a file, seen from the main thread.
struct Look {
  unsigned long milliseconds;
  bool visible;
  std::string caption;
  std::string line;
  LRESULT position;
  LRESULT high;
};
std::vector<Look> g_looks;

std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

void RecordLook(unsigned long milliseconds) {
  HWND window = FindWindowA("PlainWindow", nullptr);
  HWND bar = FindWindowExA(window, nullptr, PROGRESS_CLASSA, nullptr);
  g_looks.push_back({milliseconds, IsWindowVisible(window) != FALSE, TextOf(window),
                     TextOf(FindWindowExA(window, nullptr, "STATIC", nullptr)), SendMessageA(bar, PBM_GETPOS, 0, 0),
                     SendMessageA(bar, PBM_GETRANGE, FALSE, 0)});
}

class FileListPass : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::UseSystemLocale();
    Context().TargetFolder = folder_.path();
    g_looks.clear();
    SetFileWaitSleepHookForTesting(RecordLook);
  }
  void TearDown() override {
    SetFileWaitSleepHookForTesting(nullptr);
    EXPECT_TRUE(folder_.Remove());
    Context() = InstallContext{};
  }
  bool Russian() const { return Context().CyrillicLocale; }

  ScratchFolder folder_{"VelmoraFileListTest"};
};

TEST_F(FileListPass, EmptyListShowsNothing) {
  BoxRecorder boxes;
  const HWND before = FindWindowA("PlainWindow", nullptr);
  EXPECT_FALSE(InstallFileList());
  HWND window = FindWindowA("PlainWindow", nullptr);
  EXPECT_TRUE(window == before && (!window || !IsWindowVisible(window)));
  EXPECT_TRUE(g_looks.empty());
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(FileListPass, TheThreeCarriedFilesAreWrittenWithTheWindowShowingEach) {
  BoxRecorder boxes;
  Context().FileList = "Velmora.exe;uninstall.exe;riched32.dll;";
  EXPECT_TRUE(InstallFileList());

  const std::string caption = Russian() ? "Установка файлов Velmora 7700" : "Velmora Copy 7700 files copying...";
  const std::string files[] = {"Velmora.exe", "uninstall.exe", "riched32.dll"};
  // Each file is there at the first look, 128 ms after its write.
  ASSERT_EQ(g_looks.size(), 3u);
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(files[k]);
    EXPECT_EQ(g_looks[k].milliseconds, 128u);
    EXPECT_TRUE(g_looks[k].visible);
    EXPECT_EQ(g_looks[k].caption, caption);
    EXPECT_EQ(g_looks[k].line, folder_ / files[k]);
    EXPECT_EQ(g_looks[k].position, k + 1);
    EXPECT_EQ(g_looks[k].high, 3);
    EXPECT_TRUE(FileExists(folder_ / files[k]));
  }
  EXPECT_EQ(Context().FileList, "");
  EXPECT_FALSE(IsWindowVisible(FindWindowA("PlainWindow", nullptr)));
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(FileListPass, FileThatNeverAppearsIsReportedAfterSixtyFourLooksAndThePassGoesOn) {
  BoxRecorder boxes;
  Context().FileList = "Absent.exe;riched32.dll;";
  EXPECT_TRUE(InstallFileList());

  // 64 looks, then one more sleep before the message; the next file is found at once.
  ASSERT_EQ(g_looks.size(), 65u + 1u);
  for (const Look& look : g_looks) EXPECT_EQ(look.milliseconds, 128u);
  EXPECT_EQ(g_looks[64].line, folder_ / "Absent.exe");
  EXPECT_EQ(g_looks[65].line, folder_ / "riched32.dll");
  ASSERT_EQ(boxes.shown().size(), 2u);
  const std::string target = folder_ / "Absent.exe";
  EXPECT_EQ(boxes.shown()[0].text, (Russian() ? "Не удается установить файл " : "Can't install file ") + target);
  EXPECT_EQ(boxes.shown()[1].text,
            Russian() ? "Не удается установить файл Absent.exe" : "Can't install file Absent.exe");
  EXPECT_EQ(boxes.shown()[1].flags, 0x200010u);
  EXPECT_TRUE(FileExists(folder_ / "riched32.dll"));
  EXPECT_EQ(Context().FileList, "");
}

}  // namespace
}  // namespace velmora
