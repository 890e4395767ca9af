#pragma once
// The uninstaller deletes every file in the program folder, so the folder taken from the
// registration must look like one the installer made before it is trusted.

#include <string>

namespace velmora {

// A full path (drive or network share) that is not a root, has no "." or ".." part and contains
// the product word, in any case.
bool IsTrustedProgramFolder(const std::string& folder, const std::string& productWord);

// `registeredFolder` (empty when there is no usable registration) when it passes the checks
// above, else `defaultFolder`.
std::string ChooseProgramFolder(const std::string& registeredFolder, const std::string& defaultFolder,
                                const std::string& productWord);

}  // namespace velmora
