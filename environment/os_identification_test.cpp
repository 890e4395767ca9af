#include "environment/os_identification.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "startup/install_context.h"
#include "startup/startup_init.h"
#include "startup/unique_handle.h"

namespace velmora {
namespace {

const char kNtCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

std::optional<std::string> ProductName() {
  scoped_hkey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNtCurrentVersion, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.receive()) !=
      ERROR_SUCCESS)
    return std::nullopt;
  char text[512] = {};
  DWORD type = 0, size = sizeof text - 1;
  if (RegQueryValueExA(key.get(), "ProductName", nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  return std::string(text);
}

std::string EnvironmentVariable(const char* name) {
  char value[1024];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length < sizeof value ? std::string(value, length) : std::string();
}

std::string ReadFileText(const std::string& path) {
  scoped_handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  std::string text;
  char chunk[1024];
  DWORD got = 0;
  while (file && ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
  return text;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  scoped_find find(FindFirstFileA((folder + "\\*").c_str(), &found));
  if (!find) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find.get(), &found));
  return names;
}

std::string TestProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

TEST(DescribeWindows, NamesTheWinePrefixAsSixtyFourBitAndSetsTheFlag) {
  // Wine reports Windows 7 (6.1), so the registry product name leads the description.
  const std::optional<std::string> productName = ProductName();
  ASSERT_TRUE(productName);
  Context().Is64BitWindows = false;
  const std::string description = DescribeWindows();
  EXPECT_EQ(description, *productName + " 64-bit Service Pack 1");
  EXPECT_TRUE(Context().Is64BitWindows);

  std::string name = "stale", servicePack = "stale";
  ASSERT_TRUE(IdentifyWindows(name, servicePack));
  EXPECT_EQ(name, *productName + " 64-bit");
  EXPECT_EQ(servicePack, "Service Pack 1");
  Context() = InstallContext{};
}

TEST(DescribeWindows, StartupGivesTheRegistryTheSixtyFourBitView) {
  InitializeStartup();
  ASSERT_NE(Context().Registry, nullptr);
  EXPECT_TRUE(Context().Is64BitWindows);
  EXPECT_EQ(Context().Registry->Access(), static_cast<REGSAM>(0xF013F));
  FinalizeStartup();
  EXPECT_EQ(Context().Registry, nullptr);
}

// Runs the report program under a Windows version set for it (and for the command interpreter it
// starts for "ver") through Wine's per-program defaults, optionally without the registry's
// product name, so the version tables themselves show in the description.
class OtherWindowsVersions : public ::testing::Test {
 protected:
  static constexpr char kAppDefaults[] = "Software\\Wine\\AppDefaults\\";
  static constexpr char kReportProgram[] = "velmora_os_report.exe";

  void TearDown() override {
    for (const char* program : {kReportProgram, "cmd.exe"})
      RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kAppDefaults) + program).c_str());
    if (savedProductName_) WriteProductName(*savedProductName_);
    DeleteFileA(reportPath_.c_str());
  }

  static void SetVersion(const char* program, const char* version) {
    scoped_hkey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kAppDefaults) + program).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, key.receive(), nullptr), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                             static_cast<DWORD>(strlen(version) + 1)), ERROR_SUCCESS);
  }

  static void WriteProductName(const std::string& name) {
    scoped_hkey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNtCurrentVersion, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                            key.receive()), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), "ProductName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                             static_cast<DWORD>(name.size() + 1)), ERROR_SUCCESS);
  }

  void HideProductName() {
    savedProductName_ = ProductName();
    ASSERT_TRUE(savedProductName_);
    scoped_hkey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNtCurrentVersion, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                            key.receive()), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueA(key.get(), "ProductName"), ERROR_SUCCESS);
  }

  // The report's three lines: description, 64-bit flag, access mask.
  std::vector<std::string> RunReport() {
    const std::string program = TestProgramFolder() + kReportProgram;
    reportPath_ = EnvironmentVariable("Temp") + "\\velmora_os_report.txt";
    std::string commandLine = "\"" + program + "\" \"" + reportPath_ + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
      ADD_FAILURE() << "cannot start " << program;
      return {};
    }
    scoped_handle processHandle(process.hProcess), threadHandle(process.hThread);
    EXPECT_EQ(WaitForSingleObject(processHandle.get(), 120000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(processHandle.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);

    std::vector<std::string> lines;
    const std::string text = ReadFileText(reportPath_);
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
      lines.push_back(text.substr(start, end - start));
    return lines;
  }

  std::optional<std::string> savedProductName_;
  std::string reportPath_;
};

