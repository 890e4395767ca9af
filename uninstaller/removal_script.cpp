#include "uninstaller/removal_script.h"

#include "startup/path_helpers.h"

namespace velmora {
namespace {

constexpr char kWaitLine[] = "ping 127.0.0.1 -n 3 > nul || ping ::1 -n 3 > nul";

// The interpreter expands "%" in a batch line even inside quotes; "%%" stands for one "%".
// The other special characters (& ^ ! and spaces) are literal within quotes.
std::string Quoted(const std::string& path) {
  std::string text = "\"";
  for (char c : path) {
    text.push_back(c);
    if (c == '%') text.push_back('%');
  }
  text.push_back('"');
  return text;
}

void AppendLine(std::string& script, const std::string& line) {
  script += line;
  script += "\r\n";
}

}  // namespace

std::string ComposeRemovalScript(const std::vector<std::string>& files, const std::string& folder) {
  std::string script;
  AppendLine(script, "@echo off");
  AppendLine(script, kWaitLine);
  for (const std::string& file : files) AppendLine(script, "del " + Quoted(file));
  AppendLine(script, kWaitLine);
  AppendLine(script, "rd " + Quoted(ExcludeTrailingBackslash(folder)));
  AppendLine(script, std::string("del ") + kRemovalScriptName);
  return script;
}

}  // namespace velmora
