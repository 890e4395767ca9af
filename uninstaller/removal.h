#pragma once
// What the uninstaller removes once the user has confirmed: the registration, the autostart
// values and settings keys, shortcuts and menu folders at once, and the program folder through a
// hidden script that runs after the uninstaller has ended.

#include <string>
#include <vector>

namespace velmora {

// Everything in order, ending with the final message and the start of the script. Failures of
// single steps are passed over.
void RemoveInstallation();

// A copy converted from the ANSI to the OEM code page, same length.
std::string ToOemText(const std::string& text);

// Full paths of the files directly in `folder` (which ends with a backslash), in the order the
// file system lists them; hidden and system files included, folders left out.
std::vector<std::string> ListFolderFiles(const std::string& folder);

// Writes the removal script for the program folder into `scriptPath`; false when it cannot.
bool WriteRemovalScript(const std::string& scriptPath, const std::string& folder);

}  // namespace velmora
