#include "install/installation_driver.h"

#include <windows.h>

#include <string>

#include "install/file_list.h"
#include "install/remove_folder.h"
#include "install/shell_links.h"
#include "install/uninstall_entry.h"
#include "startup/install_context.h"
#include "startup/messages.h"
#include "startup/product_constants.h"
#include "startup/win_error.h"

namespace velmora {
namespace {

// A drive path (C:\...) or a network path (\\server\...).
bool IsFullPath(const std::string& path) {
  if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return true;
  return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
}

// A menu folder that the registry did not name comes out as a bare title, relative to wherever the
// installer was started; deleting that would hit a stranger's folder, so only full paths are cleared.
void RemoveEarlierMenuFolder(const std::string& folder) {
  if (IsFullPath(folder)) RemoveFolder(folder);
}

}  // namespace

bool RunInstallation(bool desktopShortcut) {
  const InstallContext& context = Context();
  const std::string& title = context.LocalTitle();
  const std::string& description = context.LocalProductName();
  try {
    WriteUninstallEntry();

    RemoveEarlierMenuFolder(context.UserMenuFolderEn);
    RemoveEarlierMenuFolder(context.UserMenuFolderRu);
    RemoveEarlierMenuFolder(context.MenuFolder);
    // One level each; an existing folder, or one that cannot be made, shows up later as missing files.
    CreateDirectoryA(context.MenuFolder.c_str(), nullptr);
    CreateDirectoryA(context.TargetFolder.c_str(), nullptr);

    if (!InstallFileList()) return false;

    const std::string program = context.TargetFolder + context.AppFileName + ".exe";
    CreateShellLink(program, context.MenuFolder + title + ".lnk", "", 0, description);
    if (desktopShortcut) CreateShellLink(program, context.CommonDesktopFolder + title + ".lnk", "", 0, description);
    const char* uninstallName = context.CyrillicLocale ? "Удаление программы" : "Uninstall the program";
    CreateShellLink(context.TargetFolder + "Uninstall.exe", context.MenuFolder + uninstallName + ".lnk", "", 0,
                    description);

    FinishUninstallEntry();

    const char* webSiteName = context.CyrillicLocale ? "Интернет-сайт программы" : "Program's website";
    WriteInternetShortcut(context.MenuFolder + webSiteName + ".url", kWebSiteAddress);
  } catch (const WinError&) {
    ShowErrorMessage(
        "You have no right to add/remove programs!\r\nPlease contact your system administrator.",
        "У Вас нет права устанавливать программы!\r\nОбратитесь к системному администратору.");
    return false;
  }
  return true;
}

}  // namespace velmora
