#pragma once
// The uninstaller's look at the system: rights, the shell folders, the menu folders under both
// titles, and the program folder to remove.

namespace velmora {

// Fills the environment fields of the context. False after telling the user that the registry
// cannot be read.
bool ProbeUninstallEnvironment();

}  // namespace velmora
