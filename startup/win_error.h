#pragma once
// The one error type of the programs: a failed Windows call, with its code and what was being done.
// Only wrappers throw it; each step boundary catches it and reports in its own words.

#include <windows.h>

namespace velmora {

struct WinError {
  const char* action;  // static text naming the failed operation
  DWORD code;          // GetLastError() or the status the call returned
};

// Throws WinError{action, GetLastError()}; read right after the failing call.
[[noreturn]] inline void ThrowLastError(const char* action) { throw WinError{action, GetLastError()}; }

}  // namespace velmora
