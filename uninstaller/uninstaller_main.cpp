#include <windows.h>

#include "startup/startup_init.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  velmora::StartupScope startup;
  return 0;
}
