// Test fixture: package_check_fixture FILE prints the state of FILE and the time the check took,
// and exits with 0 (intact), 1 (altered) or 2 (unverifiable).

#include <windows.h>

#include <cstdio>

#include "integrity/verify_package.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: package_check_fixture FILE\n");
    return 3;
  }
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const velmora::PackageState state = velmora::CheckPackageFile(argv[1]);
  QueryPerformanceCounter(&end);
  static const char* const kNames[] = {"intact", "altered", "unverifiable"};
  std::printf("%s %.1f ms\n", kNames[static_cast<int>(state)],
              1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
  return static_cast<int>(state);
}
