#pragma once
// The pieces of the start-up probes that read the system: the installer's ProbeSystem and the
// uninstaller's probe use the same ones. All registry access goes through the given accessor
// (its access mask decides the registry view). Each function opens its key from the root, so a key
// left open before is irrelevant, and closes it again whatever happens. A key that does not open
// counts as holding no values.

#include <string>

#include "startup/install_context.h"
#include "startup/registry_accessor.h"

namespace velmora {

// "ProgramFilesDir" of HKLM CurrentVersionKey with a trailing backslash; empty when the key does
// not open or the value is missing. A value that is not text throws WinError.
std::string ReadProgramFilesPath(RegistryAccessor& registry);

// The environment variable "Temp" with a trailing backslash; empty when it is not set.
std::string ReadTempFolder();

// True on the Windows NT platform (GetVersionEx platform id 2).
bool IsWindowsNtPlatform();

// HKLM Explorer\Shell Folders: empties CommonDesktopFolder, then sets it from "Common Desktop";
// on NT also sets CommonProgramsFolder from "Common Programs". Each value only when it exists, with
// a trailing backslash. A value that is not text throws WinError.
void ReadAllUsersShellFolders(RegistryAccessor& registry, InstallContext& context);

// HKCU Explorer\Shell Folders: ProgramsFolder, DesktopFolder, StartupFolder from "Programs",
// "Desktop", "Startup", each only when it exists, with a trailing backslash. A value that is not
// text, or a refused read, throws WinError (fields read before it keep their new values).
void ReadUserShellFolders(RegistryAccessor& registry, InstallContext& context);

struct EarlierRegistration {
  bool found = false;  // the key holds a text "UninstallString"
  std::string folder;  // that value cut to its folder; empty when it names none
};

// The "UninstallString" of the HKLM key `keyPath` (relative to the root). A value that is not text
// counts as no registration.
EarlierRegistration ReadEarlierRegistration(RegistryAccessor& registry, const std::string& keyPath);

}  // namespace velmora
