#pragma once

namespace velmora {

// The installation proper: registration, menu and target folders, carried files, shortcuts, size,
// Internet shortcut. Reports a registry failure itself; true when every step has run.
bool RunInstallation(bool desktopShortcut);

}  // namespace velmora
