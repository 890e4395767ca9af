#pragma once
// Portable helpers of the version guard.

#include <string>

namespace velmora {

// True when the new version text is older than the installed one.
bool IsOlderVersion(const std::string& newText, const std::string& installedText);

// The path with "~" inserted after its last backslash (before the file name).
std::string MakeTempFileName(const std::string& path);

}  // namespace velmora
