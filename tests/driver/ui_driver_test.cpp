#include "tests/driver/ui_driver.h"

#include <gtest/gtest.h>

#include "tests/driver/test_support.h"

namespace velmora::uitest {
namespace {

const std::string kFixtureText = "Первая строка\r\nпункт 2";

TEST(UiDriver, RecordsAMessageBoxAndPressesTheRuledButton) {
  const struct {
    int button;
    size_t windows;
  } cases[] = {{IDNO, 1}, {IDCANCEL, 1}, {IDYES, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button);
    UiDriver driver;
    driver.On(Rule().Class("#32770").Caption("Fixture ✓").Then(Press(c.button)));
    driver.On(Rule().Caption("Fixture child").Text("Второе").Then(Press(IDOK)));
    const RunResult result = driver.Run(BuildFile("tests/driver/driver_fixture.exe"), 30000);
    SCOPED_TRACE(result.Describe());
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, static_cast<DWORD>(c.button));
    ASSERT_EQ(result.windows.size(), c.windows);
    const WindowRecord& box = result.windows[0];
    EXPECT_EQ(box.className, "#32770");
    EXPECT_EQ(box.caption, "Fixture ✓");
    EXPECT_EQ(box.text, kFixtureText);
    EXPECT_TRUE(box.visible);
    EXPECT_EQ(box.defaultButton, IDNO);
    ASSERT_EQ(box.buttons.size(), 3u);
    for (int id : {IDYES, IDNO, IDCANCEL}) EXPECT_NE(box.Button(id), nullptr) << id;
    if (c.windows == 2) {
      // The box of the process the program started is seen and answered too.
      EXPECT_EQ(result.windows[1].caption, "Fixture child");
      EXPECT_NE(result.windows[1].processId, box.processId);
    }
    EXPECT_TRUE(result.spawned.empty());
  }
}

TEST(UiDriver, RefusesAMissingControlAndEndsAHungRunAtTheTimeout) {
  UiDriver driver;
  driver.On(Rule().Caption("Fixture ✓").Then(Press(4711)));
  const RunResult result = driver.Run(BuildFile("tests/driver/driver_fixture.exe"), 3000);
  EXPECT_FALSE(result.finished);
  ASSERT_EQ(result.windows.size(), 1u);
  ASSERT_EQ(result.windows[0].notes.size(), 1u);
  EXPECT_EQ(result.windows[0].notes[0], "no control 4711");
}

TEST(UiDriver, ClosesAnOrdinaryWindowAndRecordsItsControls) {
  UiDriver driver;
  driver.On(Rule().Class("TVelmoraMainForm").Then(Record()).Then(Close()));
  const RunResult result = driver.Run(BuildFile("standins/velmora_app_standin/Velmora.exe"), 30000);
  SCOPED_TRACE(result.Describe());
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 0u);
  ASSERT_EQ(result.windows.size(), 2u);  // as it showed, and the record the rule asked for
  EXPECT_EQ(result.windows[0].caption, "Velmora");
  EXPECT_TRUE(result.windows[0].text.empty());
  const ControlRecord* label = result.windows[0].Control(0);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->className, "Static");
  EXPECT_EQ(label->text, "Velmora is running.");
}

TEST(UiDriver, CommandLineFrontEndRunsAScriptAndPrintsTheRecord) {
  ScratchFolder scratch;
  const std::wstring script = scratch.Path() + L"\\answer.txt";
  {
    const std::string text = "# answer the first box with No\r\nrule\r\n  caption Fixture ✓\r\n  press 7\r\n";
    HANDLE file = CreateFileW(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
  }
  const std::wstring output = scratch.Path() + L"\\out.txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  std::wstring line = L"\"" + BuildFile("tests/driver/driver.exe") + L"\" --timeout 30000 --script \"" + script +
                      L"\" \"" + BuildFile("tests/driver/driver_fixture.exe") + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = out;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                             &startup, &info));
  CloseHandle(out);
  ASSERT_EQ(WaitForSingleObject(info.hProcess, 60000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  EXPECT_EQ(code, static_cast<DWORD>(IDNO));

  HANDLE in = CreateFileW(output.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(in, INVALID_HANDLE_VALUE);
  std::string printed(8192, '\0');
  DWORD read = 0;
  ReadFile(in, printed.data(), static_cast<DWORD>(printed.size()), &read, nullptr);
  CloseHandle(in);
  printed.resize(read);
  EXPECT_NE(printed.find("caption=\"Fixture ✓\""), std::string::npos) << printed;
  EXPECT_NE(printed.find("  text \"Первая строка\\r\\nпункт 2\""), std::string::npos) << printed;
  EXPECT_NE(printed.find("  note pressed 7\n"), std::string::npos) << printed;
  EXPECT_NE(printed.find("exit 7\n"), std::string::npos) << printed;
}

}  // namespace
}  // namespace velmora::uitest
