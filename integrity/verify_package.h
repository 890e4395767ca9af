#pragma once
// The installer carries everything it installs; before anything else it checks that its own file
// is intact, against the digest that the build sealed into it.

namespace velmora {

enum class PackageState { Intact, Altered, Unverifiable };

// Checks the file at `path` (a sealed executable).
PackageState CheckPackageFile(const char* path);

// Checks the running executable; on Altered or Unverifiable shows the matching error and returns false.
bool VerifyPackage();

}  // namespace velmora
