#pragma once
// The installer's spine: start-up checks, the setup dialog, completion.

namespace velmora {

// The whole installer run, called by WinMain.
void RunInstaller();

bool RunStartupChecks();
bool IsApplicationRunning();
void CompleteInstallation();
void StartInstalledApplication();

}  // namespace velmora
