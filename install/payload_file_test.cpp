#include "install/payload_file.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "install/install_test_support.h"
#include "install/version_text.h"
#include "progress/progress_window.h"
#include "startup/install_context.h"

namespace velmora {
namespace {

using testing::BoxRecorder;
using testing::FileExists;
using testing::ReadWholeFile;
using testing::ResourceBytes;
using testing::ScratchFolder;

class PayloadFile : public ::testing::Test {
 protected:
  void SetUp() override { testing::UseSystemLocale(); }
  void TearDown() override {
    EXPECT_TRUE(folder_.Remove()) << "a handle to a file in the folder was left open";
    Context() = InstallContext{};
  }

  bool Russian() const { return Context().CyrillicLocale; }
  std::string ErrorText(const std::string& target) const {
    return (Russian() ? "Не удается установить файл " : "Can't install file ") + target;
  }

  ScratchFolder folder_{"VelmoraPayloadTest"};
  const std::string target_ = folder_ / "Velmora.exe";
  const std::string temporary_ = folder_ / "~Velmora.exe";
};

TEST_F(PayloadFile, NoInstalledFileIsWrittenStraightWithoutAnyQuestion) {
  BoxRecorder boxes;
  // A directory under the temporary name would make a guarded write fail.
  ASSERT_TRUE(CreateDirectoryA(temporary_.c_str(), nullptr));
  InstallPayloadFile("Velmora", "exe", target_, true);
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_EQ(ReadWholeFile(target_), ResourceBytes("VELMORA", "EXE"));
  EXPECT_EQ(GetFileVersionText(target_), "7700.0.0.0");
  RemoveDirectoryA(temporary_.c_str());
}

TEST_F(PayloadFile, VersionTextsOfTheCarriedFiles) {
  InstallPayloadFile("VelmoraNewer", "exe", target_, true);
  InstallPayloadFile("uninstall", "exe", folder_ / "uninstall.exe", true);
  InstallPayloadFile("riched32", "dll", folder_ / "riched32.dll", true);
  testing::WriteWholeFile(folder_ / "notes.txt", "7700.0.0.0");
  EXPECT_EQ(GetFileVersionText(target_), "7700.0.0.1");
  EXPECT_EQ(GetFileVersionText(folder_ / "uninstall.exe"), "");
  EXPECT_EQ(GetFileVersionText(folder_ / "riched32.dll"), "");
  EXPECT_EQ(GetFileVersionText(folder_ / "notes.txt"), "");
  EXPECT_EQ(GetFileVersionText(folder_ / "missing.exe"), "");
}

HWND g_progressWindow = nullptr;
bool g_hiddenDuringQuestion = false;
std::string g_temporaryVersion;
std::string g_temporaryPath;

void LookDuringQuestion() {
  g_hiddenDuringQuestion = !IsWindowVisible(g_progressWindow);
  g_temporaryVersion = GetFileVersionText(g_temporaryPath);
}

TEST_F(PayloadFile, OlderNewCopyAsksAndNoKeepsTheInstalledFile) {
  ShowProgress("Caption", "line");
  SetProgressMax(1);
  g_progressWindow = FindWindowA("PlainWindow", nullptr);
  ASSERT_NE(g_progressWindow, nullptr);
  g_temporaryPath = temporary_;

  InstallPayloadFile("VelmoraNewer", "exe", target_, true);
  BoxRecorder boxes(IDNO);
  boxes.set_on_show(LookDuringQuestion);
  InstallPayloadFile("Velmora", "exe", target_, true);

  ASSERT_EQ(boxes.shown().size(), 1u);
  const MessageBoxRequest& box = boxes.shown()[0];
  EXPECT_EQ(box.flags, 0x42024u);
  if (Russian()) {
    EXPECT_TRUE(box.extended);
    EXPECT_EQ(box.language, 0x0019);
    EXPECT_EQ(box.caption, "Резонный вопрос");
    EXPECT_EQ(box.text, "Устанавливаемый файл " + target_ +
                            "\r\nболее старой версии, чем уже установленный.\r\n\r\n"
                            "Действительно ли Вы хотите заменить уже имеющийся\r\n"
                            "файл версии 7700.0.0.1 на более старый версии 7700.0.0.0?");
  } else {
    EXPECT_FALSE(box.extended);
    EXPECT_EQ(box.caption, "Sound question");
    EXPECT_EQ(box.text, target_ +
                            " file installing is of older version\r\nthan the same already installed.\r\n\r\n"
                            "Do you really want to replace existing\r\n"
                            "new file version 7700.0.0.1 with an older file version 7700.0.0.0?");
  }
  EXPECT_TRUE(g_hiddenDuringQuestion);
  EXPECT_EQ(g_temporaryVersion, "7700.0.0.0");  // the new copy waits under the "~" name

  EXPECT_EQ(GetFileVersionText(target_), "7700.0.0.1");
  EXPECT_FALSE(FileExists(temporary_));
  // The window is back, with its caption and line emptied.
  EXPECT_TRUE(IsWindowVisible(g_progressWindow));
  char text[64] = "x";
  GetWindowTextA(g_progressWindow, text, sizeof text);
  EXPECT_STREQ(text, "");
  GetWindowTextA(FindWindowExA(g_progressWindow, nullptr, "STATIC", nullptr), text, sizeof text);
  EXPECT_STREQ(text, "");
  HideProgress();
}

TEST_F(PayloadFile, OlderNewCopyReplacesTheInstalledFileOnYes) {
  InstallPayloadFile("VelmoraNewer", "exe", target_, true);
  BoxRecorder boxes(IDYES);
  InstallPayloadFile("Velmora", "exe", target_, true);
  EXPECT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(ReadWholeFile(target_), ResourceBytes("VELMORA", "EXE"));
  EXPECT_FALSE(FileExists(temporary_));
  HideProgress();
}

TEST_F(PayloadFile, NewerOrSameVersionAndFilesWithoutVersionAreReplacedWithoutAQuestion) {
  struct Case { const char* installedResource; const char* resource; const char* file; } cases[] = {
      {"Velmora", "Velmora", "Velmora.exe"},          // same version
      {"Velmora", "VelmoraNewer", "Velmora.exe"},     // newer
      {"uninstall", "uninstall", "uninstall.exe"},    // no version on either side
      {"uninstall", "Velmora", "Velmora.exe"},        // installed file without a version
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.installedResource) + " -> " + c.resource);
    const std::string target = folder_ / c.file;
    InstallPayloadFile(c.installedResource, "exe", target, true);
    // Appended bytes leave the installed file's version readable but tell the copies apart.
    testing::WriteWholeFile(target, ReadWholeFile(target) + "installed");
    BoxRecorder boxes;
    InstallPayloadFile(c.resource, "exe", target, true);
    EXPECT_TRUE(boxes.shown().empty());
    std::string expected = ResourceBytes(c.resource, "EXE");
    EXPECT_EQ(ReadWholeFile(target), expected);
    EXPECT_FALSE(FileExists(MakeTempFileName(target)));
  }
}

