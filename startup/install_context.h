#pragma once
// The one process-wide record through which the parts of a program talk to each other.
// The installer and the uninstaller each hold their own instance; all of it lives on the main thread.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "startup/registry_accessor.h"

namespace velmora {

struct InstallContext {
  // Product constants, filled by the start-up checks.
  std::string AppFileName;
  std::string DisplayName;
  std::string DisplayNameCopy;
  std::string ProductNameRu;
  std::string ProductNameEn;
  std::string VersionText;
  int32_t VersionMajor = -1;
  int32_t VersionMinor = -1;

  // Locale and shared objects, set by the start-up initialization.
  bool CyrillicLocale = false;
  bool Is64BitWindows = false;
  std::unique_ptr<RegistryAccessor> Registry;

  // System environment, filled by the probe.
  bool IsAdmin = true;
  std::string TargetFolder;
  std::string UninstallKeyPrefix;
  std::string LegacyUninstallKey;
  std::string CommonProgramsFolder;
  std::string ProgramsFolder;
  std::string MenuFolder;
  std::string UserMenuFolderRu;
  std::string UserMenuFolderEn;
  std::string CommonDesktopFolder;
  std::string TempFolder;
  std::string DesktopFolder;
  std::string StartupFolder;
  std::string CommonMenuFolderRu;  // uninstaller only
  std::string CommonMenuFolderEn;  // uninstaller only

  // Choices of the setup dialog.
  bool InstallConfirmed = false;
  bool DesktopShortcut = false;
  bool RunAfterInstall = false;

  // Installation state.
  std::string FileList;

  // Title and product name in the user's language.
  const std::string& LocalTitle() const { return CyrillicLocale ? DisplayName : DisplayNameCopy; }
  const std::string& LocalProductName() const { return CyrillicLocale ? ProductNameRu : ProductNameEn; }
};

// The process's instance.
InstallContext& Context();

}  // namespace velmora
