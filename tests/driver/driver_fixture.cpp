// A small program for the driver's own tests: a message box whose answer is the exit code; Yes
// first starts a second copy of itself ("child") that shows a box of its own.

#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
  if (std::wcsstr(commandLine, L"child")) {
    MessageBoxW(nullptr, L"Второе окно", L"Fixture child", MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  const int answer = MessageBoxW(nullptr, L"Первая строка\r\nпункт 2", L"Fixture ✓",
                                 MB_YESNOCANCEL | MB_DEFBUTTON2 | MB_TOPMOST | MB_ICONQUESTION);
  if (answer == IDYES) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    wchar_t line[MAX_PATH + 16] = {};
    std::swprintf(line, MAX_PATH + 16, L"\"%ls\" child", self);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (CreateProcessW(self, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
      WaitForSingleObject(info.hProcess, INFINITE);
      CloseHandle(info.hThread);
      CloseHandle(info.hProcess);
    }
  }
  return answer;
}
