#include "install/file_list_entry.h"

#include <algorithm>

namespace velmora {

int CountFileListEntries(const std::string& list) {
  return static_cast<int>(std::count(list.begin(), list.end(), ';'));
}

FileListEntry TakeFileListEntry(std::string& list, const std::string& folder) {
  const size_t end = list.find(';');
  const std::string entry = list.substr(0, end);
  list.erase(0, end == std::string::npos ? std::string::npos : end + 1);

  FileListEntry result;
  const size_t dot = entry.rfind('.');
  result.name = entry.substr(0, dot);
  result.extension = dot == std::string::npos ? std::string() : entry.substr(dot + 1);
  result.target = folder + entry;
  return result;
}

}  // namespace velmora
