// Stands in for the carried rich-edit library: it loads and unloads and exports nothing.

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