TEST_F(OtherWindowsVersions, EachVersionIsNamedAndChoosesTheRegistryView) {
  struct Row {
    const char* version;
    bool withoutProductName;
    std::string description;
    const char* is64;
    const char* access;
  };
  const std::optional<std::string> productName = ProductName();
  ASSERT_TRUE(productName);
  const Row rows[] = {
      {"winxp", false, "Microsoft Windows XP Professional Service Pack 3", "0", "f003f"},
      {"winxp64", false, "Microsoft Windows XP Professional x64 Service Pack 2", "0", "f003f"},
      {"win7", false, *productName + " 64-bit Service Pack 1", "1", "f013f"},
      // Without a compatibility manifest the later versions report 6.2; "ver" tells them apart.
      {"win10", false, *productName + " 64-bit", "1", "f013f"},
      {"win8", true, "Microsoft Windows 8  64-bit", "1", "f013f"},
      {"win81", true, "Microsoft Windows 8.1  64-bit", "1", "f013f"},
      {"win10", true, "Microsoft Windows 10  64-bit", "1", "f013f"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.version) + (row.withoutProductName ? " without ProductName" : ""));
    SetVersion(kReportProgram, row.version);
    SetVersion("cmd.exe", row.version);
    if (row.withoutProductName && !savedProductName_) HideProductName();
    const std::vector<std::string> report = RunReport();
    ASSERT_EQ(report.size(), 3u);
    EXPECT_EQ(report[0], row.description);
    EXPECT_EQ(report[1], row.is64);
    EXPECT_EQ(report[2], row.access);
  }
}

// A scratch Temp folder shows the output file while the command runs and proves it gone after.
class CommandCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    savedTemp_ = EnvironmentVariable("Temp");
    savedComSpec_ = EnvironmentVariable("ComSpec");
    scratch_ = savedTemp_ + "\\velmora_capture_test";
    ASSERT_TRUE(CreateDirectoryA(scratch_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    SetEnvironmentVariableA("Temp", scratch_.c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableA("Temp", savedTemp_.c_str());
    SetEnvironmentVariableA("ComSpec", savedComSpec_.c_str());
    for (const std::string& name : FilesIn(scratch_)) DeleteFileA((scratch_ + "\\" + name).c_str());
    EXPECT_TRUE(RemoveDirectoryA(scratch_.c_str()));
  }

  std::string savedTemp_, savedComSpec_, scratch_;
};

TEST_F(CommandCapture, VerOutputComesBackAndTheFileIsDeleted) {
  const std::string output = RunCommandCapture("ver");
  EXPECT_EQ(output.rfind("\r\nMicrosoft Windows ", 0), 0u) << output;
  EXPECT_EQ(output.substr(output.size() - 2), "\r\n");
  EXPECT_TRUE(FilesIn(scratch_).empty());
}

TEST_F(CommandCapture, OutputFileIsEightLowerCaseLettersInTemp) {
  // The listing runs while the redirection holds the file, so it names the file itself.
  const std::string output = RunCommandCapture("dir /b \"" + scratch_ + "\"");
  ASSERT_EQ(output.size(), 10u) << output;
  for (char c : output.substr(0, 8)) EXPECT_TRUE(c >= 'a' && c <= 'z') << output;
  EXPECT_EQ(output.substr(8), "\r\n");
  EXPECT_TRUE(FilesIn(scratch_).empty());
}

TEST_F(CommandCapture, EveryLineEndsInCarriageReturnLineFeed) {
  const std::string source = scratch_ + "\\lines.txt";
  {
    scoped_handle file(CreateFileA(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const char text[] = "first\nsecond\r\n\r\nlast";
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), text, sizeof text - 1, &written, nullptr));
  }
  EXPECT_EQ(RunCommandCapture("type \"" + source + "\""), "first\r\nsecond\r\n\r\nlast\r\n");
  DeleteFileA(source.c_str());
  // No output at all still gives one empty line.
  EXPECT_EQ(RunCommandCapture("rem"), "\r\n");
  EXPECT_TRUE(FilesIn(scratch_).empty());
}

TEST_F(CommandCapture, OemTextBecomesAnsiText) {
  // Capital En, small a, small sha in the OEM code page of the Russian locale, else e-acute.
  const UINT oem = GetOEMCP();
  std::string oemText, ansiText;
  if (oem == 866 && GetACP() == 1251) {
    oemText = "\x8D\xA0\xE8";
    ansiText = "\xCD\xE0\xF8";
  } else if (oem == 437 && GetACP() == 1252) {
    oemText = "\x82";
    ansiText = "\xE9";
  } else {
    GTEST_SKIP() << "code pages " << oem << "/" << GetACP();
  }
  const std::string source = scratch_ + "\\oem.txt";
  {
    scoped_handle file(CreateFileA(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), oemText.data(), static_cast<DWORD>(oemText.size()), &written, nullptr));
  }
  EXPECT_EQ(RunCommandCapture("type \"" + source + "\""), ansiText + "\r\n");
  DeleteFileA(source.c_str());
}

TEST_F(CommandCapture, WithoutAUsableComSpecNothingRuns) {
  SetEnvironmentVariableA("ComSpec", nullptr);
  EXPECT_EQ(RunCommandCapture("ver"), "");
  // A value too long for the 260-character buffer counts as not set.
  SetEnvironmentVariableA("ComSpec", ("C:\\" + std::string(300, 'x') + ".exe").c_str());
  EXPECT_EQ(RunCommandCapture("ver"), "");
  EXPECT_TRUE(FilesIn(scratch_).empty());
}

TEST_F(CommandCapture, AnInterpreterThatDoesNotStartGivesOneEmptyLine) {
  SetEnvironmentVariableA("ComSpec", (scratch_ + "\\missing.exe").c_str());
  EXPECT_EQ(RunCommandCapture("ver"), "\r\n");
  EXPECT_TRUE(FilesIn(scratch_).empty());
}

}  // namespace
}  // namespace velmora
