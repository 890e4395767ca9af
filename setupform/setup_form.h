#pragma once
// The two-page setup dialog: licence agreement, then target folder and options.

namespace velmora {

// Creates the form as the application's main window, shows it and runs the message loop until it
// closes. Writes InstallConfirmed, TargetFolder, DesktopShortcut and RunAfterInstall in the context.
void ShowSetupForm();

}  // namespace velmora
