#include "environment/system_probe.h"

#include "environment/registration_paths.h"
#include "environment/system_folders.h"
#include "environment/user_rights.h"
#include "startup/install_context.h"
#include "startup/messages.h"
#include "startup/path_helpers.h"
#include "startup/product_constants.h"
#include "startup/win_error.h"

namespace velmora {

bool ProbeSystem() {
  InstallContext& context = Context();
  RegistryAccessor& registry = *context.Registry;
  context.CommonProgramsFolder.clear();
  context.CommonDesktopFolder.clear();
  context.LegacyUninstallKey.clear();

  // A value of the wrong type anywhere in the shell folders (or Program Files) means a registry
  // we cannot trust to place the program; the user is told and the installer ends.
  std::string programFiles;
  try {
    programFiles = ReadProgramFilesPath(registry);
    context.IsAdmin = UserIsAdmin();
    context.TempFolder = ReadTempFolder();
    ReadAllUsersShellFolders(registry, context);
    ReadUserShellFolders(registry, context);
  } catch (const WinError&) {
    ShowErrorMessage("No access to system registry", "Нет доступа к системному реестру");
    return false;
  }

  context.UninstallKeyPrefix = std::string(kCurrentVersionKey) + "Uninstall\\";
  if (context.CommonProgramsFolder.size() < 2) context.CommonProgramsFolder = context.ProgramsFolder;
  context.MenuFolder = context.CommonProgramsFolder + context.LocalTitle() + "\\";
  context.UserMenuFolderRu = context.ProgramsFolder + context.DisplayName + "\\";
  context.UserMenuFolderEn = context.ProgramsFolder + context.DisplayNameCopy + "\\";

  context.TargetFolder = programFiles + context.AppFileName;
  const EarlierRegistration native =
      ReadEarlierRegistration(registry, context.UninstallKeyPrefix + context.AppFileName);
  if (native.found) {
    if (!native.folder.empty()) context.TargetFolder = native.folder;
  } else {
    // A 32-bit build of the installer may have registered in the redirected view.
    const std::string legacyKey = Wow6432NodePath(context.UninstallKeyPrefix) + context.AppFileName;
    const EarlierRegistration legacy = ReadEarlierRegistration(registry, legacyKey);
    if (legacy.found) {
      if (!legacy.folder.empty()) context.TargetFolder = legacy.folder;
      context.LegacyUninstallKey = legacyKey;
    }
  }
  IncludeTrailingBackslash(context.TargetFolder);
  return true;
}

}  // namespace velmora
