#include <windows.h>

#include "startup/program_flow.h"
#include "startup/startup_init.h"

// The command line is ignored: the installer takes nothing from it.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  velmora::StartupScope startup;
  velmora::RunInstaller();
  return 0;
}
