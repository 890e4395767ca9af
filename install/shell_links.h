#pragma once
// Shortcut files: shell links (.lnk) through the shell's COM objects, and Internet shortcuts (.url).

#include <string>

namespace velmora {

// COM must be initialized on the calling thread. True when the link file was saved.
bool CreateShellLink(const std::string& target, const std::string& linkFile, const std::string& arguments,
                     int iconIndex, const std::string& description);

// Two CR LF lines: "[InternetShortcut]" and "URL=" + address. Failures are silent.
void WriteInternetShortcut(const std::string& file, const std::string& address);

}  // namespace velmora
