#pragma once
// The installed application as seen from the installer: whether it runs (it holds a named mapping
// while it does), asking it to quit, starting it and bringing its main window to the front.

#include <windows.h>

namespace velmora {

// True when the application's mapping exists. The probe closes what it creates, so it never keeps
// the mapping alive itself; a failed call counts as not running.
bool IsApplicationRunning();

// When the application runs, posts WM_QUIT to its main window (if one is found) and gives it 512 ms.
// Whether it has ended is not checked.
void AskRunningApplicationToQuit();

// Opens TargetFolder + AppFileName + ".exe" with TargetFolder as the current directory.
// Silent: a failure to start is not reported.
void StartInstalledApplication();

// Waits up to 8 x 512 ms for the application's mapping, then up to 11 x 1024 ms for its main
// window, and shows that window in front. Blocking waits without message processing: the setup
// form is closed by then. False when either wait gives up.
bool BringInstalledApplicationToFront();

// Tests count the fixed waits instead of sleeping; nullptr restores Sleep.
using SleepHook = void (*)(DWORD milliseconds);
void SetSleepHookForTesting(SleepHook hook);

}  // namespace velmora
