#pragma once
// One entry of the file list: "name.ext;" entries joined without separators.

#include <string>

namespace velmora {

struct FileListEntry {
  std::string name;       // the entry without its extension: the resource name
  std::string extension;  // the text after the last dot, without the dot: the resource type
  std::string target;     // the folder + the entry
};

// The number of entries: the count of ";".
int CountFileListEntries(const std::string& list);

// Removes the first entry and its ";" from the front of the list and returns it, with its target
// in the folder (which ends with a backslash).
FileListEntry TakeFileListEntry(std::string& list, const std::string& folder);

}  // namespace velmora
