#include "install/remove_folder.h"

#include <windows.h>
#include <shellapi.h>

#include "startup/path_helpers.h"

namespace velmora {

bool RemoveFolder(const std::string& folder) {
  const std::string path = ExcludeTrailingBackslash(folder);
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;

  // The source is a list of names, each ended by a zero, the list by a second one.
  std::string source = path;
  source.push_back('\0');
  source.push_back('\0');
  SHFILEOPSTRUCTA operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = source.c_str();
  // No FOF_ALLOWUNDO: the folder is deleted outright, not moved to the recycle bin.
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
  return SHFileOperationA(&operation) == 0;
}

}  // namespace velmora
