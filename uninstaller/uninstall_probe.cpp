#include "uninstaller/uninstall_probe.h"

#include <string>

#include "environment/system_folders.h"
#include "startup/install_context.h"
#include "startup/messages.h"
#include "startup/path_helpers.h"
#include "startup/product_constants.h"
#include "startup/win_error.h"
#include "uninstaller/program_folder_guard.h"

namespace velmora {

bool ProbeUninstallEnvironment() {
  InstallContext& context = Context();
  RegistryAccessor& registry = *context.Registry;
  context.CommonProgramsFolder.clear();

  std::string programFiles;
  try {
    // With the full access mask this key opens only for an administrator: that is the rights test.
    programFiles = ReadProgramFilesPath(registry);
    context.IsAdmin = !programFiles.empty();
    context.TempFolder = ReadTempFolder();
    ReadAllUsersShellFolders(registry, context);
    ReadUserShellFolders(registry, context);
  } catch (const WinError&) {
    ShowErrorMessage("No access to system registry", "Нет доступа к системному реестру");
    return false;
  }

  context.UninstallKeyPrefix = std::string(kCurrentVersionKey) + "Uninstall\\";
  if (context.CommonProgramsFolder.size() < 2) context.CommonProgramsFolder = context.ProgramsFolder;
  context.CommonMenuFolderRu = context.CommonProgramsFolder + context.DisplayName + "\\";
  context.CommonMenuFolderEn = context.CommonProgramsFolder + context.DisplayNameCopy + "\\";
  context.UserMenuFolderRu = context.ProgramsFolder + context.DisplayName + "\\";
  context.UserMenuFolderEn = context.ProgramsFolder + context.DisplayNameCopy + "\\";

  // Every file of this folder is deleted later, so a registration pointing elsewhere is not trusted.
  const EarlierRegistration registration =
      ReadEarlierRegistration(registry, context.UninstallKeyPrefix + context.AppFileName);
  context.TargetFolder = ChooseProgramFolder(registration.found ? registration.folder : std::string(),
                                             programFiles + context.AppFileName, context.AppFileName);
  IncludeTrailingBackslash(context.TargetFolder);
  return true;
}

}  // namespace velmora
