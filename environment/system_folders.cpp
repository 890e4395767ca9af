#include "environment/system_folders.h"

#include <windows.h>

#include "environment/registration_paths.h"
#include "startup/path_helpers.h"
#include "startup/product_constants.h"
#include "startup/win_error.h"

namespace velmora {
namespace {

const std::string kShellFoldersKey = std::string(kCurrentVersionKey) + "Explorer\\Shell Folders";

// Opens `path` beneath `root` as the accessor's current key and closes it when the scope ends.
class KeyScope {
 public:
  KeyScope(RegistryAccessor& registry, HKEY root, const std::string& path) : registry_(registry) {
    // A failed open would leave an earlier key current; values must never be read from that one.
    registry_.CloseKey();
    registry_.SetRootKey(root);
    opened_ = registry_.OpenKey("\\" + path, false);
  }
  ~KeyScope() { registry_.CloseKey(); }
  KeyScope(const KeyScope&) = delete;
  KeyScope& operator=(const KeyScope&) = delete;

  bool opened() const { return opened_; }

 private:
  RegistryAccessor& registry_;
  bool opened_ = false;
};

void ReadFolderIfPresent(const RegistryAccessor& registry, const char* name, std::string& folder) {
  if (!registry.ValueExists(name)) return;
  folder = registry.ReadString(name);
  IncludeTrailingBackslash(folder);
}

}  // namespace

std::string ReadProgramFilesPath(RegistryAccessor& registry) {
  std::string path;
  KeyScope key(registry, HKEY_LOCAL_MACHINE, kCurrentVersionKey);
  if (key.opened() && registry.ValueExists("ProgramFilesDir")) path = registry.ReadString("ProgramFilesDir");
  IncludeTrailingBackslash(path);
  return path;
}

std::string ReadTempFolder() {
  std::string folder;
  const DWORD size = GetEnvironmentVariableA("Temp", nullptr, 0);
  if (size != 0) {
    folder.resize(size);
    const DWORD length = GetEnvironmentVariableA("Temp", folder.data(), size);
    folder.resize(length < size ? length : 0);
  }
  IncludeTrailingBackslash(folder);
  return folder;
}

bool IsWindowsNtPlatform() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

void ReadAllUsersShellFolders(RegistryAccessor& registry, InstallContext& context) {
  context.CommonDesktopFolder.clear();
  KeyScope key(registry, HKEY_LOCAL_MACHINE, kShellFoldersKey);
  if (!key.opened()) return;
  ReadFolderIfPresent(registry, "Common Desktop", context.CommonDesktopFolder);
  if (IsWindowsNtPlatform()) ReadFolderIfPresent(registry, "Common Programs", context.CommonProgramsFolder);
}

void ReadUserShellFolders(RegistryAccessor& registry, InstallContext& context) {
  KeyScope key(registry, HKEY_CURRENT_USER, kShellFoldersKey);
  if (!key.opened()) return;
  ReadFolderIfPresent(registry, "Programs", context.ProgramsFolder);
  ReadFolderIfPresent(registry, "Desktop", context.DesktopFolder);
  ReadFolderIfPresent(registry, "Startup", context.StartupFolder);
}

EarlierRegistration ReadEarlierRegistration(RegistryAccessor& registry, const std::string& keyPath) {
  EarlierRegistration registration;
  KeyScope key(registry, HKEY_LOCAL_MACHINE, keyPath);
  if (!key.opened() || !registry.ValueExists("UninstallString")) return registration;
  std::string value;
  try {
    value = registry.ReadString("UninstallString");
  } catch (const WinError&) {
    return registration;  // not text, or unreadable: nothing to go by
  }
  registration.found = true;
  registration.folder = CutUninstallStringToFolder(value).value_or(std::string());
  return registration;
}

}  // namespace velmora
