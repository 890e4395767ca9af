#include "setupform/target_folder.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

namespace velmora {
namespace {

constexpr char kProductWord[] = "velmora";

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Length of the part that cannot be created: "C:\" or "\\server\share\"; 0 for a relative path.
size_t RootLength(const std::string& path) {
  if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && IsSeparator(path[2]))
    return 3;
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    size_t separators = 0;
    for (size_t i = 2; i < path.size(); ++i) {
      if (IsSeparator(path[i]) && ++separators == 2) return i + 1;
    }
  }
  return 0;
}

}  // namespace

bool NamesProduct(const std::string& path) {
  std::string lower = path;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
  return lower.find(kProductWord) != std::string::npos;
}

bool EnsureFolderExists(const std::string& path) {
  const size_t root = RootLength(path);
  if (root == 0) return false;
  if (IsFolder(path)) return true;
  for (size_t i = root; i <= path.size(); ++i) {
    if (i < path.size() && !IsSeparator(path[i])) continue;
    if (i > 0 && IsSeparator(path[i - 1])) continue;  // doubled separator or the root itself
    const std::string folder = path.substr(0, i);
    if (!IsFolder(folder) && !CreateDirectoryA(folder.c_str(), nullptr) && !IsFolder(folder)) return false;
  }
  return IsFolder(path);
}

}  // namespace velmora
