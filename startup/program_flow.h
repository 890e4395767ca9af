#pragma once
// The installer's spine: start-up checks, the setup dialog, completion.

#include <windows.h>

#include "startup/application_instance.h"

namespace velmora {

inline constexpr UINT kFinalMessageFlags = MB_OK | MB_ICONINFORMATION | MB_TASKMODAL | MB_TOPMOST;  // 0x42040

// The whole installer run, called by WinMain once COM is up. Its arguments change nothing.
void RunInstaller();

// Product constants, package, system probe, rights, running copy, locale; stops at the first
// refusal (which has told the user, or was the user's No). True when the dialog may be shown.
bool RunStartupChecks();

// After the dialog: nothing when it was cancelled; otherwise installs, reports, and starts the
// application when asked to.
void CompleteInstallation();

}  // namespace velmora
