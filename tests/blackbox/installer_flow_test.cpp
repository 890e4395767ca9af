// The built installer, run from outside: the start-up checks and a cancelled dialog.

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "startup/unique_handle.h"
#include "tests/driver/test_support.h"
#include "tests/driver/ui_driver.h"

namespace velmora::uitest {
namespace {

constexpr DWORD kRunTimeoutMs = 120000;
constexpr int kCancelButtonId = 107;
const char kPromptCaption[] = "Russian is not basic language on your computer!";
const char kPromptText[] =
    "The Velmora is a Russian-language program.\r\nCan you read the following line?\r\n"
    "Это русскоязычная программа. Желаете продолжить установку?\r\n"
    "To ensure correct representation of Russian messages you may set Russian language for non-Unicode programs in "
    "Regional Options of the Control Panel.\r\nWould you like to continue installation of the program?";

bool CyrillicLocale() {
  switch (GetUserDefaultLCID()) {
    case 1026: case 1049: case 1058: case 1059: case 1087: case 1092: case 2073:
      return true;
    default:
      return false;
  }
}

// The bilingual error box as this locale shows it.
std::string ErrorText(const char* english, const char* russian) {
  return CyrillicLocale() ? AsShownByAnsiApi(russian) : english;
}

Rule AnswerPrompt(int button) { return Rule().Class("#32770").Caption(kPromptCaption).Then(Press(button)); }
Rule CancelSetupForm() { return Rule().Class("TSetupForm").Then(Click(kCancelButtonId)); }

std::vector<char> ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const std::wstring& path, const std::vector<char>& bytes) {
  std::ofstream out(path.c_str(), std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class InstallerFlow : public ::testing::Test {
 protected:
  void SetUp() override { ResetProductFootprint(); }
  void TearDown() override { ResetProductFootprint(); }

  static std::wstring Installer() { return BuildFile("resources/VelmoraSetup.exe"); }

  // Classes of the recorded windows, in order.
  static std::vector<std::string> Classes(const RunResult& result) {
    std::vector<std::string> classes;
    for (const WindowRecord& w : result.windows) classes.push_back(w.className);
    return classes;
  }

  static void ExpectNothingInstalled() {
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
      EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey, view)) << view;
      EXPECT_FALSE(PathExists(ProgramFilesFolder(view) + L"\\Velmora")) << view;
    }
    EXPECT_FALSE(PathExists(ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Velmora"));
    EXPECT_FALSE(PathExists(ShellFolder(CSIDL_PROGRAMS) + L"\\Velmora"));
  }
};

TEST_F(InstallerFlow, PromptOnlyOffCyrillicLocalesAndNoEndsWithoutAWindow) {
  if (CyrillicLocale()) {
    UiDriver driver;
    driver.On(CancelSetupForm());
    const RunResult result = driver.Run(Installer(), kRunTimeoutMs);
    SCOPED_TRACE(result.Describe());
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(Classes(result), std::vector<std::string>{"TSetupForm"});
    EXPECT_TRUE(result.WithCaption(kPromptCaption).empty());
    return;
  }
  UiDriver driver;
  driver.On(AnswerPrompt(IDNO));
  const RunResult result = driver.Run(Installer(), kRunTimeoutMs);
  SCOPED_TRACE(result.Describe());
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 0u);
  ASSERT_EQ(Classes(result), std::vector<std::string>{"#32770"});
  const WindowRecord& prompt = result.windows[0];
  EXPECT_EQ(prompt.caption, kPromptCaption);
  // The Russian line arrives as code page 1251 bytes and reads as this system's code page makes it.
  EXPECT_EQ(prompt.text, AsShownByAnsiApi(kPromptText));
  ASSERT_EQ(prompt.buttons.size(), 2u);
  EXPECT_NE(prompt.Button(IDYES), nullptr);
  EXPECT_NE(prompt.Button(IDNO), nullptr);
  EXPECT_EQ(prompt.defaultButton, IDYES);
  ExpectNothingInstalled();
}

TEST_F(InstallerFlow, CancelledDialogInstallsNothing) {
  UiDriver driver;
  driver.On(AnswerPrompt(IDYES));
  driver.On(CancelSetupForm());
  const RunResult result = driver.Run(Installer(), kRunTimeoutMs);
  SCOPED_TRACE(result.Describe());
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 0u);
  const std::vector<std::string> expected =
      CyrillicLocale() ? std::vector<std::string>{"TSetupForm"} : std::vector<std::string>{"#32770", "TSetupForm"};
  EXPECT_EQ(Classes(result), expected);
  EXPECT_TRUE(result.spawned.empty());
  ExpectNothingInstalled();
}