TEST_F(PayloadFile, OnlyLowerCaseExeWithTheGuardOnIsGuarded) {
  struct Case { const char* resource; const char* kind; const char* file; bool guarded; } cases[] = {
      {"Velmora", "EXE", "Velmora.exe", true},
      {"Velmora", "exe", "Velmora.exe", false},
      {"riched32", "dll", "carried.dll", true},  // a name Wine does not take for its own library
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + " " + c.file);
    const std::string target = folder_ / c.file;
    // A newer installed file, and a directory where a guarded write would put its "~" copy.
    InstallPayloadFile("VelmoraNewer", "exe", target, false);
    ASSERT_EQ(GetFileVersionText(target), "7700.0.0.1");
    ASSERT_TRUE(CreateDirectoryA(MakeTempFileName(target).c_str(), nullptr));
    BoxRecorder boxes;
    InstallPayloadFile(c.resource, c.kind, target, c.guarded);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(ReadWholeFile(target), ResourceBytes(c.resource, c.kind));
    RemoveDirectoryA(MakeTempFileName(target).c_str());
  }
}

TEST_F(PayloadFile, RunningInstalledApplicationCannotBeReplacedAndTheNewCopyStays) {
  InstallPayloadFile("Velmora", "exe", target_, true);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(target_.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, folder_.path().c_str(),
                             &startup, &process));
  WaitForInputIdle(process.hProcess, 10000);

  BoxRecorder boxes;
  InstallPayloadFile("Velmora", "exe", target_, true);

  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, ErrorText(target_));
  EXPECT_EQ(boxes.shown()[0].flags, 0x200010u);
  EXPECT_TRUE(FileExists(target_));
  EXPECT_EQ(ReadWholeFile(temporary_), ResourceBytes("VELMORA", "EXE"));
}

TEST_F(PayloadFile, MissingResourceIsReportedAndNothingIsWritten) {
  BoxRecorder boxes;
  InstallPayloadFile("Absent", "exe", folder_ / "Absent.exe", true);
  InstallPayloadFile("Velmora", "dll", folder_ / "Velmora.dll", true);
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[0].text, ErrorText(folder_ / "Absent.exe"));
  EXPECT_EQ(boxes.shown()[1].text, ErrorText(folder_ / "Velmora.dll"));
  EXPECT_FALSE(FileExists(folder_ / "Absent.exe"));
  EXPECT_FALSE(FileExists(folder_ / "~Absent.exe"));
  EXPECT_FALSE(FileExists(folder_ / "Velmora.dll"));
}

TEST_F(PayloadFile, UnwritableTargetIsReported) {
  BoxRecorder boxes;
  const std::string target = folder_ / "missing folder\\riched32.dll";
  InstallPayloadFile("riched32", "dll", target, true);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, ErrorText(target));
}

}  // namespace
}  // namespace velmora
