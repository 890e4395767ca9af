#include "uninstaller/removal.h"

#include <windows.h>
#include <shellapi.h>

#include "environment/system_folders.h"
#include "install/remove_folder.h"
#include "startup/install_context.h"
#include "startup/product_constants.h"
#include "uninstaller/info_message.h"
#include "uninstaller/removal_script.h"

namespace velmora {
namespace {

// Read-only, hidden, system, volume label, archive: every file, and no folder.
constexpr DWORD kScriptSearchMask = 0x2F;

bool MatchesSearchMask(DWORD attributes) {
  const DWORD excluded = ~kScriptSearchMask & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 0x08 |
                                               FILE_ATTRIBUTE_DIRECTORY);
  return (attributes & excluded) == 0;
}

// Opens `path` on `root` from the root; a key that does not open leaves nothing open, so the
// action that follows cannot touch the root or a key of an earlier step.
bool OpenFromRoot(RegistryAccessor& registry, HKEY root, const std::string& path) {
  registry.SetRootKey(root);
  registry.CloseKey();
  return registry.OpenKey(path, false);
}

void DeleteSubkey(HKEY root, const std::string& parent, const std::string& name) {
  RegistryAccessor& registry = *Context().Registry;
  if (OpenFromRoot(registry, root, parent)) registry.DeleteKey(name);
  registry.CloseKey();
}

void DeleteValue(HKEY root, const std::string& key, const std::string& name) {
  RegistryAccessor& registry = *Context().Registry;
  if (OpenFromRoot(registry, root, key) && registry.ValueExists(name)) registry.DeleteValue(name);
  registry.CloseKey();
}

void RemoveRegistryEntries() {
  const InstallContext& context = Context();
  const std::string currentVersion = kCurrentVersionKey;
  DeleteSubkey(HKEY_LOCAL_MACHINE, context.UninstallKeyPrefix, context.AppFileName);
  DeleteValue(HKEY_CURRENT_USER, currentVersion + (IsWindowsNtPlatform() ? "Run" : "RunServices"),
              "!" + context.AppFileName);
  DeleteValue(HKEY_CURRENT_USER, currentVersion + "Run", context.AppFileName);
  DeleteSubkey(HKEY_CURRENT_USER, "\\Software\\Brevik", context.AppFileName);
  DeleteSubkey(HKEY_USERS, ".DEFAULT\\Software\\Brevik", context.AppFileName);
}

void RemoveShortcuts() {
  const InstallContext& context = Context();
  DeleteFileA((context.CommonDesktopFolder + context.DisplayNameCopy + ".lnk").c_str());
  DeleteFileA((context.CommonDesktopFolder + context.DisplayName + ".lnk").c_str());
  DeleteFileA((context.DesktopFolder + context.DisplayNameCopy + ".lnk").c_str());
  DeleteFileA((context.DesktopFolder + context.DisplayName + ".lnk").c_str());
  const std::string startup = context.StartupFolder + context.AppFileName + ".lnk";
  if (GetFileAttributesA(startup.c_str()) != INVALID_FILE_ATTRIBUTES) DeleteFileA(startup.c_str());
}

void RemoveMenuFolders() {
  const InstallContext& context = Context();
  RemoveFolder(context.UserMenuFolderEn);
  RemoveFolder(context.UserMenuFolderRu);
  RemoveFolder(context.CyrillicLocale ? context.CommonMenuFolderRu : context.CommonMenuFolderEn);
  RemoveFolder(context.CyrillicLocale ? context.CommonMenuFolderEn : context.CommonMenuFolderRu);
}

}  // namespace

std::string ToOemText(const std::string& text) {
  std::string converted = text;
  if (!converted.empty()) CharToOemA(text.c_str(), converted.data());
  return converted;
}

std::vector<std::string> ListFolderFiles(const std::string& folder) {
  std::vector<std::string> files;
  WIN32_FIND_DATAA found;
  scoped_find find(FindFirstFileA((folder + "*.*").c_str(), &found));
  if (!find) return files;
  do {
    if (MatchesSearchMask(found.dwFileAttributes)) files.push_back(folder + found.cFileName);
  } while (FindNextFileA(find.get(), &found));
  return files;
}

bool WriteRemovalScript(const std::string& scriptPath, const std::string& folder) {
  std::vector<std::string> files = ListFolderFiles(folder);
  for (std::string& file : files) file = ToOemText(file);
  const std::string script = ComposeRemovalScript(files, ToOemText(folder));

  scoped_handle file(CreateFileA(scriptPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), script.data(), static_cast<DWORD>(script.size()), &written, nullptr) &&
         written == script.size();
}

void RemoveInstallation() {
  const InstallContext& context = Context();
  RemoveRegistryEntries();
  RemoveShortcuts();
  RemoveMenuFolders();
  // An unwritten script is not reported: the message still comes, the folder just stays.
  WriteRemovalScript(context.TempFolder + kRemovalScriptName, context.TargetFolder);
  ShowInfoMessage(
      "The program is now removed from your system.\r\n\r\n"
      "If you created any shortcuts for launching the program,\r\nyou may need to remove them manually.",
      "Программа удалена из системы.\r\n\r\n"
      "Если Вы сами создавали ярлыки для запуска программы,\r\nих придётся удалить вручную.");
  // The script deletes itself by its bare name, so it must start in the Temp folder.
  SetCurrentDirectoryA(context.TempFolder.c_str());
  ShellExecuteA(nullptr, "open", kRemovalScriptName, "", nullptr, SW_HIDE);
}

}  // namespace velmora
