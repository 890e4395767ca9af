#include "uninstaller/uninstall_flow.h"

#include <windows.h>

#include <string>

#include "startup/install_context.h"
#include "startup/messages.h"
#include "startup/product_constants.h"
#include "startup/win_error.h"
#include "uninstaller/instance_mapping.h"
#include "uninstaller/removal.h"
#include "uninstaller/uninstall_probe.h"

namespace velmora {
namespace {

constexpr UINT kConfirmationFlags = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TASKMODAL | MB_TOPMOST;

void ShowNoRightMessage() {
  ShowErrorMessage("You have no right to uninstall applications!", "У Вас нет права удалять программы!");
}

bool FolderExists(const std::string& folder) {
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ConfirmRemoval() {
  const InstallContext& context = Context();
  if (context.CyrillicLocale) {
    const std::string text = "Всё готово к удалению программы \"" + context.DisplayName + "\".\n\n" +
                             "Будет удалён соответствующий пункт из меню программ,\n" +
                             "ярлык на Рабочем столе и всё из папки " + context.TargetFolder + ".\n\n" +
                             "Перед установкой новой версии программы удаление не требуется,\n" +
                             "если только Вы не хотите сбросить все настройки и наработанный материал.\n\n" +
                             "Действительно ли Вы вынуждены удалить программу?";
    return ShowMessageBox({true, text, kConfirmationCaptionRu, kConfirmationFlags, kRussianLanguage}) == IDYES;
  }
  const std::string text = "All is ready to uninstall the " + context.DisplayNameCopy + " program.\n\n" +
                           "Respective item of Programs menu, a shortcut on Desktop\n" + "and everything in " +
                           context.TargetFolder + " are going to be deleted.\n\n" +
                           "No need to uninstall the program before installation of its new version,\n" +
                           "unless you want to reset all options and logs.\n\nAre you really to uninstall it?";
  return ShowMessageBox({false, text, kConfirmationCaptionEn, kConfirmationFlags, 0}) == IDYES;
}

}  // namespace

void SetUninstallerConstants() {
  InstallContext& context = Context();
  context.AppFileName = kAppFileName;
  context.DisplayName = kProductTitle;
  context.DisplayNameCopy = kProductTitle;
}

bool RunUninstall() {
  const InstallContext& context = Context();
  try {
    if (!context.IsAdmin) {
      ShowNoRightMessage();
      return false;
    }
    if (!FolderExists(context.TargetFolder)) {
      ShowErrorMessage("Can't find " + context.TargetFolder + " folder\nof the " + context.AppFileName + " program.",
                       "Не удалось найти папку " + context.TargetFolder + "\nудаляемой программы " +
                           context.AppFileName);
      return false;
    }
    if (!ConfirmRemoval()) return false;
    RemoveInstallation();
    return true;
  } catch (const WinError&) {
    ShowNoRightMessage();
    return false;
  }
}

void RunUninstaller() {
  // Held until the uninstaller ends, whether the application runs or not.
  const InstanceMapping mapping;
  if (mapping.ExistedBefore()) AskApplicationToQuit();
  SetUninstallerConstants();
  if (ProbeUninstallEnvironment()) RunUninstall();
}

}  // namespace velmora
