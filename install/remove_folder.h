#pragma once

#include <string>

namespace velmora {

// Deletes a folder with everything in it, outright (not to the recycle bin), silently.
// False when the folder does not exist or the shell reports an error.
bool RemoveFolder(const std::string& folder);

}  // namespace velmora
