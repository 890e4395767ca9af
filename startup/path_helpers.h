#pragma once
// Folder paths carry one trailing backslash; these add or strip it. Both look at the last byte only.

#include <string>

namespace velmora {

// Appends one backslash unless the path is empty or already ends with one.
void IncludeTrailingBackslash(std::string& path);

// A copy without one trailing backslash; an empty path stays empty.
std::string ExcludeTrailingBackslash(const std::string& path);

}  // namespace velmora