TEST_F(InstallerFlow, RunningApplicationIsAskedToQuit) {
  const std::wstring application = BuildFile("standins/velmora_app_standin/Velmora.exe");
  std::wstring line = L"\"" + application + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &info));
  scoped_handle process(info.hProcess), thread(info.hThread);
  for (int i = 0; i < 200 && !FindWindowW(L"TVelmoraMainForm", nullptr); ++i) Sleep(50);
  ASSERT_NE(FindWindowW(L"TVelmoraMainForm", nullptr), nullptr);

  UiDriver driver;
  driver.On(AnswerPrompt(IDYES));
  driver.On(CancelSetupForm());
  const RunResult result = driver.Run(Installer(), kRunTimeoutMs);
  SCOPED_TRACE(result.Describe());
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(WaitForSingleObject(process.get(), 0), WAIT_OBJECT_0) << "the application still runs";
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process.get(), &code);
  EXPECT_EQ(code, 0u);  // it left its message loop, it was not killed
  EXPECT_EQ(Classes(result).back(), "TSetupForm");
}

TEST_F(InstallerFlow, PackageThatFailsItsCheckIsRefused) {
  const std::vector<char> sealed = ReadAll(Installer());
  ASSERT_FALSE(sealed.empty());
  ScratchFolder scratch;

  // One byte of the carried application changed.
  std::vector<char> altered = sealed;
  const std::string carried = "Velmora is running.";
  auto at = std::search(altered.begin(), altered.end(), carried.begin(), carried.end());
  ASSERT_NE(at, altered.end());
  *at ^= 0x20;
  const std::wstring alteredCopy = scratch.Path() + L"\\VelmoraSetup.exe";
  WriteAll(alteredCopy, altered);

  // An intact copy in a folder whose name no single-byte code page holds: the installer cannot
  // name its own file through the ANSI functions, so it cannot read it to check.
  const std::wstring unreadableFolder = scratch.Path() + L"\\検査";
  ASSERT_TRUE(CreateDirectoryW(unreadableFolder.c_str(), nullptr));
  const std::wstring unreadableCopy = unreadableFolder + L"\\VelmoraSetup.exe";
  WriteAll(unreadableCopy, sealed);

  const struct {
    const char* name;
    std::wstring exe;
    std::string text;
  } cases[] = {
      {"altered", alteredCopy,
       ErrorText("The package file has been distorted!\r\nVirus?", "Файл пакета установки искажён!\r\nВирус?")},
      {"unreadable", unreadableCopy,
       ErrorText("Failed to check up the package file!", "Не удаётся проверить файл пакета установки!")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UiDriver driver;
    driver.On(Rule().Class("#32770").Caption("Velmora").Then(Press(IDOK)));
    const RunResult result = driver.Run(c.exe, kRunTimeoutMs);
    SCOPED_TRACE(result.Describe());
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0u);
    ASSERT_EQ(Classes(result), std::vector<std::string>{"#32770"});
    EXPECT_EQ(result.windows[0].text, c.text);
    ASSERT_EQ(result.windows[0].buttons.size(), 1u);
    EXPECT_NE(result.windows[0].Button(IDOK), nullptr);
  }
  ExpectNothingInstalled();
}

}  // namespace
}  // namespace velmora::uitest
