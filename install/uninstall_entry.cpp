#include "install/uninstall_entry.h"

#include <windows.h>

#include <vector>

#include "install/install_date.h"
#include "startup/install_context.h"
#include "startup/path_helpers.h"
#include "startup/product_constants.h"
#include "startup/unique_handle.h"

namespace velmora {

void WriteUninstallEntry() {
  InstallContext& context = Context();
  RegistryAccessor& registry = *context.Registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  // Not checked here: with no key open the first write throws.
  registry.OpenKey(context.UninstallKeyPrefix + context.AppFileName, true);

  const std::string helpLink = std::string(kWebSiteAddress) + "/" + context.AppFileName + ".htm";
  registry.WriteString("DisplayName", context.LocalTitle());
  registry.WriteString("UninstallString", context.TargetFolder + "uninstall.exe");
  registry.WriteString("DisplayIcon", context.TargetFolder + context.AppFileName + ".exe");
  registry.WriteString("DisplayVersion", context.VersionText);
  if (context.VersionMajor != -1) registry.WriteInteger("VersionMajor", context.VersionMajor);
  if (context.VersionMinor != -1) registry.WriteInteger("VersionMinor", context.VersionMinor);
  registry.WriteString("InstallLocation", ExcludeTrailingBackslash(context.TargetFolder));
  registry.WriteString("InstallDate", GetInstallDateText());
  registry.WriteString("Publisher", context.CyrillicLocale ? kPublisherNameRu : kPublisherNameEn);
  registry.WriteString("URLInfoAbout", kWebSiteAddress);
  registry.WriteString("HelpLink", helpLink);
  registry.WriteString("URLUpdateInfo", helpLink);
  registry.WriteInteger("NoModify", 1);
  registry.WriteInteger("NoRepair", 1);
}

void FinishUninstallEntry() {
  InstallContext& context = Context();
  RegistryAccessor& registry = *context.Registry;
  const int32_t size = GetFolderSizeKiB(context.TargetFolder);
  if (size != -1) registry.WriteInteger("EstimatedSize", size);
  registry.CloseKey();
  if (!context.LegacyUninstallKey.empty()) registry.DeleteKey(context.LegacyUninstallKey);
}

int32_t GetFolderSizeKiB(const std::string& folder) {
  if (folder.empty()) return -1;
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return -1;

  uint32_t total = 0;  // wraps, as the registry value is 32 bits
  std::vector<std::string> pending{folder};
  // Breadth first: each listed folder appends its subfolders to the end of the list.
  for (size_t index = 0; index < pending.size(); ++index) {
    std::string current = pending[index];
    IncludeTrailingBackslash(current);
    // Every item is counted, hidden and system files included.
    WIN32_FIND_DATAA item;
    scoped_find find(FindFirstFileA((current + "*.*").c_str(), &item));
    if (!find) continue;
    do {
      if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        const std::string name = item.cFileName;
        if (name != "." && name != "..") pending.push_back(current + name);
      } else {
        total += item.nFileSizeLow;
      }
    } while (FindNextFileA(find.get(), &item));
  }
  return static_cast<int32_t>(total >> 10);
}

std::string GetInstallDateText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return FormatInstallDate(now.wYear, now.wMonth, now.wDay);
}

}  // namespace velmora
