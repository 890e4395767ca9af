#include "environment/registration_paths.h"

namespace velmora {

std::optional<std::string> CutUninstallStringToFolder(const std::string& uninstallString) {
  if (uninstallString.size() < 2) return std::nullopt;
  const size_t slash = uninstallString.find_last_of('\\', uninstallString.size() - 2);
  if (slash == std::string::npos) return std::nullopt;
  return uninstallString.substr(0, slash + 1);
}

std::string Wow6432NodePath(const std::string& path) {
  const size_t slash = path.find('\\');
  const size_t split = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, split) + "WOW6432Node\\" + path.substr(split);
}

}  // namespace velmora
