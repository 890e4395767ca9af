// driver.exe: runs a program under the UI driver and prints what it showed, as UTF-8 lines.
//
//   driver.exe [--timeout MS] [--cwd FOLDER] [--script FILE] PROGRAM [ARGUMENTS...]
//
// The script (UTF-8) lists rules; a line "rule" starts one, the lines after it refine it:
//   class NAME | caption TEXT | text PART | times N | pause MS          which windows, how often
//   press ID | click ID | settext ID TEXT | close | record | wait MS   what to do, in order
// Empty lines and lines starting with '#' are ignored. Exit code: the program's, 124 on timeout,
// 125 when it could not be started, 126 for a bad command line or script.

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/driver/ui_driver.h"

namespace {

using namespace velmora::uitest;

void Print(const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool ParseScript(const std::wstring& file, UiDriver& driver) {
  std::ifstream in(file.c_str());
  if (!in) return false;
  Rule rule;
  bool open = false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    std::istringstream words(line.substr(start));
    std::string keyword;
    words >> keyword;
    std::string rest;
    std::getline(words >> std::ws, rest);
    if (keyword == "rule") {
      if (open) driver.On(rule);
      rule = Rule{};
      open = true;
      continue;
    }
    if (!open) return false;
    std::istringstream argument(rest);
    int number = 0;
    if (keyword == "class") rule.className = rest;
    else if (keyword == "caption") rule.caption = rest;
    else if (keyword == "text") rule.textContains = rest;
    else if (keyword == "times" && (argument >> number)) rule.times = number;
    else if (keyword == "pause" && (argument >> number)) rule.pauseMs = static_cast<DWORD>(number);
    else if (keyword == "press" && (argument >> number)) rule.steps.push_back(Press(number));
    else if (keyword == "click" && (argument >> number)) rule.steps.push_back(Click(number));
    else if (keyword == "settext" && (argument >> number)) {
      std::string text;
      std::getline(argument >> std::ws, text);
      rule.steps.push_back(SetText(number, text));
    } else if (keyword == "close") rule.steps.push_back(Close());
    else if (keyword == "record") rule.steps.push_back(Record());
    else if (keyword == "wait" && (argument >> number)) rule.steps.push_back(Wait(static_cast<DWORD>(number)));
    else return false;
  }
  if (open) driver.On(rule);
  return true;
}

std::wstring QuoteArgument(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  for (wchar_t c : argument) {
    if (c == L'"') quoted += L'\\';
    quoted += c;
  }
  return quoted + L"\"";
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  UiDriver driver;
  DWORD timeout = 60000;
  int i = 1;
  for (; i + 1 < count && args[i][0] == L'-' && args[i][1] == L'-'; i += 2) {
    const std::wstring option = args[i];
    if (option == L"--timeout") timeout = static_cast<DWORD>(std::wcstoul(args[i + 1], nullptr, 10));
    else if (option == L"--cwd") driver.WorkingDirectory(args[i + 1]);
    else if (option == L"--script") {
      if (!ParseScript(args[i + 1], driver)) {
        Print("bad script\n");
        return 126;
      }
    } else {
      Print("unknown option\n");
      return 126;
    }
  }
  if (i >= count) {
    Print("usage: driver.exe [--timeout MS] [--cwd FOLDER] [--script FILE] PROGRAM [ARGUMENTS...]\n");
    return 126;
  }
  const std::wstring program = args[i];
  std::wstring arguments;
  for (int a = i + 1; a < count; ++a) arguments += (arguments.empty() ? L"" : L" ") + QuoteArgument(args[a]);
  driver.Arguments(arguments);
  LocalFree(args);

  const RunResult result = driver.Run(program, timeout);
  Print(result.Describe());
  if (!result.started) return 125;
  if (!result.finished) return 124;
  return static_cast<int>(result.exitCode);
}
