#pragma once
// Reads what the installation needs from the system into the context: rights, the default target
// folder (an earlier installation's, else Program Files + the application name), the shell folders,
// the menu folder and the registry paths of the Uninstall list.

namespace velmora {

// True, or false after telling the user that the registry cannot be read.
bool ProbeSystem();

}  // namespace velmora
