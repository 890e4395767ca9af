#include <windows.h>

#include "startup/startup_init.h"
#include "uninstaller/uninstall_flow.h"

// The command line is ignored.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  velmora::StartupScope startup;
  velmora::RunUninstaller();
  return 0;
}
