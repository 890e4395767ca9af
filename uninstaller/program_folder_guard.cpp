#include "uninstaller/program_folder_guard.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace velmora {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool ContainsIgnoringCase(const std::string& text, const std::string& word) {
  if (word.empty()) return true;
  auto equal = [](char a, char b) { return LowerAscii(a) == LowerAscii(b); };
  return std::search(text.begin(), text.end(), word.begin(), word.end(), equal) != text.end();
}

std::vector<std::string> SplitOnBackslash(const std::string& text) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : text) {
    if (c == '\\') {
      parts.push_back(part);
      part.clear();
    } else {
      part.push_back(c);
    }
  }
  parts.push_back(part);
  return parts;
}

}  // namespace

bool IsTrustedProgramFolder(const std::string& folder, const std::string& productWord) {
  std::string path = folder;
  while (!path.empty() && path.back() == '\\') path.pop_back();

  std::vector<std::string> parts;
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    if (path.size() == 2 || path[2] != '\\') return false;  // drive root, or relative to a drive
    parts = SplitOnBackslash(path.substr(3));
  } else if (path.rfind("\\\\", 0) == 0) {
    parts = SplitOnBackslash(path.substr(2));
    if (parts.size() < 3) return false;  // \\server\share is the root of a share
    parts.erase(parts.begin(), parts.begin() + 2);
  } else {
    return false;  // relative: it would depend on the current folder
  }
  for (const std::string& part : parts) {
    if (part.empty() || part == "." || part == "..") return false;
  }
  return ContainsIgnoringCase(path, productWord);
}

std::string ChooseProgramFolder(const std::string& registeredFolder, const std::string& defaultFolder,
                                const std::string& productWord) {
  return IsTrustedProgramFolder(registeredFolder, productWord) ? registeredFolder : defaultFolder;
}

}  // namespace velmora
